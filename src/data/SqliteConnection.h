#pragma once

#include "data/Connection.h"

namespace velmarith::detail {

/// A connection to a SQLite file or file: URI; `create` makes a missing file.
[[nodiscard]] std::unique_ptr<Connection> openSqlite(const QString &path, bool create);

} // namespace velmarith::detail
