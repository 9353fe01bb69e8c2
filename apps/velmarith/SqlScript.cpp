#include "SqlScript.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

namespace velmarith::app {

void runInTransaction(DataBridge &bridge, const QStringList &statements)
{
    bridge.setSilentErrors(true);
    if (bridge.Execute(QStringLiteral("begin")) != 0)
        throw Error(ErrorNumber::Database, QStringLiteral("无法开始事务"));
    for (const QString &statement : statements) {
        if (bridge.Execute(statement) != 0) {
            (void)bridge.Execute(QStringLiteral("rollback"));
            throw Error(ErrorNumber::Database, QStringLiteral("语句执行失败：%1").arg(statement));
        }
    }
    if (bridge.Execute(QStringLiteral("commit")) != 0)
        throw Error(ErrorNumber::Database, QStringLiteral("无法提交事务"));
}

} // namespace velmarith::app
