// Query of a 100,000-row, 30-column table into ResultRows, against a plain sqlite3 loop that
// reads every column as text into std::vector<std::string> rows; and the time to free each.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"
#include "support/PlainLoop.h"

#include <velmarith/DataBridge.h>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>
#include <vector>

using velmarith::bench::AllocationCounter;

namespace {

constexpr int kRows = 100000;
constexpr int kIterations = 5;

using velmarith::bench::PlainRows;

PlainRows readPlain(sqlite3 *db)
{
    return velmarith::bench::readPlain(db, velmarith::bench::kWideTableQuery);
}

velmarith::ResultRows readWithBridge(velmarith::DataBridge &bridge)
{
    velmarith::ResultRows rows;
    bridge.Query(QString::fromUtf8(velmarith::bench::kWideTableQuery), &rows);
    return rows;
}

struct PlainDatabase {
    PlainDatabase() { sqlite3_open(velmarith::bench::wideTableDatabase(kRows).c_str(), &db); }
    ~PlainDatabase() { sqlite3_close(db); }
    sqlite3 *db = nullptr;
};

struct OpenBridge {
    OpenBridge() { bridge.Open(QString::fromStdString(velmarith::bench::wideTableDatabase(kRows))); }
    velmarith::DataBridge bridge;
};

void reportPeak(benchmark::State &state, size_t before)
{
    state.counters["peak_MB"] = double(AllocationCounter::peak() - before) / 1e6;
}

void BM_PlainSqliteLoop(benchmark::State &state)
{
    PlainDatabase plain;
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        PlainRows rows = readPlain(plain.db);
        reportPeak(state, before);
        state.PauseTiming();
        rows = PlainRows();
        state.ResumeTiming();
    }
}

void BM_DataBridgeQuery(benchmark::State &state)
{
    OpenBridge open;
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        velmarith::ResultRows rows = readWithBridge(open.bridge);
        reportPeak(state, before);
        state.counters["rows"] = rows.Count();
        state.PauseTiming();
        rows = velmarith::ResultRows();
        state.ResumeTiming();
    }
}

void BM_FreePlainRows(benchmark::State &state)
{
    PlainDatabase plain;
    for (auto _ : state) {
        state.PauseTiming();
        PlainRows rows = readPlain(plain.db);
        state.ResumeTiming();
        rows = PlainRows();
    }
}

void BM_FreeResultRows(benchmark::State &state)
{
    OpenBridge open;
    for (auto _ : state) {
        state.PauseTiming();
        velmarith::ResultRows rows = readWithBridge(open.bridge);
        state.ResumeTiming();
        rows = velmarith::ResultRows();
    }
}

} // namespace

BENCHMARK(BM_PlainSqliteLoop)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_DataBridgeQuery)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_FreePlainRows)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_FreeResultRows)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
