#include "DemoCommand.h"

#include "DemoDatabase.h"
#include "ManageCommand.h"

#include <velmarith/DataBridge.h>
#include <velmarith/WinSearch.h>

namespace velmarith::app {

Command demoCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("demo"),
                         QStringLiteral("创建并显示演示数据库，再打开员工表的维护窗口 / Creates and shows the demo "
                                        "database, then opens the maintenance window on its employee table"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("数据库文件、服务器 URI 或 odbc: 连接串 / database file, server URI or odbc: connection string (default: %1)").arg(demoDatabasePath()),
                                QStringLiteral("PATH"));
    const QCommandLineOption trace = traceSqlOption();
    parser.addOptions({db, trace});
    if (parser.parse(arguments))
        return parser.helpCommand();
    const bool showsWindow = canShowWindows();
    return {showsWindow, [path = parser.isSet(db) ? parser.required(db) : demoDatabasePath(), showsWindow,
                          traceSql = parser.isSet(trace)](QTextStream &out) {
                const bool created = ensureDemoDatabase(path);
                out << (created ? "已创建演示数据库 / created the demo database: " : "演示数据库 / demo database: ")
                    << DataBridge::withoutPassword(path)
                    << "\n";
                printDatabase(path, out);
                if (!showsWindow) {
                    out << "\n没有显示器，不打开窗口 / no display: the maintenance window is not opened\n";
                    return int(kConfirmed);
                }
                out.flush();
                // Alt+Enter in a field looks its values up by pinyin too: 张伟 by zw.
                WinSearch::setDefaultKeywordMatch(KeywordMatch::Pinyin);
                manageTable(path, QStringLiteral("员工"), QString(), traceSql);
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
