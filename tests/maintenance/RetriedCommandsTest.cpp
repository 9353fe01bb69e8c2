#include "MaintenanceFixture.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Metadata.h>

#include "toolkit/ListView.h"

#include "support/PrivateServer.h"

#include <chrono>
#include <future>
#include <thread>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

// A table whose every update also updates a row of another table, so a session holding that row
// and then asking for the updated one deadlocks with the window's command.
class RetriedCommands : public test::MaintenanceOnEachBackend
{
protected:
    void SetUp() override
    {
        MaintenanceOnEachBackend::SetUp();
        if (IsSkipped())
            return;
        const bool mariaDb = GetParam() == test::Backend::MariaDb;
        db.exec({u"create table 旁表(号 int primary key, 值 int)"_s, u"insert into 旁表 values(1, 1)"_s,
                 u"create table 重表(号 int)"_s, u"create table T(编号 varchar(4) primary key, 名称 varchar(20))"_s,
                 u"insert into T values('0012','abc')"_s});
        db.exec({mariaDb ? u"create trigger 碰旁表 before update on T for each row update 旁表 set 值 = 值 + 1 where 号 = 1"_s
                         : u"create function 碰旁表() returns trigger language plpgsql as "
                           u"'begin update 旁表 set 值 = 值 + 1 where 号 = 1; return new; end'"_s});
        if (!mariaDb)
            db.exec({u"create trigger 碰旁表 before update on T for each row execute function 碰旁表()"_s});
        db.relation(u"T"_s, u"编号"_s, 7);
    }

    // Another clerk's transaction: it takes the other table's row, waits until the window's
    // command waits for it, then asks for the row the command has updated, and commits once
    // the database has chosen the command as the deadlock's victim.
    std::thread otherClerk(std::promise<void> &holdsTheRow) const
    {
        return std::thread([this, &holdsTheRow] {
            DataBridge other;
            other.Open(db.path());
            other.setSilentErrors(true);
            other.Execute(u"begin"_s);
            if (GetParam() == test::Backend::Postgres)
                other.Execute(u"set local deadlock_timeout = '10s'"_s); // so the window's session finds the deadlock
            for (int i = 0; i < 20; ++i) // a heavier transaction, which MariaDB keeps
                other.Execute(u"insert into 重表 values(%1)"_s.arg(i));
            other.Execute(u"update 旁表 set 值 = 值 + 10 where 号 = 1"_s);
            holdsTheRow.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(800)); // the window takes its row first, even on a busy machine
            other.Execute(u"update T set 名称 = 'other' where 编号 = '0012'"_s);
            other.Execute(u"commit"_s);
        });
    }
};

INSTANTIATE_TEST_SUITE_P(Servers, RetriedCommands, ::testing::Values(test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);

TEST_P(RetriedCommands, anEditChosenAsADeadlocksVictimRunsOnceMoreAndNothingIsLostOrDoubled)
{
    auto form = start(u"T"_s);
    form->list().clickItem(1);
    form->control(u"txt名称"_s)->setText(u"mine"_s);
    std::promise<void> holdsTheRow;
    std::thread other = otherClerk(holdsTheRow);
    holdsTheRow.get_future().wait();
    test::StatementLog log;
    desktop.answer(MessageAnswer::Yes);
    form->cmdEdit_Click();
    other.join();

    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(desktop.messages().front().text.startsWith(u"该记录已被其他用户修改：\r\n[名称]：原来是“abc”，现在是“other”"_s))
        << "run again, the check finds the other's change and asks: " << desktop.messages().front().text.toStdString();
    EXPECT_EQ(log.statements().filter(u"名称='mine'"_s).size(), 2) << "the edit ran twice, the first time refused";
    EXPECT_EQ(db.column(u"select 名称 from T"_s), QStringList{u"mine"_s}) << "the window's edit came after the other's";
    EXPECT_EQ(db.column(u"select 值 from 旁表"_s), QStringList{u"13"_s})
        << "1, the other's 10, its update's 1 and the window's 1: the refused run left nothing";
}

// A window on a private primary and its streaming standby, through a URI that names both and
// asks for the one that takes writes.
class Failover : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (primary.uri().isEmpty())
            GTEST_SKIP() << primary.unavailableReason().toStdString();
        DataBridge::setDefaultDatabase(primary.uri());
        {
            DataBridge setup;
            setup.Open();
            ASSERT_EQ(setup.Execute(u"create table T(编号 varchar(4) primary key, 名称 varchar(20))"_s), 0);
        }
        Metadata::createTables();
        Metadata::describeTable(u"T"_s);
        standby = std::make_unique<test::PrivateServer>(test::PrivateServer::StandbyOf{primary});
        ASSERT_FALSE(standby->uri().isEmpty()) << standby->unavailableReason().toStdString();
        DataBridge::setDefaultDatabase(u"postgresql:///postgres?host=%1,%2&port=5439,5439&user=velmarith&target_session_attrs=read-write"_s
                                           .arg(primary.socketFolder(), standby->socketFolder()));
        form = std::make_unique<frmManage>();
        form->ManageTable(u"T"_s);
    }
    void TearDown() override { DataBridge::setDefaultDatabase(QString()); }

    void add(const QString &code)
    {
        form->control(u"txt编号"_s)->setText(code);
        form->control(u"txt名称"_s)->setText(u"名"_s + code);
        form->cmdAdd_Click();
    }

    static QStringList codesOn(const test::PrivateServer &server)
    {
        DataBridge bridge;
        bridge.Open(server.uri());
        ResultRows rows;
        bridge.Query(u"select 编号 from T order by 编号"_s, &rows);
        QStringList codes;
        for (int row = 0; row < rows.Count(); ++row)
            codes.append(rows.text(row, 0));
        return codes;
    }

    test::ScriptedDesktop desktop;
    test::PrivateServer primary;
    std::unique_ptr<test::PrivateServer> standby;
    std::unique_ptr<frmManage> form;
};

TEST_F(Failover, theWindowGoesOnOnTheStandbyThatTookOverAndNothingIsLostOrDoubled)
{
    add(u"0001"_s);
    ASSERT_TRUE(primary.stop());
    ASSERT_TRUE(standby->promote());
    test::StatementLog log;
    add(u"0002"_s);
    EXPECT_TRUE(desktop.messages().empty()) << desktop.messages().front().text.toStdString();
    EXPECT_EQ(log.statements().filter(u"values('0002'"_s).size(), 1);
    EXPECT_EQ(codesOn(*standby), (QStringList{u"0001"_s, u"0002"_s}));
}

TEST_F(Failover, aWriteTheOldPrimaryRefusesRunsOnceMoreOnTheHostThatTakesWritesNow)
{
    add(u"0001"_s);
    {
        DataBridge admin;
        admin.Open(primary.uri());
        ASSERT_EQ(admin.Execute(u"alter system set default_transaction_read_only = on"_s), 0);
        QString reloaded;
        admin.QueryValue(u"select pg_reload_conf()"_s, reloaded);
    }
    ASSERT_TRUE(standby->promote());
    test::StatementLog log;
    add(u"0002"_s);
    EXPECT_TRUE(desktop.messages().empty()) << desktop.messages().front().text.toStdString();
    EXPECT_EQ(log.statements().filter(u"values('0002'"_s).size(), 2) << "refused (SQLSTATE 25006), then run on the standby";
    EXPECT_EQ(codesOn(*standby), (QStringList{u"0001"_s, u"0002"_s}));
    EXPECT_EQ(codesOn(primary), QStringList{u"0001"_s});
}

} // namespace
