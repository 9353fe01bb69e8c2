#include "SearchCommand.h"

#include "ManageCommand.h"

#include <velmarith/DataBridge.h>
#include <velmarith/WinSearch.h>

#include <QCommandLineParser>

#include <cstdio>

namespace velmarith::app {
namespace {

[[noreturn]] void usageError(QCommandLineParser &parser, const char *problem)
{
    std::fprintf(stderr, "velmarith search: %s\n", problem);
    parser.showHelp(2);
}

} // namespace

int runSearchCommand(const QStringList &arguments, QTextStream &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "显示查找窗口，把选中的文字写到标准输出；什么也没选时退出码为 1。\n"
        "Shows the lookup window and prints the chosen text on standard output; exits 1 when nothing was chosen.\n"
        "  关键字列表 / keyword list: --list \"select 名称 from 部门\" --term 名称 [--on-enter]\n"
        "  树 / tree: --tree \"select 键,文字 from …\" [--sub \"select 上级键,键,文字 from …\"]"));
    parser.addHelpOption();
    const QCommandLineOption db = databaseOption();
    const QCommandLineOption caption(QStringLiteral("caption"), QStringLiteral("窗口标题 / the window caption"),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("关键字列表的语句，不带 where / the keyword list's select, without where"),
                                  QStringLiteral("SELECT"));
    const QCommandLineOption term(QStringLiteral("term"),
                                  QStringLiteral("与关键字比较的列或表达式 / the column or expression the keyword is matched against"),
                                  QStringLiteral("EXPR"));
    const QCommandLineOption onEnter(QStringLiteral("on-enter"),
                                     QStringLiteral("按回车时才查找 / filter when Enter is pressed, not at every change"));
    const QCommandLineOption tree(QStringLiteral("tree"),
                                  QStringLiteral("树的第一层：键,文字 / the tree's first level: key, text"),
                                  QStringLiteral("SELECT"));
    const QCommandLineOption sub(QStringLiteral("sub"),
                                 QStringLiteral("树的第二层：上级键,键,文字 / the second level: parent key, key, text"),
                                 QStringLiteral("SELECT"));
    parser.addOptions({db, caption, list, term, onEnter, tree, sub});
    parser.process(arguments);

    if (!parser.isSet(db))
        usageError(parser, "--db is required");
    if (parser.isSet(list) == parser.isSet(tree))
        usageError(parser, "give either --list with --term, or --tree");
    if (parser.isSet(list) && !parser.isSet(term))
        usageError(parser, "--list needs --term");

    DataBridge::setDefaultDatabase(parser.value(db));
    WinSearch search;
    search.setSearchCaption(parser.value(caption));
    if (parser.isSet(list)) {
        search.setSearchWorkMode(0);
        search.setSearchMainData(parser.value(list));
        search.setSearchSearchSubData(parser.value(term));
        search.setSearchQueryKey(parser.isSet(onEnter) ? QStringLiteral("1") : QStringLiteral("0"));
    } else {
        search.setSearchWorkMode(1);
        search.setSearchDataType(1);
        search.setSearchMainData(parser.value(tree));
        search.setSearchSubData(parser.value(sub));
    }
    QString chosen;
    QObject::connect(&search, &WinSearch::SelectSuccess, [&chosen](const QString &text) { chosen = text; });
    search.SearchAny();
    if (chosen.isEmpty())
        return 1;
    out << chosen << Qt::endl;
    return 0;
}

} // namespace velmarith::app
