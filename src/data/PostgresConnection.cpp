// The PostgreSQL backend, over libpq: each statement is sent alone through the extended
// protocol (which refuses a second statement) and its rows are read one at a time straight
// into the result's arena, so a large list never sits in memory twice.
#include "data/PostgresConnection.h"

#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

#include "common/Utf8.h"
#include "data/AssignedValues.h"
#include "data/Catalog.h"
#include "data/CharacterSets.h"
#include "data/DatabaseNames.h"
#include "data/PostgresRefusals.h"
#include "data/SqlDialect.h"

#include <libpq-fe.h>

namespace velmarith::detail {
namespace {

constexpr int kLongestName = 63; // NAMEDATALEN - 1
constexpr Oid kBoolOid = 16;

struct ConnectionCloser {
    void operator()(PGconn *connection) const { PQfinish(connection); }
};
struct ResultClearer {
    void operator()(PGresult *result) const { PQclear(result); }
};
using ResultHandle = std::unique_ptr<PGresult, ResultClearer>;

QString trimmed(const char *text)
{
    return QString::fromUtf8(text ? text : "").trimmed();
}

// What a person is told of a refusal: its cause in Chinese, with the server's own words.
QString messageFor(const QString &sqlState, const QString &serverText)
{
    if (sqlState == u"40001" || sqlState == u"40P01" || sqlState == u"55P03")
        return QStringLiteral("数据库正被其他程序使用，这项修改没有完成：") + serverText;
    if (sqlState == u"25006")
        return QStringLiteral("数据库不能写入：") + serverText;
    return QStringLiteral("数据库拒绝了这项操作：") + serverText;
}

StatementFailure failureOf(const QString &serverText, const QString &sqlState = {})
{
    const QString text = sqlState.isEmpty() ? serverText : QStringLiteral("%1（SQLSTATE %2）").arg(serverText, sqlState);
    return StatementFailure{text, messageFor(sqlState, text), 1};
}

// The session's options: a lock held by another session makes a statement wait as long as on
// SQLite and then fail, not freeze the window; options the URI gives come after and win.
QByteArray sessionOptions(const QByteArray &uri, int lockTimeout)
{
    QByteArray options = "-c lock_timeout=" + QByteArray::number(lockTimeout);
    char *error = nullptr;
    PQconninfoOption *parsed = PQconninfoParse(uri.constData(), &error);
    PQfreemem(error);
    for (const PQconninfoOption *option = parsed; option && option->keyword; ++option) {
        if (option->val && *option->val && qstrcmp(option->keyword, "options") == 0)
            options += ' ' + QByteArray(option->val);
    }
    PQconninfoFree(parsed);
    return options;
}

// The rows of one result column as the library gives them: NULL empty, booleans 1 and 0 as
// the check box reads them on SQLite, everything else as the server writes it.
std::string_view cellOf(const PGresult *result, int column, bool boolean)
{
    if (PQgetisnull(result, 0, column))
        return {};
    const char *value = PQgetvalue(result, 0, column);
    if (boolean)
        return value[0] == 't' ? "1" : "0";
    return {value, size_t(PQgetlength(result, 0, column))};
}

class PostgresConnection final : public Connection
{
public:
    explicit PostgresConnection(const QString &uri) : mUri(uri), mLockTimeout(busyTimeoutMilliseconds())
    {
        const QByteArray utf8 = uri.toUtf8();
        const QByteArray options = sessionOptions(utf8, mLockTimeout);
        // The URI may set its own connect_timeout; the text always travels as UTF-8. Later
        // keywords override the URI's, earlier ones give way to it.
        const char *keys[] = {"connect_timeout", "dbname", "options", "client_encoding", nullptr};
        const char *values[] = {"5", utf8.constData(), options.constData(), "UTF8", nullptr};
        mConnection.reset(PQconnectdbParams(keys, values, 1));
        if (!mConnection || PQstatus(mConnection.get()) != CONNECTION_OK)
            throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：%2").arg(server(), reason()));
        // Notices (an identifier cut, a table already there) would otherwise go to stderr.
        PQsetNoticeProcessor(mConnection.get(), [](void *, const char *) {}, nullptr);
    }

    QueryResult query(const QString &statement, TraceScope &trace, bool wantRows) override
    {
        QueryResult result;
        std::optional<ResultRows::Builder> builder;
        std::vector<bool> booleans;
        run(statement, trace, [&](const PGresult *rows, bool hasRow) {
            if (!builder) {
                describe(rows, result, booleans);
                builder.emplace(result.names);
            }
            if (hasRow && wantRows) {
                for (int c = 0; c < int(booleans.size()); ++c)
                    builder->addCell(cellOf(rows, c, booleans[size_t(c)]));
            }
        });
        if (builder)
            result.rows = builder->finish();
        return result;
    }

    std::optional<QString> queryValue(const QString &statement, TraceScope &trace) override
    {
        std::optional<QString> value;
        run(statement, trace, [&](const PGresult *rows, bool hasRow) {
            if (hasRow && !value && PQnfields(rows) > 0)
                value = textOfUtf8(cellOf(rows, 0, PQftype(rows, 0) == kBoolOid));
        });
        return value;
    }

    int64_t execute(const QString &statement, TraceScope &trace) override
    {
        return run(statement, trace, [](const PGresult *, bool) {});
    }

    // The column's collation, else the database's: only the "C" and "POSIX" locales of the C
    // library compare bytes. A server before 15 (no datlocprovider) is not asked further.
    bool ordersTextAsBytes(const QString &table, const QString &column) override
    {
        const QString question =
            QStringLiteral("select case when co.oid is not null then co.collprovider = 'c' and co.collcollate in ('C', 'POSIX') "
                           "else d.datlocprovider = 'c' and d.datcollate in ('C', 'POSIX') end "
                           "from pg_attribute at join pg_database d on d.datname = current_database() "
                           "left join pg_collation co on co.oid = at.attcollation and co.collname <> 'default' "
                           "where at.attrelid = to_regclass(quote_ident(%1)) and at.attname = %2")
                .arg(sqlString(table), sqlString(column));
        TraceScope trace(question);
        try {
            const std::optional<QString> answer = queryValue(question, trace);
            trace.succeeded();
            return answer == u"1"; // a boolean, written as the check box reads it
        } catch (const StatementFailure &failure) {
            trace.failed(failure.databaseText);
            return false;
        }
    }

    std::optional<TableSchema> describe(const QString &table) override { return describePostgresTable(*this, table); }

    [[nodiscard]] const QString &database() const override { return mUri; }

    // Whatever the host's statements left (advisory locks, settings, temporary tables, prepared
    // statements) goes before the connection waits, so it holds back no other session. One
    // closed inside a transaction is not kept: the server rolls it back.
    bool park() override
    {
        if (PQstatus(mConnection.get()) != CONNECTION_OK || PQtransactionStatus(mConnection.get()) != PQTRANS_IDLE)
            return false;
        const ResultHandle discarded(PQexec(mConnection.get(), "discard all"));
        return PQresultStatus(discarded.get()) == PGRES_COMMAND_OK;
    }

    // The lock wait limit is a setting of the session, made when it began.
    [[nodiscard]] bool canServeAgain(const QString &database) const override
    {
        return database == mUri && mLockTimeout == busyTimeoutMilliseconds();
    }

    // A session the server ended while the connection waited (a restart) fails here, and the
    // pool opens a fresh one.
    bool reuse() override
    {
        const ResultHandle answer(PQexec(mConnection.get(), ""));
        return PQresultStatus(answer.get()) == PGRES_EMPTY_QUERY;
    }

private:
    // Where the connection goes, never with the password; the URI itself where libpq could not
    // read it.
    [[nodiscard]] QString server() const
    {
        const char *host = PQhost(mConnection.get());
        const char *port = PQport(mConnection.get());
        const char *name = PQdb(mConnection.get());
        if (!host || !*host)
            return DataBridge::withoutPassword(mUri);
        // A URI with a slash too many puts its user part into the database's name.
        return hidePasswords(QStringLiteral("%1:%2/%3").arg(trimmed(host), trimmed(port), trimmed(name)), mUri);
    }

    [[nodiscard]] QString reason() const
    {
        // libpq quotes a part of the URI it cannot read, which may be the password.
        return mConnection ? hidePasswords(trimmed(PQerrorMessage(mConnection.get())), mUri) : QStringLiteral("内存不足");
    }

    // A lost connection is tried once more before a statement, so a restarted server serves
    // again; a server still down says so.
    void ensureConnected()
    {
        if (PQstatus(mConnection.get()) == CONNECTION_OK)
            return;
        PQreset(mConnection.get());
        if (PQstatus(mConnection.get()) != CONNECTION_OK)
            throw lostConnection();
    }

    [[nodiscard]] StatementFailure lostConnection(const QString &why = {}) const
    {
        const QString text = QStringLiteral("与数据库服务器 %1 的连接已断开：%2").arg(server(), why.isEmpty() ? reason() : why);
        return StatementFailure{text, text, 1};
    }

    // What the server said of a statement it refused.
    struct Refusal {
        QString text;
        QString sqlState;
        int position; ///< where in the statement, counting characters from 1; 0 for nowhere
    };

    static Refusal refusalOf(const PGresult *result)
    {
        return {trimmed(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)), trimmed(PQresultErrorField(result, PG_DIAG_SQLSTATE)),
                trimmed(PQresultErrorField(result, PG_DIAG_STATEMENT_POSITION)).toInt()};
    }

    // A statement's failure; the server ending the session (SQLSTATE 57P01…, 08…) is a lost
    // connection, whether or not libpq has noticed yet. A value a column could not hold is
    // told of by its field, which may take a question of the catalog.
    [[nodiscard]] StatementFailure failureFrom(const Refusal &refusal, const QString &sent)
    {
        const auto &[text, sqlState, position] = refusal;
        if (PQstatus(mConnection.get()) != CONNECTION_OK || sqlState.startsWith(u"57P") || sqlState.startsWith(u"08"))
            return lostConnection(text.isEmpty() ? reason() : text);
        const StatementFailure failure = failureOf(text, sqlState);
        const std::optional<ValueRefusal> value =
            postgresValueRefusal(sqlState, text, position, sent, [this](const QString &table) { return columnsOf(table); });
        return value ? failureOf(*value, failure.databaseText) : failure;
    }

    // The columns of a table (named as a statement writes it) with their types, asked outside the
    // trace; none when it cannot be told.
    std::vector<TypedColumn> columnsOf(const QString &table)
    {
        const QByteArray question = QStringLiteral("select attname, format_type(atttypid, atttypmod) from pg_attribute "
                                                   "where attrelid = to_regclass(%1) and attnum > 0 and not attisdropped")
                                        .arg(sqlString(table))
                                        .toUtf8();
        const ResultHandle answer(PQexec(mConnection.get(), question.constData()));
        std::vector<TypedColumn> columns;
        if (PQresultStatus(answer.get()) != PGRES_TUPLES_OK)
            return columns;
        for (int row = 0; row < PQntuples(answer.get()); ++row)
            columns.push_back({textOfUtf8(PQgetvalue(answer.get(), row, 0)), textOfUtf8(PQgetvalue(answer.get(), row, 1))});
        return columns;
    }

    // A value of the statement the database's encoding has no room for: found before it is sent,
    // since the server could not say which field it was.
    [[nodiscard]] std::optional<ValueRefusal> unstorableValue(const QString &statement) const
    {
        const QString encoding = QString::fromLatin1(PQparameterStatus(mConnection.get(), "server_encoding"));
        const std::optional<Assignments> assignments =
            encoding == u"UTF8" || isAscii(statement) ? std::nullopt : assignmentsOf(statement);
        for (const AssignedValue &assigned : assignments ? assignments->values : std::vector<AssignedValue>()) {
            if (const QString character = firstCharacterPostgresCannotStore(assigned.value, encoding); !character.isEmpty())
                return ValueRefusal{.kind = ValueRefusal::Kind::Unstorable, .column = assigned.column, .value = assigned.value,
                                    .character = character, .charset = encoding};
        }
        return std::nullopt;
    }

    static void describe(const PGresult *rows, QueryResult &result, std::vector<bool> &booleans)
    {
        const int columns = PQnfields(rows);
        for (int c = 0; c < columns; ++c) {
            result.names.append(textOfUtf8(PQfname(rows, c)));
            result.types.push_back(columnTypeOfServerColumn(PQftype(rows, c), PQfmod(rows, c)));
            booleans.push_back(PQftype(rows, c) == kBoolOid);
        }
    }

    // Sends one statement and hands each row to `onRow` (a result without rows once, with
    // hasRow false, for its columns); returns the rows an insert, update or delete changed.
    template <class OnRow>
    int64_t run(const QString &statement, TraceScope &trace, OnRow &&onRow)
    {
        const QString sent = rewriteConcatenation(statement);
        trace.sent(sent);
        if (!isSingleStatement(sent))
            throw failureOf(QStringLiteral("一次只能执行一条语句：%1").arg(statement));
        if (const QString name = overlongName(sent); !name.isEmpty())
            throw failureOf(QStringLiteral("名称超过 %1 字节，数据库会截短它：%2").arg(kLongestName).arg(name));
        ensureConnected();
        if (const std::optional<ValueRefusal> unstorable = unstorableValue(sent))
            throw failureOf(*unstorable, messageOf(*unstorable));
        PGconn *connection = mConnection.get();
        if (!PQsendQueryParams(connection, sent.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0))
            throw PQstatus(connection) == CONNECTION_OK ? failureOf(reason()) : lostConnection();
        PQsetSingleRowMode(connection);
        std::optional<Refusal> failure;
        int64_t changed = 0;
        // Every result is read, also after a failure, so the connection is ready for the next.
        for (ResultHandle result(PQgetResult(connection)); result; result.reset(PQgetResult(connection))) {
            switch (PQresultStatus(result.get())) {
            case PGRES_SINGLE_TUPLE:
                if (!failure)
                    onRow(result.get(), true);
                break;
            case PGRES_TUPLES_OK:
                if (!failure)
                    onRow(result.get(), false);
                break;
            case PGRES_COMMAND_OK:
                changed = QByteArray(PQcmdTuples(result.get())).toLongLong();
                break;
            default:
                if (!failure)
                    failure = refusalOf(result.get());
                break;
            }
        }
        if (failure)
            throw failureFrom(*failure, sent);
        return changed;
    }

    QString mUri;
    int mLockTimeout;
    std::unique_ptr<PGconn, ConnectionCloser> mConnection;
};

bool startsName(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}

bool continuesName(QChar c)
{
    return startsName(c) || c.isDigit() || c == u'$';
}

} // namespace

QString overlongName(const QString &statement)
{
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"') { // a literal, or a quoted name; doubled quotes stay inside
            qsizetype end = i + 1;
            while (end < n && !(statement[end] == c && (end + 1 >= n || statement[end + 1] != c)))
                end += statement[end] == c ? 2 : 1;
            const QString inside = statement.mid(i + 1, end - i - 1);
            if (c == u'"' && inside.toUtf8().size() > kLongestName)
                return inside;
            i = end + 1;
        } else if (statement.mid(i, 2) == u"--") {
            const qsizetype end = statement.indexOf(u'\n', i);
            i = end < 0 ? n : end + 1;
        } else if (statement.mid(i, 2) == u"/*") {
            const qsizetype end = statement.indexOf(u"*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else if (startsName(c)) {
            qsizetype end = i + 1;
            while (end < n && continuesName(statement[end]))
                ++end;
            const QString name = statement.mid(i, end - i);
            if (name.toUtf8().size() > kLongestName)
                return name;
            i = end;
        } else {
            ++i;
        }
    }
    return {};
}

std::unique_ptr<Connection> openPostgres(const QString &uri)
{
    return std::make_unique<PostgresConnection>(uri);
}

} // namespace velmarith::detail
