// The SQLite backend: a connection to one database file, with the statements it prepared.
#include "data/SqliteConnection.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include "common/Feedback.h"
#include "common/Numbers.h"
#include "common/Utf8.h"
#include "data/AssignedValues.h"
#include "data/Catalog.h"
#include "data/SqlDialect.h"
#include "data/SqlFlavour.h"
#include "data/ValueRefusal.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sqlite3.h>

#include <array>
#include <limits>
#include <optional>
#include <unordered_map>

#include <sys/stat.h>
#include <time.h>

namespace velmarith::detail {
namespace {

struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Which file a path names now: a file replaced under the same name is another file.
struct FileIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FileIdentity &) const = default;
};

// A file as the system last saw it written: anything that rewrites it, even in place with the
// same size, moves its change time.
struct FileStamp {
    FileIdentity identity;
    off_t size;
    timespec modified;
    timespec changed;
    bool operator==(const FileStamp &other) const
    {
        const auto same = [](const timespec &a, const timespec &b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
        return identity == other.identity && size == other.size && same(modified, other.modified) &&
               same(changed, other.changed);
    }
};

std::optional<FileStamp> fileStamp(const QString &path)
{
    struct stat status {};
    if (stat(encodeFileName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp{{status.st_dev, status.st_ino}, status.st_size, status.st_mtim, status.st_ctim};
}

// The system keeps file times in coarse steps (a clock tick, two seconds on some file
// systems), so a file written this recently may be written again without its time moving.
bool writtenRecently(const FileStamp &stamp)
{
    constexpr time_t kCoarsestFileTime = 2;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return stamp.modified.tv_sec + kCoarsestFileTime >= now.tv_sec;
}

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    const std::optional<FileStamp> stamp = fileStamp(path);
    return stamp ? std::optional(stamp->identity) : std::nullopt;
}

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

StatementFailure failureOf(QString databaseText, int code)
{
    QString message = messageFor(code, databaseText);
    return StatementFailure{std::move(databaseText), std::move(message), (code & 0xff) != 0 ? code & 0xff : 1};
}

// A STRICT table's refusal of a value of another type ("cannot store TEXT value in INTEGER
// column 职员.工龄"), with the value the statement gave the column.
std::optional<ValueRefusal> strictTypeRefusal(const QString &databaseText, const QString &statement)
{
    static const QRegularExpression refused(QStringLiteral("^cannot store \\w+ value in (\\w+) column [^.]+\\.(.+)$"));
    const QRegularExpressionMatch match = refused.match(databaseText);
    if (!match.hasMatch())
        return std::nullopt;
    const QString type = match.captured(1);
    return ValueRefusal{.kind = type == u"TEXT" || type == u"BLOB" || type == u"ANY" ? ValueRefusal::Kind::NotAccepted
                                                                                    : ValueRefusal::Kind::NotANumber,
                        .column = match.captured(2), .value = valueGiven(statement, match.captured(2))};
}

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


class SqliteConnection final : public Connection
{
public:
    SqliteConnection(const QString &path, bool create)
    {
        sqlite3 *raw = nullptr;
        // A connection belongs to one DataBridge on one thread, so SQLite need not lock it at
        // every call; reading a whole table makes several calls per value.
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI | (create ? SQLITE_OPEN_CREATE : 0);
        // The path's own bytes: SQLite hands them to the system as they are.
        const int rc = sqlite3_open_v2(encodeFileName(path).constData(), &raw, flags, nullptr);
        mDb.reset(raw);
        mPath = path;
        if (!path.startsWith(QLatin1String("file:")))
            mFile = fileIdentity(path);
        if (rc != SQLITE_OK)
            throw openError(path, rc, mDb ? QString::fromUtf8(sqlite3_errmsg(mDb.get())) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_busy_handler(mDb.get(), &SqliteConnection::waitForLock, this);
        // Each operation opens a fresh connection with an empty page cache; reading the file
        // through a memory map spares copying every page of a scanned table again.
        sqlite3_exec(mDb.get(), "pragma mmap_size=268435456", nullptr, nullptr, nullptr);
        // Settings would outlive the DataBridge that made them.
        sqlite3_set_authorizer(mDb.get(), &SqliteConnection::noteSettings, this);
        readSchema();
    }

    // SQLite opens lazily; reading the schema at Open tells a non-database file, or a lock held
    // by another program, there and not at the first statement. On a connection used before it
    // costs a lock and no parsing.
    void readSchema()
    {
        char *message = nullptr;
        const int schemaRc = sqlite3_exec(mDb.get(), "select count(*) from sqlite_schema", nullptr, nullptr, &message);
        endWait();
        if (schemaRc != SQLITE_OK) {
            const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(mDb.get()));
            sqlite3_free(message);
            throw openError(mPath, schemaRc, reason);
        }
    }

    // Ends the sign of a wait for another program's lock, once the statement that met it is done.
    void endWait()
    {
        if (std::exchange(mWaiting, false))
            Feedback::current().waiting(false);
    }

    // A prepared statement lent out for one run; it is reset for the next when the run ends.
    class StatementLease
    {
    public:
        StatementLease(SqliteConnection &owner, sqlite3_stmt *statement, StatementHandle owned = {})
            : mOwner(owner), mStatement(statement), mOwned(std::move(owned))
        {
            ++mOwner.mLeases;
        }
        ~StatementLease()
        {
            sqlite3_reset(mStatement);
            --mOwner.mLeases;
        }
        StatementLease(const StatementLease &) = delete;
        StatementLease &operator=(const StatementLease &) = delete;
        [[nodiscard]] sqlite3_stmt *get() const { return mStatement; }

    private:
        SqliteConnection &mOwner;
        sqlite3_stmt *mStatement;
        StatementHandle mOwned; // set for a statement the cache does not keep
    };

    // Prepares exactly one statement, or lends the one prepared for the same text before; a
    // second statement in the text is refused, not run.
    StatementLease prepare(const QString &statement, TraceScope &trace)
    {
        if (const auto cached = mStatements.find(statement); cached != mStatements.end()) {
            trace.sent(cached->second.sent);
            return lend(cached->second.handle.get());
        }
        const QString sent = rewriteConcatenation(statement);
        trace.sent(sent);
        StatementHandle prepared = prepareOne(statement, sent);
        sqlite3_stmt *raw = prepared.get();
        // Only while no statement is lent out may the cache let go of one.
        if (mLeases > 0)
            return lend(raw, std::move(prepared));
        if (mStatements.size() >= kCachedStatements)
            mStatements.clear();
        mStatements.emplace(statement, CachedStatement{sent, std::move(prepared)});
        return lend(raw);
    }

    // Shared reads are one read transaction, begun here and taken by the first query.
    void beginSharedReads() override
    {
        if (!mSharingReads && sqlite3_get_autocommit(mDb.get()) != 0)
            mSharingReads = sqlite3_exec(mDb.get(), "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    void endSharedReads() override
    {
        if (!std::exchange(mSharingReads, false) || sqlite3_get_autocommit(mDb.get()) != 0)
            return;
        if (sqlite3_exec(mDb.get(), "commit", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(mDb.get(), "rollback", nullptr, nullptr, nullptr);
    }

    // Asks the connection itself, not the statements it ran: a temporary object made in any way
    // (create temp.x, create … as select, a dbstat table) and an attached database show here.
    bool park() override
    {
        if (mBroken || mChangedSetting || !mFile || sqlite3_get_autocommit(mDb.get()) == 0)
            return false;
        // changes() and total_changes() cannot be set back to the 0 a fresh connection shows.
        if (sqlite3_total_changes64(mDb.get()) != 0 || holdsOtherDatabases())
            return false;
        sqlite3_set_last_insert_rowid(mDb.get(), 0);
        mParked = fileStamp(mPath);
        return mParked && mParked->identity == *mFile && !writtenRecently(*mParked);
    }

    [[nodiscard]] bool canServeAgain(const QString &path) const override
    {
        return mPath == path && mParked && fileStamp(path) == mParked;
    }

private:
    // A statement that writes, or runs anything but a query (a transaction of the caller's, say),
    // must not run inside shared reads.
    StatementLease lend(sqlite3_stmt *statement, StatementHandle owned = {})
    {
        if (mSharingReads && !(sqlite3_stmt_readonly(statement) != 0 && sqlite3_column_count(statement) > 0))
            endSharedReads();
        return StatementLease(*this, statement, std::move(owned));
    }

    StatementHandle prepareOne(const QString &statement, const QString &sent)
    {
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
            throw failureOf(QStringLiteral("语句为空"), SQLITE_MISUSE);
        sqlite3_stmt *rest = nullptr;
        rc = sqlite3_prepare_v2(mDb.get(), tail, int(utf8.constData() + utf8.size() - tail), &rest, nullptr);
        StatementHandle second(rest);
        if (rc != SQLITE_OK || second)
            throw oneStatementOnly(statement);
        return prepared;
    }

public:

    // Steps to the next row; false when the statement is done.
    bool step(sqlite3_stmt *statement)
    {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        if (sqlite3_extended_errcode(mDb.get()) == SQLITE_CONSTRAINT_DATATYPE) {
            const QString text = QString::fromUtf8(sqlite3_errmsg(mDb.get()));
            if (const std::optional<ValueRefusal> value = strictTypeRefusal(text, QString::fromUtf8(sqlite3_sql(statement))))
                throw failureOf(*value, text);
        }
        throw failure(rc);
    }

    [[nodiscard]] QString transactionStart() const override { return transactionStartOf(SqlFlavour::Sqlite); }
    [[nodiscard]] QString rowLockClause(const QString &alias) const override { return rowLockClauseOf(SqlFlavour::Sqlite, alias); }

    // The column's own collation, from the schema SQLite has read; a view has none to ask.
    bool ordersTextAsBytes(const QString &table, const QString &column) override
    {
        const char *collation = nullptr;
        const int rc = sqlite3_table_column_metadata(mDb.get(), nullptr, table.toUtf8().constData(),
                                                     column.toUtf8().constData(), nullptr, &collation, nullptr,
                                                     nullptr, nullptr);
        return rc == SQLITE_OK && collation && sqlite3_stricmp(collation, "BINARY") == 0;
    }

    std::optional<TableSchema> describe(const QString &table) override { return describeSqliteTable(*this, table); }

    [[nodiscard]] const QString &database() const override { return mPath; }
    bool reuse() override
    {
        mParked.reset();
        readSchema();
        return true;
    }

    QueryResult query(const QString &statement, TraceScope &trace, bool wantRows) override;
    std::unique_ptr<RowStream> stream(const QString &statement, TraceScope &trace) override;
    std::optional<QString> queryValue(const QString &statement, TraceScope &trace) override;
    int64_t execute(const QString &statement, TraceScope &trace) override;
    [[nodiscard]] int64_t changes() const { return sqlite3_changes64(mDb.get()); }
    [[nodiscard]] int64_t totalChanges() const { return sqlite3_total_changes64(mDb.get()); }

private:
    static constexpr size_t kCachedStatements = 512;

    struct CachedStatement {
        QString sent;
        StatementHandle handle;
    };

    StatementFailure failure(int rc)
    {
        const int primary = rc & 0xff;
        if (primary == SQLITE_IOERR || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_CANTOPEN)
            mBroken = true;
        return failureOf(QString::fromUtf8(sqlite3_errmsg(mDb.get())), rc);
    }
    static StatementFailure oneStatementOnly(const QString &statement)
    {
        return failureOf(QStringLiteral("一次只能执行一条语句：%1").arg(statement), SQLITE_MISUSE);
    }
    static Error openError(const QString &path, int rc, const QString &reason)
    {
        const int primary = rc & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            return Error(ErrorNumber::Database, messageFor(rc, reason));
        return Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：%2").arg(DataBridge::withoutPassword(path), reason));
    }

    // Whether an attached database, or a temporary table, view, index or trigger, is there.
    bool holdsOtherDatabases()
    {
        if (sqlite3_db_name(mDb.get(), 2) != nullptr)
            return true;
        if (!mTemporaryObjects) {
            sqlite3_stmt *raw = nullptr;
            if (sqlite3_prepare_v2(mDb.get(), "select 1 from temp.sqlite_schema", -1, &raw, nullptr) != SQLITE_OK) {
                sqlite3_finalize(raw);
                return true;
            }
            mTemporaryObjects.reset(raw);
        }
        const int rc = sqlite3_step(mTemporaryObjects.get());
        sqlite3_reset(mTemporaryObjects.get());
        return rc != SQLITE_DONE;
    }

    // A setting is changed only by a pragma; which ones a pragma changed cannot be asked
    // afterwards, so any pragma keeps the connection out of the pool, but for those that only
    // describe a table, which the catalog's questions read.
    static int noteSettings(void *self, int action, const char *pragma, const char *, const char *, const char *)
    {
        static constexpr std::array<const char *, 4> kDescribing{"table_info", "index_list", "index_info", "foreign_key_list"};
        if (action == SQLITE_PRAGMA &&
            std::none_of(kDescribing.begin(), kDescribing.end(), [&](const char *name) { return qstricmp(pragma, name) == 0; }))
            static_cast<SqliteConnection *>(self)->mChangedSetting = true;
        return SQLITE_OK;
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
        const qint64 left = busyTimeoutMilliseconds() - connection.mWaitStarted.elapsed();
        if (left <= 0)
            return 0;
        sqlite3_sleep(int(std::min<qint64>(left, attempt < 5 ? 5 : 25)));
        return 1;
    }

    // Declared first, so the statements are finalized before the connection closes.
    std::unique_ptr<sqlite3, SqliteCloser> mDb;
    std::unordered_map<QString, CachedStatement> mStatements;
    StatementHandle mTemporaryObjects;
    int mLeases = 0;
    QString mPath;
    std::optional<FileIdentity> mFile; // the file opened; none for a URI, which is never pooled
    std::optional<FileStamp> mParked;  // the file when the connection was parked
    bool mBroken = false;
    bool mChangedSetting = false;
    bool mSharingReads = false;
    QElapsedTimer mWaitStarted;
    bool mWaiting = false;
};

// A query's rows as it steps through them. The columns are read after the first step: a kept
// statement is prepared again there when the schema changed since, and "select *" may then have
// more columns; the first row's storage classes give the types of expression columns.
class SqliteRowStream final : public RowStream
{
public:
    SqliteRowStream(SqliteConnection &db, const QString &statement, TraceScope &trace)
        : mDb(db), mLease(db.prepare(statement, trace)), mHasRow(step())
    {
        sqlite3_stmt *prepared = mLease.get();
        const int columnCount = sqlite3_column_count(prepared);
        mNames.reserve(columnCount);
        mTypes.reserve(size_t(columnCount));
        for (int c = 0; c < columnCount; ++c) {
            mNames.append(textOfUtf8(sqlite3_column_name(prepared, c)));
            mTypes.push_back(resultColumnType(prepared, c, mHasRow ? sqlite3_column_type(prepared, c) : 0));
        }
    }

    ResultRows next(int atMost) override
    {
        sqlite3_stmt *statement = mLease.get();
        const int columnCount = int(mNames.size());
        ResultRows::Builder builder(mNames);
        NumberBuffer buffer;
        for (int row = 0; row < atMost && mHasRow; ++row) {
            for (int c = 0; c < columnCount; ++c)
                builder.addCell(cellUtf8(statement, c, buffer));
            mHasRow = step();
        }
        return builder.finish();
    }

    [[nodiscard]] bool atEnd() const override { return !mHasRow; }

private:
    // A wait for another program's lock is shown until the step that met it is done.
    bool step()
    {
        const auto waited = qScopeGuard([&] { mDb.endWait(); });
        return mDb.step(mLease.get());
    }

    SqliteConnection &mDb;
    SqliteConnection::StatementLease mLease;
    bool mHasRow;
};

std::unique_ptr<SqliteRowStream> streamOf(SqliteConnection &db, const QString &statement, TraceScope &trace)
{
    const auto waited = qScopeGuard([&] { db.endWait(); }); // also when the statement is refused
    return std::make_unique<SqliteRowStream>(db, statement, trace);
}

QueryResult SqliteConnection::query(const QString &statement, TraceScope &trace, bool wantRows)
{
    const std::unique_ptr<SqliteRowStream> rows = streamOf(*this, statement, trace);
    return {rows->next(wantRows ? std::numeric_limits<int>::max() : 0), rows->names(), rows->types()};
}

std::unique_ptr<RowStream> SqliteConnection::stream(const QString &statement, TraceScope &trace)
{
    return streamOf(*this, statement, trace);
}

std::optional<QString> SqliteConnection::queryValue(const QString &statement, TraceScope &trace)
{
    const auto waited = qScopeGuard([&] { endWait(); });
    const StatementLease prepared = prepare(statement, trace);
    if (step(prepared.get()) && sqlite3_column_count(prepared.get()) > 0)
        return cellText(prepared.get(), 0);
    return std::nullopt;
}

int64_t SqliteConnection::execute(const QString &statement, TraceScope &trace)
{
    const auto waited = qScopeGuard([&] { endWait(); });
    const StatementLease prepared = prepare(statement, trace);
    const int64_t changedBefore = totalChanges();
    while (step(prepared.get())) {
    }
    // changes() keeps the count of the last insert, update or delete; a statement of
    // another kind changes no row, which the total shows.
    return totalChanges() != changedBefore ? changes() : 0;
}

} // namespace

std::unique_ptr<Connection> openSqlite(const QString &path, bool create)
{
    return std::make_unique<SqliteConnection>(path, create);
}

} // namespace velmarith::detail
