// What matters on a database server beyond the behaviour both backends share: its column
// types, names it would cut, several people at once, and a connection that goes away.
#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include "support/Errors.h"
#include "support/PrivateServer.h"
#include "support/RecordingFeedback.h"
#include "support/TempDatabase.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <thread>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

class ServerDatabase : public ::testing::Test
{
protected:
    void SetUp() override { VELMARITH_SKIP_WITHOUT_SERVER(test::Backend::Postgres); }
    test::TempDatabase db{test::Backend::Postgres};
};

} // namespace

TEST(ServerConnection, aServerThatIsNotThereIsNamedWithTheReasonWithinTheTimeout)
{
    QElapsedTimer clock;
    clock.start();
    DataBridge bridge;
    const std::optional<Error> error =
        test::errorOf([&] { bridge.Open(u"postgresql:///postgres?host=/nonexistent-socket-dir&port=5439"_s); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), ErrorNumber::Database);
    EXPECT_TRUE(error->message().startsWith(u"无法连接数据库服务器 /nonexistent-socket-dir:5439/postgres："))
        << error->message().toStdString();
    EXPECT_TRUE(error->message().contains(u"服务器没有运行，或不接受连接（") && error->message().contains(u"No such file or directory"))
        << error->message().toStdString();
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_FALSE(bridge.isOpen());
}

TEST_F(ServerDatabase, columnTypesAndValuesReadAsOnSqlite)
{
    db.exec({u"create table 类型 (定长 char(3), 变长 varchar(5), 文本 text, 小 smallint, 整 integer, 大 bigint, "
             "金额 numeric(8,2), 浮点 double precision, 货币 money, 日期 date, 时刻 timestamp, 标志 boolean, 字节 bytea)"_s,
             u"insert into 类型 values ('a', 'bc', 'd', 1, 2, 3, 4.5, 0.25, 6, '2026-12-09', '2026-12-09 10:30:00', true, '\\x01')"_s,
             u"insert into 类型 (标志) values (false)"_s});
    DataBridge bridge;
    bridge.Open();
    ResultRows rows;
    Collection names, codes, sizes;
    bridge.Query(u"select * from 类型 order by 小"_s, &rows, &names, &codes, &sizes);
    const QList<std::pair<int, int>> expected{{129, 3}, {200, 5}, {201, 2147483647}, {2, 2}, {3, 4}, {20, 8}, {131, 8},
                                              {131, 15}, {6, 8}, {135, 16}, {135, 16}, {129, 1}, {204, 2147483647}};
    ASSERT_EQ(codes.Count(), expected.size());
    for (int c = 0; c < expected.size(); ++c) {
        EXPECT_EQ(codes.Item(c + 1).toString().toInt(), expected[c].first) << names.Item(c + 1).toString().toStdString();
        EXPECT_EQ(sizes.Item(c + 1).toString().toInt(), expected[c].second) << names.Item(c + 1).toString().toStdString();
    }
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.text(0, 0), u"a  ") << "char(n) is padded, as the server writes it";
    EXPECT_EQ(rows.text(0, 6), u"4.50");
    EXPECT_EQ(rows.text(0, 9), u"2026-12-09");
    EXPECT_EQ(rows.text(0, 11), u"1") << "booleans read as the check box reads them";
    EXPECT_EQ(rows.text(1, 11), u"0");
    EXPECT_EQ(rows.text(1, 0), u"") << "NULL is empty";
    QString flag;
    bridge.QueryValue(u"select 标志 from 类型 where 小 = 1"_s, flag);
    EXPECT_EQ(flag, u"1");
}

TEST_F(ServerDatabase, aNameTheServerWouldCutIsRefusedAndNothingIsCreated)
{
    const QString longest = QString(21, QChar(u'表'));          // 63 bytes of UTF-8: kept whole
    const QString tooLong = longest + u"x"_s;                      // 64 bytes
    test::RecordingFeedback feedback;
    DataBridge bridge;
    bridge.Open();
    EXPECT_EQ(bridge.Execute(u"create table %1 (编号 text)"_s.arg(longest)), 0);
    EXPECT_NE(bridge.Execute(u"create table %1 (编号 text)"_s.arg(tooLong)), 0);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(feedback.messages[0].first.contains(u"名称超过 63 字节"_s)) << feedback.messages[0].first.toStdString();
    EXPECT_TRUE(feedback.messages[0].first.contains(tooLong));
    EXPECT_EQ(db.column(u"select count(*) from information_schema.tables where table_schema = current_schema()"_s),
              QStringList{u"1"_s});
    EXPECT_EQ(bridge.Execute(u"insert into %1 values ('%2')"_s.arg(longest, tooLong)), 0) << "a long value is no name";
}

TEST_F(ServerDatabase, twoPeopleAddingRowsAtOnceLoseNeitherAndAUniqueKeyHasOneWinner)
{
    db.exec({u"create table 客户 (编号 varchar(8) primary key, 名称 text)"_s});
    const QString database = db.path();
    const auto addRows = [database](const QString &prefix, int16_t &failures) {
        DataBridge bridge;
        bridge.Open(database);
        bridge.setSilentErrors(true);
        for (int i = 0; i < 40; ++i)
            failures += bridge.Execute(u"insert into 客户 values ('%1%2', '客户')"_s.arg(prefix).arg(i)) != 0 ? 1 : 0;
    };
    int16_t failuresA = 0, failuresB = 0;
    std::thread first(addRows, u"A"_s, std::ref(failuresA));
    std::thread second(addRows, u"B"_s, std::ref(failuresB));
    first.join();
    second.join();
    EXPECT_EQ(failuresA + failuresB, 0);
    EXPECT_EQ(db.column(u"select count(*) from 客户"_s), QStringList{u"80"_s});

    // The same key from two connections: the database's constraint turns the second away.
    test::RecordingFeedback feedback;
    DataBridge one, two;
    one.Open();
    two.Open();
    EXPECT_EQ(one.Execute(u"insert into 客户 values ('C1', '先到')"_s), 0);
    EXPECT_NE(two.Execute(u"insert into 客户 values ('C1', '后到')"_s), 0);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(feedback.messages[0].first.startsWith(u"数据库拒绝了这项操作：duplicate key value"_s))
        << feedback.messages[0].first.toStdString();
    EXPECT_TRUE(feedback.messages[0].first.contains(u"SQLSTATE 23505"_s));
    EXPECT_EQ(db.column(u"select 名称 from 客户 where 编号 = 'C1'"_s), QStringList{u"先到"_s});
}

TEST_F(ServerDatabase, aConnectionTheServerEndedSaysSoThenConnectsAgain)
{
    db.exec({u"create table 记录 (x integer)"_s});
    DataBridge bridge;
    bridge.Open();
    QString pid;
    bridge.QueryValue(u"select pg_backend_pid()"_s, pid);
    db.exec({u"select pg_terminate_backend(%1)"_s.arg(pid)});

    const QString lost = test::errorMessageOf([&] { bridge.Query(u"select * from 记录"_s, nullptr); });
    EXPECT_TRUE(lost.contains(u"连接已断开"_s)) << lost.toStdString();
    EXPECT_EQ(bridge.Execute(u"insert into 记录 values (1)"_s), 0) << "the next statement connects again";
    EXPECT_EQ(db.column(u"select count(*) from 记录"_s), QStringList{u"1"_s});
}

TEST(ServerConnection, sessionsARestartEndedWhileTheyWaitedInThePoolAreReplacedUnseen)
{
    test::PrivateServer cluster;
    if (cluster.uri().isEmpty())
        GTEST_SKIP() << cluster.unavailableReason().toStdString();
    {
        DataBridge first, second, third;
        for (DataBridge *bridge : {&first, &second, &third})
            bridge->Open(cluster.uri());
    } // all three wait in the pool now
    ASSERT_TRUE(cluster.restart());
    for (int i = 0; i < 4; ++i) {
        DataBridge bridge;
        bridge.Open(cluster.uri());
        QString answer;
        bridge.QueryValue(u"select 1"_s, answer);
        EXPECT_EQ(answer, u"1") << "Open " << i + 1 << " after the restart";
    }
}

// On every server: a row lock held by another session ends the wait after the busy timeout.
class ServerLocks : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override { VELMARITH_SKIP_WITHOUT_SERVER(GetParam()); }
    test::TempDatabase db{GetParam()};
};

TEST_P(ServerLocks, anotherSessionsLockEndsTheWaitWithTheBusyMessageAndWritesNothing)
{
    db.exec({u"create table 记录 (编号 integer primary key, 名称 varchar(10))"_s, u"insert into 记录 values (1, '原来')"_s});
    DataBridge::setBusyTimeout(1000); // MariaDB counts lock waits in whole seconds
    const auto restore = qScopeGuard([] { DataBridge::setBusyTimeout(5000); });
    DataBridge holder;
    holder.Open();
    ASSERT_EQ(holder.Execute(u"begin"_s), 0);
    ASSERT_EQ(holder.Execute(u"update 记录 set 名称 = '另一人' where 编号 = 1"_s), 0);

    test::RecordingFeedback feedback;
    DataBridge bridge;
    bridge.Open();
    QElapsedTimer clock;
    clock.start();
    EXPECT_NE(bridge.Execute(u"update 记录 set 名称 = '我的' where 编号 = 1"_s), 0) << "the row is locked";
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 4000);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(feedback.messages[0].first.startsWith(u"数据库正被其他程序使用，这项修改没有完成："_s))
        << feedback.messages[0].first.toStdString();

    if (GetParam() == test::Backend::Postgres) {
        ASSERT_EQ(holder.Execute(u"lock table 记录 in access exclusive mode"_s), 0);
        const QString reading = test::errorMessageOf([&] { bridge.Query(u"select * from 记录"_s, nullptr); });
        EXPECT_TRUE(reading.startsWith(u"数据库正被其他程序使用，这项修改没有完成："_s)) << "the table is locked whole: "
                                                                                       << reading.toStdString();
    }
    holder.Close(); // closed inside its transaction: not pooled, and the server rolls it back
    EXPECT_EQ(db.column(u"select 名称 from 记录"_s), QStringList{u"原来"_s});
    EXPECT_EQ(bridge.Execute(u"update 记录 set 名称 = '我的' where 编号 = 1"_s), 0) << "free again";
    EXPECT_EQ(db.column(u"select 名称 from 记录"_s), QStringList{u"我的"_s});
}

TEST_P(ServerLocks, noLockOrSettingOfTheHostsOutlivesTheCloseOfItsDataBridge)
{
    db.exec({u"create table 记录 (编号 integer primary key)"_s});
    DataBridge::setBusyTimeout(1000);
    const auto restore = qScopeGuard([] { DataBridge::setBusyTimeout(5000); });
    const bool mariaDb = GetParam() == test::Backend::MariaDb;
    // Named and advisory locks are the whole server's: a name of this run's own.
    const QString lock = QString::number(QRandomGenerator::global()->bounded(1, 1 << 30));
    DataBridge other;
    other.Open();
    {
        DataBridge host;
        host.Open();
        const QStringList taken = mariaDb ? QStringList{u"lock tables 记录 write"_s, u"select get_lock('velmarith-%1', 0)"_s.arg(lock),
                                                        u"set @@session.sql_mode = 'PIPES_AS_CONCAT'"_s}
                                          : QStringList{u"select pg_advisory_lock(%1)"_s.arg(lock), u"set datestyle = 'SQL, DMY'"_s};
        for (const QString &statement : taken)
            ASSERT_EQ(host.Execute(statement), 0) << statement.toStdString();
    } // into the pool
    QString free;
    other.QueryValue(mariaDb ? u"select get_lock('velmarith-%1', 0)"_s.arg(lock) : u"select pg_try_advisory_lock(%1)"_s.arg(lock), free);
    EXPECT_EQ(free, u"1") << "another session takes the lock at once";
    other.setSilentErrors(true);
    EXPECT_EQ(other.Execute(u"insert into 记录 values (1)"_s), 0) << "the table is not locked";

    DataBridge next; // the pooled connection
    next.Open();
    QString setting;
    next.QueryValue(mariaDb ? u"select 'a' || 'b'"_s : u"select cast(date '2026-12-10' as text)"_s, setting);
    EXPECT_EQ(setting, mariaDb ? u"0"_s : u"2026-12-10"_s) << "the session's settings are the library's again";
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerLocks, ::testing::Values(test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);
