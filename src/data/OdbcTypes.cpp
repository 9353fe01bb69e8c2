#include "data/OdbcTypes.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace velmarith::detail {
namespace {

int32_t sizeOrUnlimited(uint64_t columnSize)
{
    return columnSize == 0 || columnSize >= uint64_t(kUnlimitedSize) ? kUnlimitedSize : int32_t(columnSize);
}

} // namespace

ColumnType columnTypeOfOdbcColumn(int sqlType, uint64_t columnSize, const QString &typeName)
{
    if (typeName.compare(u"bool", Qt::CaseInsensitive) == 0 || typeName.compare(u"boolean", Qt::CaseInsensitive) == 0)
        return {TypeCode::Char, 1};
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_WCHAR: return {TypeCode::Char, sizeOrUnlimited(columnSize)};
    case SQL_VARCHAR:
    case SQL_WVARCHAR:
        return columnSize == 0 || columnSize >= uint64_t(kUnlimitedSize) ? ColumnType{TypeCode::LongVarChar, kUnlimitedSize}
                                                                         : ColumnType{TypeCode::VarChar, int32_t(columnSize)};
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR: return {TypeCode::LongVarChar, kUnlimitedSize};
    case SQL_BIT: return {TypeCode::Char, 1};
    case SQL_TINYINT:
    case SQL_SMALLINT: return {TypeCode::SmallInt, 2};
    case SQL_INTEGER: return {TypeCode::Integer, 4};
    case SQL_BIGINT: return {TypeCode::BigInt, 8};
    case SQL_DECIMAL:
    case SQL_NUMERIC: return {TypeCode::Numeric, columnSize > 0 ? int32_t(std::min<uint64_t>(columnSize, 1000)) : 18};
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: return {TypeCode::Numeric, 15};
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP: return {TypeCode::DBTimeStamp, 16};
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: return {TypeCode::VarBinary, sizeOrUnlimited(columnSize)};
    case SQL_GUID: return {TypeCode::Char, 36};
    default: return {TypeCode::VarChar, 255};
    }
}

} // namespace velmarith::detail
