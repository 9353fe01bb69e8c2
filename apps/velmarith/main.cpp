#include "DemoCommand.h"
#include "FileCommand.h"
#include "InputCommand.h"
#include "ManageCommand.h"
#include "RegisterCommand.h"
#include "SearchCommand.h"
#include "TypelibCommand.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

using namespace velmarith::app;

struct Subcommand {
    const char *name;
    const char *summary;
    Command (*parse)(const QStringList &arguments);
};

constexpr std::array kSubcommands{
    Subcommand{"demo", "演示数据库和维护窗口 / the demo database and the maintenance window", demoCommand},
    Subcommand{"manage", "打开表维护窗口 / open the maintenance window on a table", manageCommand},
    Subcommand{"export", "把表维护窗口的列表导出为 .csv、.xlsx 或 .pdf / export a maintenance window's list to .csv, .xlsx or .pdf", exportCommand},
    Subcommand{"init", "建立元数据表，按表的结构写入元数据 / create the metadata tables, write a table's from its schema", initCommand},
    Subcommand{"search", "显示查找窗口 / show the lookup window", searchCommand},
    Subcommand{"input", "显示输入框 / show the input box", inputCommand},
    Subcommand{"file", "显示文件窗口 / show the file window", fileCommand},
    Subcommand{"typelib", "显示类型库 / print the type library", typelibCommand},
    Subcommand{"register", "注册组件服务器 / register the component server", registerCommand},
    Subcommand{"unregister", "删除组件服务器的注册 / unregister the component server", unregisterCommand},
};

QString overallUsage()
{
    QString text = usageLine(QString()) + QStringLiteral("\n");
    for (const Subcommand &subcommand : kSubcommands)
        text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(subcommand.name).leftJustified(10), QString::fromUtf8(subcommand.summary));
    text += QStringLiteral("每个命令的 --help 列出其选项 / each command's --help lists its options\n"
                           "退出码 / exit codes: 0 确认或完成 / confirmed or done, 1 取消 / cancelled, "
                           "2 用法错误 / usage error, 3 运行错误 / runtime error\n");
    return text;
}

void printError(const QString &text)
{
    std::fputs(qUtf8Printable(text + QStringLiteral("\n")), stderr);
}

QString prefixOf(const QString &command)
{
    return command.isEmpty() ? QStringLiteral("velmarith: ") : QStringLiteral("velmarith %1: ").arg(command);
}

// The whole command line read as our own: the subcommand's parse never sees Qt's options.
Command commandFor(const QStringList &arguments)
{
    if (arguments.size() < 2)
        throw UsageError(QString(), QStringLiteral("缺少命令 / a command is required"));
    const QString &name = arguments.at(1);
    if (name == u"--help" || name == u"-h")
        return {false, [](QTextStream &out) {
                    out << overallUsage();
                    return int(kConfirmed);
                }};
    if (name == u"--version" || name == u"-v")
        return {false, [](QTextStream &out) {
                    out << "velmarith " << VELMARITH_VERSION << "\n";
                    return int(kConfirmed);
                }};
    for (const Subcommand &subcommand : kSubcommands) {
        if (name == QLatin1String(subcommand.name)) {
            QStringList own = arguments;
            own.removeAt(1);
            return subcommand.parse(own);
        }
    }
    throw UsageError(QString(), QStringLiteral("未知命令 / unknown command: %1").arg(name));
}

const QString kNoDisplay = QStringLiteral("没有可用的显示器，不能打开窗口；请在图形界面中运行，或用 xvfb-run / "
                                          "no display to open the window on; run it in a desktop session, or under "
                                          "xvfb-run");

// Qt ends the process when it cannot reach the display; this says why and exits 3 instead.
void reportMissingDisplay(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        std::fputs(qUtf8Printable(message + QStringLiteral("\n")), stderr);
        return;
    }
    printError(QStringLiteral("velmarith: %1 (DISPLAY=%2)").arg(kNoDisplay, qEnvironmentVariable("DISPLAY")));
    std::_Exit(kRuntimeError);
}

// Qt is given only the program name: a space-separated --title is Qt's own option on X11 and
// would otherwise never reach the input box.
std::unique_ptr<QCoreApplication> applicationFor(const Command &command, int &argc, char **argv)
{
    if (command.drawsOffscreen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }
    if (!command.showsWindows)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (!canShowWindows())
        throw CommandFailure(kNoDisplay);
    const QtMessageHandler previous = qInstallMessageHandler(reportMissingDisplay);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return application;
}

} // namespace

int main(int argc, char *argv[])
{
    // Every byte kept: a path that is not UTF-8 must reach the system again as it was given.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(velmarith::decodeFileName(QByteArray(argv[i])));

    QString subcommand = arguments.size() > 1 ? arguments.at(1) : QString();
    std::optional<Command> command;
    try {
        command = commandFor(arguments);
    } catch (const UsageError &error) {
        const QString &name = error.command();
        printError(prefixOf(name) + QString::fromStdString(error.what()));
        if (name.isEmpty())
            printError(overallUsage());
        else
            printError(QStringLiteral("%1\n运行 velmarith %2 --help 查看选项 / run velmarith %2 --help for the options")
                           .arg(usageLine(name), name));
        return kUsageError;
    }

    int qtArgc = 1;
    std::array<char *, 2> qtArgv{argv[0], nullptr};
    try {
        const std::unique_ptr<QCoreApplication> application = applicationFor(*command, qtArgc, qtArgv.data());
        QCoreApplication::setApplicationName(QStringLiteral("velmarith"));
        QTextStream out(stdout);
        return command->run(out);
    } catch (const CommandFailure &failure) {
        printError(prefixOf(subcommand) + QString::fromStdString(failure.what()));
    } catch (const velmarith::Error &error) {
        printError(prefixOf(subcommand) + QStringLiteral("错误 / error: ") + error.message());
    }
    return kRuntimeError;
}
