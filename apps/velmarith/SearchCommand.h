#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith search: shows the lookup window over a keyword list or a tree and prints the
/// chosen text; exits 1 when nothing was chosen.
[[nodiscard]] Command searchCommand(const QStringList &arguments);

} // namespace velmarith::app
