#include "ManageCommand.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/Metadata.h>
#include <velmarith/SqlText.h>
#include <velmarith/WinMagnge.h>


namespace velmarith::app {
namespace {

// Tells the person what to do before the window would fail on its first statement.
void checkMaintainable(const QString &path)
{
    DataBridge bridge;
    try {
        bridge.Open(path);
    } catch (const Error &error) {
        throw CommandFailure(QStringLiteral("%1\n打不开数据库；检查 --db 的路径，或用 velmarith init --db %2 新建 / "
                                            "cannot open the database; check the --db path, or create it with "
                                            "velmarith init --db %2")
                                 .arg(error.message(), DataBridge::withoutPassword(path)));
    }
    bridge.setSilentErrors(true);
    QStringList missing;
    for (const QString &table : Metadata::tableNames()) {
        Collection columns;
        bridge.Query(QStringLiteral("select * from ") + sqlName(table) + QStringLiteral(" where 0=1"), nullptr, &columns);
        if (columns.Count() == 0)
            missing.append(table);
    }
    if (!missing.isEmpty()) {
        throw CommandFailure(QStringLiteral("数据库 %1 缺少元数据表 %2；请先运行 velmarith init --db %1 / the database "
                                            "lacks the metadata tables %2; run velmarith init --db %1 first")
                                 .arg(DataBridge::withoutPassword(path), missing.join(QStringLiteral(", "))));
    }
}

} // namespace

void manageTable(const QString &path, const QString &table, const QString &mode, bool traceSql)
{
    checkMaintainable(path);
    DataBridge::setDefaultDatabase(path);
    if (traceSql)
        traceStatements();
    WinMagnge maintenance;
    maintenance.setMagngeMode(mode);
    maintenance.ManageTable(table);
}

Command manageCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("manage"), QStringLiteral("打开表维护窗口 / Opens the maintenance window on a table"));
    const QCommandLineOption db = databaseOption();
    const QCommandLineOption table(QStringLiteral("table"), QStringLiteral("要维护的表 / the table to maintain"),
                                   QStringLiteral("NAME"));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("工作方式：Edit 只能修改 / work mode: Edit offers only 修改 and 取消"),
                                  QStringLiteral("MODE"));
    const QCommandLineOption trace = traceSqlOption();
    parser.addOptions({db, table, mode, trace});
    if (parser.parse(arguments))
        return parser.helpCommand();
    return {true, [path = parser.database(db), name = parser.required(table),
                   modeName = parser.oneOf(mode, {QStringLiteral("Edit")}), traceSql = parser.isSet(trace)](QTextStream &) {
                manageTable(path, name, modeName, traceSql);
                return int(kConfirmed);
            }};
}

Command exportCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("export"),
                         QStringLiteral("把表维护窗口显示的列表（列的顺序、标题和显示的内容）写入文件 / Writes the list a table's maintenance "
                                        "window shows (its columns in order, their captions, the values as shown) to a file"));
    const QCommandLineOption db = databaseOption();
    const QCommandLineOption table(QStringLiteral("table"), QStringLiteral("要导出的表 / the table to export"), QStringLiteral("NAME"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("写入的文件，按扩展名为 .csv（UTF-8，带 BOM）、.xlsx 或 .pdf（打印的页面） / the file to "
                                                   "write: .csv (UTF-8 with a BOM), .xlsx or .pdf (the printed pages) by its extension"),
                                    QStringLiteral("FILE"));
    parser.addOptions({db, table, output});
    if (parser.parse(arguments))
        return parser.helpCommand();
    Command command{false, [path = parser.database(db), name = parser.required(table), file = parser.required(output)](QTextStream &out) {
                        checkMaintainable(path);
                        DataBridge::setDefaultDatabase(path);
                        WinMagnge maintenance;
                        try {
                            maintenance.exportTable(name, file);
                        } catch (const Error &error) {
                            throw CommandFailure(error.message());
                        }
                        out << "已导出 / exported: " << file << "\n";
                        return int(kConfirmed);
                    }};
    command.drawsOffscreen = true;
    return command;
}

Command initCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("init"),
                         QStringLiteral("在数据库中建立缺少的四张元数据表，写入它们自己的元数据，并按表的结构写入 --table 的元数据 / "
                                        "Creates the four metadata tables where missing, writes their own metadata, and "
                                        "writes the metadata of each --table from its schema"));
    const QCommandLineOption db = databaseOption();
    const QCommandLineOption table(QStringLiteral("table"),
                                   QStringLiteral("按表的结构写入它的元数据，可重复；已有的不改 / write the table's metadata "
                                                  "from its schema, repeatable; what is there stays"),
                                   QStringLiteral("NAME"));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("重新写入这些表的元数据 / write the metadata of these tables afresh"));
    parser.addOptions({db, table, replace});
    if (parser.parse(arguments))
        return parser.helpCommand();
    return {false, [path = parser.database(db), tables = parser.values(table), afresh = parser.isSet(replace)](QTextStream &out) {
                // A missing SQLite file is made here, as the metadata's home.
                DataBridge().Open(path, QStringLiteral("Create"));
                DataBridge::setDefaultDatabase(path);
                Metadata::createTables();
                Metadata::describeMetadataTables();
                out << "元数据表已就绪 / the metadata tables are ready: " << DataBridge::withoutPassword(path) << "\n";
                for (const QString &name : tables) {
                    const bool written = Metadata::describeTable(name, afresh);
                    out << (written ? "已写入元数据 / metadata written: " : "元数据已有，未改动 / metadata kept as it was: ") << name
                        << "\n";
                }
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
