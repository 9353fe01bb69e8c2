#pragma once

#include <QStringList>
#include <QTextStream>

namespace velmarith::app {

/// velmarith input: asks for a text in the input box, like the dialog tools of shell scripts.
/// Prints the accepted text and returns 0, or returns 1 when the person cancelled.
int runInputCommand(const QStringList &arguments, QTextStream &out);

} // namespace velmarith::app
