#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// A connection to a MariaDB or MySQL server named by a URI (mariadb://… or mysql://…: user,
/// password, host or ?socket=, port, database), always in utf8mb4. Raises Error naming the
/// server and the reason when it cannot connect within 5 s.
[[nodiscard]] std::unique_ptr<Connection> openMariaDb(const QString &uri);

/// Whether `database` is a MariaDB or MySQL server's URI.
[[nodiscard]] inline bool isMariaDbUri(const QString &database)
{
    return database.startsWith(QLatin1String("mariadb://")) || database.startsWith(QLatin1String("mysql://"));
}

} // namespace velmarith::detail
