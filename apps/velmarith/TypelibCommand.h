#pragma once

#include "CommandLine.h"

namespace velmarith::app {

/// velmarith typelib: prints the type library kept inside the library file in a readable form.
[[nodiscard]] Command typelibCommand(const QStringList &arguments);

} // namespace velmarith::app
