#pragma once

#include "maintenance/ListExport.h"

class QIODevice;

namespace velmarith {

/// Writes the list as an Excel workbook of one sheet into `device`: the captions in bold, the
/// text columns' values as text cells (a code keeps its leading zeros), the others' as numbers
/// with the decimals shown, where they are numbers. False when the device could not take it.
[[nodiscard]] bool writeWorkbook(const ShownList &list, QIODevice &device);

} // namespace velmarith
