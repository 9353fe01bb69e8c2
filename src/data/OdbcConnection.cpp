// The ODBC backend, over unixODBC's wide-character API. Each statement is sent alone as text
// (the library binds no parameters: its values travel as literals), with its exact length and a
// terminating NUL; every cell is read as UTF-16, decimals included, and kept as UTF-8. What the
// source speaks is asked at connect, and the library's SQL is written for it as the library's
// own backend of that database writes it.
#include "data/OdbcConnection.h"

#include <velmarith/Error.h>

#include "common/Utf8.h"
#include "data/Catalog.h"
#include "data/CharacterSets.h"
#include "data/DatabaseNames.h"
#include "data/MariaDbRefusals.h"
#include "data/OdbcDiagnostics.h"
#include "data/OdbcTypes.h"
#include "data/PostgresRefusals.h"
#include "data/SqlDialect.h"
#include "data/SqlFlavour.h"

#include <QHash>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <locale.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace velmarith::detail {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

constexpr SQLULEN kConnectTimeoutSeconds = 5;
constexpr SQLLEN kReadChunk = 4096; // UTF-16 units a cell is read in

// One ODBC handle, freed when it goes.
class Handle
{
public:
    Handle(SQLSMALLINT type, SQLHANDLE parent) : mType(type)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &mHandle)))
            mHandle = SQL_NULL_HANDLE;
    }
    ~Handle()
    {
        if (mHandle != SQL_NULL_HANDLE)
            SQLFreeHandle(mType, mHandle);
    }
    Handle(Handle &&other) noexcept : mType(other.mType), mHandle(std::exchange(other.mHandle, nullptr)) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    Handle &operator=(Handle &&) = delete;
    [[nodiscard]] SQLHANDLE get() const { return mHandle; }
    [[nodiscard]] SQLSMALLINT type() const { return mType; }

private:
    SQLSMALLINT mType;
    SQLHANDLE mHandle = nullptr;
};

// unixODBC sets up how it converts the wide text of a driver without wide functions as it
// connects, by the process's character type; under "C" it would send the low byte of each
// Chinese character. While it lives, "C" is "C.UTF-8" (nothing changes for ASCII), and whatever
// a driver does to the process's locale as it connects (psqlODBC sets it) is undone after.
class Utf8WhileConnecting
{
public:
    Utf8WhileConnecting() : mSaved(setlocale(LC_ALL, nullptr))
    {
        const char *current = setlocale(LC_CTYPE, nullptr);
        if (current && (std::strcmp(current, "C") == 0 || std::strcmp(current, "POSIX") == 0))
            setlocale(LC_CTYPE, "C.UTF-8");
    }
    ~Utf8WhileConnecting() { setlocale(LC_ALL, mSaved.c_str()); }
    Utf8WhileConnecting(const Utf8WhileConnecting &) = delete;
    Utf8WhileConnecting &operator=(const Utf8WhileConnecting &) = delete;

private:
    std::string mSaved;
};

// The process's one ODBC environment, in ODBC 3 behaviour.
SQLHENV environment()
{
    struct Environment {
        Environment() { SQLSetEnvAttr(handle.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0); }
        Handle handle{SQL_HANDLE_ENV, SQL_NULL_HANDLE};
    };
    static const Environment environment;
    return environment.handle.get();
}

// Text a driver wrote, NUL-terminated, into a buffer of `capacity` units. The length it reports
// is not to be trusted: drivers disagree whether it counts characters or bytes, unixODBC passes
// on a byte count for a driver without wide functions, and MariaDB's driver gives 3 for 窗体高度.
QString textOfWide(const SQLWCHAR *text, qsizetype capacity)
{
    const auto *units = reinterpret_cast<const char16_t *>(text);
    return QString::fromUtf16(units, std::find(units, units + capacity - 1, u'\0') - units);
}

// The same of a driver without wide functions, which writes UTF-8 when given the narrow ones.
QString textOfNarrow(const SQLCHAR *text, qsizetype capacity)
{
    const auto *bytes = reinterpret_cast<const char *>(text);
    return QString::fromUtf8(bytes, std::find(bytes, bytes + capacity - 1, '\0') - bytes);
}

// The first diagnostic record a handle holds, asked the narrow way for a driver without wide
// functions; empty when it holds none.
OdbcDiagnostic firstDiagnostic(SQLSMALLINT type, SQLHANDLE handle, bool narrow)
{
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (narrow) {
        SQLCHAR state[6] = {};
        SQLCHAR text[4096] = {};
        if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, text, SQLSMALLINT(std::size(text)), &length)))
            return {};
        return {textOfNarrow(state, 6), int(native), textOfNarrow(text, qsizetype(std::size(text)))};
    }
    SQLWCHAR state[6] = {};
    SQLWCHAR text[2048] = {};
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, text, SQLSMALLINT(std::size(text)), &length)))
        return {};
    return {textOfWide(state, 6), int(native), textOfWide(text, qsizetype(std::size(text)))};
}

const SQLWCHAR *wide(const QString &text)
{
    return reinterpret_cast<const SQLWCHAR *>(text.utf16());
}

class OdbcConnection final : public Connection
{
public:
    explicit OdbcConnection(const QString &uri)
        : mUri(uri), mSource(DataBridge::withoutPassword(uri).mid(5)), mLockTimeout(busyTimeoutMilliseconds()),
          mConnection(SQL_HANDLE_DBC, environment())
    {
        if (!mConnection.get())
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接 ODBC 数据源 %1：unixODBC 不能分配连接").arg(mSource));
        SQLSetConnectAttrW(mConnection.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kConnectTimeoutSeconds), 0);
        const QString connectionString = uri.mid(5);
        const Utf8WhileConnecting utf8;
        if (!connect(connectionString))
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接 ODBC 数据源 %1：%2").arg(mSource, connectReason()));
        mFlavour = askFlavour();
        learnFlavour(mUri, mFlavour);
        mDriver = infoText(SQL_DRIVER_NAME);
        chooseTextPath();
        if (!applySessionSettings())
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接 ODBC 数据源 %1：%2").arg(mSource, connectReason()));
    }

    // A driver refuses to disconnect inside a transaction it knows of: it is rolled back first.
    ~OdbcConnection() override
    {
        if (!SQL_SUCCEEDED(SQLDisconnect(mConnection.get()))) {
            SQLEndTran(SQL_HANDLE_DBC, mConnection.get(), SQL_ROLLBACK);
            SQLDisconnect(mConnection.get());
        }
    }

    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    QueryResult query(const QString &statement, TraceScope &trace, bool wantRows) override
    {
        QueryResult result;
        const Handle rows = run(statement, trace);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(rows.get(), &columns);
        std::vector<bool> bits;
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c)
            bits.push_back(describeColumn(rows.get(), c, result));
        if (columns == 0)
            return result;
        ResultRows::Builder builder(result.names);
        std::string cell;
        for (;;) {
            const SQLRETURN fetched = SQLFetch(rows.get());
            if (fetched == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(fetched))
                throw failureOf(rows);
            if (!wantRows)
                continue;
            for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
                if (bits[c - 1u])
                    readBits(rows, c, cell);
                else
                    readCell(rows, c, cell);
                builder.addCell(cell);
            }
        }
        result.rows = builder.finish();
        return result;
    }

    std::optional<QString> queryValue(const QString &statement, TraceScope &trace) override
    {
        return firstValueOf(query(statement, trace, true));
    }

    int64_t execute(const QString &statement, TraceScope &trace) override
    {
        const Handle done = run(statement, trace);
        SQLLEN changed = 0;
        SQLSMALLINT columns = 0;
        SQLNumResultCols(done.get(), &columns);
        if (columns > 0)
            return 0; // a query run for its effect: its rows go unread with the statement
        if (!SQL_SUCCEEDED(SQLRowCount(done.get(), &changed)) || changed < 0)
            return 0;
        return changed;
    }

    // Only the collation the source's own backend would ask about tells; through a driver that
    // cannot be asked reliably, so the list is ordered by the database.
    bool ordersTextAsBytes(const QString &, const QString &) override { return false; }

    [[nodiscard]] QString transactionStart() const override { return transactionStartOf(mFlavour); }
    [[nodiscard]] QString rowLockClause(const QString &alias) const override { return rowLockClauseOf(mFlavour, alias); }

    std::optional<TableSchema> describe(const QString &table) override
    {
        switch (mFlavour) {
        case SqlFlavour::Sqlite: return describeSqliteTable(*this, table);
        case SqlFlavour::Postgres: return describePostgresTable(*this, table);
        case SqlFlavour::MariaDb: return describeMariaDbTable(*this, table);
        }
        return std::nullopt;
    }

    [[nodiscard]] const QString &database() const override { return mUri; }

    // A PostgreSQL session is reset as on the library's own backend. MariaDB's driver only
    // promises to reset a session when it is next used, so such a connection is closed instead,
    // which ends whatever the host left (table locks, get_lock(), settings), as is a file's,
    // which opens again at once.
    bool park() override
    {
        return mFlavour == SqlFlavour::Postgres && !mLost && runQuietly(QStringLiteral("discard all")) && applySessionSettings();
    }

    [[nodiscard]] bool canServeAgain(const QString &database) const override
    {
        return database == mUri && mLockTimeout == busyTimeoutMilliseconds();
    }

    bool reuse() override
    {
        return runQuietly(QStringLiteral("select 1"));
    }

private:
    // unixODBC hands a driver without wide functions the low byte of each character of a wide
    // connection string, so one with Chinese in it (a file's path, a data source's name) that
    // fails is tried once more as UTF-8, which such a driver takes as it is.
    bool connect(const QString &connectionString)
    {
        SQLWCHAR completed[1024];
        SQLSMALLINT length = 0;
        if (SQL_SUCCEEDED(SQLDriverConnectW(mConnection.get(), nullptr, const_cast<SQLWCHAR *>(wide(connectionString)),
                                            SQLSMALLINT(connectionString.size()), completed, SQLSMALLINT(std::size(completed)),
                                            &length, SQL_DRIVER_NOPROMPT)))
            return true;
        if (isAscii(connectionString))
            return false;
        QByteArray utf8 = connectionString.toUtf8();
        SQLCHAR completedUtf8[2048];
        return SQL_SUCCEEDED(SQLDriverConnect(mConnection.get(), nullptr, reinterpret_cast<SQLCHAR *>(utf8.data()),
                                              SQLSMALLINT(utf8.size()), completedUtf8, SQLSMALLINT(std::size(completedUtf8)),
                                              &length, SQL_DRIVER_NOPROMPT));
    }

    // What the source speaks, by the name its driver gives the database.
    SqlFlavour askFlavour()
    {
        const QString name = infoText(SQL_DBMS_NAME);
        if (name.contains(u"PostgreSQL", Qt::CaseInsensitive))
            return SqlFlavour::Postgres;
        if (name.contains(u"MariaDB", Qt::CaseInsensitive) || name.contains(u"MySQL", Qt::CaseInsensitive))
            return SqlFlavour::MariaDb;
        if (name.contains(u"SQLite", Qt::CaseInsensitive))
            return SqlFlavour::Sqlite;
        throw Error(ErrorNumber::Database,
                    QStringLiteral("无法使用 ODBC 数据源 %1：它的数据库是 %2，本程序只会写 PostgreSQL、MariaDB/MySQL 和 SQLite 的 SQL")
                        .arg(mSource, name.isEmpty() ? QStringLiteral("（驱动程序没有说明）") : name));
    }

    QString infoText(SQLUSMALLINT item)
    {
        SQLWCHAR text[256] = {};
        SQLSMALLINT bytes = 0;
        if (!SQL_SUCCEEDED(SQLGetInfoW(mConnection.get(), item, text, sizeof(text), &bytes)))
            return {};
        return textOfWide(text, qsizetype(std::size(text)));
    }

    // A statement waits for another session's lock as long as on the library's own backends;
    // a MariaDB session is strict and reads SQL as the library writes it, as there.
    bool applySessionSettings()
    {
        const QString milliseconds = QString::number(mLockTimeout);
        switch (mFlavour) {
        case SqlFlavour::Postgres: return runQuietly(QStringLiteral("set lock_timeout = ") + milliseconds);
        case SqlFlavour::MariaDb: {
            const QString seconds = QString::number(std::max(1, int(std::ceil(mLockTimeout / 1000.0))));
            return runQuietly(QStringLiteral("set session sql_mode = concat(@@sql_mode, ',ANSI_QUOTES,NO_BACKSLASH_ESCAPES,"
                                             "STRICT_ALL_TABLES,NO_ZERO_DATE,NO_ZERO_IN_DATE,ERROR_FOR_DIVISION_BY_ZERO'), "
                                             "session innodb_lock_wait_timeout = %1, session lock_wait_timeout = %1")
                                  .arg(seconds));
        }
        case SqlFlavour::Sqlite: return runQuietly(QStringLiteral("pragma busy_timeout = ") + milliseconds);
        }
        return false;
    }

    // A driver with wide functions takes the text as it is. One without them would get it
    // through unixODBC's UCS-2 conversion, which has no room for a character beyond U+FFFF (𠀀,
    // emoji), so it is given the UTF-8 bytes itself, which it keeps as they are.
    SQLRETURN execDirect(const Handle &handle, const QString &statement)
    {
        if (!mNarrowText)
            return SQLExecDirectW(handle.get(), const_cast<SQLWCHAR *>(wide(statement)), SQLINTEGER(statement.size()));
        const QByteArray utf8 = statement.toUtf8();
        return SQLExecDirect(handle.get(), reinterpret_cast<SQLCHAR *>(const_cast<char *>(utf8.constData())), SQLINTEGER(utf8.size()));
    }

    // Whether the driver carries text beyond the first plane as it is through the wide functions;
    // if not, it gets UTF-8. One that cannot carry even a Chinese character under the host's
    // character type is refused.
    void chooseTextPath()
    {
        const QString probe = QStringLiteral("中𠀀");
        const QString question = QStringLiteral("select '%1'").arg(probe);
        if (askQuietly(question) == probe)
            return;
        mNarrowText = true;
        if (askQuietly(question) != probe)
            throw Error(ErrorNumber::Database,
                        QStringLiteral("无法使用 ODBC 数据源 %1：在区域设置 %2 下，驱动程序 %3 无法传送中文；请在 UTF-8 的区域设置"
                                       "（如 zh_CN.UTF-8）下运行本程序")
                            .arg(mSource, QString::fromLatin1(setlocale(LC_CTYPE, nullptr)), mDriver));
    }

    // A statement of the library's own, outside the trace: whether it ran.
    bool runQuietly(const QString &statement)
    {
        const Handle done(SQL_HANDLE_STMT, mConnection.get());
        return done.get() && SQL_SUCCEEDED(execDirect(done, statement));
    }

    // The first column of the first row of a question of the library's own, outside the trace;
    // nothing when it could not be asked.
    std::optional<QString> askQuietly(const QString &question)
    {
        const std::vector<QStringList> rows = rowsQuietly(question);
        return rows.empty() ? std::nullopt : std::optional(rows.front().value(0));
    }

    std::vector<QStringList> rowsQuietly(const QString &question)
    {
        std::vector<QStringList> rows;
        const Handle asked(SQL_HANDLE_STMT, mConnection.get());
        if (!asked.get() || !SQL_SUCCEEDED(execDirect(asked, question)))
            return rows;
        SQLSMALLINT columns = 0;
        SQLNumResultCols(asked.get(), &columns);
        std::string cell;
        while (SQL_SUCCEEDED(SQLFetch(asked.get()))) {
            QStringList values;
            for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
                readCell(asked, c, cell);
                values.append(QString::fromUtf8(cell));
            }
            rows.push_back(values);
        }
        return rows;
    }

    // The statement as the source's own backend would send it, or its refusal before sending.
    QString written(const QString &statement)
    {
        const QString sent = mFlavour == SqlFlavour::MariaDb ? rewriteConcatenationAsCall(statement) : rewriteConcatenation(statement);
        if (!isSingleStatement(sent))
            throw refusedBeforeSending(QStringLiteral("一次只能执行一条语句：%1").arg(statement));
        if (mFlavour == SqlFlavour::MariaDb) {
            if (const QString refusal = nameMariaDbRefuses(sent); !refusal.isEmpty())
                throw refusedBeforeSending(refusal);
        } else if (mFlavour == SqlFlavour::Postgres) {
            if (const QString name = overlongName(sent); !name.isEmpty())
                throw refusedBeforeSending(QStringLiteral("名称超过 %1 字节，数据库会截短它：%2").arg(kLongestPostgresName).arg(name));
        }
        return sent;
    }

    static StatementFailure refusedBeforeSending(const QString &why)
    {
        return StatementFailure{why, QStringLiteral("数据库拒绝了这项操作：") + why, 1};
    }

    // Sends one statement; the handle holds its rows, if any.
    Handle run(const QString &statement, TraceScope &trace)
    {
        const QString sent = written(statement);
        trace.sent(sent);
        if (mLost)
            throw lostConnection(QStringLiteral("上一条语句执行时连接已断开"));
        Handle handle(SQL_HANDLE_STMT, mConnection.get());
        if (!handle.get())
            throw failureOf(mConnection);
        mSent = sent;
        // The text is NUL-terminated as well as measured: a driver that reads one unit past the
        // length it is given finds the NUL, never a stray character.
        const SQLRETURN ran = execDirect(handle, sent);
        if (!SQL_SUCCEEDED(ran) && ran != SQL_NO_DATA)
            throw failureOf(handle);
        return handle;
    }

    // Adds a result column's name and type; true for a MariaDB bit(n), which is read as its number.
    bool describeColumn(SQLHSTMT rows, SQLUSMALLINT column, QueryResult &result)
    {
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        SQLSMALLINT nameLength = 0;
        if (mNarrowText) {
            SQLCHAR name[1024] = {};
            SQLDescribeCol(rows, column, name, SQLSMALLINT(std::size(name)), &nameLength, &sqlType, &size, &digits, &nullable);
            result.names.append(textOfNarrow(name, qsizetype(std::size(name))));
        } else {
            SQLWCHAR name[512] = {};
            SQLDescribeColW(rows, column, name, SQLSMALLINT(std::size(name)), &nameLength, &sqlType, &size, &digits, &nullable);
            result.names.append(textOfWide(name, qsizetype(std::size(name))));
        }
        const QString declared = columnText(rows, column, SQL_DESC_TYPE_NAME);
        const bool bits = mFlavour == SqlFlavour::MariaDb && declared.compare(u"bit", Qt::CaseInsensitive) == 0;
        // As the library's own MariaDB backend types it: bit(1) a check box, a wider one a number.
        const ColumnType bitType = size <= 1 ? ColumnType{TypeCode::SmallInt, 1}
                                             : ColumnType{TypeCode::Numeric, int32_t(std::ceil(double(size) * std::log10(2.0)))};
        result.types.push_back(mFlavour == SqlFlavour::Sqlite ? sqliteColumnType(declared, size)
                               : bits                          ? bitType
                               : isMariaDbFlag(rows, column, sqlType) ? ColumnType{TypeCode::Char, 1}
                                                                     : columnTypeOfOdbcColumn(sqlType, size, declared));
        return bits;
    }

    // A bit value, its bytes with the highest first, written as its number; NULL is empty.
    void readBits(const Handle &rows, SQLUSMALLINT column, std::string &cell)
    {
        unsigned char bytes[8] = {};
        SQLLEN length = 0;
        cell.clear();
        if (!SQL_SUCCEEDED(SQLGetData(rows.get(), column, SQL_C_BINARY, bytes, sizeof(bytes), &length)))
            throw failureOf(rows);
        if (length == SQL_NULL_DATA)
            return;
        uint64_t number = 0;
        for (SQLLEN i = 0; i < std::min<SQLLEN>(length, SQLLEN(sizeof(bytes))); ++i)
            number = (number << 8) | bytes[i];
        cell = std::to_string(number);
    }

    // SQLite keeps the declared type and nothing else, and its driver's reading of it is not to
    // be trusted (decimal(10,2) is a varchar of 10, char(3) a varchar): the type is read from
    // the name and size it reports, as the library's own SQLite backend reads a declaration.
    static ColumnType sqliteColumnType(const QString &typeName, SQLULEN size)
    {
        static const QStringList sized{QStringLiteral("char"), QStringLiteral("character"), QStringLiteral("varchar"),
                                       QStringLiteral("nchar"), QStringLiteral("nvarchar"), QStringLiteral("decimal"),
                                       QStringLiteral("numeric"), QStringLiteral("binary"), QStringLiteral("varbinary")};
        if (typeName.isEmpty())
            return {TypeCode::VarChar, 255};
        const bool takesSize = sized.contains(typeName.toLower()) && size > 0 && size < SQLULEN(kUnlimitedSize);
        return columnTypeFromDeclaration(takesSize ? QStringLiteral("%1(%2)").arg(typeName).arg(size) : typeName);
    }

    // MariaDB's driver reports a boolean (tinyint(1)) as any tinyint; the catalog tells it apart,
    // so the check box shows it as on the library's own MariaDB backend.
    bool isMariaDbFlag(SQLHSTMT rows, SQLUSMALLINT column, SQLSMALLINT sqlType)
    {
        if (mFlavour != SqlFlavour::MariaDb || sqlType != SQL_TINYINT)
            return false;
        const QString table = columnText(rows, column, SQL_DESC_BASE_TABLE_NAME);
        const QString name = columnText(rows, column, SQL_DESC_BASE_COLUMN_NAME);
        if (table.isEmpty() || name.isEmpty())
            return false;
        const QString key = table + u'.' + name;
        if (const auto known = mFlagColumns.constFind(key); known != mFlagColumns.cend())
            return *known;
        const bool flag = askQuietly(mariaDbColumnTypeQuestion(table, name)) == u"tinyint(1)";
        mFlagColumns.insert(key, flag);
        return flag;
    }

    QString columnText(SQLHSTMT rows, SQLUSMALLINT column, SQLUSMALLINT field) const
    {
        SQLSMALLINT bytes = 0;
        if (mNarrowText) {
            SQLCHAR text[512] = {};
            if (!SQL_SUCCEEDED(SQLColAttribute(rows, column, field, text, sizeof(text), &bytes, nullptr)))
                return {};
            return textOfNarrow(text, qsizetype(std::size(text)));
        }
        SQLWCHAR text[256] = {};
        if (!SQL_SUCCEEDED(SQLColAttributeW(rows, column, field, text, sizeof(text), &bytes, nullptr)))
            return {};
        return textOfWide(text, qsizetype(std::size(text)));
    }

    // One cell as UTF-8 into `cell`: NULL is empty; a long value is read in pieces.
    void readCell(const Handle &rows, SQLUSMALLINT column, std::string &cell)
    {
        cell.clear();
        if (mNarrowText) {
            char buffer[kReadChunk];
            readPieces(rows, column, SQL_C_CHAR, buffer, [&](size_t bytes) { cell.append(buffer, bytes); });
        } else {
            SQLWCHAR buffer[kReadChunk];
            readPieces(rows, column, SQL_C_WCHAR, buffer, [&](size_t bytes) {
                appendUtf8(std::u16string_view(reinterpret_cast<const char16_t *>(buffer), bytes / sizeof(SQLWCHAR)), cell);
            });
        }
    }

    // Reads a cell into `buffer` piece by piece, handing each piece's length in bytes to `take`.
    template <class Unit, size_t N, class Take>
    void readPieces(const Handle &rows, SQLUSMALLINT column, SQLSMALLINT cType, Unit (&buffer)[N], Take &&take)
    {
        for (;;) {
            SQLLEN length = 0;
            const SQLRETURN read = SQLGetData(rows.get(), column, cType, buffer, sizeof(buffer), &length);
            if (read == SQL_NO_DATA || length == SQL_NULL_DATA)
                return;
            if (!SQL_SUCCEEDED(read))
                throw failureOf(rows);
            // A piece that did not fit fills the buffer less its terminating NUL.
            const bool whole = read == SQL_SUCCESS && length != SQL_NO_TOTAL && length < SQLLEN(sizeof(buffer));
            // A whole value ends at the NUL the driver wrote after it, at or past the length it
            // reports: MariaDB's driver reports 3 characters for 窗体高度, and a NUL inside a
            // value comes before the length.
            const Unit *end = whole ? std::find(buffer + size_t(length) / sizeof(Unit), buffer + N - 1, Unit(0)) : buffer + N - 1;
            take(size_t(end - buffer) * sizeof(Unit));
            if (whole)
                return;
        }
    }

    // A refused statement or connection, told as the library's own backend of the source tells it.
    [[nodiscard]] StatementFailure failureOf(const Handle &handle)
    {
        const OdbcDiagnostic diagnostic = firstDiagnostic(handle.type(), handle.get(), mNarrowText);
        const OdbcRefusal refusal = classifyOdbcDiagnostic(mFlavour, diagnostic);
        if (refusal.kind == OdbcRefusal::Kind::LostConnection) {
            mLost = true;
            return lostConnection(refusal.text);
        }
        if (refusal.kind == OdbcRefusal::Kind::Value) {
            if (std::optional<ValueRefusal> value = valueRefusal(diagnostic, refusal.text))
                return velmarith::detail::failureOf(*value, refusal.databaseText);
        }
        return refusal.failure();
    }

    std::optional<ValueRefusal> valueRefusal(const OdbcDiagnostic &diagnostic, const QString &text)
    {
        if (mFlavour == SqlFlavour::Postgres) {
            return postgresValueRefusal(diagnostic.sqlState, text, 0, mSent, [this](const QString &table) {
                std::vector<TypedColumn> columns;
                for (const QStringList &row : rowsQuietly(postgresColumnTypesQuestion(table)))
                    columns.push_back({row.value(0), row.value(1)});
                return columns;
            });
        }
        if (mFlavour != SqlFlavour::MariaDb)
            return std::nullopt;
        std::optional<ValueRefusal> value = mariaDbValueRefusal(unsigned(diagnostic.native), text, mSent);
        if (value)
            completeMariaDbRefusal(*value, mSent, [this](const QString &question) { return rowsQuietly(question); });
        return value;
    }

    [[nodiscard]] QString connectReason()
    {
        return hidePasswords(normalizedOdbcText(firstDiagnostic(SQL_HANDLE_DBC, mConnection.get(), mNarrowText).text), mUri);
    }

    [[nodiscard]] StatementFailure lostConnection(const QString &why) const
    {
        const QString text = QStringLiteral("与数据库服务器 %1 的连接已断开：%2").arg(mSource, why);
        return StatementFailure{text, text, 1};
    }

    QString mUri;
    QString mSource; ///< the connection string as it may be shown: its password as ***
    QString mDriver;
    int mLockTimeout;
    SqlFlavour mFlavour = SqlFlavour::Postgres;
    QString mSent; ///< the statement sent last, as sent
    bool mNarrowText = false; ///< the driver gets and gives text as UTF-8, not through the wide functions
    bool mLost = false;
    QHash<QString, bool> mFlagColumns; ///< MariaDB's tinyint columns by table.column: whether tinyint(1)
    Handle mConnection;
};

} // namespace

std::unique_ptr<Connection> openOdbc(const QString &uri)
{
    return std::make_unique<OdbcConnection>(uri);
}

} // namespace velmarith::detail
