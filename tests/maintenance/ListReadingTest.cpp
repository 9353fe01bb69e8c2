// The list shown while its rows are read: the window has its first rows at once and takes in the
// rest in parts; whatever needs the whole list (a command, a sort, End) reads the rest first, so
// it ends as it would after the read; a table changed meanwhile is listed as the statement saw
// it; and a window closed mid-read leaves no statement running.
#include "MaintenanceFixture.h"

#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 10000;

QStringList shownRows(const ListView &list)
{
    QStringList rows;
    for (int item = 1; item <= list.itemCount(); ++item)
        rows.append(list.itemValue(item, 0) + u'|' + list.itemValue(item, 1) + u'|' + list.itemValue(item, 2));
    return rows;
}

class ListReading : public test::MaintenanceOnEachBackend
{
protected:
    void SetUp() override
    {
        MaintenanceOnEachBackend::SetUp();
        if (IsSkipped())
            return;
        if (test::testRoute() == test::Route::Odbc)
            GTEST_SKIP() << "the ODBC drivers hand a result over whole";
        QStringList statements{u"create table 数字(i integer)"_s, u"create table 读取流水(编号 varchar(10), 名称 varchar(20), 金额 integer)"_s};
        for (int digit = 0; digit < 10; ++digit)
            statements.append(u"insert into 数字 values(%1)"_s.arg(digit));
        statements.append(u"insert into 读取流水 select cast(10000 + a.i * 1000 + b.i * 100 + c.i * 10 + d.i as char(5)), "
                          u"'名称' + cast(a.i + b.i as char(2)), a.i * 100 + d.i from 数字 a, 数字 b, 数字 c, 数字 d"_s);
        db.exec(statements);
        db.window(u"读取流水"_s, u"9000"_s, u"2700"_s);
        db.displayColumn(u"读取流水"_s, 1, u"编号"_s, u"编号"_s);
        db.displayColumn(u"读取流水"_s, 2, u"名称"_s, u"名称"_s);
        db.displayColumn(u"读取流水"_s, 3, u"金额"_s, u"金额"_s, u"Right"_s);
        db.relation(u"读取流水"_s, u"编号"_s, 7); // unique: the list is updated in place
    }

    // The window whose list is read while it is shown, with only its first part in.
    std::unique_ptr<frmManage> startReading()
    {
        auto form = std::make_unique<frmManage>();
        form->ReadsWhileShown = true;
        form->ReadSliceMilliseconds = 0; // the first part alone, however fast the machine
        form->ManageTable(u"读取流水"_s);
        EXPECT_FALSE(form->listComplete());
        return form;
    }

    QStringList wholeList() { return shownRows(start(u"读取流水"_s)->list()); }
};

TEST_P(ListReading, ShowsTheFirstRowsAndTakesInTheRestAsTheWholeReadWould)
{
    const QStringList whole = wholeList();
    ASSERT_EQ(whole.size(), kRows);
    std::unique_ptr<frmManage> form = startReading();
    ListView &list = form->list();
    const int first = list.itemCount();
    EXPECT_GT(first, 50);
    EXPECT_LT(first, kRows);
    EXPECT_EQ(list.statusLine(), u"正在读取… 已读 %1 行"_s.arg(first));
    // A row clicked while the rest is read loads, and stays the loaded row.
    list.clickItem(10);
    EXPECT_EQ(editor<TextBox>(*form, u"txt编号"_s)->Text(), whole[9].section(u'|', 0, 0));
    // The rest comes in between the events of the person's input.
    int slices = 0;
    QElapsedTimer waited;
    waited.start();
    while (!form->listComplete() && waited.elapsed() < 20000) {
        QCoreApplication::processEvents();
        ++slices;
    }
    EXPECT_GT(slices, 1);
    EXPECT_TRUE(form->listComplete());
    EXPECT_TRUE(list.statusLine().isEmpty());
    EXPECT_EQ(shownRows(list), whole);
    ASSERT_TRUE(list.SelectedItem());
    EXPECT_EQ(list.SelectedItem()->Index(), 10);
}

TEST_P(ListReading, CommandsDuringTheReadEndAsAfterIt)
{
    std::unique_ptr<frmManage> form = startReading();
    ListView &list = form->list();
    // Edit the fifth row, add one that belongs near the end, delete the third.
    list.clickItem(5);
    editor<TextBox>(*form, u"txt名称"_s)->setText(u"改过"_s);
    form->cmdEdit_Click();
    EXPECT_TRUE(form->listComplete());
    form = startReading();
    editor<TextBox>(*form, u"txt编号"_s)->setText(u"19990A"_s);
    editor<TextBox>(*form, u"txt名称"_s)->setText(u"新增"_s);
    editor<TextBox>(*form, u"txt金额"_s)->setText(u"7"_s);
    form->cmdAdd_Click();
    form = startReading();
    form->list().clickItem(3);
    desktop.answer(MessageAnswer::Yes);
    form->cmdDelete_Click();
    const QStringList afterCommands = shownRows(form->list());
    EXPECT_EQ(afterCommands, wholeList());
    EXPECT_EQ(afterCommands.size(), kRows);
    EXPECT_TRUE(afterCommands.contains(u"19990A|新增|7"_s));
    EXPECT_EQ(afterCommands[3].section(u'|', 1, 1), u"改过"_s); // the edited row moved up one
}

TEST_P(ListReading, ASortOrEndDuringTheReadMeetsTheWholeList)
{
    const QStringList whole = wholeList();
    std::unique_ptr<frmManage> form = startReading();
    form->list().clickColumn(3); // 金额, ascending
    EXPECT_TRUE(form->listComplete());
    const QStringList sorted = shownRows(form->list());
    ASSERT_EQ(sorted.size(), kRows);
    EXPECT_EQ(sorted.first().section(u'|', 2, 2), u"0"_s);
    EXPECT_EQ(sorted.last().section(u'|', 2, 2), u"909"_s);

    form = startReading();
    QWidget *rows = form->list().widget();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &end);
    EXPECT_TRUE(form->listComplete());
    ASSERT_TRUE(form->list().SelectedItem());
    EXPECT_EQ(form->list().SelectedItem()->Index(), kRows);
    EXPECT_EQ(editor<TextBox>(*form, u"txt编号"_s)->Text(), whole.last().section(u'|', 0, 0));
}

TEST_P(ListReading, ATableChangedUnderTheReadIsListedAsTheStatementSawIt)
{
    if (GetParam() == test::Backend::Sqlite)
        db.exec({u"pragma journal_mode=wal"_s}); // else the other session waits for the read
    const QStringList before = wholeList();
    std::unique_ptr<frmManage> form = startReading();
    const int shown = form->list().itemCount();
    db.exec({u"delete from 读取流水 where 编号 < '10010'"_s, u"delete from 读取流水 where 编号 > '19000'"_s,
             u"insert into 读取流水 values('10000A', '插在前面', 1)"_s, u"insert into 读取流水 values('18000A', '插在后面', 2)"_s,
             u"update 读取流水 set 编号 = '10001B' where 编号 = '15000'"_s});
    form->waitForWholeList();
    EXPECT_EQ(form->list().itemCount(), kRows);
    EXPECT_EQ(shownRows(form->list()), before) << "shown before the changes: " << shown;
}

TEST_P(ListReading, AWindowClosedMidReadLeavesNoStatementRunning)
{
    std::unique_ptr<frmManage> form = startReading();
    form->Unload();
    form.reset();
    switch (GetParam()) {
    case test::Backend::Sqlite: {
        // A read still open would hold the file's shared lock, and the write would wait it out.
        DataBridge::setBusyTimeout(100);
        DataBridge bridge;
        bridge.Open(db.nativePath());
        EXPECT_EQ(bridge.Execute(u"delete from 读取流水 where 编号 = '10000'"_s), 0);
        DataBridge::setBusyTimeout(5000);
        break;
    }
    case test::Backend::Postgres:
        EXPECT_EQ(db.column(u"select count(*) from pg_stat_activity where query like 'select a.%读取流水%' and state <> 'idle'"_s),
                  QStringList{u"0"_s});
        break;
    case test::Backend::MariaDb: {
        // The statement is stopped by another session; the server takes a moment to end it.
        const QString running = u"select count(*) from information_schema.processlist where info like 'select a.%读取流水%' and db = database()"_s;
        QElapsedTimer waited;
        waited.start();
        while (db.column(running) != QStringList{u"0"_s} && waited.elapsed() < 3000)
            QThread::msleep(20);
        EXPECT_EQ(db.column(running), QStringList{u"0"_s});
        break;
    }
    }
    // The connections serve the next window.
    EXPECT_EQ(wholeList().size(), GetParam() == test::Backend::Sqlite ? kRows - 1 : kRows);
}

INSTANTIATE_TEST_SUITE_P(Backends, ListReading, ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);

} // namespace
