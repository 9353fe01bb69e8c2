// One keyword-filter run of the lookup window (the like-query and the list fill, shown) over
// tables of 100,000 and 1,000,000 Chinese names, for keywords of one, two and three
// characters, against the same query stepped bare through sqlite3 in the same run.
#include "support/BenchTables.h"
#include "support/PlainLoop.h"

#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <chrono>

namespace {

const char *const kKeywords[] = {"伟", "王伟", "王伟明"};

std::string keywordOf(const benchmark::State &state)
{
    return kKeywords[state.range(1) - 1];
}

// The bare query and the window's run alternate within each iteration, so both meet the same
// state of the machine; the reported time is the window's, the counters give the bare query's
// and the ratio.
void BM_KeywordFilterAgainstBareQuery(benchmark::State &state)
{
    const std::string path = velmarith::bench::namesDatabase(int(state.range(0)));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string bareQuery = "select 姓名,编号 from 人员 where 姓名 like ('%" + keywordOf(state) + "%')";

    velmarith::DataBridge::setDefaultDatabase(QString::fromStdString(path));
    velmarith::frmDataSearch form;
    form.SearchMainData = QStringLiteral("select 姓名,编号 from 人员");
    form.SearchQueryTerm = QStringLiteral("姓名");
    form.SearchQueryKey = QStringLiteral("0");
    form.ensureLoaded();
    form.window()->show();
    QApplication::processEvents();
    velmarith::toolkit::Control &keywordBox = *form.control(QStringLiteral("txtQuery"));
    const QString keyword = QString::fromStdString(keywordOf(state));

    using Clock = std::chrono::steady_clock;
    Clock::duration bare{};
    Clock::duration window{};
    for (auto _ : state) {
        const auto bareStart = Clock::now();
        benchmark::DoNotOptimize(velmarith::bench::readPlain(db, bareQuery));
        bare += Clock::now() - bareStart;
        keywordBox.setText(QString()); // clearing runs no query
        const auto windowStart = Clock::now();
        keywordBox.setText(keyword);
        QApplication::processEvents();
        const Clock::duration elapsed = Clock::now() - windowStart;
        window += elapsed;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    const double iterations = double(state.iterations());
    state.counters["bare_ms"] = std::chrono::duration<double, std::milli>(bare).count() / iterations;
    state.counters["ratio"] = double(window.count()) / double(bare.count());
    state.counters["rows"] = static_cast<velmarith::toolkit::ListView *>(form.control(QStringLiteral("lvwQuery")))->itemCount();
    form.window()->hide();
    sqlite3_close(db);
}

void keywordCases(benchmark::internal::Benchmark *benchmark)
{
    for (const int rows : {100000, 1000000}) {
        for (const int keyword : {1, 2, 3})
            benchmark->Args({rows, keyword});
    }
    benchmark->ArgNames({"rows", "keyword_chars"})->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
}

} // namespace

BENCHMARK(BM_KeywordFilterAgainstBareQuery)->Apply(keywordCases);
