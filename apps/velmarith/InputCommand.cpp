#include "InputCommand.h"

#include <velmarith/WinInput.h>

#include <QCommandLineParser>

namespace velmarith::app {

int runInputCommand(const QStringList &arguments, QTextStream &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "显示输入框，把确认的文字写到标准输出；取消时退出码为 1。\n"
        "Shows the input box and prints the confirmed text on standard output; exits 1 when cancelled."));
    parser.addHelpOption();
    const QCommandLineOption prompt(QStringLiteral("prompt"), QStringLiteral("提示文字 / the prompt above the entry"),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption title(QStringLiteral("title"), QStringLiteral("窗口标题 / the window title"),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("Input 自由输入 / free text (default); Select 可输入也可选择 / "
                                                 "type or pick; OnlySelect 只能选择 / pick only"),
                                  QStringLiteral("MODE"), QStringLiteral("Input"));
    const QCommandLineOption item(QStringLiteral("item"),
                                  QStringLiteral("可重复：Input 时第一个为默认文字，其余模式为列表条目 / repeatable: "
                                                 "the default text for Input, the list entries otherwise"),
                                  QStringLiteral("TEXT"));
    parser.addOptions({prompt, title, mode, item});
    parser.process(arguments);

    auto entries = std::make_shared<Collection>();
    for (const QString &entry : parser.values(item))
        entries->Add(entry);
    WinInput input;
    const QString text = input.InputAny(parser.value(prompt), parser.value(title), parser.value(mode), entries);
    if (!input.inputAccepted())
        return 1;
    out << text << Qt::endl;
    return 0;
}

} // namespace velmarith::app
