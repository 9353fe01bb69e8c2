#pragma once

#include <QStringList>

namespace velmarith::app {

/// The statements that create the four metadata tables (all columns text) where missing.
[[nodiscard]] QStringList metadataSchema();

/// The names of the four metadata tables.
[[nodiscard]] QStringList metadataTableNames();

} // namespace velmarith::app
