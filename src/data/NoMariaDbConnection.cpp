// A build without MariaDB Connector/C: a MariaDB or MySQL URI is refused with the reason.
#include "data/MariaDbConnection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

namespace velmarith::detail {

std::unique_ptr<Connection> openMariaDb(const QString &uri)
{
    throw Error(ErrorNumber::Database,
                QStringLiteral("无法连接数据库服务器 %1：这个版本的 Velmarith 构建时没有 MariaDB/MySQL 支持（MariaDB Connector/C）")
                    .arg(DataBridge::withoutPassword(uri)));
}

} // namespace velmarith::detail
