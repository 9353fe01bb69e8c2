#pragma once

#include <velmarith/DataBridge.h>

#include "data/TableSchema.h"
#include "data/TypeCodes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velmarith::detail {

/// A statement the database refused; becomes an Error or a silent failure at the operation.
struct StatementFailure {
    QString databaseText; ///< the database's own words, for the trace
    QString message;      ///< what a person is told: the cause in Chinese, with the database's words
    int code;             ///< nonzero; Execute's status
    /// Nothing was applied and nothing else stands in the way of the same statement: a deadlock
    /// or serialization failure, or a server that stopped taking writes (another now may).
    bool mayRunAgain = false;
};

/// Reports a statement to the trace hook once it has run, whichever way it ended.
class TraceScope
{
public:
    explicit TraceScope(const QString &statement);
    ~TraceScope();
    TraceScope(const TraceScope &) = delete;
    TraceScope &operator=(const TraceScope &) = delete;
    void sent(const QString &text) { mTrace.sentText = text; }
    void succeeded() { mTrace.succeeded = true; }
    void failed(const QString &message) { mTrace.errorMessage = message; }

private:
    StatementTrace mTrace;
};

struct QueryResult {
    ResultRows rows;
    QStringList names;
    std::vector<ColumnType> types;
};

/// Statements are UTF-8 on every backend; one holding a lone surrogate is refused before it is sent.
void refuseInvalidText(const QString &statement);

/// Adds each column's name, type code (also keyed by its name) and size to the wanted lists.
void describeColumns(const QStringList &names, const std::vector<ColumnType> &types, Collection *fieldNames,
                     Collection *typeCodes, Collection *sizes);

/// The first column of the first row of a result as text; nothing when there is none.
[[nodiscard]] inline std::optional<QString> firstValueOf(const QueryResult &result)
{
    if (result.rows.Count() == 0 || result.rows.columnCount() == 0)
        return std::nullopt;
    return result.rows.text(0, 0);
}

/// A query whose rows are read a part at a time, while its connection runs nothing else.
/// Destroyed before its end, it stops the statement, so nothing of it runs on; the connection
/// then serves the next statement as before, but for MariaDB's, which the stop leaves fit for
/// nothing more (it is closed, not pooled).
class RowStream
{
public:
    virtual ~RowStream() = default;
    /// Waits for the statement's column descriptions where starting the stream only sent it, so
    /// the database works on the statement while the caller does other things; from then on
    /// names() and types() hold them. Raises StatementFailure. Idempotent.
    virtual void readColumns() {}
    /// The next rows: at most `atMost`, or all of them where the backend can only read them at
    /// once; none at the end. Raises StatementFailure.
    virtual ResultRows next(int atMost) = 0;
    [[nodiscard]] virtual bool atEnd() const = 0;
    [[nodiscard]] const QStringList &names() const { return mNames; }
    [[nodiscard]] const std::vector<ColumnType> &types() const { return mTypes; }

protected:
    QStringList mNames;
    std::vector<ColumnType> mTypes;
};

/// One connection to a database, of whichever backend; statements raise StatementFailure.
/// Each runs exactly one statement, with "+" beside string literals sent as "||".
class Connection
{
public:
    virtual ~Connection() = default;

    /// The rows when `wantRows`, else only what the column types need.
    virtual QueryResult query(const QString &statement, TraceScope &trace, bool wantRows) = 0;
    /// Starts a query whose rows the stream reads as they come; the connection must run nothing
    /// else until the stream is gone. Where the backend cannot stream, the rows are all read here.
    virtual std::unique_ptr<RowStream> stream(const QString &statement, TraceScope &trace);
    /// The first column of the first row as text; nothing when there is no row.
    virtual std::optional<QString> queryValue(const QString &statement, TraceScope &trace) = 0;
    /// Runs a statement; returns the rows an insert, update or delete changed, else 0.
    virtual int64_t execute(const QString &statement, TraceScope &trace) = 0;

    /// Whether the column's text is ordered as its UTF-8 bytes; false when unknown.
    [[nodiscard]] virtual bool ordersTextAsBytes(const QString &table, const QString &column) = 0;
    /// What the catalog says of a table named as a statement names it; nothing when there is no
    /// such table.
    [[nodiscard]] virtual std::optional<TableSchema> describe(const QString &table) = 0;

    [[nodiscard]] virtual const QString &database() const = 0;
    /// Closed by its DataBridge: whether it may wait in the pool, because nothing a statement
    /// could observe tells it from a fresh connection (no transaction, temporary object, attached
    /// database, changed setting or change count) and it holds no lock another session could
    /// wait on. A server's session is reset here to make it so. Notes what later tells whether it
    /// still may.
    [[nodiscard]] virtual bool park() = 0;
    /// Whether a parked connection may serve the next Open of `database`: the same database,
    /// not changed on disk since it was parked.
    [[nodiscard]] virtual bool canServeAgain(const QString &database) const = 0;
    /// Makes a parked connection ready for its next DataBridge; false when it turns out unable
    /// to serve (its server ended the session), so a fresh one is opened instead. Raises Error
    /// for what a fresh connection would meet as well.
    [[nodiscard]] virtual bool reuse() = 0;

    /// From here the queries may share one lock of the database, and so one state of it, until
    /// endSharedReads; a statement that writes, or does anything but read rows, ends the sharing
    /// before it runs. Harmless where the backend gains nothing from it.
    virtual void beginSharedReads() {}
    virtual void endSharedReads() {}

    /// The statement that begins a transaction of the window's: a read, then a write no other
    /// session can come between once the read's rows are locked (rowLockClause).
    [[nodiscard]] virtual QString transactionStart() const { return QStringLiteral("begin"); }
    /// What a query of a table aliased `alias` ends with to lock the rows it reads until the
    /// transaction ends; empty where the transaction's start locks the database already.
    [[nodiscard]] virtual QString rowLockClause(const QString &alias) const = 0;
};

/// A run of queries on one open DataBridge, issued back to back, that need not take the
/// database's lock for each statement. The trace sees the queries alone.
class SharedReads
{
public:
    explicit SharedReads(DataBridge &bridge) : mBridge(bridge) { mBridge.connection().beginSharedReads(); }
    ~SharedReads();
    SharedReads(const SharedReads &) = delete;
    SharedReads &operator=(const SharedReads &) = delete;

private:
    DataBridge &mBridge;
};

/// The catalog's description of a table, through an open DataBridge (nothing when there is no
/// such table); raises Error when not open, StatementFailure when the catalog cannot be asked.
class Catalog
{
public:
    [[nodiscard]] static std::optional<TableSchema> describe(DataBridge &bridge, const QString &table);
};

/// The commands of a window, which may run a statement once more where that is safe.
class Commands
{
public:
    /// Runs one statement as DataBridge::Execute does. When it fails with nothing applied and
    /// nothing else in its way (a deadlock, a serialization failure, a server that stopped taking
    /// writes, so that the next host of the URI may take it) and `stillValid` approves the
    /// command again, it runs once more; the person is told only of the outcome.
    static int16_t executeOnceMore(DataBridge &bridge, const QString &statement, int64_t *recordsAffected,
                                   const std::function<bool()> &stillValid);

    /// What executeIfUnchanged did: Execute's status, and the rows `check` found where
    /// `unchanged` refused them (nothing was written then).
    struct CheckedWrite {
        int16_t status = 0;
        std::optional<ResultRows> conflict;
    };
    /// In one transaction: reads `check` (a query of the table aliased `alias`) with its rows
    /// locked, and runs `statement` only when `unchanged` accepts those rows, so no other session
    /// writes between the two. Failures are reported as Execute reports them; a deadlock or
    /// serialization failure runs the whole of it once more.
    static CheckedWrite executeIfUnchanged(DataBridge &bridge, const QString &check, const QString &alias,
                                           const std::function<bool(const ResultRows &)> &unchanged,
                                           const QString &statement, int64_t *recordsAffected);
};

/// A new connection to a SQLite file, a PostgreSQL or MariaDB server or an ODBC source; raises Error naming the database
/// and the reason when it cannot be opened.
[[nodiscard]] std::unique_ptr<Connection> openConnection(const QString &database, bool create);

/// How long a statement waits for another program's lock before it fails.
[[nodiscard]] int busyTimeoutMilliseconds();

/// How many connections this process has opened, for tests of the pool.
[[nodiscard]] int64_t openedConnections();

} // namespace velmarith::detail
