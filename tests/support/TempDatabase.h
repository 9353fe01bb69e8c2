#pragma once

#include <velmarith/DataBridge.h>

#include "Backend.h"
#include "QtPrinting.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace velmarith::test {

/// A fresh database made the default database while it lives: a SQLite file in its own
/// temporary folder, or a schema of its own on the test cluster (which a connection to
/// path() uses as its search path). Without the cluster a PostgreSQL one holds nothing.
class TempDatabase
{
public:
    explicit TempDatabase(Backend backend = Backend::Sqlite, Route route = testRoute());
    ~TempDatabase();
    TempDatabase(const TempDatabase &) = delete;
    TempDatabase &operator=(const TempDatabase &) = delete;

    /// The SQLite file or the server's URI, or the ODBC string or pooler's URI of either on
    /// another route; set-up, column() and dump() always go the library's own way.
    [[nodiscard]] const QString &path() const { return mPath; }
    [[nodiscard]] Backend backend() const { return mBackend; }
    /// The database as the library's own backend reaches it.
    [[nodiscard]] const QString &nativePath() const { return mNativePath; }
    [[nodiscard]] QString folder() const { return mDir.path(); }
    /// Runs set-up statements; a failing one fails the test.
    void exec(const QStringList &statements) const;
    /// The first column of every row of a query, for checking what the database holds.
    [[nodiscard]] QStringList column(const QString &query) const;
    /// Every table with every row, in a stable order, to compare a database whole.
    [[nodiscard]] QString dump() const;

private:
    QTemporaryDir mDir;
    Backend mBackend;
    QString mSchema; // on the server
    bool mOwnDatabase = false; // the schema is a database of the server's
    QString mPath;       // as the suite reaches it
    QString mNativePath; // through the library's own backend, for set-up and checks
};

/// The private pgbouncer's URI (marked pooler=transaction); empty when it is not running.
[[nodiscard]] QString pgbouncerUri();

/// Collects every statement DataBridge runs on this thread while it lives.
class StatementLog
{
public:
    StatementLog();
    ~StatementLog();
    StatementLog(const StatementLog &) = delete;
    StatementLog &operator=(const StatementLog &) = delete;

    std::vector<StatementTrace> entries;
    [[nodiscard]] QStringList statements() const;
    /// The statements that do a command's work: without the transactions that guard an edit or
    /// delete (their begin, the check of the loaded row that follows it, their commit or
    /// rollback) and the reads that keep its undo (the table's columns, the row as stored).
    [[nodiscard]] QStringList unguardedStatements() const;

private:
    DataBridge::TraceHandler mPrevious;
};

} // namespace velmarith::test
