// The MariaDB and MySQL backend, over MariaDB Connector/C's text protocol: each statement is
// sent alone (the client refuses several) and its rows are streamed (mysql_use_result) straight
// into the result's arena. The client never reconnects by itself: a lost session is reported,
// and the next Open connects afresh.
#include "data/MariaDbConnection.h"

#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

#include "common/Utf8.h"
#include "data/AssignedValues.h"
#include "data/Catalog.h"
#include "data/CharacterSets.h"
#include "data/DatabaseNames.h"
#include "data/MariaDbRefusals.h"
#include "data/SqlDialect.h"
#include "data/SqlFlavour.h"

#include <QLocale>
#include <QUrl>
#include <QUrlQuery>

#include <mysql.h>

#include <cmath>
#include <limits>
#include <utility>

namespace velmarith::detail {
namespace {

constexpr unsigned kConnectTimeoutSeconds = 5;
constexpr unsigned kLockWaitTimeout = 1205;   // ER_LOCK_WAIT_TIMEOUT
constexpr unsigned kDeadlock = 1213;          // ER_LOCK_DEADLOCK
constexpr unsigned kReadOnly = 1290;          // ER_OPTION_PREVENTS_STATEMENT
constexpr unsigned kPacketTooLarge = 1153;    // ER_NET_PACKET_TOO_LARGE
constexpr unsigned kServerGone = 2006;        // CR_SERVER_GONE_ERROR
constexpr unsigned kServerLost = 2013;        // CR_SERVER_LOST
constexpr unsigned kBinaryCharset = 63;

struct ConnectionCloser {
    void operator()(MYSQL *connection) const { mysql_close(connection); }
};
struct ResultFreer {
    void operator()(MYSQL_RES *result) const { mysql_free_result(result); }
};
using ResultHandle = std::unique_ptr<MYSQL_RES, ResultFreer>;

// What a person is told of a refusal: its cause in Chinese, with the server's own words.
StatementFailure failureOf(const QString &serverText, unsigned error = 0, const QString &sqlState = {})
{
    const QString text = sqlState.isEmpty() ? serverText : QStringLiteral("%1（SQLSTATE %2）").arg(serverText, sqlState);
    if (error == kLockWaitTimeout || error == kDeadlock)
        return StatementFailure{text, QStringLiteral("数据库正被其他程序使用，这项修改没有完成：") + text, 1, error == kDeadlock};
    if (error == kReadOnly)
        return StatementFailure{text, QStringLiteral("数据库不能写入：") + text, 1};
    return StatementFailure{text, QStringLiteral("数据库拒绝了这项操作：") + text, 1};
}

// A result column's type code, from the server's field description.
ColumnType columnTypeOf(const MYSQL_FIELD &field)
{
    const bool binary = field.charsetnr == kBinaryCharset;
    const auto characters = int32_t(binary ? field.length : field.length / 4); // utf8mb4: 4 bytes a character
    switch (field.type) {
    case MYSQL_TYPE_TINY:
        // boolean is tinyint(1): a one-character flag, which the check box reads
        return field.length == 1 ? ColumnType{TypeCode::Char, 1} : ColumnType{TypeCode::SmallInt, 2};
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR: return {TypeCode::SmallInt, 2};
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONG: return {TypeCode::Integer, 4};
    case MYSQL_TYPE_LONGLONG: return {TypeCode::BigInt, 8};
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE: return {TypeCode::Numeric, 15};
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL: {
        // The display length holds the sign, unless unsigned, and the point, if any.
        const int32_t sign = (field.flags & UNSIGNED_FLAG) ? 0 : 1;
        return {TypeCode::Numeric, int32_t(field.length) - sign - (field.decimals > 0 ? 1 : 0)};
    }
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_TIME:
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP: return {TypeCode::DBTimeStamp, 16};
    // A bit value is read as its number: bit(1) is a flag the check box shows, a wider one a
    // number of as many digits as its largest value has.
    case MYSQL_TYPE_BIT:
        return field.length == 1 ? ColumnType{TypeCode::SmallInt, 1}
                                 : ColumnType{TypeCode::Numeric, int32_t(std::ceil(double(field.length) * std::log10(2.0)))};
    case MYSQL_TYPE_STRING: return binary ? ColumnType{TypeCode::VarBinary, characters} : ColumnType{TypeCode::Char, characters};
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_VARCHAR:
        return binary ? ColumnType{TypeCode::VarBinary, characters} : ColumnType{TypeCode::VarChar, characters};
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
        return binary ? ColumnType{TypeCode::VarBinary, kUnlimitedSize} : ColumnType{TypeCode::LongVarChar, kUnlimitedSize};
    default: return {TypeCode::VarChar, 255};
    }
}

// A bit value as the server sends it, its bytes with the highest first, written as its number.
std::string numberOfBits(std::string_view bytes)
{
    uint64_t number = 0;
    for (const char byte : bytes)
        number = (number << 8) | uint8_t(byte);
    return std::to_string(number);
}

class MariaDbConnection final : public Connection
{
public:
    explicit MariaDbConnection(const QString &uri) : mUri(uri), mLockTimeout(busyTimeoutMilliseconds())
    {
        const QUrl url(uri, QUrl::TolerantMode);
        const QString socket = QUrlQuery(url).queryItemValue(QStringLiteral("socket"), QUrl::FullyDecoded);
        mServer = socket.isEmpty() ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port(3306)) : socket;
        // A URI with a slash too many puts its user part into the database's name.
        mServer = hidePasswords(mServer + u'/' + url.path(QUrl::FullyDecoded).mid(1), uri);
        mConnection.reset(mysql_init(nullptr));
        if (!mConnection)
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：内存不足").arg(mServer));
        const unsigned timeout = kConnectTimeoutSeconds;
        const my_bool noReconnect = 0;
        mysql_options(mConnection.get(), MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
        mysql_options(mConnection.get(), MYSQL_OPT_RECONNECT, &noReconnect);
        mysql_options(mConnection.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
        const QByteArray host = url.host().toUtf8();
        const QByteArray user = url.userName(QUrl::FullyDecoded).toUtf8();
        const QByteArray password = url.password(QUrl::FullyDecoded).toUtf8();
        const QByteArray database = url.path(QUrl::FullyDecoded).mid(1).toUtf8();
        const QByteArray socketPath = socket.toUtf8();
        if (!mysql_real_connect(mConnection.get(), host.isEmpty() ? nullptr : host.constData(), user.constData(),
                                url.password().isNull() ? nullptr : password.constData(),
                                database.isEmpty() ? nullptr : database.constData(), unsigned(url.port(0)),
                                socketPath.isEmpty() ? nullptr : socketPath.constData(), 0))
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：%2").arg(mServer, reason()));
        if (!applySessionSettings() || !readLargestPacket())
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：%2").arg(mServer, reason()));
    }

    QueryResult query(const QString &statement, TraceScope &trace, bool wantRows) override;
    std::unique_ptr<RowStream> stream(const QString &statement, TraceScope &trace) override;

    std::optional<QString> queryValue(const QString &statement, TraceScope &trace) override
    {
        return firstValueOf(query(statement, trace, true));
    }

    int64_t execute(const QString &statement, TraceScope &trace) override
    {
        send(statement, trace);
        receive();
        if (const ResultHandle rows{mysql_use_result(mConnection.get())}) {
            while (mysql_fetch_row(rows.get())) {
            }
            return 0;
        }
        if (mysql_field_count(mConnection.get()) != 0)
            throw refusal();
        const my_ulonglong changed = mysql_affected_rows(mConnection.get());
        return changed == my_ulonglong(-1) ? 0 : int64_t(changed);
    }

    [[nodiscard]] QString transactionStart() const override { return transactionStartOf(SqlFlavour::MariaDb); }
    [[nodiscard]] QString rowLockClause(const QString &alias) const override { return rowLockClauseOf(SqlFlavour::MariaDb, alias); }

    // Only a binary collation without padding orders as the bytes of UTF-8: utf8mb4_bin
    // compares "a" as "a " and so puts "a\t" first.
    bool ordersTextAsBytes(const QString &table, const QString &column) override
    {
        const QString question = QStringLiteral("select right(collation_name, 10) = '_nopad_bin' from information_schema.columns "
                                                "where table_schema = database() and table_name = %1 and column_name = %2")
                                     .arg(sqlString(table), sqlString(column));
        TraceScope trace(question);
        try {
            const std::optional<QString> answer = queryValue(question, trace);
            trace.succeeded();
            return answer == u"1";
        } catch (const StatementFailure &failure) {
            trace.failed(failure.databaseText);
            return false;
        }
    }

    std::optional<TableSchema> describe(const QString &table) override { return describeMariaDbTable(*this, table); }

    [[nodiscard]] const QString &database() const override { return mUri; }

    // Whatever the host's statements left (table and named locks, settings, temporary tables,
    // user variables) goes before the connection waits, so it holds back no other session.
    // One closed inside a transaction is not kept: the server rolls it back.
    bool park() override
    {
        return !mLost && !(mConnection->server_status & SERVER_STATUS_IN_TRANS) &&
               mysql_reset_connection(mConnection.get()) == 0 && applySessionSettings();
    }

    [[nodiscard]] bool canServeAgain(const QString &database) const override
    {
        return database == mUri && mLockTimeout == busyTimeoutMilliseconds();
    }

    // A session the server ended while the connection waited fails here, and a fresh one opens.
    bool reuse() override
    {
        return mysql_ping(mConnection.get()) == 0;
    }

private:
    [[nodiscard]] QString reason() const
    {
        return hidePasswords(QString::fromUtf8(mysql_error(mConnection.get())).trimmed(), mUri);
    }

    // The session reads SQL as the library writes it: names in double quotes, a backslash as
    // text. It is strict, whatever the server's own mode, so a value a column cannot hold as
    // given (too long, out of range, no such date, a character its set lacks) is refused rather
    // than cut, clamped, zeroed or stored as "?". A lock held by another session makes a
    // statement wait as long as on SQLite, then fail.
    bool applySessionSettings()
    {
        const QByteArray seconds = QByteArray::number(std::max(1, int(std::ceil(mLockTimeout / 1000.0))));
        const QByteArray settings = "set session sql_mode = concat(@@sql_mode, ',ANSI_QUOTES,NO_BACKSLASH_ESCAPES,"
                                    "STRICT_ALL_TABLES,NO_ZERO_DATE,NO_ZERO_IN_DATE,ERROR_FOR_DIVISION_BY_ZERO'), "
                                    "session innodb_lock_wait_timeout = " + seconds + ", session lock_wait_timeout = " + seconds;
        return mysql_real_query(mConnection.get(), settings.constData(), settings.size()) == 0;
    }

    // The rows of a question the library asks for itself, outside the trace; nothing when it
    // could not be asked.
    std::vector<QStringList> catalogRows(const QString &question)
    {
        std::vector<QStringList> rows;
        const QByteArray utf8 = question.toUtf8();
        if (mysql_real_query(mConnection.get(), utf8.constData(), utf8.size()) != 0)
            return rows;
        const ResultHandle answer(mysql_store_result(mConnection.get()));
        const unsigned columns = answer ? mysql_num_fields(answer.get()) : 0;
        while (const MYSQL_ROW row = answer ? mysql_fetch_row(answer.get()) : nullptr) {
            QStringList values;
            for (unsigned c = 0; c < columns; ++c)
                values.append(QString::fromUtf8(row[c] ? row[c] : ""));
            rows.push_back(values);
        }
        return rows;
    }

    // What information_schema says of the columns of `table` that hold text: name, character
    // set and length in characters.
    std::vector<QStringList> textColumnsOf(const QString &table, const QString &column = {})
    {
        return catalogRows(mariaDbTextColumnsQuestion(table, column));
    }

    // The server ends the session on a statement longer than max_allowed_packet, often before
    // it can say why, so a statement that long is not sent at all.
    bool readLargestPacket()
    {
        const std::vector<QStringList> answer = catalogRows(QStringLiteral("select @@max_allowed_packet"));
        if (answer.empty())
            return false;
        mLargestPacket = answer.front().value(0).toLongLong();
        return true;
    }

    // A value of the statement that its column's character set has no room for: found before it
    // is sent, since the column cannot tell the person which field it was.
    [[nodiscard]] std::optional<ValueRefusal> unstorableValue(const QString &statement)
    {
        const std::optional<Assignments> assignments = isAscii(statement) ? std::nullopt : assignmentsOf(statement);
        if (!assignments)
            return std::nullopt;
        const std::vector<QStringList> columns = textColumnsOf(assignments->table);
        for (const AssignedValue &assigned : assignments->values) {
            if (!assigned.quoted || isAscii(assigned.value))
                continue;
            for (const QStringList &column : columns) {
                if (column.value(0).compare(assigned.column, Qt::CaseInsensitive) != 0)
                    continue;
                if (const QString character = firstCharacterMariaDbCannotStore(assigned.value, column.value(1)); !character.isEmpty()) {
                    return ValueRefusal{.kind = ValueRefusal::Kind::Unstorable, .column = assigned.column,
                                        .value = assigned.value, .character = character, .charset = column.value(1)};
                }
            }
        }
        return std::nullopt;
    }

    [[nodiscard]] StatementFailure packetTooLarge(qsizetype statementBytes) const
    {
        const QString text = QStringLiteral("语句有 %1 字节，超过了数据库服务器的 max_allowed_packet（%2 字节，即 %3），没有执行")
                                 .arg(statementBytes)
                                 .arg(mLargestPacket)
                                 .arg(QLocale::c().formattedDataSize(mLargestPacket, mLargestPacket % 1024 == 0 ? 0 : 1,
                                                                     QLocale::DataSizeIecFormat));
        return StatementFailure{text, QStringLiteral("数据库拒绝了这项操作：") + text, 1};
    }

    void send(const QString &statement, TraceScope &trace)
    {
        const QString sent = rewriteConcatenationAsCall(statement);
        trace.sent(sent);
        if (!isSingleStatement(sent))
            throw failureOf(QStringLiteral("一次只能执行一条语句：%1").arg(statement));
        if (const QString refusal = nameMariaDbRefuses(sent); !refusal.isEmpty())
            throw failureOf(refusal);
        if (mLost)
            throw lostConnection();
        const QByteArray utf8 = sent.toUtf8();
        // The packet holds the command's byte, and must stay below the limit.
        if (utf8.size() + 1 >= mLargestPacket)
            throw packetTooLarge(utf8.size());
        if (const std::optional<ValueRefusal> unstorable = unstorableValue(sent))
            throw failureOf(*unstorable, messageOf(*unstorable));
        mSent = sent;
        mSentBytes = utf8.size();
        if (mysql_send_query(mConnection.get(), utf8.constData(), utf8.size()) != 0)
            throw refusal();
    }

    // Waits for the server's answer to the statement sent.
    void receive()
    {
        if (mysql_read_query_result(mConnection.get()) != 0)
            throw refusal();
    }

    [[nodiscard]] StatementFailure refusal()
    {
        const unsigned error = mysql_errno(mConnection.get());
        if (error == kPacketTooLarge) { // the server has ended the session
            mLost = true;
            return packetTooLarge(mSentBytes);
        }
        if (error == kServerGone || error == kServerLost) {
            mLost = true;
            return lostConnection();
        }
        const QString text = reason();
        if (std::optional<ValueRefusal> value = mariaDbValueRefusal(error, text, mSent)) {
            completeMariaDbRefusal(*value, mSent, [this](const QString &question) { return catalogRows(question); });
            return failureOf(*value, text);
        }
        return failureOf(text, error, QString::fromLatin1(mysql_sqlstate(mConnection.get())));
    }

    [[nodiscard]] StatementFailure lostConnection() const
    {
        const QString text = QStringLiteral("与数据库服务器 %1 的连接已断开：%2").arg(mServer, reason());
        return StatementFailure{text, text, 1};
    }

    // A query not read to its end is stopped on the server from a second session, so it ends
    // at once and the rows already on their way are skipped; the session is not kept for
    // another statement. Where no second session can be had, the connection is cut.
    void stopQuery()
    {
        mLost = true;
        try {
            const MariaDbConnection other(mUri);
            const QByteArray kill = "kill query " + QByteArray::number(qulonglong(mysql_thread_id(mConnection.get())));
            if (mysql_real_query(other.mConnection.get(), kill.constData(), kill.size()) == 0)
                return;
        } catch (const Error &) {
        }
        mariadb_cancel(mConnection.get());
    }

    friend class MariaDbRowStream;

    QString mUri;
    QString mServer; ///< where the connection goes, for messages; never with the password
    int mLockTimeout;
    qint64 mLargestPacket = 0; ///< the server's max_allowed_packet, in bytes
    QString mSent;             ///< the statement sent last, as sent
    qsizetype mSentBytes = 0;  ///< its length in UTF-8
    bool mLost = false;
    std::unique_ptr<MYSQL, ConnectionCloser> mConnection;
};

// A query's rows as the server sends them (mysql_use_result), fetched as they are asked for.
class MariaDbRowStream final : public RowStream
{
public:
    MariaDbRowStream(MariaDbConnection &connection, const QString &statement, TraceScope &trace) : mOwner(connection)
    {
        connection.send(statement, trace);
    }

    void readColumns() override
    {
        if (std::exchange(mColumnsRead, true))
            return;
        MYSQL *mysql = mOwner.mConnection.get();
        try {
            mOwner.receive();
        } catch (const StatementFailure &) {
            mEnded = true; // the server has nothing more to send
            throw;
        }
        mRows.reset(mysql_use_result(mysql));
        if (!mRows) {
            mEnded = true; // a statement without rows, or one whose result failed
            if (mysql_field_count(mysql) != 0)
                throw mOwner.refusal();
            return;
        }
        const unsigned columns = mysql_num_fields(mRows.get());
        const MYSQL_FIELD *fields = mysql_fetch_fields(mRows.get());
        for (unsigned c = 0; c < columns; ++c) {
            mNames.append(textOfUtf8(std::string_view(fields[c].name, fields[c].name_length)));
            mTypes.push_back(columnTypeOf(fields[c]));
            mBits.push_back(fields[c].type == MYSQL_TYPE_BIT);
        }
    }

    ~MariaDbRowStream() override
    {
        if (!mEnded)
            mOwner.stopQuery();
    }

    ResultRows next(int atMost) override
    {
        readColumns();
        ResultRows::Builder builder(mNames);
        const auto columns = unsigned(mBits.size());
        for (int row = 0; row < atMost && !mEnded; ++row) {
            const MYSQL_ROW values = fetch();
            if (!values)
                break;
            const unsigned long *lengths = mysql_fetch_lengths(mRows.get());
            for (unsigned c = 0; c < columns; ++c) {
                const std::string_view cell = values[c] ? std::string_view(values[c], lengths[c]) : std::string_view();
                if (mBits[c] && values[c])
                    builder.addCell(numberOfBits(cell));
                else
                    builder.addCell(cell);
            }
        }
        return builder.finish();
    }

    /// Fetches the rest without keeping it, so the connection is ready for the next statement.
    void skipRest()
    {
        while (!mEnded && fetch()) {
        }
    }

    [[nodiscard]] bool atEnd() const override { return mEnded; }

private:
    // The next row; none at the end, where a failure the server sent after some rows is raised.
    MYSQL_ROW fetch()
    {
        const MYSQL_ROW values = mysql_fetch_row(mRows.get());
        if (values)
            return values;
        mEnded = true;
        if (mysql_errno(mOwner.mConnection.get()) != 0)
            throw mOwner.refusal();
        return nullptr;
    }

    MariaDbConnection &mOwner;
    ResultHandle mRows;
    std::vector<bool> mBits;
    bool mColumnsRead = false;
    bool mEnded = false;
};

QueryResult MariaDbConnection::query(const QString &statement, TraceScope &trace, bool wantRows)
{
    MariaDbRowStream rows(*this, statement, trace);
    rows.readColumns();
    QueryResult result{{}, rows.names(), rows.types()};
    if (wantRows)
        result.rows = rows.next(std::numeric_limits<int>::max());
    rows.skipRest();
    return result;
}

std::unique_ptr<RowStream> MariaDbConnection::stream(const QString &statement, TraceScope &trace)
{
    return std::make_unique<MariaDbRowStream>(*this, statement, trace);
}

} // namespace

std::unique_ptr<Connection> openMariaDb(const QString &uri)
{
    return std::make_unique<MariaDbConnection>(uri);
}

} // namespace velmarith::detail
