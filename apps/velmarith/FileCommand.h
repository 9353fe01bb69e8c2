#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith file: shows the file window and prints each chosen file as a full path on its own
/// line (the chosen directory with --path); exits 1 when nothing was chosen.
[[nodiscard]] Command fileCommand(const QStringList &arguments);

} // namespace velmarith::app
