#include "DemoDatabase.h"

#include <velmarith/Error.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

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
           "每个命令的 --help 列出其选项 / each command's --help lists its options\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
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
        printUsage(out);
        return 2;
    } catch (const velmarith::Error &error) {
        out.flush();
        std::fprintf(stderr, "velmarith: %s\n", error.what());
        return 1;
    }
}
