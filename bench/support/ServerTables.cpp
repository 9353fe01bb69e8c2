#include "support/ServerTables.h"
#include "support/BenchTables.h"

#include <velmarith/DataBridge.h>

#include <QFile>
#include <QUrl>
#include <QUrlQuery>

#include <cstdlib>
#include <optional>
#include <string>

namespace velmarith::bench {
namespace {

const std::string kStates[] = {VELMARITH_BENCH_DATA_DIR "/pg", VELMARITH_BENCH_DATA_DIR "/mariadb"};
const std::string kScripts[] = {VELMARITH_SOURCE_DIR "/tools/pg-cluster.sh", VELMARITH_SOURCE_DIR "/tools/mariadb-server.sh"};

void stop(Server server)
{
    (void)std::system((kScripts[int(server)] + " stop " + kStates[int(server)]).c_str());
}

void run(DataBridge &bridge, const std::string &statement)
{
    bridge.Execute(QString::fromStdString(statement));
}

// The numbers 1 to `rows` as a table of one column g.
std::string series(Server server, int rows)
{
    return server == Server::Postgres ? "generate_series(1, " + std::to_string(rows) + ") g"
                                      : "(select seq as g from seq_1_to_" + std::to_string(rows) + ") s";
}

// 宽表's values made on the server from a series, in the shapes of the SQLite table: the
// create, then the insert.
std::pair<std::string, std::string> wideTableFill(int rows, Server server)
{
    const bool postgres = server == Server::Postgres;
    const auto text = [postgres](const std::string &number) { return postgres ? "(" + number + ")::text" : "(" + number + ")"; };
    const auto joined = [postgres](const std::string &a, const std::string &b) {
        return postgres ? a + " || " + b : "concat(" + a + ", " + b + ")";
    };
    std::string columns;
    std::string values;
    for (int f = 1; f <= 30; ++f) {
        const std::string mix = (postgres ? "(g::bigint * " : "(g * ") + std::to_string(7919 * f) + ") % 1000000";
        const char *type = f <= 18 ? "varchar(20)" : f <= 22 ? "char(1)" : f <= 26 ? "integer" : "numeric(10,2)";
        const std::string value = f == 1    ? "lpad(" + text("g") + ", 7, '0')"
                                  : f <= 10 ? joined("'名称'", "lpad(" + text(mix) + ", 6, '0')")
                                  : f <= 14 ? joined("'C'", "(1 + " + mix + " % 20)")
                                  : f <= 18 ? text("1 + " + mix + " % 5")
                                  : f <= 22 ? text("(" + mix + ") % 2")
                                  : f <= 26 ? mix
                                            : "(" + mix + ") / 100.0";
        columns += (f == 1 ? "" : ", ") + field(f) + " " + type;
        values += (f == 1 ? "" : ", ") + value;
    }
    return {"create table 宽表(" + columns + ")", "insert into 宽表 select " + values + " from " + series(server, rows)};
}

} // namespace

const QString &benchServerUri(Server server)
{
    static std::optional<QString> uris[2];
    std::optional<QString> &uri = uris[int(server)];
    if (!uri) {
        const std::string &state = kStates[int(server)];
        uri = QString();
        if (std::system((kScripts[int(server)] + " start " + state + " > /dev/null").c_str()) == 0) {
            std::atexit(server == Server::Postgres ? +[] { stop(Server::Postgres); } : +[] { stop(Server::MariaDb); });
            QFile file(QString::fromStdString(state + "/uri"));
            if (file.open(QIODevice::ReadOnly))
                uri = QString::fromUtf8(file.readAll()).trimmed();
        }
    }
    return *uri;
}

QString throughOdbc(const QString &database)
{
    const QUrl url(database);
    const QUrlQuery query(url);
    if (database.startsWith(QLatin1String("postgresql:")))
        return QStringLiteral("odbc:Driver={PostgreSQL Unicode};Servername=%1;Port=%2;Database=%3;Username=%4")
            .arg(query.queryItemValue(QStringLiteral("host")), query.queryItemValue(QStringLiteral("port")), url.path().mid(1),
                 query.queryItemValue(QStringLiteral("user")));
    if (database.startsWith(QLatin1String("mariadb:")))
        return QStringLiteral("odbc:Driver={MariaDB Unicode};Socket=%1;Database=%2;User=%3")
            .arg(query.queryItemValue(QStringLiteral("socket")), url.path().mid(1), url.userName());
    return QStringLiteral("odbc:Driver={SQLite3};Database=") + database;
}

QString throughPgbouncer(const QString &database)
{
    static const QString pooler = [] {
        const std::string state = VELMARITH_BENCH_DATA_DIR "/pgbouncer";
        const std::string script = VELMARITH_SOURCE_DIR "/tools/pgbouncer.sh";
        if (benchServerUri(Server::Postgres).isEmpty() ||
            std::system((script + " start " + state + " " + kStates[0] + " > /dev/null").c_str()) != 0)
            return QString();
        std::atexit([] { (void)std::system(VELMARITH_SOURCE_DIR "/tools/pgbouncer.sh stop " VELMARITH_BENCH_DATA_DIR "/pgbouncer"); });
        QFile file(QString::fromStdString(state + "/uri"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }();
    if (pooler.isEmpty())
        return {};
    return QString(pooler).replace(QStringLiteral(":///postgres?"), QStringLiteral(":///%1?").arg(QUrl(database).path().mid(1)));
}

QString serverMaintenanceDatabase(int rows, Server server)
{
    const QString &uri = benchServerUri(server);
    if (uri.isEmpty())
        return {};
    static int made = 0;
    const std::string schema = "manage" + std::to_string(rows) + "_" + std::to_string(++made);
    const bool postgres = server == Server::Postgres;
    // A database of its own on either server, which ODBC and a pooler reach as well.
    const QString database = QString(uri).replace(postgres ? QStringLiteral(":///postgres?") : QStringLiteral("/velmarith?"),
                                                  (postgres ? QStringLiteral(":///%1?") : QStringLiteral("/%1?")).arg(QString::fromStdString(schema)));
    {
        DataBridge bridge;
        bridge.Open(uri);
        run(bridge, "create database " + schema);
    }
    DataBridge bridge;
    bridge.Open(database);
    for (int l = 1; l <= 4; ++l) {
        const std::string table = "L" + std::to_string(l);
        // Keyed, as code tables are: without a hash join MariaDB would join four unkeyed ones
        // to each other before the large table.
        run(bridge, "create table " + table + "(代码 varchar(10) primary key, 名称 varchar(20))");
        // "+" beside a literal is the library's concatenation on every backend.
        run(bridge, "insert into " + table + " select 'C' + g, '名称' + g from " + series(server, 20));
    }
    const auto [create, insert] = wideTableFill(rows, server);
    run(bridge, create);
    run(bridge, insert);
    run(bridge, "create index 宽表_f01 on 宽表(f01)");
    run(bridge, postgres ? "analyze 宽表" : "analyze table 宽表");
    for (const std::string &statement : maintenanceDescription())
        run(bridge, statement);
    return database;
}

} // namespace velmarith::bench
