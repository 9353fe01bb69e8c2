#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// How long a statement waits for another program's lock before it fails.
[[nodiscard]] int busyTimeoutMilliseconds();

/// A connection to a SQLite file or file: URI; `create` makes a missing file.
[[nodiscard]] std::unique_ptr<Connection> openSqlite(const QString &path, bool create);

} // namespace velmarith::detail
