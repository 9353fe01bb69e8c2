// A build without libpq: a server's URI is refused with the reason.
#include "data/PostgresConnection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

namespace velmarith::detail {

std::unique_ptr<Connection> openPostgres(const QString &uri)
{
    throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：这个版本的 Velmarith 构建时没有 PostgreSQL 支持（libpq）")
                                           .arg(DataBridge::withoutPassword(uri)));
}

} // namespace velmarith::detail
