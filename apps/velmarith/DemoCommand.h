#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith demo: creates the demo database where missing, prints it and, when there is a
/// display, opens the maintenance window on its employee table. Without a display it does the
/// rest and exits 0, so the demo's database can be made on a headless machine too.
[[nodiscard]] Command demoCommand(const QStringList &arguments);

} // namespace velmarith::app
