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
#include "data/SqlFlavour.h"

#include <QRegularExpression>

#include <libpq-fe.h>

#include <utility>

namespace velmarith::detail {
namespace {

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

// A URI that marks a transaction pooler (pgbouncer's pool_mode = transaction) with
// "pooler=transaction", which libpq would refuse, given without the mark.
struct PoolerMark {
    QByteArray libpqUri;
    bool transactionPooler = false;
};

PoolerMark poolerMarkOf(const QString &uri)
{
    static const QRegularExpression mark(QStringLiteral("([?&])pooler=([^&]*)(&|$)"));
    const QRegularExpressionMatch match = mark.match(uri);
    if (!match.hasMatch())
        return {uri.toUtf8(), false};
    if (match.captured(2) != u"transaction")
        throw Error(ErrorNumber::Database, QStringLiteral("无法连接数据库服务器 %1：pooler 只能是 transaction（连接池按事务分配连接时）")
                                               .arg(DataBridge::withoutPassword(uri)));
    QString rest = uri;
    // "?pooler=transaction&a=b" keeps its "?" for what follows; "&pooler=transaction" goes whole.
    rest.replace(match.capturedStart(), match.capturedLength(), match.captured(3).isEmpty() ? QString() : match.captured(1));
    return {rest.toUtf8(), true};
}

// What a failed connection's libpq text means, in Chinese; empty for what it does not name.
QString connectionFailureCause(const QString &libpqText)
{
    if (libpqText.contains(u"read-only") || libpqText.contains(u"hot standby"))
        return QStringLiteral("服务器只能读，URI 中没有接受写入的服务器");
    if (libpqText.contains(u"No such file or directory") || libpqText.contains(u"Connection refused"))
        return QStringLiteral("服务器没有运行，或不接受连接");
    if (libpqText.contains(u"timeout expired"))
        return QStringLiteral("连接超时");
    if (libpqText.contains(u"password authentication failed"))
        return QStringLiteral("用户名或密码不对");
    if (libpqText.contains(u"server closed the connection") || libpqText.contains(u"terminating connection"))
        return QStringLiteral("服务器结束了这个连接");
    return {};
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
        const PoolerMark mark = poolerMarkOf(uri);
        mTransactionPooler = mark.transactionPooler;
        // No startup options: a pooler refuses them. The URI may set its own connect_timeout;
        // the text always travels as UTF-8. Later keywords override the URI's, earlier ones
        // give way to it.
        const char *keys[] = {"connect_timeout", "dbname", "client_encoding", nullptr};
        const char *values[] = {"5", mark.libpqUri.constData(), "UTF8", nullptr};
        mConnection.reset(PQconnectdbParams(keys, values, 1));
        if (!mConnection || PQstatus(mConnection.get()) != CONNECTION_OK || !applyLockTimeout())
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

    std::unique_ptr<RowStream> stream(const QString &statement, TraceScope &trace) override;

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

    [[nodiscard]] QString transactionStart() const override { return transactionStartOf(SqlFlavour::Postgres); }
    [[nodiscard]] QString rowLockClause(const QString &alias) const override { return rowLockClauseOf(SqlFlavour::Postgres, alias); }

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
    // Behind a transaction pooler the session is not this connection's: "discard all" would
    // reach whichever client the pooler gives it next, and the library left nothing to discard.
    bool park() override
    {
        if (PQstatus(mConnection.get()) != CONNECTION_OK || PQtransactionStatus(mConnection.get()) != PQTRANS_IDLE)
            return false;
        if (mTransactionPooler)
            return true;
        return ran("discard all") && applyLockTimeout();
    }

    // The lock wait limit is set when the session begins.
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

    // libpq's words, after the cause in Chinese where it is one a person meets on the way to a
    // server taking over; libpq quotes a part of the URI it cannot read, which may be the password.
    [[nodiscard]] QString reason() const
    {
        if (!mConnection)
            return QStringLiteral("内存不足");
        const QString text = hidePasswords(trimmed(PQerrorMessage(mConnection.get())), mUri);
        const QString cause = connectionFailureCause(text);
        return cause.isEmpty() ? text : QStringLiteral("%1（%2）").arg(cause, text);
    }

    // A lost connection is tried once more before a statement, so a restarted server serves
    // again; a server still down says so.
    // A server that stopped taking writes is left too, so the next statement goes to whichever
    // host of the URI takes them now (target_session_attrs=read-write).
    void ensureConnected()
    {
        if (PQstatus(mConnection.get()) == CONNECTION_OK && !std::exchange(mLeaveHost, false))
            return;
        PQreset(mConnection.get());
        if (PQstatus(mConnection.get()) != CONNECTION_OK || !applyLockTimeout())
            throw lostConnection();
    }

    // A lock held by another session makes a statement wait as long as on SQLite and then fail,
    // not freeze the window. Behind a transaction pooler that is said in each transaction.
    bool applyLockTimeout()
    {
        return mTransactionPooler || ran("set lock_timeout = " + QByteArray::number(mLockTimeout));
    }

    // A statement of the library's own, outside the trace: whether it ran.
    bool ran(const QByteArray &statement)
    {
        const ResultHandle result(PQexec(mConnection.get(), statement.constData()));
        return PQresultStatus(result.get()) == PGRES_COMMAND_OK;
    }

    // Behind a transaction pooler a statement outside the host's own transaction is one of its
    // own, begun with the lock wait limit (which holds only inside it) and ended after it, so
    // the pooler gives the connection to another client only between statements. The statement
    // that begins a transaction of the host's gets the limit after it.
    class PooledTransaction
    {
    public:
        PooledTransaction(PostgresConnection &connection, const QString &statement) : mConnection(connection)
        {
            if (!connection.mTransactionPooler)
                return;
            const bool idle = PQtransactionStatus(connection.mConnection.get()) == PQTRANS_IDLE;
            mLimitAfter = idle && beginsTransaction(statement);
            mOwn = idle && !mLimitAfter;
            if (!mLimitAfter && !connection.ran(mOwn ? "begin; " + limit() : limit()))
                throw PQstatus(connection.mConnection.get()) == CONNECTION_OK ? failureOf(connection.reason())
                                                                              : connection.lostConnection();
        }
        ~PooledTransaction()
        {
            if (mOwn && PQtransactionStatus(mConnection.mConnection.get()) != PQTRANS_IDLE)
                (void)mConnection.ran("rollback");
        }
        PooledTransaction(const PooledTransaction &) = delete;
        PooledTransaction &operator=(const PooledTransaction &) = delete;
        /// Ends the statement's own transaction, or limits the host's it began; false when that failed.
        [[nodiscard]] bool commit()
        {
            if (std::exchange(mLimitAfter, false))
                return mConnection.ran(limit());
            return !std::exchange(mOwn, false) || mConnection.ran("commit");
        }
        void rollback()
        {
            if (std::exchange(mOwn, false))
                (void)mConnection.ran("rollback");
        }

    private:
        [[nodiscard]] QByteArray limit() const { return "set local lock_timeout = " + QByteArray::number(mConnection.mLockTimeout); }
        static bool beginsTransaction(const QString &statement)
        {
            static const QRegularExpression begin(QStringLiteral("^\\s*(begin|start\\s+transaction)\\b"),
                                                  QRegularExpression::CaseInsensitiveOption);
            return begin.match(statement).hasMatch();
        }

        PostgresConnection &mConnection;
        bool mOwn = false;
        bool mLimitAfter = false;
    };

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
        mLeaveHost = sqlState == u"25006";
        StatementFailure failure = failureOf(text, sqlState);
        failure.mayRunAgain = sqlState == u"40001" || sqlState == u"40P01" || sqlState == u"25006";
        const std::optional<ValueRefusal> value =
            postgresValueRefusal(sqlState, text, position, sent, [this](const QString &table) { return columnsOf(table); });
        return value ? failureOf(*value, failure.databaseText) : failure;
    }

    // The columns of a table (named as a statement writes it) with their types, asked outside the
    // trace; none when it cannot be told.
    std::vector<TypedColumn> columnsOf(const QString &table)
    {
        const QByteArray question = postgresColumnTypesQuestion(table).toUtf8();
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

    // A statement sent, its results still to be read, with its own transaction behind a pooler.
    struct Sent {
        QString text;
        std::unique_ptr<PooledTransaction> pooled;
    };

    // Sends one statement, its rows to come one result each.
    Sent send(const QString &statement, TraceScope &trace)
    {
        const QString sent = rewriteConcatenation(statement);
        trace.sent(sent);
        if (!isSingleStatement(sent))
            throw failureOf(QStringLiteral("一次只能执行一条语句：%1").arg(statement));
        if (const QString name = overlongName(sent); !name.isEmpty())
            throw failureOf(QStringLiteral("名称超过 %1 字节，数据库会截短它：%2").arg(kLongestPostgresName).arg(name));
        ensureConnected();
        if (const std::optional<ValueRefusal> unstorable = unstorableValue(sent))
            throw failureOf(*unstorable, messageOf(*unstorable));
        auto pooled = std::make_unique<PooledTransaction>(*this, sent);
        PGconn *connection = mConnection.get();
        if (!PQsendQueryParams(connection, sent.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0))
            throw PQstatus(connection) == CONNECTION_OK ? failureOf(reason()) : lostConnection();
        PQsetSingleRowMode(connection);
        return {sent, std::move(pooled)};
    }

    // After the statement's last result: raises its failure, or ends its own transaction.
    void finish(Sent &sent, const std::optional<Refusal> &failure)
    {
        if (failure) {
            sent.pooled->rollback(); // so the catalog may be asked why
            throw failureFrom(*failure, sent.text);
        }
        if (!sent.pooled->commit())
            throw failureFrom(Refusal{trimmed(PQerrorMessage(mConnection.get())), {}, 0}, sent.text);
    }

    // Reads the results left of a statement, so the connection is ready for the next; the first
    // failure among them is kept.
    void drain(std::optional<Refusal> &failure)
    {
        for (ResultHandle result(PQgetResult(mConnection.get())); result; result.reset(PQgetResult(mConnection.get()))) {
            const ExecStatusType status = PQresultStatus(result.get());
            if (!failure && status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
                failure = refusalOf(result.get());
        }
    }

    // Sends one statement and hands each row to `onRow` (a result without rows once, with
    // hasRow false, for its columns); returns the rows an insert, update or delete changed.
    template <class OnRow>
    int64_t run(const QString &statement, TraceScope &trace, OnRow &&onRow)
    {
        Sent sent = send(statement, trace);
        PGconn *connection = mConnection.get();
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
        finish(sent, failure);
        return changed;
    }

    friend class PostgresRowStream;

    QString mUri;
    int mLockTimeout;
    bool mTransactionPooler = false;
    bool mLeaveHost = false; ///< the server took no write: the next statement reconnects
    std::unique_ptr<PGconn, ConnectionCloser> mConnection;
};

// A query's rows one result each, as the server sends them (single-row mode).
class PostgresRowStream final : public RowStream
{
public:
    PostgresRowStream(PostgresConnection &connection, const QString &statement, TraceScope &trace)
        : mOwner(connection), mSent(connection.send(statement, trace))
    {
    }

    // The first result holds the first row, or ends the statement.
    void readColumns() override
    {
        if (std::exchange(mColumnsRead, true))
            return;
        takeResult();
        if (!mResult) {
            end();
            return;
        }
        std::vector<bool> booleans;
        QueryResult columns;
        PostgresConnection::describe(mResult.get(), columns, booleans);
        mNames = std::move(columns.names);
        mTypes = std::move(columns.types);
        mBooleans = std::move(booleans);
        if (PQresultStatus(mResult.get()) != PGRES_SINGLE_TUPLE)
            end();
    }

    // A statement not read to its end is cancelled on the server, its results then read away.
    ~PostgresRowStream() override
    {
        if (mEnded)
            return;
        PGconn *connection = mOwner.mConnection.get();
        if (PGcancel *cancel = PQgetCancel(connection)) {
            char error[256];
            (void)PQcancel(cancel, error, sizeof error);
            PQfreeCancel(cancel);
        }
        std::optional<PostgresConnection::Refusal> ignored;
        mResult.reset();
        mOwner.drain(ignored);
        mSent.pooled->rollback();
    }

    ResultRows next(int atMost) override
    {
        readColumns();
        ResultRows::Builder builder(mNames);
        for (int row = 0; row < atMost && !mEnded; ++row) {
            for (int c = 0; c < int(mBooleans.size()); ++c)
                builder.addCell(cellOf(mResult.get(), c, mBooleans[size_t(c)]));
            takeResult();
            if (!mResult || PQresultStatus(mResult.get()) != PGRES_SINGLE_TUPLE)
                end();
        }
        return builder.finish();
    }

    [[nodiscard]] bool atEnd() const override { return mEnded; }

private:
    void takeResult() { mResult.reset(PQgetResult(mOwner.mConnection.get())); }

    // At the result that ends the rows: the statement's failure is raised, else it is done.
    void end()
    {
        mEnded = true;
        std::optional<PostgresConnection::Refusal> failure;
        if (mResult && PQresultStatus(mResult.get()) != PGRES_TUPLES_OK && PQresultStatus(mResult.get()) != PGRES_COMMAND_OK)
            failure = PostgresConnection::refusalOf(mResult.get());
        mResult.reset();
        mOwner.drain(failure);
        mOwner.finish(mSent, failure);
    }

    PostgresConnection &mOwner;
    PostgresConnection::Sent mSent;
    ResultHandle mResult;
    std::vector<bool> mBooleans;
    bool mColumnsRead = false;
    bool mEnded = false;
};

std::unique_ptr<RowStream> PostgresConnection::stream(const QString &statement, TraceScope &trace)
{
    return std::make_unique<PostgresRowStream>(*this, statement, trace);
}

} // namespace

std::unique_ptr<Connection> openPostgres(const QString &uri)
{
    return std::make_unique<PostgresConnection>(uri);
}

} // namespace velmarith::detail
