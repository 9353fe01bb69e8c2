#include "support/ServerTables.h"
#include "support/BenchTables.h"

#include <velmarith/DataBridge.h>

#include <QFile>

#include <cstdlib>
#include <string>

namespace velmarith::bench {
namespace {

const std::string kState = VELMARITH_BENCH_DATA_DIR "/pg";
const std::string kScript = VELMARITH_SOURCE_DIR "/tools/pg-cluster.sh";

void run(DataBridge &bridge, const std::string &statement)
{
    bridge.Execute(QString::fromStdString(statement));
}

// 宽表's values made on the server from a series, in the shapes of the SQLite table.
std::string wideTableFill(int rows)
{
    std::string columns;
    std::string values;
    for (int f = 1; f <= 30; ++f) {
        const std::string mix = "(g::bigint * " + std::to_string(7919 * f) + ") % 1000000";
        const char *type = f <= 18 ? "varchar(20)" : f <= 22 ? "char(1)" : f <= 26 ? "integer" : "numeric(10,2)";
        const std::string value = f == 1    ? "lpad(g::text, 7, '0')"
                                  : f <= 10 ? "'名称' || lpad((" + mix + ")::text, 6, '0')"
                                  : f <= 14 ? "'C' || (1 + " + mix + " % 20)"
                                  : f <= 18 ? "(1 + " + mix + " % 5)::text"
                                  : f <= 22 ? "((" + mix + ") % 2)::text"
                                  : f <= 26 ? mix
                                            : "(" + mix + ") / 100.0";
        columns += (f == 1 ? "" : ", ") + field(f) + " " + type;
        values += (f == 1 ? "" : ", ") + value;
    }
    return "create table 宽表(" + columns + "); insert into 宽表 select " + values + " from generate_series(1, " +
           std::to_string(rows) + ") g";
}

} // namespace

const QString &benchServerUri()
{
    static const QString uri = [] {
        if (std::system((kScript + " start " + kState + " > /dev/null").c_str()) != 0)
            return QString();
        std::atexit([] { (void)std::system((kScript + " stop " + kState).c_str()); });
        QFile file(QString::fromStdString(kState + "/uri"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }();
    return uri;
}

QString serverMaintenanceDatabase(int rows)
{
    if (benchServerUri().isEmpty())
        return {};
    static int made = 0;
    const std::string schema = "manage" + std::to_string(rows) + "_" + std::to_string(++made);
    DataBridge bridge;
    bridge.Open(benchServerUri());
    run(bridge, "create schema " + schema);
    run(bridge, "set search_path = " + schema);
    for (int l = 1; l <= 4; ++l) {
        const std::string table = "L" + std::to_string(l);
        run(bridge, "create table " + table + "(代码 varchar(10), 名称 varchar(20))");
        run(bridge, "insert into " + table + " select 'C' || g, '名称' || g from generate_series(1, 20) g");
    }
    // One statement per call: the fill is a create and an insert.
    const std::string fill = wideTableFill(rows);
    const size_t split = fill.find("; ");
    run(bridge, fill.substr(0, split));
    run(bridge, fill.substr(split + 2));
    run(bridge, "create index 宽表_f01 on 宽表(f01)");
    run(bridge, "analyze 宽表");
    for (const std::string &statement : maintenanceDescription())
        run(bridge, statement);
    run(bridge, "reset search_path");
    return benchServerUri() + QStringLiteral("&options=-c%20search_path%3D") + QString::fromStdString(schema);
}

} // namespace velmarith::bench
