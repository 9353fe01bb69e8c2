// Query of a 100,000-row, 30-column table on a PostgreSQL and a MariaDB server into ResultRows,
// against a bare client loop that reads the same rows (PQexec and PQgetvalue; mysql_use_result
// and mysql_fetch_row) and copies every value into std::vector<std::string> rows; the same
// through each server's ODBC driver, and a SQLite file's through its driver, against a bare
// ODBC loop (SQLFetch and SQLGetData as UTF-16, into std::u16string rows); all in the same run,
// on private servers this program starts (tools/pg-cluster.sh, tools/mariadb-server.sh) and
// stops.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"
#include "support/PlainLoop.h"
#include "support/ServerTables.h"

#include <velmarith/DataBridge.h>

#include <QFile>
#include <QUrl>
#include <QUrlQuery>
#include <QString>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <mysql.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdlib>
#include <string>

using velmarith::bench::AllocationCounter;
using velmarith::bench::PlainRows;
using velmarith::bench::Server;

namespace {

constexpr int kRows = 100000;
constexpr int kIterations = 5;

// The same shape as the SQLite wide table: 10 varchar(20), 5 char(1), 5 integer,
// 5 numeric(10,2), 5 text, made on the server from a series; one statement per call, with the
// library's "+" for concatenation.
std::vector<QString> wideTableStatements(Server server)
{
    const bool postgres = server == Server::Postgres;
    std::string columns, values;
    for (int c = 1; c <= 30; ++c) {
        const std::string name = (c < 10 ? "c0" : "c") + std::to_string(c);
        const char *type = c <= 10 ? "varchar(20)" : c <= 15 ? "char(1)" : c <= 20 ? "integer" : c <= 25 ? "numeric(10,2)" : "text";
        const std::string value = c <= 10   ? "'名称' + lpad(" + std::string(postgres ? "g::text" : "g") + ", 7, '0') + '" + std::to_string(c) + "'"
                                  : c <= 15 ? std::string(postgres ? "chr(65 + g % 26)" : "char(65 + g % 26)")
                                  : c <= 20 ? "g * " + std::to_string(c)
                                  : c <= 25 ? "(g % 100000) / 7.0"
                                            : "'说明文字 ' + g";
        columns += (c > 1 ? ", " : "") + name + " " + type;
        values += (c > 1 ? ", " : "") + value;
    }
    const std::string series = postgres ? "generate_series(1, " + std::to_string(kRows) + ") g"
                                        : "(select seq as g from seq_1_to_" + std::to_string(kRows) + ") s";
    return {QString::fromStdString("create table big (" + columns + ")"),
            QString::fromStdString("insert into big select " + values + " from " + series),
            QStringLiteral("create index big_c01 on big (c01)"), postgres ? QStringLiteral("analyze big") : QStringLiteral("analyze table big")};
}

// The server's URI, its table filled at the first call; empty when it cannot run here.
const QString &serverUri(Server server)
{
    static const auto filled = [](Server which) {
        const QString found = velmarith::bench::benchServerUri(which);
        if (!found.isEmpty()) {
            velmarith::DataBridge bridge;
            bridge.Open(found);
            for (const QString &statement : wideTableStatements(which))
                bridge.Execute(statement);
        }
        return found;
    };
    static const QString uris[] = {filled(Server::Postgres), filled(Server::MariaDb)};
    return uris[int(server)];
}

// A bare Connector/C session on the MariaDB test server, as a host's own code would open it.
MYSQL *connectMariaDb()
{
    const QUrl url(serverUri(Server::MariaDb));
    const QByteArray socket = QUrlQuery(url).queryItemValue(QStringLiteral("socket")).toUtf8();
    const QByteArray database = url.path().mid(1).toUtf8();
    MYSQL *connection = mysql_init(nullptr);
    mysql_options(connection, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    mysql_real_connect(connection, nullptr, "root", nullptr, database.constData(), 0, socket.constData(), 0);
    return connection;
}

PlainRows readPlain(MYSQL *connection)
{
    const std::string query = velmarith::bench::kWideTableQuery;
    mysql_real_query(connection, query.data(), query.size());
    MYSQL_RES *result = mysql_use_result(connection);
    const unsigned columns = mysql_num_fields(result);
    PlainRows rows;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        const unsigned long *lengths = mysql_fetch_lengths(result);
        std::vector<std::string> values;
        values.reserve(columns);
        for (unsigned c = 0; c < columns; ++c)
            values.emplace_back(row[c] ? row[c] : "", row[c] ? lengths[c] : 0);
        rows.push_back(std::move(values));
    }
    mysql_free_result(result);
    return rows;
}

PlainRows readPlain(PGconn *connection)
{
    PGresult *result = PQexec(connection, velmarith::bench::kWideTableQuery);
    PlainRows rows;
    const int count = PQntuples(result), columns = PQnfields(result);
    rows.reserve(size_t(count));
    for (int r = 0; r < count; ++r) {
        std::vector<std::string> row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            row.emplace_back(PQgetvalue(result, r, c), size_t(PQgetlength(result, r, c)));
        rows.push_back(std::move(row));
    }
    PQclear(result);
    return rows;
}

// The bare ODBC loop a host would write: every cell read as UTF-16 into its own string.
std::vector<std::vector<std::u16string>> readPlainOdbc(const QString &source)
{
    SQLHENV environment = nullptr;
    SQLHDBC connection = nullptr;
    SQLHSTMT statement = nullptr;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection);
    const QString text = source.mid(5);
    SQLDriverConnectW(connection, nullptr, const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(text.utf16())),
                      SQLSMALLINT(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement);
    const QString query = QString::fromUtf8(velmarith::bench::kWideTableQuery);
    SQLExecDirectW(statement, const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(query.utf16())), SQLINTEGER(query.size()));
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    std::vector<std::vector<std::u16string>> rows;
    char16_t buffer[4096];
    while (SQL_SUCCEEDED(SQLFetch(statement))) {
        std::vector<std::u16string> row;
        row.reserve(size_t(columns));
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
            SQLLEN length = 0;
            SQLGetData(statement, c, SQL_C_WCHAR, buffer, sizeof(buffer), &length);
            row.emplace_back(buffer, length > 0 ? size_t(length) / sizeof(char16_t) : 0);
        }
        rows.push_back(std::move(row));
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(connection);
    SQLFreeHandle(SQL_HANDLE_DBC, connection);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return rows;
}

void reportPeak(benchmark::State &state, size_t before)
{
    state.counters["peak_MB"] = double(AllocationCounter::peak() - before) / 1e6;
}

// The database a benchmark reads: a server's, or the SQLite file's.
enum class Source { Postgres, MariaDb, Sqlite };

QString databaseOf(Source source)
{
    if (source == Source::Sqlite)
        return QString::fromStdString(velmarith::bench::wideTableDatabase(kRows));
    return serverUri(source == Source::Postgres ? Server::Postgres : Server::MariaDb);
}

// Times `read` (which returns rows with a size()), with the peak memory it allocated.
template <class Read>
void measure(benchmark::State &state, Server server, Read &&read)
{
    if (serverUri(server).isEmpty()) {
        state.SkipWithError("no server binaries here");
        return;
    }
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        auto rows = read();
        reportPeak(state, before);
        state.counters["rows"] = double(rows.size());
        state.PauseTiming();
        rows = decltype(rows)();
        state.ResumeTiming();
    }
}

// ResultRows counts with Count(); the measure asks every result for size().
struct BridgeRows : velmarith::ResultRows {
    [[nodiscard]] size_t size() const { return size_t(Count()); }
};

void BM_PlainLibpqLoop(benchmark::State &state)
{
    PGconn *connection = PQconnectdb(serverUri(Server::Postgres).toUtf8().constData());
    measure(state, Server::Postgres, [&] { return readPlain(connection); });
    PQfinish(connection);
}

void BM_PlainMariaDbLoop(benchmark::State &state)
{
    MYSQL *connection = serverUri(Server::MariaDb).isEmpty() ? nullptr : connectMariaDb();
    measure(state, Server::MariaDb, [&] { return readPlain(connection); });
    if (connection)
        mysql_close(connection);
}

void BM_PlainOdbcLoop(benchmark::State &state, Source source)
{
    const QString database = databaseOf(source);
    const QString odbc = database.isEmpty() ? QString() : velmarith::bench::throughOdbc(database);
    measure(state, source == Source::MariaDb ? Server::MariaDb : Server::Postgres, [&] { return readPlainOdbc(odbc); });
}

void BM_DataBridgeQueryOverOdbc(benchmark::State &state, Source source)
{
    const QString database = databaseOf(source);
    velmarith::DataBridge bridge;
    if (!database.isEmpty())
        bridge.Open(velmarith::bench::throughOdbc(database));
    measure(state, source == Source::MariaDb ? Server::MariaDb : Server::Postgres, [&] {
        BridgeRows rows;
        bridge.Query(QString::fromUtf8(velmarith::bench::kWideTableQuery), &rows);
        return rows;
    });
}

void BM_DataBridgeQuery(benchmark::State &state, Server server)
{
    velmarith::DataBridge bridge;
    if (!serverUri(server).isEmpty())
        bridge.Open(serverUri(server));
    measure(state, server, [&] {
        BridgeRows rows;
        bridge.Query(QString::fromUtf8(velmarith::bench::kWideTableQuery), &rows);
        return rows;
    });
}

} // namespace

BENCHMARK(BM_PlainLibpqLoop)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_DataBridgeQuery, Postgres, Server::Postgres)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_PlainMariaDbLoop)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_DataBridgeQuery, MariaDb, Server::MariaDb)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_PlainOdbcLoop, Postgres, Source::Postgres)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_DataBridgeQueryOverOdbc, Postgres, Source::Postgres)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_PlainOdbcLoop, MariaDb, Source::MariaDb)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_DataBridgeQueryOverOdbc, MariaDb, Source::MariaDb)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_PlainOdbcLoop, Sqlite, Source::Sqlite)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_DataBridgeQueryOverOdbc, Sqlite, Source::Sqlite)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
