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

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

QString valueOf(DataBridge &bridge, const QString &query)
{
    QString value = u"(none)"_s;
    bridge.QueryValue(query, value);
    return value;
}

// last_insert_rowid() belongs to the connection: a connection that inserted the row `mark`
// tells so, and no other does.
void markConnection(DataBridge &bridge, int mark)
{
    ASSERT_EQ(bridge.Execute(u"insert into t(rowid, a) values(%1, 'mark')"_s.arg(mark)), 0);
}

bool isMarked(DataBridge &bridge, int mark)
{
    return valueOf(bridge, u"select last_insert_rowid()"_s) == QString::number(mark);
}

} // namespace

TEST(ConnectionPool, reusesAClosedConnectionOnlyForTheSameFileInItsFirstState)
{
    test::TempDatabase db;
    db.exec({u"create table t(a)"_s, u"insert into t values('first')"_s});
    DataBridge first;
    first.Open(db.path());
    markConnection(first, 4242);
    first.Close();
    DataBridge second;
    second.Open(db.path());
    EXPECT_TRUE(isMarked(second, 4242)) << "the closed connection is handed out again";
    DataBridge meanwhile;
    meanwhile.Open(db.path());
    EXPECT_FALSE(isMarked(meanwhile, 4242)) << "each open DataBridge has a connection of its own";
    meanwhile.Close();

    // What would outlive the DataBridge that made it ends the connection with it.
    int mark = 5000;
    for (const QString &state : {u"begin"_s, u"create temp table scratch(x)"_s, u"pragma foreign_keys=on"_s}) {
        markConnection(second, ++mark);
        ASSERT_EQ(second.Execute(state), 0);
        second.Close();
        second.Open(db.path());
        EXPECT_FALSE(isMarked(second, mark)) << state.toStdString();
        EXPECT_EQ(valueOf(second, u"select count(*) from temp.sqlite_schema"_s), u"0");
        EXPECT_EQ(valueOf(second, u"pragma foreign_keys"_s), u"0");
        second.Close(); // the pragma read marks this one too
        second.Open(db.path());
    }
    second.Close();

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
    bridge.Open(db.path());
    markConnection(bridge, 777);
    bridge.Close();

    bool markedElsewhere = true;
    std::thread([&] {
        DataBridge onAnotherThread;
        onAnotherThread.Open(db.path());
        markedElsewhere = isMarked(onAnotherThread, 777);
    }).join();
    EXPECT_FALSE(markedElsewhere) << "another thread never gets this thread's connection";
    bridge.Open(db.path());
    EXPECT_TRUE(isMarked(bridge, 777));
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
