#pragma once

#include <QString>

namespace velmarith {

/// The absolute path of the library file this code was loaded from; empty when the loader
/// cannot tell.
[[nodiscard]] QString libraryFilePath();

} // namespace velmarith
