#pragma once

#include <QCommandLineOption>
#include <QStringList>
#include <QTextStream>

namespace velmarith::app {

/// velmarith manage: opens the maintenance window on a table of a host's database.
int runManageCommand(const QStringList &arguments, QTextStream &out);

/// velmarith init: creates the four metadata tables in a host's database where missing.
int runInitCommand(const QStringList &arguments, QTextStream &out);

/// Opens the maintenance window on a table of the database at `path`; with `traceSql` every
/// statement is written to standard error as it runs.
void manageTable(const QString &path, const QString &table, const QString &mode, bool traceSql);

/// The --db option every database command takes.
[[nodiscard]] QCommandLineOption databaseOption();

/// Whether windows can be shown here (a display, or a platform chosen by QT_QPA_PLATFORM).
[[nodiscard]] bool canShowWindows();

} // namespace velmarith::app
