#include "SearchCommand.h"

#include <velmarith/DataBridge.h>
#include <velmarith/WinSearch.h>

#include <QHash>

namespace velmarith::app {

Command searchCommand(const QStringList &arguments)
{
    CommandParser parser(
        QStringLiteral("search"),
        QStringLiteral(
            "显示查找窗口，把选中的文字写到标准输出；什么也没选时退出码为 1。\n"
            "Shows the lookup window and prints the chosen text on standard output; exits 1 when nothing was chosen.\n"
            "  关键字列表 / keyword list: --list \"select 名称 from 部门\" --term 名称 [--on-enter] [--match pinyin]\n"
            "  树 / tree: --tree \"select 键,文字 from …\" [--sub \"select 上级键,键,文字 from …\"]"));
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
    const QCommandLineOption match(QStringLiteral("match"),
                                   QStringLiteral("like 每次变化都查询数据库（默认）；instant 只读一次，在内存中筛选；pinyin 同 instant，"
                                                  "也按拼音和首字母查找 / like queries at every change (default); instant reads "
                                                  "once and filters in memory; pinyin as instant, also by pinyin and initials"),
                                   QStringLiteral("MATCH"), QStringLiteral("like"));
    const QCommandLineOption tree(QStringLiteral("tree"),
                                  QStringLiteral("树的第一层：键,文字 / the tree's first level: key, text"),
                                  QStringLiteral("SELECT"));
    const QCommandLineOption sub(QStringLiteral("sub"),
                                 QStringLiteral("树的第二层：上级键,键,文字 / the second level: parent key, key, text"),
                                 QStringLiteral("SELECT"));
    const QCommandLineOption trace = traceSqlOption();
    parser.addOptions({db, caption, list, term, onEnter, match, tree, sub, trace});
    if (parser.parse(arguments))
        return parser.helpCommand();
    const QString path = parser.database(db);
    if (parser.isSet(list) == parser.isSet(tree))
        parser.fail(QStringLiteral("请给出 --list 和 --term，或 --tree / give either --list with --term, or --tree"));
    if (parser.isSet(list) && parser.value(term).isEmpty())
        parser.fail(QStringLiteral("--list 需要 --term / --list needs --term"));

    static const QHash<QString, KeywordMatch> kMatches{{QStringLiteral("like"), KeywordMatch::Like},
                                                       {QStringLiteral("instant"), KeywordMatch::Instant},
                                                       {QStringLiteral("pinyin"), KeywordMatch::Pinyin}};
    if (!kMatches.contains(parser.value(match)))
        parser.fail(QStringLiteral("--match 只能是 like、instant 或 pinyin / --match is like, instant or pinyin"));
    const KeywordMatch keywordMatch = kMatches.value(parser.value(match));

    const bool keywordList = parser.isSet(list);
    return {true, [path, keywordList, captionText = parser.value(caption), main = parser.value(keywordList ? list : tree),
                   termText = parser.value(term), filterOnEnter = parser.isSet(onEnter),
                   keywordMatch, subData = parser.value(sub), traceSql = parser.isSet(trace)](QTextStream &out) {
                DataBridge::setDefaultDatabase(path);
                if (traceSql)
                    traceStatements();
                WinSearch search;
                search.setSearchCaption(captionText);
                search.setSearchMainData(main);
                if (keywordList) {
                    search.setSearchWorkMode(0);
                    search.setSearchSearchSubData(termText);
                    search.setSearchQueryKey(filterOnEnter ? QStringLiteral("1") : QStringLiteral("0"));
                    search.setKeywordMatch(keywordMatch);
                } else {
                    search.setSearchWorkMode(1);
                    search.setSearchDataType(1);
                    search.setSearchSubData(subData);
                }
                QString chosen;
                QObject::connect(&search, &WinSearch::SelectSuccess, [&chosen](const QString &text) { chosen = text; });
                search.SearchAny();
                if (chosen.isEmpty() && !search.queryFailures().isEmpty())
                    throw CommandFailure(search.queryFailures().join(u'\n'));
                if (chosen.isEmpty())
                    return int(kCancelled);
                out << chosen << Qt::endl;
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
