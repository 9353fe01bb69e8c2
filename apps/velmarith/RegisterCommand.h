#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith register: registers the four classes and the type library of the library file.
[[nodiscard]] Command registerCommand(const QStringList &arguments);
/// velmarith unregister: removes exactly those entries again.
[[nodiscard]] Command unregisterCommand(const QStringList &arguments);

} // namespace velmarith::app
