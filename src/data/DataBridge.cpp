#include <velmarith/DataBridge.h>

#include <velmarith/Error.h>

#include "common/Feedback.h"
#include "common/Numbers.h"
#include "common/Utf8.h"
#include "data/SqlDialect.h"
#include "data/TypeCodes.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <sqlite3.h>

#include <vector>

namespace velmarith {
namespace {

int gBusyTimeoutMs = 5000;
QString gDefaultDatabase;
DataBridge::TraceHandler gTrace;

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// What a person is told of a refusal: its cause in Chinese, always with the database's own words.
QString messageFor(int code, const QString &databaseText)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("数据库正被其他程序使用，这项修改没有完成：") + databaseText;
    case SQLITE_READONLY:
        return QStringLiteral("数据库不能写入：") + databaseText;
    default:
        return QStringLiteral("数据库拒绝了这项操作：") + databaseText;
    }
}

// A statement the database refused; becomes an Error or a silent failure at the operation.
struct StatementFailure {
    StatementFailure(QString text, int failureCode)
        : databaseText(std::move(text)), message(messageFor(failureCode, databaseText)), code(failureCode)
    {
    }
    QString databaseText;
    QString message;
    int code;
};

// Reports a statement to the trace hook once it has run, whichever way it ended.
class TraceScope
{
public:
    explicit TraceScope(const QString &statement) { mTrace.statement = statement; }
    ~TraceScope()
    {
        if (gTrace)
            gTrace(mTrace);
    }
    TraceScope(const TraceScope &) = delete;
    TraceScope &operator=(const TraceScope &) = delete;
    void sent(const QString &text) { mTrace.sentText = text; }
    void succeeded() { mTrace.succeeded = true; }
    void failed(const QString &message) { mTrace.errorMessage = message; }

private:
    StatementTrace mTrace;
};

// A value as text: NULL is empty, reals are written as the library writes numbers, everything
// else as SQLite's own text. The bytes stay valid until the next step of the statement.
std::string_view cellUtf8(sqlite3_stmt *statement, int column, NumberBuffer &buffer)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_FLOAT:
        return writeNumber(sqlite3_column_double(statement, column), buffer);
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return {text ? text : "", size_t(sqlite3_column_bytes(statement, column))};
    }
    }
}

QString cellText(sqlite3_stmt *statement, int column)
{
    NumberBuffer buffer;
    const std::string_view bytes = cellUtf8(statement, column, buffer);
    return textOfUtf8(bytes);
}

ColumnType resultColumnType(sqlite3_stmt *statement, int column, int firstRowStorage)
{
    const char *declared = sqlite3_column_decltype(statement, column);
    if (declared && *declared)
        return columnTypeFromDeclaration(QString::fromUtf8(declared));
    return columnTypeFromStorage(firstRowStorage);
}

} // namespace

namespace detail {

class SqliteConnection
{
public:
    SqliteConnection(const QString &path, bool create)
    {
        sqlite3 *raw = nullptr;
        // A connection belongs to one DataBridge on one thread, so SQLite need not lock it at
        // every call; reading a whole table makes several calls per value.
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI | (create ? SQLITE_OPEN_CREATE : 0);
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
        mDb.reset(raw);
        if (rc != SQLITE_OK)
            throw openError(path, rc, mDb ? QString::fromUtf8(sqlite3_errmsg(mDb.get())) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_busy_handler(mDb.get(), &SqliteConnection::waitForLock, this);
        // Each operation opens a fresh connection with an empty page cache; reading the file
        // through a memory map spares copying every page of a scanned table again.
        sqlite3_exec(mDb.get(), "pragma mmap_size=268435456", nullptr, nullptr, nullptr);
        // SQLite opens lazily; reading the schema now tells a non-database file at Open.
        char *message = nullptr;
        const int schemaRc = sqlite3_exec(mDb.get(), "select count(*) from sqlite_schema", nullptr, nullptr, &message);
        endWait();
        if (schemaRc != SQLITE_OK) {
            const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(mDb.get()));
            sqlite3_free(message);
            throw openError(path, schemaRc, reason);
        }
    }

    // Ends the sign of a wait for another program's lock, once the statement that met it is done.
    void endWait()
    {
        if (std::exchange(mWaiting, false))
            Feedback::current().waiting(false);
    }

    // Prepares exactly one statement; a second one in the same text is refused, not run.
    StatementHandle prepare(const QString &statement, TraceScope &trace)
    {
        const QString sent = rewriteConcatenation(statement);
        trace.sent(sent);
        if (!isSingleStatement(sent))
            throw oneStatementOnly(statement);
        const QByteArray utf8 = sent.toUtf8();
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        int rc = sqlite3_prepare_v2(mDb.get(), utf8.constData(), int(utf8.size()), &raw, &tail);
        StatementHandle prepared(raw);
        if (rc != SQLITE_OK)
            throw failure(rc);
        if (!prepared)
            throw StatementFailure{QStringLiteral("语句为空"), SQLITE_MISUSE};
        sqlite3_stmt *rest = nullptr;
        rc = sqlite3_prepare_v2(mDb.get(), tail, int(utf8.constData() + utf8.size() - tail), &rest, nullptr);
        StatementHandle second(rest);
        if (rc != SQLITE_OK || second)
            throw oneStatementOnly(statement);
        return prepared;
    }

    // Steps to the next row; false when the statement is done.
    bool step(sqlite3_stmt *statement)
    {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw failure(rc);
    }

    [[nodiscard]] int64_t changes() const { return sqlite3_changes64(mDb.get()); }
    [[nodiscard]] int64_t totalChanges() const { return sqlite3_total_changes64(mDb.get()); }

private:
    StatementFailure failure(int rc) const
    {
        return StatementFailure{QString::fromUtf8(sqlite3_errmsg(mDb.get())), rc};
    }
    static StatementFailure oneStatementOnly(const QString &statement)
    {
        return StatementFailure{QStringLiteral("一次只能执行一条语句：%1").arg(statement), SQLITE_MISUSE};
    }
    static Error openError(const QString &path, int rc, const QString &reason)
    {
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            return Error(ErrorNumber::Database, messageFor(rc, reason));
        return Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：%2").arg(path, reason));
    }

    // SQLite's busy handler: while another program holds the lock, wait in short steps, showing
    // the person that the window waits, until the busy timeout has passed.
    static int waitForLock(void *self, int attempt)
    {
        auto &connection = *static_cast<SqliteConnection *>(self);
        if (attempt == 0) {
            connection.mWaitStarted.start();
            if (!std::exchange(connection.mWaiting, true))
                Feedback::current().waiting(true);
        }
        const qint64 left = gBusyTimeoutMs - connection.mWaitStarted.elapsed();
        if (left <= 0)
            return 0;
        sqlite3_sleep(int(std::min<qint64>(left, attempt < 5 ? 5 : 25)));
        return 1;
    }

    std::unique_ptr<sqlite3, SqliteCloser> mDb;
    QElapsedTimer mWaitStarted;
    bool mWaiting = false;
};

} // namespace detail

DataBridge::DataBridge() = default;
DataBridge::~DataBridge() = default;

void DataBridge::setDefaultDatabase(const QString &database)
{
    gDefaultDatabase = database;
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
    const bool create = options.compare(QLatin1String("Create"), Qt::CaseInsensitive) == 0;
    // A file: URI (file:app.sqlite?mode=ro) is SQLite's to read; a plain path must exist.
    if (!create && !path.startsWith(QLatin1String("file:")) && !QFileInfo::exists(path))
        throw Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：文件不存在").arg(path));
    mConnection = std::make_unique<detail::SqliteConnection>(path, create);
}

bool DataBridge::isOpen() const
{
    return mConnection != nullptr;
}

void DataBridge::Close()
{
    mConnection.reset();
}

detail::SqliteConnection &DataBridge::connection()
{
    if (!mConnection)
        throw Error(ErrorNumber::Database, QStringLiteral("DataBridge 尚未打开：请先调用 Open"));
    return *mConnection;
}

namespace {

struct QueryResult {
    ResultRows rows;
    QStringList names;
    std::vector<ColumnType> types;
};

// Reads the whole result; with `wantRows` false only the first row is looked at, for the types
// of expression columns.
QueryResult readResult(detail::SqliteConnection &db, sqlite3_stmt *statement, bool wantRows)
{
    const int columnCount = sqlite3_column_count(statement);
    QStringList names;
    names.reserve(columnCount);
    for (int c = 0; c < columnCount; ++c)
        names.append(textOfUtf8(sqlite3_column_name(statement, c)));

    ResultRows::Builder builder(names);
    std::vector<int> firstRowStorage(size_t(columnCount), 0);
    bool firstRow = true;
    NumberBuffer buffer;
    while (db.step(statement)) {
        if (firstRow) {
            for (int c = 0; c < columnCount; ++c)
                firstRowStorage[size_t(c)] = sqlite3_column_type(statement, c);
            firstRow = false;
            if (!wantRows)
                break;
        }
        for (int c = 0; c < columnCount; ++c)
            builder.addCell(cellUtf8(statement, c, buffer));
    }

    std::vector<ColumnType> types;
    types.reserve(size_t(columnCount));
    for (int c = 0; c < columnCount; ++c)
        types.push_back(resultColumnType(statement, c, firstRowStorage[size_t(c)]));
    return {builder.finish(), std::move(names), std::move(types)};
}

void deliver(QueryResult &&result, ResultRows *rows, Collection *fieldNames, Collection *typeCodes, Collection *sizes)
{
    if (rows)
        *rows = std::move(result.rows);
    for (qsizetype c = 0; c < result.names.size(); ++c) {
        const QString &name = result.names[c];
        const ColumnType &type = result.types[size_t(c)];
        if (fieldNames)
            fieldNames->Add(name);
        // Two result columns may share a name (a.编号, b.编号); only the first is keyed.
        if (typeCodes)
            typeCodes->Add(type.code, typeCodes->contains(name) ? QString() : name);
        if (sizes)
            sizes->Add(type.size);
    }
}

} // namespace

void DataBridge::QueryValue(const QString &statement, QString &target, int16_t)
{
    TraceScope trace(statement);
    try {
        detail::SqliteConnection &db = connection();
        const auto waited = qScopeGuard([&] { db.endWait(); });
        StatementHandle prepared = db.prepare(statement, trace);
        if (db.step(prepared.get()) && sqlite3_column_count(prepared.get()) > 0)
            target = cellText(prepared.get(), 0);
        trace.succeeded();
    } catch (const StatementFailure &failure) {
        trace.failed(failure.databaseText);
        if (!mSilentErrors)
            throw Error(ErrorNumber::Database, failure.message);
    }
}

void DataBridge::Query(const QString &statement, ResultRows *rows, Collection *fieldNames, Collection *typeCodes,
                       Collection *sizes, const QString &)
{
    TraceScope trace(statement);
    if (rows)
        *rows = ResultRows();
    for (Collection *collection : {fieldNames, typeCodes, sizes}) {
        if (collection)
            collection->clear();
    }
    try {
        detail::SqliteConnection &db = connection();
        const auto waited = qScopeGuard([&] { db.endWait(); });
        StatementHandle prepared = db.prepare(statement, trace);
        deliver(readResult(db, prepared.get(), rows != nullptr), rows, fieldNames, typeCodes, sizes);
        trace.succeeded();
    } catch (const StatementFailure &failure) {
        trace.failed(failure.databaseText);
        if (!mSilentErrors)
            throw Error(ErrorNumber::Database, failure.message);
    }
}

int16_t DataBridge::Execute(const QString &statement, int64_t *recordsAffected)
{
    TraceScope trace(statement);
    if (recordsAffected)
        *recordsAffected = 0;
    try {
        detail::SqliteConnection &db = connection();
        const auto waited = qScopeGuard([&] { db.endWait(); });
        StatementHandle prepared = db.prepare(statement, trace);
        const int64_t changedBefore = db.totalChanges();
        while (db.step(prepared.get())) {
        }
        // changes() keeps the count of the last insert, update or delete; a statement of
        // another kind changes no row, which the total shows.
        if (recordsAffected && db.totalChanges() != changedBefore)
            *recordsAffected = db.changes();
        trace.succeeded();
        return 0;
    } catch (const StatementFailure &failure) {
        trace.failed(failure.databaseText);
        if (!mSilentErrors)
            Feedback::current().inform(failure.message, QStringLiteral("提示"));
        const int primaryCode = failure.code & 0xff;
        return int16_t(primaryCode != 0 ? primaryCode : 1);
    }
}

} // namespace velmarith
