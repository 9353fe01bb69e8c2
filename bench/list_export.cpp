// Export of the maintenance window's list of a 100,000-row table (30 listed fields, bound and
// enumerated ones shown with their descriptions) to CSV and to an Excel workbook, and of its
// first 1,000 rows to printed pages in a PDF, with the peak memory the export allocated.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"

#include "maintenance/ListExport.h"
#include "maintenance/frmManage.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/testing.h>

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using velmarith::bench::AllocationCounter;

namespace {

constexpr int kRows = 100000;

// The window on the table, started once for every case.
velmarith::frmManage &window()
{
    static velmarith::testing::TestDesktop desktop;
    static const std::unique_ptr<velmarith::frmManage> form = [] {
        desktop.setScreenSize(28800, 21600);
        velmarith::DataBridge::setDefaultDatabase(QString::fromStdString(velmarith::bench::maintenanceDatabase(kRows)));
        auto started = std::make_unique<velmarith::frmManage>();
        started->ManageTable(QStringLiteral("宽表"));
        return started;
    }();
    return *form;
}

void BM_Export(benchmark::State &state, const char *suffix, int rows)
{
    velmarith::frmManage &form = window();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("宽表.") + QLatin1String(suffix));
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        velmarith::ShownList list = form.shownList();
        list.rowCount = std::min(list.rowCount, rows);
        velmarith::exportList(list, path);
        state.counters["peak_MB"] = double(AllocationCounter::peak() - before) / 1e6;
    }
    state.counters["rows"] = std::min(form.list().itemCount(), rows);
}

} // namespace

BENCHMARK_CAPTURE(BM_Export, Csv, "csv", kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Export, Xlsx, "xlsx", kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
// The printed pages of the first 1,000 rows.
BENCHMARK_CAPTURE(BM_Export, Pdf, "pdf", 1000)->Unit(benchmark::kMillisecond)->Iterations(3);
