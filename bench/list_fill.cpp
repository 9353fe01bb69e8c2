// FillRows of a 100,000-row, 30-column ResultRows into a shown list view, against the Query
// that read the rows, in one run; and a second FillRows replacing the first, which frees the
// old rows.
#include "support/BenchTables.h"

#include "maintenance/data/ListFiller.h"
#include "toolkit/Form.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kIterations = 5;

velmarith::ResultRows queryWideTable()
{
    static const QString path = QString::fromStdString(velmarith::bench::wideTableDatabase(kRows));
    velmarith::DataBridge bridge;
    bridge.Open(path);
    velmarith::ResultRows rows;
    bridge.Query(QString::fromUtf8(velmarith::bench::kWideTableQuery), &rows);
    return rows;
}

class ListForm final : public velmarith::toolkit::Form
{
public:
    ListForm() : Form(QStringLiteral("frmBench"))
    {
        designClientSize(12000, 6000);
        list = &addControl<velmarith::toolkit::ListView>(QStringLiteral("lvwAny"), {120, 120, 11700, 5700});
    }
    velmarith::toolkit::ListView *list;
};

// A shown window with a bound list holding the table's columns.
struct ShownList {
    ShownList(const velmarith::ResultRows &rows)
    {
        filler.BindList(*form.list);
        velmarith::Collection names;
        for (const QString &name : rows.columnNames())
            names.Add(name);
        filler.FillHeads(names, QStringLiteral("Yes"));
        form.window()->show();
        QApplication::processEvents();
    }
    ~ShownList() { form.window()->hide(); }
    ListForm form;
    velmarith::ListFiller filler;
};

void BM_QueryRows(benchmark::State &state)
{
    for (auto _ : state) {
        velmarith::ResultRows rows = queryWideTable();
        state.PauseTiming();
        rows = velmarith::ResultRows();
        state.ResumeTiming();
    }
}

void BM_FillRowsShown(benchmark::State &state)
{
    const velmarith::ResultRows rows = queryWideTable();
    ShownList shown(rows);
    for (auto _ : state) {
        shown.filler.FillRows(rows, nullptr, QStringLiteral("Yes"), QStringLiteral("No"));
        QApplication::processEvents();
    }
    state.counters["items"] = shown.form.list->itemCount();
}

// Each fill replaces rows the list alone still holds, so the time includes freeing them.
void BM_RefillRowsShown(benchmark::State &state)
{
    ShownList shown(queryWideTable());
    shown.filler.FillRows(queryWideTable(), nullptr, QStringLiteral("Yes"), QStringLiteral("No"));
    for (auto _ : state) {
        state.PauseTiming();
        auto next = std::make_unique<velmarith::ResultRows>(queryWideTable());
        state.ResumeTiming();
        shown.filler.FillRows(*next, nullptr, QStringLiteral("Yes"), QStringLiteral("No"));
        QApplication::processEvents();
        state.PauseTiming();
        next.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_QueryRows)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_FillRowsShown)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
BENCHMARK(BM_RefillRowsShown)->Unit(benchmark::kMillisecond)->Iterations(kIterations);
