#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// A connection to a PostgreSQL server named by a libpq URI (postgresql://…). Raises Error
/// naming the server and the reason when it cannot connect within the connect timeout (5 s
/// unless the URI sets connect_timeout).
[[nodiscard]] std::unique_ptr<Connection> openPostgres(const QString &uri);

} // namespace velmarith::detail
