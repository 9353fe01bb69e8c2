#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// A connection to a PostgreSQL server named by a libpq URI (postgresql://…). Raises Error
/// naming the server and the reason when it cannot connect within the connect timeout (5 s
/// unless the URI sets connect_timeout).
[[nodiscard]] std::unique_ptr<Connection> openPostgres(const QString &uri);

/// The first name in a statement longer than PostgreSQL keeps (63 bytes of UTF-8), which the
/// server would cut silently; empty when there is none. Literals and comments are skipped.
[[nodiscard]] QString overlongName(const QString &statement);

} // namespace velmarith::detail
