#include <velmarith/DataBridge.h>

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include "common/Feedback.h"
#include "data/Connection.h"
#include "data/DatabaseNames.h"
#include "data/MariaDbConnection.h"
#include "data/OdbcConnection.h"
#include "data/PostgresConnection.h"
#include "data/SqlFlavour.h"
#include "data/SqliteConnection.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <unistd.h>

namespace velmarith {
namespace {

int gBusyTimeoutMs = 5000;
QString gDefaultDatabase;
DataBridge::TraceHandler gTrace;

} // namespace

namespace detail {

TraceScope::TraceScope(const QString &statement)
{
    mTrace.statement = statement;
}

TraceScope::~TraceScope()
{
    if (gTrace)
        gTrace(mTrace);
}

int busyTimeoutMilliseconds()
{
    return gBusyTimeoutMs;
}

// A database keeps text as UTF-8, which a lone surrogate has no form in: it would be stored as
// "?" without a word.
void refuseInvalidText(const QString &statement)
{
    if (!statement.isValidUtf16())
        throw StatementFailure{QStringLiteral("语句含有无效的字符（不成对的代理项）"),
                               QStringLiteral("数据库拒绝了这项操作：语句含有无效的字符（不成对的代理项），没有执行"), 1};
}

std::atomic<int64_t> gOpenedConnections{0};

std::unique_ptr<Connection> openConnection(const QString &database, bool create)
{
    ++gOpenedConnections;
    if (isMariaDbUri(database))
        return openMariaDb(database);
    if (isOdbcUri(database))
        return openOdbc(database);
    return DataBridge::isServerDatabase(database) ? openPostgres(database) : openSqlite(database, create);
}

int64_t openedConnections()
{
    return gOpenedConnections.load();
}

// Idle connections of this thread by database, so the next Open of the same database skips
// opening the file and reading its schema. They close when the thread ends.
class ConnectionPool
{
public:
    static ConnectionPool &ofThisThread()
    {
        thread_local ConnectionPool pool;
        return pool;
    }

    std::unique_ptr<Connection> take(const QString &database, bool create)
    {
        const auto serves = [&](const std::unique_ptr<Connection> &idle) { return idle->canServeAgain(database); };
        // The most recently closed first: its kept statements are the likeliest to serve.
        for (auto idle = std::find_if(mIdle.rbegin(), mIdle.rend(), serves); idle != mIdle.rend();
             idle = std::find_if(mIdle.rbegin(), mIdle.rend(), serves)) {
            std::unique_ptr<Connection> connection = std::move(*idle);
            mIdle.erase(std::next(idle).base());
            if (connection->reuse())
                return connection;
        }
        // A connection to a database that changed or went away serves nobody any more.
        std::erase_if(mIdle, [&](const auto &idle) { return !idle->canServeAgain(idle->database()); });
        return openConnection(database, create);
    }

    void give(std::unique_ptr<Connection> connection)
    {
        if (!connection || !connection->park())
            return;
        if (mIdle.size() >= kIdleConnections)
            mIdle.erase(mIdle.begin());
        mIdle.push_back(std::move(connection));
    }

private:
    static constexpr size_t kIdleConnections = 8;
    std::vector<std::unique_ptr<Connection>> mIdle;
};

} // namespace detail

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT DataBridge::Private
{
public:
    std::unique_ptr<detail::Connection> connection; ///< taken from the thread's pool at Open
    bool silentErrors = false;
};

DataBridge::DataBridge()
    : d(std::make_unique<Private>())
{
}

DataBridge::~DataBridge()
{
    Close();
}

detail::SharedReads::~SharedReads()
{
    if (mBridge.d->connection)
        mBridge.d->connection->endSharedReads();
}

void DataBridge::setSilentErrors(bool silent)
{
    d->silentErrors = silent;
}

bool DataBridge::SilentErrors() const
{
    return d->silentErrors;
}

void DataBridge::setDefaultDatabase(const QString &database)
{
    gDefaultDatabase = database;
}

bool DataBridge::isServerDatabase(const QString &database)
{
    return database.startsWith(QLatin1String("postgresql://")) || database.startsWith(QLatin1String("postgres://")) ||
           detail::isMariaDbUri(database) || detail::isOdbcUri(database);
}

QString DataBridge::defaultDatabase()
{
    if (!gDefaultDatabase.isEmpty())
        return gDefaultDatabase;
    return qEnvironmentVariable("DATABRIDGE_DATABASE");
}

void DataBridge::setBusyTimeout(int milliseconds)
{
    gBusyTimeoutMs = std::max(0, milliseconds);
}

DataBridge::TraceHandler DataBridge::setStatementTrace(TraceHandler handler)
{
    return std::exchange(gTrace, std::move(handler));
}

void DataBridge::Open(const QString &database, const QString &options, const QString &, const QString &,
                      const QString &, const QString &, const QString &)
{
    Close();
    const QString path = database.isEmpty() ? defaultDatabase() : database;
    if (path.isEmpty())
        throw Error(ErrorNumber::Database,
                    QStringLiteral("没有配置数据库：请调用 DataBridge::setDefaultDatabase() 或设置环境变量 DATABRIDGE_DATABASE"));
    detail::refuseMalformedUri(path);
    const bool create = options.compare(QLatin1String("Create"), Qt::CaseInsensitive) == 0;
    // A file: URI (file:app.sqlite?mode=ro) is SQLite's to read, a server's URI libpq's; a
    // plain path must exist.
    if (!create && !isServerDatabase(path) && !path.startsWith(QLatin1String("file:")) &&
        access(encodeFileName(path).constData(), F_OK) != 0)
        throw Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：文件不存在").arg(withoutPassword(path)));
    d->connection = detail::ConnectionPool::ofThisThread().take(path, create);
}

bool DataBridge::isOpen() const
{
    return d->connection != nullptr;
}

void DataBridge::Close()
{
    if (d->connection)
        d->connection->endSharedReads();
    detail::ConnectionPool::ofThisThread().give(std::move(d->connection));
}

detail::Connection &DataBridge::connection()
{
    if (!d->connection)
        throw Error(ErrorNumber::Database, QStringLiteral("DataBridge 尚未打开：请先调用 Open"));
    return *d->connection;
}

void detail::describeColumns(const QStringList &names, const std::vector<ColumnType> &types, Collection *fieldNames,
                             Collection *typeCodes, Collection *sizes)
{
    for (qsizetype c = 0; c < names.size(); ++c) {
        const QString &name = names[c];
        const ColumnType &type = types[size_t(c)];
        if (fieldNames)
            fieldNames->Add(name);
        // Two result columns may share a name (a.编号, b.编号); only the first is keyed.
        if (typeCodes)
            typeCodes->Add(type.code, typeCodes->contains(name) ? QString() : name);
        if (sizes)
            sizes->Add(type.size);
    }
}

namespace {

void deliver(detail::QueryResult &&result, ResultRows *rows, Collection *fieldNames, Collection *typeCodes, Collection *sizes)
{
    if (rows)
        *rows = std::move(result.rows);
    detail::describeColumns(result.names, result.types, fieldNames, typeCodes, sizes);
}

} // namespace

void DataBridge::QueryValue(const QString &statement, QString &target, int16_t)
{
    detail::TraceScope trace(statement);
    try {
        detail::refuseInvalidText(statement);
        if (std::optional<QString> value = connection().queryValue(statement, trace))
            target = std::move(*value);
        trace.succeeded();
    } catch (const detail::StatementFailure &failure) {
        trace.failed(failure.databaseText);
        if (!d->silentErrors)
            throw Error(ErrorNumber::Database, failure.message);
    }
}

void DataBridge::Query(const QString &statement, ResultRows *rows, Collection *fieldNames, Collection *typeCodes,
                       Collection *sizes, const QString &)
{
    detail::TraceScope trace(statement);
    if (rows)
        *rows = ResultRows();
    for (Collection *collection : {fieldNames, typeCodes, sizes}) {
        if (collection)
            collection->clear();
    }
    try {
        detail::refuseInvalidText(statement);
        deliver(connection().query(statement, trace, rows != nullptr), rows, fieldNames, typeCodes, sizes);
        trace.succeeded();
    } catch (const detail::StatementFailure &failure) {
        trace.failed(failure.databaseText);
        if (!d->silentErrors)
            throw Error(ErrorNumber::Database, failure.message);
    }
}

bool DataBridge::ordersTextAsBytes(const QString &table, const QString &column)
{
    return connection().ordersTextAsBytes(table, column);
}

namespace {

// Runs one statement in the trace: its failure, or nothing and the rows it changed.
std::optional<detail::StatementFailure> runStatement(detail::Connection &connection, const QString &statement,
                                                     int64_t *recordsAffected)
{
    detail::TraceScope trace(statement);
    if (recordsAffected)
        *recordsAffected = 0;
    try {
        detail::refuseInvalidText(statement);
        const int64_t changed = connection.execute(statement, trace);
        if (recordsAffected)
            *recordsAffected = changed;
        trace.succeeded();
        return std::nullopt;
    } catch (const detail::StatementFailure &failure) {
        trace.failed(failure.databaseText);
        return failure;
    }
}

// The session a deadlock was with gets its turn before a command runs again: at once, the
// command would take the same row before it and meet it the same way.
constexpr std::chrono::milliseconds kPauseBeforeRunningAgain{200};

// Reads a query's rows in the trace; a failure is raised as the StatementFailure it is.
ResultRows rowsOf(detail::Connection &connection, const QString &statement)
{
    detail::TraceScope trace(statement);
    try {
        detail::refuseInvalidText(statement);
        ResultRows rows = connection.query(statement, trace, true).rows;
        trace.succeeded();
        return rows;
    } catch (const detail::StatementFailure &failure) {
        trace.failed(failure.databaseText);
        throw;
    }
}

// Runs a statement of the transaction's own; raises its failure.
void runOrRaise(detail::Connection &connection, const QString &statement)
{
    if (std::optional<detail::StatementFailure> failure = runStatement(connection, statement, nullptr))
        throw *failure;
}

// Ends a transaction that did not commit; a connection that cannot roll back is past saving
// already, and its next statement says so.
void rollBack(detail::Connection &connection)
{
    (void)runStatement(connection, QStringLiteral("rollback"), nullptr);
}

int16_t reported(const std::optional<detail::StatementFailure> &failure, bool silent)
{
    if (!failure)
        return 0;
    if (!silent)
        Feedback::current().inform(failure->message, QStringLiteral("提示"));
    return int16_t(failure->code);
}

} // namespace

int16_t DataBridge::Execute(const QString &statement, int64_t *recordsAffected)
{
    return reported(runStatement(connection(), statement, recordsAffected), d->silentErrors);
}

int16_t detail::Commands::executeOnceMore(DataBridge &bridge, const QString &statement, int64_t *recordsAffected,
                                          const std::function<bool()> &stillValid)
{
    std::optional<StatementFailure> failure = runStatement(bridge.connection(), statement, recordsAffected);
    if (failure && failure->mayRunAgain) {
        std::this_thread::sleep_for(kPauseBeforeRunningAgain);
        if (!stillValid())
            return int16_t(failure->code);
        failure = runStatement(bridge.connection(), statement, recordsAffected);
    }
    return reported(failure, bridge.d->silentErrors);
}

detail::Commands::CheckedWrite detail::Commands::executeIfUnchanged(DataBridge &bridge, const QString &check,
                                                                    const QString &alias,
                                                                    const std::function<bool(const ResultRows &)> &unchanged,
                                                                    const QString &statement, int64_t *recordsAffected)
{
    Connection &connection = bridge.connection();
    const auto attempt = [&]() -> CheckedWrite {
        runOrRaise(connection, connection.transactionStart());
        try {
            ResultRows found = rowsOf(connection, check + connection.rowLockClause(alias));
            if (!unchanged(found)) {
                rollBack(connection);
                return {0, std::move(found)};
            }
            if (std::optional<StatementFailure> failure = runStatement(connection, statement, recordsAffected))
                throw *failure;
            runOrRaise(connection, QStringLiteral("commit"));
            return {};
        } catch (const StatementFailure &) {
            rollBack(connection);
            throw;
        }
    };
    std::optional<StatementFailure> failure;
    for (int run = 0; run < 2; ++run) {
        try {
            return attempt();
        } catch (const StatementFailure &refused) {
            failure = refused;
        }
        if (!failure->mayRunAgain)
            break;
        std::this_thread::sleep_for(kPauseBeforeRunningAgain);
    }
    if (recordsAffected)
        *recordsAffected = 0;
    return {reported(failure, bridge.d->silentErrors), std::nullopt};
}

} // namespace velmarith
