#include "ManageCommand.h"

#include "MetadataSchema.h"
#include "SqlScript.h"

#include <velmarith/DataBridge.h>
#include <velmarith/WinMagnge.h>

#include <QCommandLineParser>

#include <cstdio>

namespace velmarith::app {
QCommandLineOption databaseOption()
{
    return {QStringLiteral("db"), QStringLiteral("SQLite 数据库文件 / the SQLite database file"), QStringLiteral("PATH")};
}

namespace {

QString requiredValue(QCommandLineParser &parser, const QCommandLineOption &option)
{
    const QString value = parser.value(option);
    if (value.isEmpty()) {
        std::fprintf(stderr, "velmarith: --%s is required\n", qPrintable(option.names().first()));
        parser.showHelp(2);
    }
    return value;
}

} // namespace

bool canShowWindows()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void manageTable(const QString &path, const QString &table, const QString &mode, bool traceSql)
{
    DataBridge::setDefaultDatabase(path);
    if (traceSql) {
        DataBridge::setStatementTrace([](const StatementTrace &trace) {
            std::fprintf(stderr, "%s %s%s%s\n", trace.succeeded ? "ok  " : "FAIL", qUtf8Printable(trace.statement),
                         trace.succeeded ? "" : "  -- ", qUtf8Printable(trace.errorMessage));
        });
    }
    WinMagnge maintenance;
    maintenance.setMagngeMode(mode);
    maintenance.ManageTable(table);
}

int runManageCommand(const QStringList &arguments, QTextStream &)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("打开表维护窗口 / Opens the maintenance window on a table"));
    parser.addHelpOption();
    const QCommandLineOption db = databaseOption();
    const QCommandLineOption table(QStringLiteral("table"), QStringLiteral("要维护的表 / the table to maintain"),
                                   QStringLiteral("NAME"));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("工作方式：Edit 只能修改 / work mode: Edit offers only 修改 and 取消"),
                                  QStringLiteral("MODE"));
    const QCommandLineOption trace(QStringLiteral("trace-sql"),
                                   QStringLiteral("把每条语句写到标准错误 / write every statement to standard error"));
    parser.addOptions({db, table, mode, trace});
    parser.process(arguments);
    manageTable(requiredValue(parser, db), requiredValue(parser, table), parser.value(mode), parser.isSet(trace));
    return 0;
}

int runInitCommand(const QStringList &arguments, QTextStream &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("在数据库中建立缺少的四张元数据表 / Creates the four metadata tables where missing"));
    parser.addHelpOption();
    const QCommandLineOption db = databaseOption();
    parser.addOption(db);
    parser.process(arguments);
    const QString path = requiredValue(parser, db);
    DataBridge bridge;
    bridge.Open(path, QStringLiteral("Create"));
    runInTransaction(bridge, metadataSchema());
    out << "元数据表已就绪 / the metadata tables are ready: " << path << "\n";
    return 0;
}

} // namespace velmarith::app
