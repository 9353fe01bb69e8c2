#pragma once

#include <QString>

namespace velmarith::bench {

/// The URI of a private PostgreSQL cluster this process starts at the first call, in the build
/// folder, and stops when it ends (tools/pg-cluster.sh); empty when it cannot run here.
const QString &benchServerUri();

/// A fresh schema on that cluster holding the metadata tables and 宽表 with `rows` rows shaped
/// as in maintenanceDatabase(), and L1–L4; the URI that works in it. Empty without a server.
QString serverMaintenanceDatabase(int rows);

} // namespace velmarith::bench
