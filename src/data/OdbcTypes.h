#pragma once

#include "data/TypeCodes.h"

#include <QString>

#include <cstdint>

namespace velmarith::detail {

/// A result column's type code from what its ODBC driver says of it: its SQL type
/// (SQL_VARCHAR, SQL_WCHAR, SQL_DECIMAL, …), its column size (in characters for text, in
/// digits for numbers) and its type name (PostgreSQL's "bool" is a one-character flag).
[[nodiscard]] ColumnType columnTypeOfOdbcColumn(int sqlType, uint64_t columnSize, const QString &typeName);

} // namespace velmarith::detail
