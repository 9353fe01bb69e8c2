// The maintenance window's whole start-up (metadata, editors, list, shown) on a 30-field table
// with 4 bound and 4 enumerated fields, against a plain sqlite3 loop reading the list query's
// rows as text, against QSqlQueryModel + QTableView showing the same query, and against plain
// Qt building and showing the window's widgets without any data, in one run. Then the window as
// a person meets it, shown with its first screenful while the rest is read, on SQLite and on
// private PostgreSQL and MariaDB servers, beside QSqlQueryModel + QTableView's first screenful.
#include "support/AllocationCounter.h"
#include "support/BenchTables.h"
#include "support/PlainLoop.h"
#include "support/ServerTables.h"

#include "maintenance/frmManage.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/testing.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

using velmarith::bench::AllocationCounter;

namespace {

const QString kTable = QStringLiteral("宽表");

void usePath(int rows)
{
    velmarith::DataBridge::setDefaultDatabase(QString::fromStdString(velmarith::bench::maintenanceDatabase(rows)));
}

struct StartupCounts {
    int statements = 0;
    int connections = 0;
    QString listQuery; // as sent to SQLite
};

std::unique_ptr<velmarith::frmManage> startWindow()
{
    auto form = std::make_unique<velmarith::frmManage>();
    form->ManageTable(kTable);
    return form;
}

// One start-up with the statement trace on: how many statements and connections it takes, and
// the list query as SQLite received it.
StartupCounts countStartup()
{
    StartupCounts counts;
    auto previous = velmarith::DataBridge::setStatementTrace([&](const velmarith::StatementTrace &trace) {
        ++counts.statements;
        // FrmGetWindow, FrmGetList and FrmListSql open one connection each, every field's
        // editor one more, which starts with the probe.
        if (trace.statement == u"select 0 from 系统约束关联表")
            ++counts.connections;
        if (trace.statement.startsWith(u"select a."))
            counts.listQuery = trace.sentText;
    });
    (void)startWindow();
    velmarith::DataBridge::setStatementTrace(std::move(previous));
    counts.connections += 3;
    return counts;
}

void reportPeak(benchmark::State &state, size_t before)
{
    state.counters["peak_MB"] = double(AllocationCounter::peak() - before) / 1e6;
}

void showOnce(QWidget &window)
{
    window.show();
    QApplication::processEvents();
    window.hide();
}

void BM_ManageStartup(benchmark::State &state)
{
    usePath(int(state.range(0)));
    velmarith::testing::TestDesktop desktop;
    desktop.setScreenSize(28800, 21600);
    const StartupCounts counts = countStartup();
    const auto startShown = [&] {
        desktop.expectModal(QStringLiteral("frmManage"),
                            [](velmarith::testing::FormDriver &user) { showOnce(*user.widget(QStringLiteral("lvwAny"))->window()); });
        std::unique_ptr<velmarith::frmManage> form = startWindow();
        form->ShowModal();
        return form;
    };
    // Untimed: the process's first window shown loads the fonts and fills the glyph caches.
    startShown().reset();
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        std::unique_ptr<velmarith::frmManage> form = startShown();
        reportPeak(state, before);
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    state.counters["statements"] = counts.statements;
    state.counters["connections"] = counts.connections;
}

void BM_PlainSqliteLoop(benchmark::State &state)
{
    usePath(int(state.range(0)));
    velmarith::testing::TestDesktop desktop;
    desktop.setScreenSize(28800, 21600);
    const std::string query = countStartup().listQuery.toStdString();
    sqlite3 *db = nullptr;
    sqlite3_open(velmarith::bench::maintenanceDatabase(int(state.range(0))).c_str(), &db);
    for (auto _ : state) {
        const size_t before = AllocationCounter::current();
        AllocationCounter::resetPeak();
        velmarith::bench::PlainRows rows = velmarith::bench::readPlain(db, query);
        reportPeak(state, before);
        state.PauseTiming();
        rows = {};
        state.ResumeTiming();
    }
    sqlite3_close(db);
}

// QSqlQueryModel + QTableView showing the list query: all of its rows fetched first, or only
// those the model fetches by itself for the first screenful.
void showWithQtSqlModel(benchmark::State &state, bool wholeList)
{
    usePath(int(state.range(0)));
    velmarith::testing::TestDesktop desktop;
    desktop.setScreenSize(28800, 21600);
    const QString query = countStartup().listQuery;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(QString::fromStdString(velmarith::bench::maintenanceDatabase(int(state.range(0)))));
        db.open();
        for (auto _ : state) {
            const size_t before = AllocationCounter::current();
            AllocationCounter::resetPeak();
            auto model = std::make_unique<QSqlQueryModel>();
            model->setQuery(query, db);
            while (wholeList && model->canFetchMore())
                model->fetchMore();
            auto view = std::make_unique<QTableView>();
            view->setModel(model.get());
            showOnce(*view);
            reportPeak(state, before);
            state.counters["rows"] = model->rowCount();
            state.PauseTiming();
            view.reset();
            model.reset();
            state.ResumeTiming();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

void BM_QtSqlModelAndView(benchmark::State &state)
{
    showWithQtSqlModel(state, true);
}

// The window's own widgets made with plain Qt at the window's sizes, with the list's 30 columns
// but no rows and no database: what building and painting them costs before any data.
void BM_QtWidgetsOfTheWindowAlone(benchmark::State &state)
{
    constexpr int kFields = 30;
    constexpr int kPitch = 28; // pixels between editor rows
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->resize(1067, 267 + 40 + (kFields / 2) * kPitch + 80);
        QStandardItemModel columns(0, kFields);
        auto *list = new QTableView(window.get());
        list->verticalHeader()->hide();
        list->setModel(&columns);
        list->setGeometry(14, 24, 1033, 267);
        for (int f = 0; f < kFields; ++f)
            list->horizontalHeader()->resizeSection(f, 60);
        for (int f = 0; f < kFields; ++f) {
            const int left = f % 2 == 0 ? 22 : 540;
            const int top = 320 + (f / 2) * kPitch;
            auto *label = new QLabel(QStringLiteral("f%1").arg(f + 1, 2, 10, QLatin1Char(u'0')), window.get());
            label->setGeometry(left, top, 80, 20);
            QWidget *editor = nullptr;
            if (f >= 10 && f < 18) {
                auto *combo = new QComboBox(window.get());
                combo->setEditable(true);
                for (int entry = 1; entry <= (f < 14 ? 20 : 5); ++entry)
                    combo->addItem(QStringLiteral("C%1(名称%1)").arg(entry));
                editor = combo;
            } else if (f >= 18 && f < 22) {
                editor = new QCheckBox(QStringLiteral("是√/否□"), window.get());
            } else {
                editor = new QLineEdit(window.get());
            }
            editor->setGeometry(left + 80, top - 4, 380, 20);
        }
        for (int b = 0; b < 4; ++b)
            (new QPushButton(QStringLiteral("增加(&A)"), window.get()))->setGeometry(700 + b * 68, window->height() - 40, 66, 22);
        showOnce(*window);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

enum class Source { Sqlite, Postgres, MariaDb };

// The benchmark table of `rows` rows on a source; empty where its server cannot run here.
QString databaseOf(Source source, int rows)
{
    switch (source) {
    case Source::Sqlite: return QString::fromStdString(velmarith::bench::maintenanceDatabase(rows));
    case Source::Postgres: return velmarith::bench::serverMaintenanceDatabase(rows, velmarith::bench::Server::Postgres);
    case Source::MariaDb: return velmarith::bench::serverMaintenanceDatabase(rows, velmarith::bench::Server::MariaDb);
    }
    return {};
}

// The window shown and painted with the rows read so far, the rest still to come; the counter
// last_row_ms is the time from the start until the last row is in the list.
void BM_FirstScreenful(benchmark::State &state, Source source)
{
    const QString database = databaseOf(source, int(state.range(0)));
    if (database.isEmpty()) {
        state.SkipWithError("no server binaries here");
        return;
    }
    velmarith::DataBridge::setDefaultDatabase(database);
    velmarith::testing::TestDesktop desktop;
    desktop.setScreenSize(28800, 21600);
    const auto startShown = [] {
        auto form = std::make_unique<velmarith::frmManage>();
        form->ReadsWhileShown = true;
        form->ManageTable(kTable);
        showOnce(*form->window());
        return form;
    };
    startShown().reset(); // untimed: the first window loads the fonts
    double lastRowMs = 0;
    for (auto _ : state) {
        QElapsedTimer sinceStart;
        sinceStart.start();
        std::unique_ptr<velmarith::frmManage> form = startShown();
        state.PauseTiming();
        form->waitForWholeList();
        lastRowMs += double(sinceStart.nsecsElapsed()) / 1e6;
        state.counters["rows"] = form->list().itemCount();
        form.reset();
        state.ResumeTiming();
    }
    state.counters["last_row_ms"] = lastRowMs / double(state.iterations());
}

void BM_QtSqlModelFirstScreenful(benchmark::State &state)
{
    showWithQtSqlModel(state, false);
}

} // namespace

// One start-up of a small table takes milliseconds, so it is timed over more of them.
#define VELMARITH_AT_EACH_SIZE(benchmarkFunction)                                                              \
    BENCHMARK(benchmarkFunction)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(30);                     \
    BENCHMARK(benchmarkFunction)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3)

VELMARITH_AT_EACH_SIZE(BM_ManageStartup);
VELMARITH_AT_EACH_SIZE(BM_PlainSqliteLoop);
VELMARITH_AT_EACH_SIZE(BM_QtSqlModelAndView);
BENCHMARK(BM_QtWidgetsOfTheWindowAlone)->Unit(benchmark::kMillisecond)->Iterations(30);

BENCHMARK_CAPTURE(BM_FirstScreenful, Sqlite, Source::Sqlite)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_QtSqlModelFirstScreenful)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_FirstScreenful, Postgres, Source::Postgres)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_FirstScreenful, MariaDb, Source::MariaDb)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
