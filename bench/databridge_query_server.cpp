// Query of a 100,000-row, 30-column table on a PostgreSQL server into ResultRows, against a
// bare libpq loop that reads the same rows with PQexec and copies every PQgetvalue into
// std::vector<std::string> rows; both in the same run, on a private cluster this program starts
// (tools/pg-cluster.sh) and stops.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"
#include "support/PlainLoop.h"
#include "support/ServerTables.h"

#include <velmarith/DataBridge.h>

#include <QFile>
#include <QString>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <string>

using velmarith::bench::AllocationCounter;
using velmarith::bench::PlainRows;

namespace {

constexpr int kRows = 100000;
constexpr int kIterations = 5;

// The same shape as the SQLite wide table: 10 varchar(20), 5 char(1), 5 integer,
// 5 numeric(10,2), 5 text, made on the server from a series.
std::string wideTableStatement()
{
    std::string columns, values;
    for (int c = 1; c <= 30; ++c) {
        const std::string name = (c < 10 ? "c0" : "c") + std::to_string(c);
        const char *type = c <= 10 ? "varchar(20)" : c <= 15 ? "char(1)" : c <= 20 ? "integer" : c <= 25 ? "numeric(10,2)" : "text";
        const std::string value = c <= 10   ? "'名称' || lpad(g::text, 7, '0') || '" + std::to_string(c) + "'"
                                  : c <= 15 ? "chr(65 + g % 26)"
                                  : c <= 20 ? "g * " + std::to_string(c)
                                  : c <= 25 ? "(g % 100000) / 7.0"
                                            : "'说明文字 ' || g";
        columns += (c > 1 ? ", " : "") + name + " " + type;
        values += (c > 1 ? ", " : "") + value;
    }
    return "create table big (" + columns + "); insert into big select " + values + " from generate_series(1, " +
           std::to_string(kRows) + ") g; create index on big (c01); analyze big";
}

// The cluster's URI, its table filled at the first call; empty when it cannot run here.
const QString &serverUri()
{
    static const QString uri = [] {
        const QString found = velmarith::bench::benchServerUri();
        if (!found.isEmpty()) {
            PGconn *connection = PQconnectdb(found.toUtf8().constData());
            PQclear(PQexec(connection, wideTableStatement().c_str()));
            PQfinish(connection);
        }
        return found;
    }();
    return uri;
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

void reportPeak(benchmark::State &state, size_t before)
{
    state.counters["peak_MB"] = double(AllocationCounter::peak() - before) / 1e6;
}

void BM_PlainLibpqLoop(benchmark::State &state)
{
    if (serverUri().isEmpty()) {
        state.SkipWithError("no PostgreSQL server binaries here");
        return;
    }
    PGconn *connection = PQconnectdb(serverUri().toUtf8().constData());
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        PlainRows rows = readPlain(connection);
        reportPeak(state, before);
        state.counters["rows"] = double(rows.size());
        state.PauseTiming();
        rows = PlainRows();
        state.ResumeTiming();
    }
    PQfinish(connection);
}

void BM_DataBridgeQueryOnServer(benchmark::State &state)
{
    if (serverUri().isEmpty()) {
        state.SkipWithError("no PostgreSQL server binaries here");
        return;
    }
    velmarith::DataBridge bridge;
    bridge.Open(serverUri());
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        velmarith::ResultRows rows;
        bridge.Query(QString::fromUtf8(velmarith::bench::kWideTableQuery), &rows);
        reportPeak(state, before);
        state.counters["rows"] = rows.Count();
        state.PauseTiming();
        rows = velmarith::ResultRows();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_PlainLibpqLoop)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_DataBridgeQueryOnServer)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
