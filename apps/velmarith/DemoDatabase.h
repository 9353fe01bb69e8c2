#pragma once

#include <QString>
#include <QTextStream>

namespace velmarith::app {

/// Where the demo database lives: $XDG_DATA_HOME/velmarith/demo.sqlite (~/.local/share/...).
[[nodiscard]] QString demoDatabasePath();

/// Creates the demo database at `path` unless it exists: departments, employees bound to them,
/// with codes, enumerations and a flag column, and the metadata that describes their windows.
/// Returns true when it was created now.
bool ensureDemoDatabase(const QString &path);

/// Writes each table of the database with its rows.
void printDatabase(const QString &path, QTextStream &out);

} // namespace velmarith::app
