#pragma once

#include <QJsonObject>
#include <QString>

#include <functional>

namespace velmarith::server {

/// The one registry file of this user: $XDG_DATA_HOME/velmarith/registry.json, or under
/// ~/.local/share when XDG_DATA_HOME is unset or not absolute.
[[nodiscard]] QString registryPath();

/// The registry's entries; empty when there is no file yet. Raises velmarith::Error when the
/// file cannot be read or is not a JSON object.
[[nodiscard]] QJsonObject readRegistry();

/// Reads, changes and writes the registry under a lock file, so two processes registering at
/// once do not lose each other's entries. The file is replaced whole, never half written.
void updateRegistry(const std::function<void(QJsonObject &)> &change);

} // namespace velmarith::server
