#pragma once

#include <QStringList>
#include <QTextStream>

namespace velmarith::app {

/// velmarith search: the lookup window on a keyword list or a tree of a database's rows.
/// Prints the chosen text and returns 0, or returns 1 when nothing was chosen.
int runSearchCommand(const QStringList &arguments, QTextStream &out);

} // namespace velmarith::app
