#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith input: asks for a text in the input box, like the dialog tools of shell scripts.
/// Prints the accepted text and exits 0, or exits 1 when the person cancelled.
[[nodiscard]] Command inputCommand(const QStringList &arguments);

} // namespace velmarith::app
