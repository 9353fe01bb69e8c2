#pragma once

#include <QStringView>

#include <cstdint>

namespace velmarith {

/// A column's data-type code (numbered as ADO's DataTypeEnum) and its defined size.
struct ColumnType {
    int32_t code;
    int32_t size;
    friend bool operator==(const ColumnType &, const ColumnType &) = default;
};

namespace TypeCode {
constexpr int32_t SmallInt = 2;
constexpr int32_t Integer = 3;
constexpr int32_t Currency = 6;
constexpr int32_t BigInt = 20;
constexpr int32_t Char = 129;
constexpr int32_t WChar = 130;
constexpr int32_t Numeric = 131;
constexpr int32_t DBTimeStamp = 135;
constexpr int32_t VarChar = 200;
constexpr int32_t LongVarChar = 201;
constexpr int32_t VarWChar = 202;
constexpr int32_t VarBinary = 204;
} // namespace TypeCode

constexpr int32_t kUnlimitedSize = 2147483647;

/// Whether a type code is one of text (fixed or varying, national or not, long or not).
[[nodiscard]] constexpr bool isTextTypeCode(int32_t code)
{
    return code == TypeCode::Char || code == TypeCode::WChar || code == TypeCode::VarChar || code == TypeCode::LongVarChar ||
           code == TypeCode::VarWChar || code == 203;
}

/// Whether a type code is one of whole numbers (2, 3, 16 to 21).
[[nodiscard]] constexpr bool isIntegerTypeCode(int32_t code)
{
    return code == TypeCode::SmallInt || code == TypeCode::Integer || (code >= 16 && code <= 21);
}

/// The type of a column from its declared type ("VARCHAR(20)", "numeric(10,2)", "INTEGER").
/// Names outside the table are placed by SQLite's own affinity rules.
[[nodiscard]] ColumnType columnTypeFromDeclaration(QStringView declaration);

/// The type of a result column without a declared type (an expression), from the storage
/// class (a SQLite fundamental datatype) of its first value, or 0 when there is no row.
[[nodiscard]] ColumnType columnTypeFromStorage(int storageClass);

/// The type of a PostgreSQL result column from its type's OID and its type modifier (-1 for
/// none): bpchar(n) is Char n, varchar(n) VarChar n, numeric(p,s) Numeric p, and so on.
[[nodiscard]] ColumnType columnTypeOfServerColumn(uint32_t oid, int modifier);

} // namespace velmarith
