#pragma once

#include <QString>

namespace velmarith::bench {

enum class Server { Postgres, MariaDb };

/// The URI of a private server this process starts at the first call, in the build folder, and
/// stops when it ends (tools/pg-cluster.sh, tools/mariadb-server.sh); empty when it cannot run here.
const QString &benchServerUri(Server server);

/// A fresh schema (a database on MariaDB) on that server holding the metadata tables and 宽表
/// with `rows` rows shaped as in maintenanceDatabase(), and L1–L4; the URI that works in it.
/// Empty without a server.
QString serverMaintenanceDatabase(int rows, Server server);

/// The same database through its backend's Debian ODBC driver: a server's URI or a SQLite file.
QString throughOdbc(const QString &database);

/// The same PostgreSQL database through a private pgbouncer in transaction mode, started at the
/// first call before the benchmark server; empty without one.
QString throughPgbouncer(const QString &database);

} // namespace velmarith::bench
