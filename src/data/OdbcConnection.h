#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// A connection through unixODBC to the source an odbc: string names (odbc:DSN=…, or
/// odbc:Driver={…};… without a DSN). The source must be PostgreSQL, MariaDB or MySQL, or SQLite:
/// its statements are written for it as for the library's own backend of that database. Raises
/// Error naming the source (never its password) and the reason when it cannot connect within 5 s
/// or speaks another SQL.
[[nodiscard]] std::unique_ptr<Connection> openOdbc(const QString &uri);

} // namespace velmarith::detail
