// Add, Edit and Delete of the shown maintenance window on tables of 100,000 and 1,000,000
// rows, each with its validation queries, its list update and the view's repaint, against the
// same statements run bare through sqlite3 (queries read by a plain loop), in one run; and the
// commands at 100,000 rows on private PostgreSQL and MariaDB servers, over each backend's ODBC
// driver, and on PostgreSQL through a private pgbouncer; Edit and Delete also without the check
// for another user's change, on SQLite and PostgreSQL.
#include "support/BenchTables.h"
#include "support/PlainLoop.h"
#include "support/ServerTables.h"

#include "maintenance/frmManage.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/testing.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kIterations = 30;
const QString kTable = QStringLiteral("宽表");

enum class Command { Add, Edit, Delete };

// The library's own backends, each through its ODBC driver, and PostgreSQL through pgbouncer.
enum class Backend { Sqlite, Postgres, MariaDb, OdbcSqlite, OdbcPostgres, OdbcMariaDb, Pgbouncer };

// The library's own backend of the database a route reaches.
Backend nativeOf(Backend backend)
{
    switch (backend) {
    case Backend::OdbcSqlite: return Backend::Sqlite;
    case Backend::OdbcPostgres:
    case Backend::Pgbouncer: return Backend::Postgres;
    case Backend::OdbcMariaDb: return Backend::MariaDb;
    default: return backend;
    }
}

velmarith::bench::Server serverOf(Backend backend)
{
    return nativeOf(backend) == Backend::Postgres ? velmarith::bench::Server::Postgres : velmarith::bench::Server::MariaDb;
}

// A maintenance window on a copy of the table, under a desktop that confirms every question.
struct Window {
    Window(int rows, Backend backend) : tableRows(rows)
    {
        // The commands change the table; the shared benchmark file stays as it was made.
        if (nativeOf(backend) == Backend::Sqlite) {
            QFile::copy(QString::fromStdString(velmarith::bench::maintenanceDatabase(rows)), path);
        } else {
            path = velmarith::bench::serverMaintenanceDatabase(rows, serverOf(backend));
        }
        if (backend == Backend::Pgbouncer)
            path = velmarith::bench::throughPgbouncer(path);
        else if (backend != nativeOf(backend))
            path = velmarith::bench::throughOdbc(path);
        if (path.isEmpty())
            return;
        velmarith::DataBridge::setDefaultDatabase(path);
        desktop.setScreenSize(28800, 21600);
        desktop.setFailureHandler([](const QString &) {});
        form = start();
    }

    // The window on the table, shown and painted.
    static std::unique_ptr<velmarith::frmManage> start()
    {
        auto started = std::make_unique<velmarith::frmManage>();
        started->ManageTable(kTable);
        started->window()->show();
        QApplication::processEvents();
        return started;
    }

    // Fills the editors with a new row whose code is free and is listed in the middle of the
    // list, so that the rows after it move on every command.
    void enterNewRow()
    {
        enteredCode = QStringLiteral("%1N%2").arg(tableRows / 2, 7, 10, QLatin1Char('0')).arg(++counter, 6, 10, QLatin1Char('0'));
        form->control(QStringLiteral("txtf01"))->setText(enteredCode);
        for (const char *field : {"txtf02", "txtf03", "txtf04", "txtf05", "txtf06", "txtf07", "txtf08", "txtf09", "txtf10"})
            form->control(QString::fromLatin1(field))->setText(QStringLiteral("新名称"));
        // Bound and enumerated fields take their first entry, so validation passes.
        for (const char *field : {"cbof11", "cbof12", "cbof13", "cbof14", "cbof15", "cbof16", "cbof17", "cbof18"})
            form->controlAs<velmarith::toolkit::ComboBox>(QString::fromLatin1(field)).setListIndex(0);
    }

    // Loads the row of the last code entered, as a click on it would, found by its place in the
    // list's order of codes.
    void loadEnteredRow()
    {
        const velmarith::toolkit::ListView &list = form->list();
        int low = 1;
        int high = list.itemCount();
        while (low < high) {
            const int middle = (low + high) / 2;
            if (list.itemValue(middle, 0) < enteredCode)
                low = middle + 1;
            else
                high = middle;
        }
        form->list().clickItem(low);
    }

    // Prepares the editors for a command, outside the timing.
    void prepare(Command command)
    {
        switch (command) {
        case Command::Add:
            enterNewRow();
            break;
        case Command::Edit:
            form->list().clickItem(1);
            form->control(QStringLiteral("txtf02"))->setText(QStringLiteral("改%1").arg(++counter));
            break;
        case Command::Delete:
            enterNewRow();
            form->cmdAdd_Click();
            loadEnteredRow();
            break;
        }
    }

    // The command, then the repaint of what it changed.
    void run(Command command)
    {
        runCommand(command);
        QApplication::processEvents();
    }
    void runCommand(Command command)
    {
        switch (command) {
        case Command::Add:
            form->cmdAdd_Click();
            break;
        case Command::Edit:
            form->cmdEdit_Click();
            break;
        case Command::Delete:
            desktop.answer(velmarith::MessageAnswer::Yes);
            form->cmdDelete_Click();
            break;
        }
    }

    // The statements a command sends, as SQLite receives them.
    std::vector<std::string> statementsOf(Command command)
    {
        prepare(command);
        std::vector<std::string> sent;
        auto previous = velmarith::DataBridge::setStatementTrace(
            [&](const velmarith::StatementTrace &trace) { sent.push_back(trace.sentText.toStdString()); });
        runCommand(command);
        velmarith::DataBridge::setStatementTrace(std::move(previous));
        return sent;
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("records.sqlite"));
    velmarith::testing::TestDesktop desktop;
    std::unique_ptr<velmarith::frmManage> form;
    int tableRows;
    int counter = 0;
    QString enteredCode;
};

std::map<std::pair<int, Backend>, std::unique_ptr<Window>> shared;

// The windows go while the application still exists, not after it among the statics.
void closeWindows()
{
    shared.clear();
}

Window &window(int rows, Backend backend = Backend::Sqlite)
{
    if (shared.empty())
        qAddPostRoutine(closeWindows);
    auto found = shared.find({rows, backend});
    if (found == shared.end()) {
        shared.clear(); // one table of a million rows at a time is enough memory
        found = shared.emplace(std::pair{rows, backend}, std::make_unique<Window>(rows, backend)).first;
    }
    return *found->second;
}

// Runs a statement to its end; the rows of a query are copied out as text, as a plain reload does.
void runBare(sqlite3 *db, const std::string &statement)
{
    const velmarith::bench::PlainRows rows = velmarith::bench::readPlain(db, statement);
    benchmark::DoNotOptimize(rows.data());
}

void BM_Command(benchmark::State &state, Command command, Backend backend)
{
    Window &w = window(int(state.range(0)), backend);
    if (!w.form) {
        state.SkipWithError("no server binaries here");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        w.prepare(command);
        state.ResumeTiming();
        w.run(command);
    }
    state.counters["rows"] = w.form->list().itemCount();
}

// The same command with the check for another user's change turned off, beside it in the run.
void BM_CommandWithoutConflictCheck(benchmark::State &state, Command command, Backend backend)
{
    Window &w = window(int(state.range(0)), backend);
    if (w.form)
        w.form->CheckWriteConflicts = false;
    BM_Command(state, command, backend);
    if (w.form)
        w.form->CheckWriteConflicts = true;
}

// A second window on the same table, opened and closed: the start-up a person waits for.
void BM_StartUp(benchmark::State &state, Backend backend)
{
    Window &w = window(int(state.range(0)), backend);
    if (!w.form) {
        state.SkipWithError("no server binaries here");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<velmarith::frmManage> started = Window::start();
        state.PauseTiming();
        started.reset();
        state.ResumeTiming();
    }
}

void BM_BareStatements(benchmark::State &state, Command command)
{
    Window &w = window(int(state.range(0)));
    const std::vector<std::string> statements = w.statementsOf(command);
    sqlite3 *db = nullptr;
    sqlite3_open(w.path.toUtf8().constData(), &db);
    for (auto _ : state) {
        for (const std::string &statement : statements)
            runBare(db, statement);
    }
    sqlite3_close(db);
    state.counters["statements"] = double(statements.size());
}

template <class... Arguments>
benchmark::internal::Benchmark *registerCase(const char *name, int rows, Arguments &&...arguments)
{
    return benchmark::RegisterBenchmark(name, std::forward<Arguments>(arguments)...)
        ->Arg(rows)
        ->ArgName("rows")
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kIterations);
}

// Every case of the smaller table first, so the window of a million rows is built once.
const bool kRegistered = [] {
    const std::pair<const char *, Command> commands[] = {{"Add", Command::Add}, {"Edit", Command::Edit}, {"Delete", Command::Delete}};
    for (const int rows : {100000, 1000000}) {
        for (const auto &[name, command] : commands) {
            // The medians of three runs: one commit's wait for the disk can double a run's mean.
            registerCase((std::string("BM_Command/") + name).c_str(), rows, BM_Command, command, Backend::Sqlite)
                ->Repetitions(3)
                ->ReportAggregatesOnly(true);
            registerCase((std::string("BM_BareStatements/") + name).c_str(), rows, BM_BareStatements, command);
        }
    }
    const std::pair<const char *, Backend> servers[] = {{"Postgres", Backend::Postgres},         {"MariaDb", Backend::MariaDb},
                                                        {"OdbcSqlite", Backend::OdbcSqlite},     {"OdbcPostgres", Backend::OdbcPostgres},
                                                        {"OdbcMariaDb", Backend::OdbcMariaDb}, {"Pgbouncer", Backend::Pgbouncer}};
    for (const auto &[server, backend] : servers) {
        for (const auto &[name, command] : commands)
            registerCase((std::string("BM_CommandOn") + server + "/" + name).c_str(), 100000, BM_Command, command, backend);
    }
    for (const auto &[server, backend] : {std::pair{"Sqlite", Backend::Sqlite}, servers[0]}) {
        for (const auto &[name, command] : {commands[1], commands[2]})
            registerCase((std::string("BM_CommandWithoutConflictCheck/") + server + "/" + name).c_str(), 100000,
                         BM_CommandWithoutConflictCheck, command, backend);
    }
    const std::pair<const char *, Backend> backends[] = {{"Sqlite", Backend::Sqlite}, servers[0], servers[1]};
    for (const auto &[name, backend] : backends) {
        benchmark::RegisterBenchmark((std::string("BM_StartUp/") + name).c_str(), BM_StartUp, backend)
            ->Arg(100000)
            ->ArgName("rows")
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    return true;
}();

} // namespace
