#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith manage: opens the maintenance window on a table of a host's database.
[[nodiscard]] Command manageCommand(const QStringList &arguments);

/// velmarith export: writes the list of a table's maintenance window to a .csv or .xlsx file.
[[nodiscard]] Command exportCommand(const QStringList &arguments);

/// velmarith init: creates the four metadata tables in a host's database where missing.
[[nodiscard]] Command initCommand(const QStringList &arguments);

/// Opens the maintenance window on a table of the database at `path`; with `traceSql` every
/// statement is written to standard error as it runs. Raises CommandFailure, before any window
/// opens, when the database cannot be opened or lacks a metadata table.
void manageTable(const QString &path, const QString &table, const QString &mode, bool traceSql);

} // namespace velmarith::app
