#pragma once

#include <QString>
#include <QStringList>

namespace velmarith {
class DataBridge;
}

namespace velmarith::app {

/// Runs statements one by one inside one transaction; the first failure rolls everything back
/// and raises an Error naming the statement.
void runInTransaction(DataBridge &bridge, const QStringList &statements);

} // namespace velmarith::app
