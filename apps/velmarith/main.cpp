#include "DemoDatabase.h"
#include "InputCommand.h"
#include "ManageCommand.h"
#include "SearchCommand.h"

#include <velmarith/Error.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

int runDemo(const QStringList &arguments, QTextStream &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "创建并显示演示数据库，再打开员工表的维护窗口 / Creates and shows the demo database, then opens "
        "the maintenance window on its employee table"));
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"),
                                      QStringLiteral("数据库文件 / database file (default: %1)")
                                          .arg(velmarith::app::demoDatabasePath()),
                                      QStringLiteral("PATH"));
    parser.addOption(dbOption);
    const QCommandLineOption traceOption(QStringLiteral("trace-sql"),
                                         QStringLiteral("把每条语句写到标准错误 / write every statement to standard error"));
    parser.addOption(traceOption);
    parser.process(arguments);
    const QString path = parser.isSet(dbOption) ? parser.value(dbOption) : velmarith::app::demoDatabasePath();

    const bool created = velmarith::app::ensureDemoDatabase(path);
    out << (created ? "已创建演示数据库 / created the demo database: " : "演示数据库 / demo database: ") << path << "\n";
    velmarith::app::printDatabase(path, out);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "\n没有显示器，不打开窗口 / no display: the maintenance window is not opened\n";
        return 0;
    }
    out.flush();
    velmarith::app::manageTable(path, QStringLiteral("员工"), QString(), parser.isSet(traceOption));
    return 0;
}

void printUsage(QTextStream &out)
{
    out << "用法 / usage: velmarith <command> [options]\n"
           "  demo    演示数据库和维护窗口 / the demo database and the maintenance window\n"
           "  manage  打开表维护窗口 / open the maintenance window on a table\n"
           "  init    建立元数据表 / create the metadata tables in a database\n"
           "  search  显示查找窗口 / show the lookup window\n"
           "  input   显示输入框 / show the input box\n"
           "每个命令的 --help 列出其选项 / each command's --help lists its options\n";
}

bool needsWindows(const char *command)
{
    if (qstrcmp(command, "demo") == 0)
        return velmarith::app::canShowWindows();
    return qstrcmp(command, "input") == 0 || qstrcmp(command, "manage") == 0 || qstrcmp(command, "search") == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Commands that only touch the database run without a display.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && needsWindows(argv[1]))
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmarith"));
    QTextStream out(stdout);
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        printUsage(out);
        return 2;
    }
    const QString command = arguments.takeAt(1);
    try {
        if (command == u"demo")
            return runDemo(arguments, out);
        if (command == u"input")
            return velmarith::app::runInputCommand(arguments, out);
        if (command == u"search")
            return velmarith::app::runSearchCommand(arguments, out);
        if (command == u"manage")
            return velmarith::app::runManageCommand(arguments, out);
        if (command == u"init")
            return velmarith::app::runInitCommand(arguments, out);
        printUsage(out);
        return 2;
    } catch (const velmarith::Error &error) {
        out.flush();
        std::fprintf(stderr, "velmarith: %s\n", error.what());
        return 1;
    }
}
