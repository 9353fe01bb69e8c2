// A closed DataBridge's connection serves the next Open of the same database on the same
// thread, and never when that could show another file, a transaction or another thread. A run
// of reads sharing one lock never holds back a write: not its own, not another connection's
// once the run ends, and not the next DataBridge's after a Close.
#include <velmarith/DataBridge.h>

#include "data/Connection.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QScopeGuard>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

QString valueOf(DataBridge &bridge, const QString &query)
{
    QString value = u"(none)"_s;
    bridge.QueryValue(query, value);
    return value;
}

// A file last written this long ago: a pooled connection is trusted to see any later write by
// the file's times only when they are not too recent to move.
void settle(const test::TempDatabase &db)
{
    const timespec anHourAgo{time(nullptr) - 3600, 0};
    const timespec times[2] = {anHourAgo, anHourAgo};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(db.path()).constData(), times, 0), 0);
}

} // namespace

TEST(ConnectionPool, handsOutAClosedConnectionOnlyWhenNoStatementCouldTellItFromAFreshOne)
{
    test::TempDatabase db;
    db.exec({u"create table t(a)"_s, u"insert into t values('first')"_s});
    settle(db);
    DataBridge first;
    first.Open(db.path());
    EXPECT_EQ(valueOf(first, u"select a from t"_s), u"first");
    first.Close();
    int64_t opened = detail::openedConnections();
    DataBridge second;
    second.Open(db.path());
    EXPECT_EQ(detail::openedConnections(), opened) << "the closed connection is handed out again";
    DataBridge meanwhile;
    meanwhile.Open(db.path());
    EXPECT_EQ(detail::openedConnections(), opened + 1) << "each open DataBridge has a connection of its own";
    meanwhile.Close();
    second.Close();

    // Each leaves something the next user would meet: its writes would land in a temporary
    // copy, or it would read another user's counters, settings or transaction.
    const QStringList lasting{u"begin"_s,
                              u"savepoint s"_s,
                              u"create table temp.t as select * from main.t"_s,
                              u"create temp table scratch(x)"_s,
                              u"create view temp.v as select 1"_s,
                              u"create virtual table temp.pages using dbstat"_s,
                              u"attach ':memory:' as other"_s,
                              u"pragma foreign_keys=on"_s,
                              u"update t set a=a"_s};
    for (const QString &state : lasting) {
        SCOPED_TRACE(state.toStdString());
        settle(db);
        second.Open(db.path());
        ASSERT_EQ(second.Execute(state), 0);
        second.Close();
        opened = detail::openedConnections();
        second.Open(db.path());
        EXPECT_EQ(detail::openedConnections(), opened + 1);
        EXPECT_EQ(valueOf(second, u"select count(*) from temp.sqlite_schema"_s), u"0");
        EXPECT_EQ(valueOf(second, u"select last_insert_rowid()||'/'||changes()||'/'||total_changes()"_s), u"0/0/0");
        ASSERT_EQ(second.Execute(u"insert into t values('after')"_s), 0);
        second.Close();
        EXPECT_EQ(db.column(u"select count(*) from t where a='after'"_s), QStringList{u"1"_s}) << "the file holds the write";
        db.exec({u"delete from t where a='after'"_s});
    }

    // The file replaced under the same name: a kept connection would still read the old one.
    test::TempDatabase other;
    other.exec({u"create table t(a)"_s, u"insert into t values('second')"_s});
    DataBridge reader;
    reader.Open(db.path());
    EXPECT_EQ(valueOf(reader, u"select a from t"_s), u"first");
    reader.Close();
    ASSERT_TRUE(QFile::remove(db.path()));
    ASSERT_TRUE(QFile::copy(other.path(), db.path()));
    reader.Open(db.path());
    EXPECT_EQ(valueOf(reader, u"select a from t"_s), u"second");
}

TEST(ConnectionPool, aFileOverwrittenInPlaceIsReadAfreshAndWrittenWhereItNowIs)
{
    // The same inode, size, change counter and schema cookie; only the tables' places differ.
    test::TempDatabase db;
    db.exec({u"create table a(x)"_s, u"create table b(y)"_s, u"insert into a values('in a')"_s});
    test::TempDatabase backup;
    backup.exec({u"create table b(y)"_s, u"create table a(x)"_s, u"insert into a values('from the backup')"_s});
    settle(db);
    DataBridge bridge;
    bridge.Open(db.path());
    EXPECT_EQ(valueOf(bridge, u"select x from a"_s), u"in a");
    bridge.Close();

    QFile source(backup.path());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray content = source.readAll();
    QFile target(db.path());
    ASSERT_EQ(target.size(), content.size());
    ASSERT_TRUE(target.open(QIODevice::ReadWrite));
    ASSERT_EQ(target.write(content), content.size());
    target.close();

    bridge.Open(db.path());
    EXPECT_EQ(valueOf(bridge, u"select x from a"_s), u"from the backup");
    ASSERT_EQ(bridge.Execute(u"insert into a values('written after')"_s), 0);
    bridge.Close();
    EXPECT_EQ(db.column(u"select x from a"_s), QStringList({u"from the backup"_s, u"written after"_s}));
    EXPECT_EQ(db.column(u"select count(*) from b"_s), QStringList{u"0"_s});
}

TEST(ConnectionPool, keptStatementsSeeSchemaChangesAndConnectionsStayOnTheirThread)
{
    test::TempDatabase db;
    db.exec({u"create table t(a)"_s, u"insert into t values(1)"_s});
    DataBridge bridge;
    bridge.Open(db.path());
    Collection columns;
    bridge.Query(u"select * from t"_s, nullptr, &columns);
    EXPECT_EQ(columns.Count(), 1);
    db.exec({u"alter table t add column b"_s});
    ResultRows rows;
    bridge.Query(u"select * from t"_s, &rows, &columns);
    EXPECT_EQ(columns.Count(), 2) << "the kept statement is prepared again for the new column";
    EXPECT_EQ(rows.columnCount(), 2);
    bridge.Close();
    settle(db);
    bridge.Open(db.path());
    bridge.Close();

    const int64_t opened = detail::openedConnections();
    std::thread([&] {
        DataBridge onAnotherThread;
        onAnotherThread.Open(db.path());
    }).join();
    EXPECT_EQ(detail::openedConnections(), opened + 1) << "another thread never gets this thread's connection";
    bridge.Open(db.path());
    EXPECT_EQ(detail::openedConnections(), opened + 1);
}

TEST(SharedReads, aWriteInsideTheRunIsCommittedAtOnceAndTheLockEndsWithTheRun)
{
    test::TempDatabase db;
    db.exec({u"create table t(a)"_s, u"insert into t values('first')"_s});
    DataBridge::setBusyTimeout(50);
    const auto restore = qScopeGuard([] { DataBridge::setBusyTimeout(5000); });
    DataBridge reader;
    reader.Open(db.path());
    DataBridge other;
    other.Open(db.path());
    other.setSilentErrors(true);

    QStringList traced;
    auto previous = DataBridge::setStatementTrace([&](const StatementTrace &trace) { traced.append(trace.statement); });
    {
        const detail::SharedReads run(reader);
        EXPECT_EQ(valueOf(reader, u"select a from t"_s), u"first");
        EXPECT_EQ(other.Execute(u"insert into t values('blocked')"_s), SQLITE_BUSY)
            << "the run holds its lock while it reads";
        ASSERT_EQ(reader.Execute(u"insert into t values('own')"_s), 0);
        EXPECT_EQ(valueOf(other, u"select count(*) from t where a='own'"_s), u"1") << "committed, not held in the run";
        EXPECT_EQ(other.Execute(u"insert into t values('after own')"_s), 0) << "the write ended the run's lock";
    }
    DataBridge::setStatementTrace(std::move(previous));
    EXPECT_EQ(traced, QStringList({u"select a from t"_s, u"insert into t values('blocked')"_s, u"insert into t values('own')"_s,
                                   u"select count(*) from t where a='own'"_s, u"insert into t values('after own')"_s}))
        << "the trace sees the statements alone";

    {
        const detail::SharedReads run(reader);
        EXPECT_EQ(valueOf(reader, u"select count(*) from t"_s), u"3");
        EXPECT_EQ(reader.Execute(u"begin"_s), 0) << "a transaction of the caller's is its own";
        EXPECT_EQ(reader.Execute(u"commit"_s), 0);
        EXPECT_EQ(valueOf(reader, u"select count(*) from t"_s), u"3");
    }
    EXPECT_EQ(other.Execute(u"insert into t values('after the run')"_s), 0);

    // Closed inside a run, the connection goes back to the pool with nothing held.
    {
        const detail::SharedReads run(reader);
        EXPECT_EQ(valueOf(reader, u"select count(*) from t"_s), u"4");
        reader.Close();
        EXPECT_EQ(other.Execute(u"insert into t values('after the close')"_s), 0);
        reader.Open(db.path());
        EXPECT_EQ(reader.Execute(u"insert into t values('reused')"_s), 0);
    }
    EXPECT_EQ(valueOf(other, u"select count(*) from t"_s), u"6");
}
