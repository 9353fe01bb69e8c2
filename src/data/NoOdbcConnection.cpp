// A build without unixODBC: an odbc: connection string is refused with the reason.
#include "data/OdbcConnection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

namespace velmarith::detail {

std::unique_ptr<Connection> openOdbc(const QString &uri)
{
    throw Error(ErrorNumber::Database, QStringLiteral("无法连接 ODBC 数据源 %1：这个版本的 Velmarith 构建时没有 ODBC 支持（unixODBC）")
                                           .arg(DataBridge::withoutPassword(uri).mid(5)));
}

} // namespace velmarith::detail
