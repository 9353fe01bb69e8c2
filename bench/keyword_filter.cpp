// The lookup window's keyword filter over tables of 100,000 and 1,000,000 Chinese names: one
// keystroke in each matching mode (the like-query, or the rows kept in memory, with pinyin or
// without), shown, against the bare like-query stepped through sqlite3 and a plain in-memory
// scan of the names as UTF-16 in the same run; the first keystroke, which reads the kept rows;
// and the memory those rows take.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"
#include "support/PlainLoop.h"

#include "search/KeywordRows.h"
#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <chrono>
#include <memory>

namespace {

using velmarith::KeywordMatch;
using Clock = std::chrono::steady_clock;

const QString kSelect = QStringLiteral("select 姓名,编号 from 人员");
const QString kTerm = QStringLiteral("姓名");

// What is typed, and the Chinese word it stands for (what the like-query and the floor look for).
struct Keystroke {
    KeywordMatch match;
    const char *typed;
    const char *word;
};

const Keystroke kKeystrokes[] = {
    {KeywordMatch::Like, "伟", "伟"},
    {KeywordMatch::Like, "王伟", "王伟"},
    {KeywordMatch::Like, "王伟明", "王伟明"},
    {KeywordMatch::Instant, "伟", "伟"},
    {KeywordMatch::Instant, "王伟", "王伟"},
    {KeywordMatch::Instant, "王伟明", "王伟明"},
    {KeywordMatch::Pinyin, "王伟", "王伟"},
    {KeywordMatch::Pinyin, "ww", "王伟"},           // initials
    {KeywordMatch::Pinyin, "wwm", "王伟明"},        // initials
    {KeywordMatch::Pinyin, "wei", "伟"},            // full
    {KeywordMatch::Pinyin, "wangwei", "王伟"},      // full
    {KeywordMatch::Pinyin, "wangweiming", "王伟明"}, // full
    {KeywordMatch::Pinyin, "wangw", "王伟"},        // mixed
    {KeywordMatch::Pinyin, "wangwm", "王伟明"},     // mixed
};

const char *matchName(KeywordMatch match)
{
    return match == KeywordMatch::Like ? "like" : match == KeywordMatch::Instant ? "instant" : "pinyin";
}

// The names as UTF-16, one after the other, and a scan for a word: the floor of any filter.
struct PlainNames {
    explicit PlainNames(sqlite3 *db)
    {
        for (const std::vector<std::string> &row : velmarith::bench::readPlain(db, "select 姓名 from 人员"))
            names.push_back(QString::fromStdString(row[0]));
    }
    size_t count(QStringView word) const
    {
        size_t found = 0;
        for (const QString &name : names)
            found += name.contains(word);
        return found;
    }
    std::vector<QString> names;
};

struct Table {
    explicit Table(int rows) : path(velmarith::bench::namesDatabase(rows))
    {
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        velmarith::DataBridge::setDefaultDatabase(QString::fromStdString(path));
    }
    ~Table() { sqlite3_close(db); }
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    std::string bareQuery(const std::string &word) const
    {
        return "select 姓名,编号 from 人员 where 姓名 like ('%" + word + "%')";
    }
    Clock::duration timeBare(const std::string &word) const
    {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(velmarith::bench::readPlain(db, bareQuery(word)));
        return Clock::now() - start;
    }

    std::string path;
    sqlite3 *db = nullptr;
};

// A shown lookup window filtering at every change of its keyword.
struct Window {
    explicit Window(KeywordMatch match)
    {
        form.SearchMainData = kSelect;
        form.SearchQueryTerm = kTerm;
        form.SearchQueryKey = QStringLiteral("0");
        form.Matching = match;
        form.ensureLoaded();
        form.window()->show();
        QApplication::processEvents();
    }
    ~Window() { form.window()->hide(); }
    Window(const Window &) = delete;
    Window &operator=(const Window &) = delete;

    // Types the keyword and lets the list be painted.
    Clock::duration type(const QString &keyword)
    {
        keywordBox().setText(QString()); // clearing filters nothing
        const auto start = Clock::now();
        keywordBox().setText(keyword);
        QApplication::processEvents();
        return Clock::now() - start;
    }
    // The kept rows come in between keystrokes; later keystrokes are timed once they are in.
    void waitForKeptRows()
    {
        while (form.Matching != KeywordMatch::Like && !form.keepsRows())
            QApplication::processEvents();
    }
    velmarith::toolkit::Control &keywordBox() { return *form.control(QStringLiteral("txtQuery")); }
    int listed() { return static_cast<velmarith::toolkit::ListView *>(form.control(QStringLiteral("lvwQuery")))->itemCount(); }

    velmarith::frmDataSearch form;
};

double milliseconds(Clock::duration total, benchmark::IterationCount iterations)
{
    return std::chrono::duration<double, std::milli>(total).count() / double(iterations);
}

// The bare query, the floor and the window alternate within each iteration, so all three meet
// the same state of the machine; the reported time is the window's.
void BM_Keystroke(benchmark::State &state, Keystroke keystroke)
{
    const Table table(int(state.range(0)));
    const PlainNames plain(table.db);
    const QString word = QString::fromUtf8(keystroke.word);
    Window window(keystroke.match);
    window.type(QString::fromUtf8(keystroke.typed)); // starts reading the kept rows, outside the timing
    window.waitForKeptRows();
    Clock::duration bare{};
    Clock::duration floor{};
    for (auto _ : state) {
        bare += table.timeBare(keystroke.word);
        const auto floorStart = Clock::now();
        benchmark::DoNotOptimize(plain.count(word));
        floor += Clock::now() - floorStart;
        state.SetIterationTime(std::chrono::duration<double>(window.type(QString::fromUtf8(keystroke.typed))).count());
    }
    state.counters["bare_ms"] = milliseconds(bare, state.iterations());
    state.counters["floor_ms"] = milliseconds(floor, state.iterations());
    state.counters["rows"] = window.listed();
}

// A new window's first keystroke, which the like query answers while the rows to keep are read
// after it, against the bare query; kept_ms is the time until they are in.
void BM_FirstKeystroke(benchmark::State &state, KeywordMatch match)
{
    const Table table(int(state.range(0)));
    Clock::duration bare{};
    Clock::duration kept{};
    for (auto _ : state) {
        bare += table.timeBare("王伟");
        state.PauseTiming();
        auto window = std::make_unique<Window>(match);
        state.ResumeTiming();
        const auto start = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(window->type(QStringLiteral("王伟"))).count());
        window->waitForKeptRows();
        kept += Clock::now() - start;
    }
    state.counters["bare_ms"] = milliseconds(bare, state.iterations());
    state.counters["kept_ms"] = milliseconds(kept, state.iterations());
}

// The heap the kept rows take, against the UTF-16 size of the values they keep.
void BM_KeptRowsMemory(benchmark::State &state, KeywordMatch match)
{
    const Table table(int(state.range(0)));
    size_t utf16Bytes = 0;
    for (const std::vector<std::string> &row : velmarith::bench::readPlain(table.db, "select 姓名,编号 from 人员")) {
        for (const std::string &value : row)
            utf16Bytes += size_t(QString::fromStdString(value).size()) * sizeof(char16_t);
    }
    size_t keptBytes = 0;
    for (auto _ : state) {
        const size_t before = velmarith::bench::AllocationCounter::current();
        auto kept = velmarith::search::KeywordRows::read(kSelect, kTerm, match);
        keptBytes = velmarith::bench::AllocationCounter::current() - before;
        benchmark::DoNotOptimize(kept);
    }
    state.counters["kept_MiB"] = double(keptBytes) / (1 << 20);
    state.counters["utf16_MiB"] = double(utf16Bytes) / (1 << 20);
    state.counters["ratio"] = double(keptBytes) / double(utf16Bytes);
}

const bool kRegistered = [] {
    for (const Keystroke &keystroke : kKeystrokes) {
        const std::string name = std::string("BM_Keystroke/") + matchName(keystroke.match) + "/" + keystroke.typed;
        benchmark::RegisterBenchmark(name.c_str(), BM_Keystroke, keystroke)
            ->Arg(1000000)
            ->ArgName("rows")
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(10);
    }
    for (const KeywordMatch match : {KeywordMatch::Like, KeywordMatch::Instant, KeywordMatch::Pinyin}) {
        const std::string name = std::string("BM_FirstKeystroke/") + matchName(match);
        benchmark::RegisterBenchmark(name.c_str(), BM_FirstKeystroke, match)
            ->Arg(1000000)
            ->ArgName("rows")
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(3);
    }
    for (const KeywordMatch match : {KeywordMatch::Instant, KeywordMatch::Pinyin}) {
        benchmark::RegisterBenchmark((std::string("BM_KeptRowsMemory/") + matchName(match)).c_str(), BM_KeptRowsMemory, match)
            ->Arg(1000000)
            ->ArgName("rows")
            ->Iterations(1);
    }
    return true;
}();

} // namespace
