#include "DemoDatabase.h"
#include "InputCommand.h"

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
    parser.setApplicationDescription(QStringLiteral("创建并显示演示数据库 / Create and show the demo database"));
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"),
                                      QStringLiteral("数据库文件 / database file (default: %1)")
                                          .arg(velmarith::app::demoDatabasePath()),
                                      QStringLiteral("PATH"));
    parser.addOption(dbOption);
    parser.process(arguments);
    const QString path = parser.isSet(dbOption) ? parser.value(dbOption) : velmarith::app::demoDatabasePath();

    const bool created = velmarith::app::ensureDemoDatabase(path);
    out << (created ? "已创建演示数据库 / created the demo database: " : "演示数据库 / demo database: ") << path << "\n";
    velmarith::app::printDatabase(path, out);
    return 0;
}

void printUsage(QTextStream &out)
{
    out << "用法 / usage: velmarith <command> [options]\n"
           "  demo    创建并显示演示数据库 / create and show the demo database\n"
           "  input   显示输入框 / show the input box\n"
           "每个命令的 --help 列出其选项 / each command's --help lists its options\n";
}

bool needsWindows(const char *command)
{
    return qstrcmp(command, "input") == 0;
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
        printUsage(out);
        return 2;
    } catch (const velmarith::Error &error) {
        out.flush();
        std::fprintf(stderr, "velmarith: %s\n", error.what());
        return 1;
    }
}
