#pragma once

#include "data/Connection.h"
#include "data/TableSchema.h"

#include <velmarith/ResultRows.h>

#include <optional>
#include <utility>
#include <vector>

namespace velmarith::detail {

/// Asks the catalog one question on the connection, in the trace; raises StatementFailure.
[[nodiscard]] ResultRows askCatalog(Connection &connection, const QString &question);

/// The runs of consecutive rows that hold the same value in `column` (the columns of one key,
/// say), each as its first row and the row after its last.
[[nodiscard]] std::vector<std::pair<int, int>> runsOf(const ResultRows &rows, int column);

/// Each backend's description of a table named as a statement names it; nothing when there is
/// no such table. Raises StatementFailure when the catalog cannot be asked.
[[nodiscard]] std::optional<TableSchema> describeSqliteTable(Connection &connection, const QString &table);
[[nodiscard]] std::optional<TableSchema> describePostgresTable(Connection &connection, const QString &table);
[[nodiscard]] std::optional<TableSchema> describeMariaDbTable(Connection &connection, const QString &table);

} // namespace velmarith::detail
