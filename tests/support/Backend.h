#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace velmarith::test {

/// The database a backend-parameterised suite runs on: a SQLite file, or a schema of the
/// private PostgreSQL cluster that `make test` starts (tools/pg-cluster.sh).
enum class Backend { Sqlite, Postgres };

/// The cluster's connection URI; empty when it is not running.
[[nodiscard]] QString serverUri();
/// Why the cluster is not running, for the skip message.
[[nodiscard]] QString serverUnavailableReason();

/// "Sqlite" or "Postgres", for parameterised test names.
inline std::string backendName(const ::testing::TestParamInfo<Backend> &info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

/// Skips a PostgreSQL case with the reason when the cluster is not there.
#define VELMARITH_SKIP_WITHOUT_SERVER(backend)                                                          \
    if ((backend) == ::velmarith::test::Backend::Postgres && ::velmarith::test::serverUri().isEmpty()) \
    GTEST_SKIP() << ::velmarith::test::serverUnavailableReason().toStdString()

} // namespace velmarith::test
