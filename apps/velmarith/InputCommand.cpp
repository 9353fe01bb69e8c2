#include "InputCommand.h"

#include <velmarith/WinInput.h>

namespace velmarith::app {

Command inputCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("input"),
                         QStringLiteral("显示输入框，把确认的文字写到标准输出；取消时退出码为 1。\n"
                                        "Shows the input box and prints the confirmed text on standard output; "
                                        "exits 1 when cancelled."));
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
    if (parser.parse(arguments))
        return parser.helpCommand();

    const QString modeName =
        parser.oneOf(mode, {QStringLiteral("Input"), QStringLiteral("Select"), QStringLiteral("OnlySelect")});
    auto entries = std::make_shared<Collection>();
    for (const QString &entry : parser.values(item))
        entries->Add(entry);
    return {true, [promptText = parser.value(prompt), titleText = parser.value(title), modeName, entries](QTextStream &out) {
                WinInput input;
                const QString text = input.InputAny(promptText, titleText, modeName, entries);
                if (!input.inputAccepted())
                    return int(kCancelled);
                out << text << Qt::endl;
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
