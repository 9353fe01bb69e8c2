#include <velmarith/Error.h>
#include <velmarith/SqlText.h>
#include <velmarith/WinSearch.h>

#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"
#include "toolkit/TreeView.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRandomGenerator>

#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

std::shared_ptr<Collection> treeRows(std::initializer_list<QStringList> rows)
{
    auto collection = std::make_shared<Collection>();
    for (const QStringList &values : rows) {
        auto row = std::make_shared<Collection>();
        row->Add(values[0], u"根节点"_s);
        row->Add(values[1], u"键值"_s);
        row->Add(values[2], u"内容"_s);
        collection->Add(row);
    }
    return collection;
}

// A database of departments, a scripted desktop and every SelectSuccess the host received.
class SearchWindow : public ::testing::Test
{
protected:
    SearchWindow()
    {
        db.exec({u"create table 部门(编号 varchar(4), 名称 varchar(20))"_s, u"insert into 部门 values('D01','销售部')"_s,
                 u"insert into 部门 values('D02','财务部')"_s, u"insert into 部门 values('D03','财务审计部')"_s,
                 u"insert into 部门 values('D04','100%达标')"_s, u"insert into 部门 values('D05','100分')"_s,
                 u"insert into 部门 values('D06','O''Brien')"_s, u"insert into 部门 values('D07','a_b')"_s,
                 u"insert into 部门 values('D08','axb')"_s});
        QObject::connect(&search, &WinSearch::SelectSuccess, [this](const QString &text) { raised.append(text); });
    }
    void keywordList(const QString &queryKey)
    {
        search.setSearchWorkMode(0);
        search.setSearchMainData(u"select 名称,编号 from 部门"_s);
        search.setSearchSearchSubData(u"名称"_s);
        search.setSearchQueryKey(queryKey);
    }
    // Shows a window of our own, so a script can read its controls' geometry in twips.
    void show(frmDataSearch &form, const std::function<void(FormDriver &)> &script)
    {
        desktop.expectModal(u"frmDataSearch"_s, script);
        form.ShowModal();
    }

    test::TempDatabase db;
    test::ScriptedDesktop desktop;
    WinSearch search;
    QStringList raised;
};

int width(frmDataSearch &form, const QString &control)
{
    return form.control(control)->Width();
}

int height(frmDataSearch &form, const QString &control)
{
    return form.control(control)->Height();
}

} // namespace

TEST_F(SearchWindow, escapeAndTheCloseBoxRaiseSelectSuccessOnceWithNothing)
{
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"") << "an empty caption replaces the designed 查找";
        user.pressKey(27);
    });
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) { user.close(); });
    search.SearchAny();
    search.SearchAny();
    EXPECT_EQ(raised, (QStringList{u""_s, u""_s}));
}

TEST_F(SearchWindow, opensOnTheTabOfItsWorkModeWithAnEmptyList)
{
    const struct {
        int16_t mode;
        int tab;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {7, 0}};
    for (const auto &c : cases) {
        desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
            EXPECT_EQ(user.isVisible(u"txtQuery"_s), c.tab == 0) << c.mode;
            EXPECT_EQ(user.isVisible(u"tvwQuery"_s), c.tab == 1) << c.mode;
            EXPECT_EQ(user.isVisible(u"lvwList"_s), c.tab == 2) << c.mode;
            EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{});
            EXPECT_EQ(user.items(u"lvwList"_s), QStringList{});
            user.pressKey(27);
        });
        search.setSearchCaption(u"查找部门"_s);
        search.setSearchWorkMode(c.mode);
        search.setSearchDataType(2); // a tree source that loads nothing
        search.SearchAny();
    }
    EXPECT_EQ(desktop.modals().back().caption, u"查找部门");
}

TEST_F(SearchWindow, laysOutItsControlsForItsSizeAndNeverBelowTheMinimum)
{
    frmDataSearch designed;
    show(designed, [&](FormDriver &) {
        EXPECT_EQ(designed.Width(), 4305);
        EXPECT_EQ(designed.ScaleHeight(), 5775);
        EXPECT_EQ(width(designed, u"stbQuery"_s), 4230);
        EXPECT_EQ(height(designed, u"stbQuery"_s), 5820);
        EXPECT_EQ(width(designed, u"txtQuery"_s), 4050);
        EXPECT_EQ(width(designed, u"lvwQuery"_s), 4080);
        EXPECT_EQ(height(designed, u"lvwQuery"_s), 4320);
        for (const QString &name : {u"tvwQuery"_s, u"lvwList"_s}) {
            EXPECT_EQ(width(designed, name), 4050);
            EXPECT_EQ(height(designed, name), 4920);
        }
        EXPECT_EQ(designed.control(u"cmdOK"_s)->Left(), 3240);
        EXPECT_EQ(designed.control(u"cmdOK"_s)->Top(), 5415);
        designed.setWidth(1000);
        designed.setHeight(2000);
        EXPECT_EQ(designed.Width(), 2700);
        EXPECT_EQ(designed.Height(), 3600);
        EXPECT_EQ(width(designed, u"stbQuery"_s), 2625);
        EXPECT_EQ(height(designed, u"stbQuery"_s), 3600 - frmDataSearch::kFrameHeight + 45);
        designed.Unload();
    });

    frmDataSearch sized;
    sized.SearchWidth = 3000;
    sized.SearchHeight = 6000;
    show(sized, [&](FormDriver &) {
        EXPECT_EQ(sized.Width(), 3000) << "a given size opens the window";
        EXPECT_EQ(sized.Height(), 6000);
        EXPECT_EQ(width(sized, u"stbQuery"_s), 2925);
    });
    frmDataSearch tiny;
    tiny.SearchWidth = 100;
    show(tiny, [&](FormDriver &) { EXPECT_EQ(tiny.Width(), 2700); });
}

TEST_F(SearchWindow, buildsTheTreeFromTheHostsRowsAndHandsBackTheChosenNode)
{
    search.setSearchWorkMode(1);
    search.setSearchDataType(0);
    const auto rows = treeRows({{u""_s, u"A"_s, u"甲"_s}, {u"A"_s, u"B"_s, u"乙"_s}, {u""_s, u"C"_s, u"丙"_s}});
    search.setSearchDataColl(rows);
    EXPECT_EQ(search.SearchDataColl(), rows) << "the collection itself, not a copy";
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        auto &tree = *qobject_cast<toolkit::TreeView *>(&user.control(u"tvwQuery"_s));
        EXPECT_EQ(tree.childKeys(QString()), (QStringList{u"A"_s, u"C"_s}));
        EXPECT_EQ(tree.childKeys(u"A"_s), QStringList{u"B"_s});
        EXPECT_TRUE(tree.node(u"A"_s).expanded);
        EXPECT_TRUE(tree.node(u"C"_s).expanded);
        EXPECT_FALSE(tree.node(u"B"_s).expanded);
        user.doubleClickNode(u"tvwQuery"_s, u"B"_s);
    });
    search.SearchAny();
    EXPECT_EQ(raised, QStringList{u"乙"_s});

    search.setSearchDataColl(std::make_shared<Collection>());
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        EXPECT_EQ(qobject_cast<toolkit::TreeView *>(&user.control(u"tvwQuery"_s))->nodeCount(), 0);
        user.click(u"cmdOK"_s);
    });
    search.SearchAny();
    EXPECT_EQ(raised.last(), u"") << "OK with no node chosen";
}

TEST_F(SearchWindow, aTreeThatCannotBeBuiltFailsTheCallWithoutAnEvent)
{
    search.setSearchWorkMode(1);
    search.setSearchDataType(0);
    EXPECT_EQ(test::errorNumberOf([&] { search.SearchAny(); }), ErrorNumber::ObjectNotSet);
    search.setSearchDataColl(treeRows({{u"A"_s, u"B"_s, u"乙"_s}, {u""_s, u"A"_s, u"甲"_s}}));
    EXPECT_EQ(test::errorNumberOf([&] { search.SearchAny(); }), ErrorNumber::ElementNotFound) << "a child before its parent";
    search.setSearchDataColl(treeRows({{u""_s, u"A"_s, u"甲"_s}, {u""_s, u"A"_s, u"乙"_s}}));
    EXPECT_EQ(test::errorNumberOf([&] { search.SearchAny(); }), ErrorNumber::KeyNotUnique);
    EXPECT_TRUE(raised.isEmpty());
    EXPECT_TRUE(desktop.modals().empty()) << "the window was never shown";
}

TEST_F(SearchWindow, buildsOneOrTwoLevelsFromStatements)
{
    db.exec({u"create table 员工(编号 varchar(4), 姓名 varchar(20), 部门 varchar(4))"_s,
             u"insert into 员工 values('0001','张伟','D01')"_s, u"insert into 员工 values('0002','王芳','D02')"_s});
    search.setSearchWorkMode(1);
    search.setSearchDataType(1);
    search.setSearchMainData(u"select 编号,名称 from 部门 where 编号 in ('D01','D02') order by 编号"_s);
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        auto &tree = *qobject_cast<toolkit::TreeView *>(&user.control(u"tvwQuery"_s));
        EXPECT_EQ(tree.childKeys(QString()), (QStringList{u"KD01"_s, u"KD02"_s}));
        EXPECT_EQ(tree.node(u"KD02"_s).text, u"财务部");
        user.doubleClickNode(u"tvwQuery"_s, u"KD02"_s);
    });
    search.SearchAny();

    search.setSearchSubData(u"select 部门,编号,姓名 from 员工 order by 编号"_s);
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        auto &tree = *qobject_cast<toolkit::TreeView *>(&user.control(u"tvwQuery"_s));
        EXPECT_EQ(tree.childKeys(u"KD01"_s), QStringList{u"F0001"_s});
        EXPECT_EQ(tree.node(u"F0002"_s).parentKey, u"KD02");
        EXPECT_EQ(tree.node(u"KD01"_s).image, u"MiKey");
        EXPECT_EQ(tree.node(u"F0001"_s).image, u"SpKey");
        user.selectNode(u"tvwQuery"_s, u"F0002"_s);
        user.click(u"cmdOK"_s);
    });
    search.SearchAny();
    EXPECT_EQ(raised, (QStringList{u"财务部"_s, u"王芳"_s}));

    search.setSearchMainData(QString());
    test::StatementLog log;
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        EXPECT_EQ(qobject_cast<toolkit::TreeView *>(&user.control(u"tvwQuery"_s))->nodeCount(), 0);
        user.doubleClickNode(u"tvwQuery"_s, QString());
    });
    EXPECT_EQ(test::errorNumberOf([&] { search.SearchAny(); }), 0);
    EXPECT_EQ(log.statements(), QStringList{u"select 部门,编号,姓名 from 员工 order by 编号"_s}) << "the second query still runs";
}

TEST_F(SearchWindow, filtersAtEveryChangeOfTheKeywordAndKeepsTheRowsWhenItIsCleared)
{
    keywordList(u"0"_s);
    test::StatementLog log;
    desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"财"_s);
        user.setText(u"txtQuery"_s, u"财务"_s);
        user.setText(u"txtQuery"_s, u"财务审"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"财务审计部"_s});
        user.setText(u"txtQuery"_s, QString());
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"财务审计部"_s}) << "clearing runs nothing";
        user.setText(u"txtQuery"_s, u"  "_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s).size(), 8) << "blanks only match every row";
        user.setText(u"txtQuery"_s, u"财务"_s);
        user.clickItem(u"lvwQuery"_s, 2);
        user.click(u"cmdOK"_s);
    });
    search.SearchAny();
    EXPECT_EQ(log.statements(), (QStringList{u"select 名称,编号 from 部门 where 名称 like ('%财%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%财务%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%财务审%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%财务%')"_s}));
    EXPECT_EQ(raised, QStringList{u"财务审计部"_s});
}

TEST_F(SearchWindow, theListsColumnsAreWideEnoughForTheirValuesWithinTheList)
{
    db.exec({u"insert into 部门 values('D09','重庆银行办公用品部')"_s});
    frmDataSearch form;
    form.SearchMainData = u"select 名称,编号 from 部门"_s;
    form.SearchQueryTerm = u"名称"_s;
    form.SearchQueryKey = u"0"_s;
    show(form, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"重庆"_s);
        auto &list = static_cast<toolkit::ListView &>(*form.control(u"lvwQuery"_s));
        const int needed = toolkit::toTwips(QFontMetrics(list.widget()->font()).horizontalAdvance(u"重庆银行办公用品部"_s));
        EXPECT_GE(list.column(1).width, needed) << "the name shows whole, not as 重庆…";
        EXPECT_LE(list.column(1).width + list.column(2).width, list.Width());
        user.pressKey(27);
    });
}

TEST_F(SearchWindow, filtersOncePerTextAnInputMethodCommitsAndNeverOnItsPreedit)
{
    keywordList(u"0"_s);
    test::StatementLog log;
    desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"财务部"_s);
        auto *edit = qobject_cast<QLineEdit *>(user.widget(u"txtQuery"_s));
        ASSERT_TRUE(edit);
        auto send = [edit](const QString &preedit, const QString &commit) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QApplication::sendEvent(edit, &event);
        };
        // The pre-edit replaces the selected 部: the text changes before anything is committed.
        edit->setSelection(2, 1);
        for (const QString &typed : {u"s"_s, u"sh"_s, u"shen"_s})
            send(typed, QString());
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"财务部"_s});
        send(QString(), u"审"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"财务审计部"_s});
        // Given up: the text left is filtered once.
        edit->setSelection(2, 1);
        send(u"x"_s, QString());
        send(QString(), QString());
        EXPECT_EQ(user.text(u"txtQuery"_s), u"财务"_s);
        user.pressKey(27);
    });
    search.SearchAny();
    EXPECT_EQ(log.statements(), (QStringList{u"select 名称,编号 from 部门 where 名称 like ('%财务部%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%财务审%')"_s,
                                             u"select 名称,编号 from 部门 where 名称 like ('%财务%')"_s}));
}

TEST_F(SearchWindow, onEnterModeFiltersOnlyWhenEnterIsPressedThenMovesToTheList)
{
    keywordList(u"1"_s);
    test::StatementLog log;
    desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"销售"_s);
        EXPECT_TRUE(log.entries.empty()) << "typing runs nothing";
        user.pressKey(13);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"销售部"_s});
        EXPECT_EQ(user.activeControl(), u"lvwQuery");
        EXPECT_EQ(user.text(u"txtQuery"_s), u"销售") << "the Enter character reaches no control";
        user.doubleClickItem(u"lvwQuery"_s, 1);
    });
    search.SearchAny();
    EXPECT_EQ(log.statements(), QStringList{u"select 名称,编号 from 部门 where 名称 like ('%销售%')"_s});
    EXPECT_EQ(raised, QStringList{u"销售部"_s});

    for (const QString &never : {QString(), u" 0"_s}) {
        keywordList(never);
        log.entries.clear();
        desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
            user.setText(u"txtQuery"_s, u"销售"_s);
            user.pressKey(13);
        });
        search.SearchAny();
        EXPECT_TRUE(log.entries.empty()) << "query key \"" << never.toStdString() << "\" never filters";
    }
}

TEST_F(SearchWindow, theKeywordIsAlwaysTextNeverSql)
{
    keywordList(u"0"_s);
    const QString before = db.dump();
    test::StatementLog log;
    desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"O'B"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"O'Brien"_s});
        user.setText(u"txtQuery"_s, u"100%"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"100%达标"_s}) << "% matches itself";
        user.setText(u"txtQuery"_s, u"a_b"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"a_b"_s});
        user.setText(u"txtQuery"_s, u"x'); drop table 部门; --"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{});
        user.pressKey(27);
    });
    search.SearchAny();
    const QStringList statements = log.statements();
    ASSERT_EQ(statements.size(), 4);
    EXPECT_EQ(statements[0], u"select 名称,编号 from 部门 where 名称 like ('%O''B%')");
    EXPECT_EQ(statements[1], u"select 名称,编号 from 部门 where 名称 like ('%100\\%%') escape '\\'");
    EXPECT_EQ(statements[2], u"select 名称,编号 from 部门 where 名称 like ('%a\\_b%') escape '\\'");
    EXPECT_EQ(db.dump(), before);
}

TEST_F(SearchWindow, onlySpacesAreTrimmedFromTheKeyword)
{
    db.exec({u"insert into 部门 values('D09','财务\u3000部')"_s, u"insert into 部门 values('D10','制\t表')"_s});
    keywordList(u"0"_s);
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"财务\u3000"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"财务\u3000部"_s}) << "the ideographic space is kept";
        user.setText(u"txtQuery"_s, u"  财务  "_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), (QStringList{u"财务部"_s, u"财务审计部"_s, u"财务\u3000部"_s}));
        user.setText(u"txtQuery"_s, u"\t"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{u"制\t表"_s}) << "a tab is text";
        user.pressKey(27);
    });
    search.SearchAny();
}

TEST_F(SearchWindow, aRefusedQueryIsToldOnceLeavesTheListEmptyAndTheWindowUsable)
{
    keywordList(u"0"_s);
    for (int i = 0; i < 3; ++i)
        desktop.answer(MessageAnswer::Ok);
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        user.setText(u"txtQuery"_s, QString(100000, u'x'));
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList{});
        user.setText(u"txtQuery"_s, QString(100001, u'y'));
        user.setText(u"txtQuery"_s, u"a"_s + QChar(u'\0') + u"b"_s);
        user.setText(u"txtQuery"_s, u"财务"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), QStringList({u"财务部"_s, u"财务审计部"_s}));
        user.clickItem(u"lvwQuery"_s, 1);
        user.click(u"cmdOK"_s);
    });
    search.SearchAny();
    ASSERT_EQ(desktop.messages().size(), 2u) << "each distinct reason once, not at every keystroke";
    EXPECT_TRUE(desktop.messages()[0].text.contains(u"pattern too complex"_s)) << desktop.messages()[0].text.toStdString();

    search.setSearchMainData(u"select 名称,编号 from 部门 order by 编号"_s); // no condition can follow
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"财"_s);
        user.setText(u"txtQuery"_s, u"财务"_s);
        user.click(u"cmdOK"_s);
    });
    search.SearchAny();
    ASSERT_EQ(desktop.messages().size(), 3u);
    EXPECT_TRUE(desktop.messages()[2].text.startsWith(u"数据库拒绝了这项操作："_s)) << desktop.messages()[2].text.toStdString();
    EXPECT_EQ(search.queryFailures(), QStringList{desktop.messages()[2].text}) << "the latest SearchAny's";
    EXPECT_EQ(raised, QStringList({u"财务部"_s, u""_s}));
}

TEST_F(SearchWindow, theWindowRaisesItsOwnEventOnceWhileStillShown)
{
    frmDataSearch form;
    form.SearchMainData = u"select 名称 from 部门"_s;
    form.SearchQueryTerm = u"名称"_s;
    form.SearchQueryKey = u"0"_s;
    QStringList seen;
    QObject::connect(&form, &frmDataSearch::SelectSuccess, [&](const QString &text) {
        seen.append(text);
        EXPECT_TRUE(form.isShowing());
    });
    show(form, [](FormDriver &user) {
        user.doubleClickNode(u"tvwQuery"_s, QString());
        user.setText(u"txtQuery"_s, u"销售"_s);
        user.clickItem(u"lvwQuery"_s, 1);
        user.click(u"cmdOK"_s);
    });
    EXPECT_EQ(seen, QStringList{u"销售部"_s});
    EXPECT_EQ(form.SearchSelect, u"销售部");
}

namespace {

// The keyword list on each backend, for what a statement's text or a keyword's characters do.
class KeywordFilter : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override
    {
        VELMARITH_SKIP_WITHOUT_SERVER(GetParam());
        db.exec({u"create table 目录(名称 varchar(20))"_s, u"insert into 目录 values('C:\\报表')"_s,
                 u"insert into 目录 values('D:\\sales')"_s, u"insert into 目录 values('sales')"_s});
    }
    // The list after each keyword, typed one after the other into one window.
    std::vector<QStringList> listed(const QString &select, const QStringList &keywords,
                                    KeywordMatch match = KeywordMatch::Like)
    {
        WinSearch search;
        search.setSearchMainData(select);
        search.setSearchSearchSubData(u"名称"_s);
        search.setSearchQueryKey(u"0"_s);
        search.setKeywordMatch(match);
        std::vector<QStringList> lists;
        desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
            for (const QString &keyword : keywords) {
                user.setText(u"txtQuery"_s, keyword);
                lists.push_back(user.items(u"lvwQuery"_s));
            }
            user.pressKey(27);
        });
        search.SearchAny();
        return lists;
    }
    QStringList found(const QString &select, const QString &keyword, KeywordMatch match = KeywordMatch::Like)
    {
        return listed(select, {keyword}, match).front();
    }

    test::TempDatabase db{GetParam()};
    test::ScriptedDesktop desktop;
};

} // namespace

TEST_P(KeywordFilter, findsExactlyTheRowsHoldingTheKeywordWhateverTheStatementEndsWith)
{
    const QString select = u"select 名称 from 目录"_s;
    EXPECT_EQ(found(select, u"C:\\"_s), QStringList{u"C:\\报表"_s}) << "a backslash is text";
    EXPECT_EQ(found(select, u"\\s"_s), QStringList{u"D:\\sales"_s});
    EXPECT_EQ(found(select + u" -- every folder"_s, u"报"_s), QStringList{u"C:\\报表"_s}) << "a line comment ends first";
    EXPECT_EQ(found(select + u" ;  \n"_s, u"sales"_s), QStringList({u"D:\\sales"_s, u"sales"_s}));
    EXPECT_EQ(found(select + u" /* every folder"_s, u"报"_s), QStringList{u"C:\\报表"_s}) << "an open block comment is closed";
    if (GetParam() == test::Backend::MariaDb) {
        EXPECT_EQ(found(select + u" # every folder"_s, u"报"_s), QStringList{u"C:\\报表"_s}) << "MariaDB's line comment";
    }
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_P(KeywordFilter, inMemoryFindsExactlyWhatTheDatabasesLikeFinds)
{
    // Letters of both cases, a non-ASCII case pair, wildcards, a backslash, spaces, CJK.
    const QString alphabet = u"aAbBäÄ%_\\ 重庆1"_s;
    QRandomGenerator random(GetParam() == test::Backend::Sqlite ? 7 : 8);
    auto randomText = [&](int longest) {
        QString text;
        for (int i = random.bounded(longest + 1); i > 0; --i)
            text += alphabet[random.bounded(alphabet.size())];
        return text;
    };
    QStringList rows{u"insert into 目录 values(null)"_s, u"insert into 目录 values('')"_s};
    if (GetParam() == test::Backend::Sqlite)
        rows.append(u"insert into 目录 values('a' || char(0) || 'b')"_s); // like reads up to the NUL
    for (int i = 0; i < 60; ++i)
        rows.append(u"insert into 目录 values(%1)"_s.arg(sqlString(randomText(5))));
    db.exec(rows);
    QStringList keywords{QString(), u"A"_s, u"ä"_s, u"%"_s, u"_"_s, u"\\"_s};
    for (int i = 0; i < 80; ++i)
        keywords.append(randomText(3));
    const QString select = u"select 名称 from 目录"_s;
    EXPECT_EQ(listed(select, keywords, KeywordMatch::Instant), listed(select, keywords));
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_P(KeywordFilter, pinyinListsRowsHoldingTheKeywordFirstThenThoseReadingAsIt)
{
    db.exec({u"insert into 目录 values('长城饭店')"_s, u"insert into 目录 values('城中村')"_s,
             u"insert into 目录 values('CC 物流')"_s, u"insert into 目录 values('AB1 型')"_s});
    const QString select = u"select 名称 from 目录"_s;
    EXPECT_EQ(found(select, u"cc"_s, KeywordMatch::Pinyin), (QStringList{u"CC 物流"_s, u"长城饭店"_s}));
    EXPECT_EQ(found(select, u"czc"_s, KeywordMatch::Pinyin), QStringList{u"城中村"_s});
    EXPECT_EQ(found(select, u"ＡＢ１"_s, KeywordMatch::Pinyin), QStringList{u"AB1 型"_s}) << "full width folds";
    EXPECT_EQ(found(select, u"ＡＢ１"_s, KeywordMatch::Instant), QStringList()) << "like keeps its own rule";
}

TEST_P(KeywordFilter, whileTheKeptRowsAreReadTheLikeQueryAnswersThenTheyServe)
{
    db.exec({u"insert into 目录 values('长城饭店')"_s, u"insert into 目录 values('城中村')"_s});
    frmDataSearch form;
    form.SearchMainData = u"select 名称 from 目录"_s;
    form.SearchQueryTerm = u"名称"_s;
    form.SearchQueryKey = u"0"_s;
    form.Matching = KeywordMatch::Pinyin;
    form.ReadsWhileShown = true;
    QStringList byLike, byKeptRows, nextKeystroke;
    desktop.expectModal(u"frmDataSearch"_s, [&](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"czc"_s);
        byLike = user.items(u"lvwQuery"_s); // the letters are in no name
        EXPECT_FALSE(form.keepsRows());
        QElapsedTimer waited;
        waited.start();
        while (!form.keepsRows() && waited.elapsed() < 10000)
            QCoreApplication::processEvents();
        byKeptRows = user.items(u"lvwQuery"_s); // found again once the rows are in
        user.setText(u"txtQuery"_s, u"cc"_s);
        nextKeystroke = user.items(u"lvwQuery"_s);
        user.pressKey(27);
    });
    form.ShowModal();
    EXPECT_EQ(byLike, QStringList());
    EXPECT_EQ(byKeptRows, QStringList{u"城中村"_s});
    EXPECT_EQ(nextKeystroke, QStringList{u"长城饭店"_s});
}

INSTANTIATE_TEST_SUITE_P(Backends, KeywordFilter, ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);
