#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace velmarith::test {

/// The database a backend-parameterised suite runs on: a SQLite file, a schema of the private
/// PostgreSQL cluster or a database of the private MariaDB server that `make test` starts
/// (tools/pg-cluster.sh, tools/mariadb-server.sh).
enum class Backend { Sqlite, Postgres, MariaDb };

/// How the suites reach their databases ($VELMARITH_TEST_ROUTE): through the library's own
/// backends, through ODBC ("odbc", each backend by its Debian driver), or PostgreSQL through the
/// private pgbouncer in transaction mode ("pgbouncer"); a locale after a colon ("odbc:C") is
/// the process's.
enum class Route { Native, Odbc, Pooler };
[[nodiscard]] Route testRoute();

/// The server's connection URI; empty when it is not running (and for SQLite).
[[nodiscard]] QString serverUri(Backend backend = Backend::Postgres);
/// Why the server is not running, for the skip message.
[[nodiscard]] QString serverUnavailableReason(Backend backend = Backend::Postgres);

/// "Sqlite", "Postgres" or "MariaDb", for parameterised test names.
inline std::string backendName(const ::testing::TestParamInfo<Backend> &info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : info.param == Backend::Postgres ? "Postgres" : "MariaDb";
}

/// Skips a server's case with the reason when the server is not there.
#define VELMARITH_SKIP_WITHOUT_SERVER(backend)                                                                \
    if ((backend) != ::velmarith::test::Backend::Sqlite && ::velmarith::test::serverUri(backend).isEmpty()) \
    GTEST_SKIP() << ::velmarith::test::serverUnavailableReason(backend).toStdString()

} // namespace velmarith::test
