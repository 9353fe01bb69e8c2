#include "data/TypeCodes.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <optional>

namespace velmarith {
namespace {

struct Declaration {
    QString name;                  // upper case, inner blanks folded
    std::optional<int32_t> length; // first number in brackets
};

Declaration parse(QStringView declaration)
{
    const QString upper = declaration.toString().toUpper();
    const qsizetype bracket = upper.indexOf(u'(');
    Declaration parsed{(bracket < 0 ? upper : upper.left(bracket)).simplified(), std::nullopt};
    if (bracket >= 0) {
        bool ok = false;
        const int32_t length = upper.mid(bracket + 1).section(u',', 0, 0).remove(u')').trimmed().toInt(&ok);
        if (ok)
            parsed.length = length;
    }
    return parsed;
}

bool isOneOf(const QString &name, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *candidate : names) {
        if (name == QStringView(candidate))
            return true;
    }
    return false;
}

// SQLite's rules for a declared type it does not know by name.
ColumnType byAffinity(const QString &name)
{
    if (name.contains(u"INT"))
        return {TypeCode::Integer, 4};
    if (name.contains(u"CHAR") || name.contains(u"CLOB") || name.contains(u"TEXT"))
        return {TypeCode::LongVarChar, kUnlimitedSize};
    if (name.contains(u"BLOB"))
        return {TypeCode::VarBinary, kUnlimitedSize};
    if (name.contains(u"REAL") || name.contains(u"FLOA") || name.contains(u"DOUB"))
        return {TypeCode::Numeric, 15};
    return {TypeCode::Numeric, 18};
}

} // namespace

ColumnType columnTypeFromDeclaration(QStringView declaration)
{
    const Declaration d = parse(declaration);
    const QString &n = d.name;
    if (isOneOf(n, {u"CHAR", u"CHARACTER"}))
        return {TypeCode::Char, d.length.value_or(1)};
    if (isOneOf(n, {u"VARCHAR", u"CHARACTER VARYING", u"VARYING CHARACTER"}))
        return d.length ? ColumnType{TypeCode::VarChar, *d.length} : ColumnType{TypeCode::LongVarChar, kUnlimitedSize};
    if (isOneOf(n, {u"NCHAR", u"NATIVE CHARACTER", u"NATIONAL CHARACTER"}))
        return {TypeCode::WChar, d.length.value_or(1)};
    if (isOneOf(n, {u"NVARCHAR", u"NATIONAL VARCHAR", u"NATIONAL CHARACTER VARYING"}))
        return {TypeCode::VarWChar, d.length.value_or(kUnlimitedSize)};
    if (isOneOf(n, {u"TEXT", u"CLOB"}))
        return {TypeCode::LongVarChar, kUnlimitedSize};
    if (n == u"SMALLINT")
        return {TypeCode::SmallInt, 2};
    if (isOneOf(n, {u"INT", u"INTEGER"}))
        return {TypeCode::Integer, 4};
    if (n == u"BIGINT")
        return {TypeCode::BigInt, 8};
    if (isOneOf(n, {u"DECIMAL", u"NUMERIC"}))
        return {TypeCode::Numeric, d.length.value_or(18)};
    if (isOneOf(n, {u"REAL", u"FLOAT", u"DOUBLE", u"DOUBLE PRECISION"}))
        return {TypeCode::Numeric, 15};
    if (isOneOf(n, {u"MONEY", u"CURRENCY"}))
        return {TypeCode::Currency, 8};
    if (isOneOf(n, {u"DATE", u"TIME", u"DATETIME", u"TIMESTAMP"}))
        return {TypeCode::DBTimeStamp, 16};
    if (isOneOf(n, {u"BLOB", u"BINARY", u"VARBINARY"}))
        return {TypeCode::VarBinary, d.length.value_or(kUnlimitedSize)};
    // A one-character flag: the maintenance window gives it a check box that writes '0'/'1'.
    if (isOneOf(n, {u"BOOLEAN", u"BOOL", u"BIT"}))
        return {TypeCode::Char, 1};
    return byAffinity(n);
}

ColumnType columnTypeFromStorage(int storageClass)
{
    switch (storageClass) {
    case SQLITE_INTEGER:
        return {TypeCode::Integer, 255};
    case SQLITE_FLOAT:
        return {TypeCode::Numeric, 255};
    default:
        return {TypeCode::VarChar, 255};
    }
}

ColumnType columnTypeOfServerColumn(uint32_t oid, int modifier)
{
    // Character and numeric modifiers carry a 4-byte header length (VARHDRSZ).
    const int declared = modifier >= 4 ? modifier - 4 : -1;
    switch (oid) {
    case 16: return {TypeCode::Char, 1};                 // bool, read as 1 or 0
    case 17: return {TypeCode::VarBinary, kUnlimitedSize}; // bytea
    case 20: return {TypeCode::BigInt, 8};
    case 21: return {TypeCode::SmallInt, 2};
    case 23: return {TypeCode::Integer, 4};
    case 25: return {TypeCode::LongVarChar, kUnlimitedSize}; // text
    case 700:
    case 701: return {TypeCode::Numeric, 15};            // float4, float8
    case 790: return {TypeCode::Currency, 8};             // money
    case 1042: return {TypeCode::Char, declared >= 0 ? declared : 1};
    case 1043: return declared >= 0 ? ColumnType{TypeCode::VarChar, declared} : ColumnType{TypeCode::LongVarChar, kUnlimitedSize};
    case 1082:
    case 1083:
    case 1114:
    case 1184: return {TypeCode::DBTimeStamp, 16};        // date, time, timestamp, timestamptz
    case 1700: return {TypeCode::Numeric, declared >= 0 ? (declared >> 16) & 0xffff : 18};
    default: return {TypeCode::VarChar, 255};             // as an expression column on SQLite
    }
}

} // namespace velmarith
