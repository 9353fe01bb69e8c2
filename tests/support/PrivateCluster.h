#pragma once

#include <QString>
#include <QTemporaryDir>

namespace velmarith::test {

/// A PostgreSQL cluster of one test's own, for what the shared test cluster must not suffer (a
/// restart): started in a fresh folder on a Unix socket there, stopped when it goes.
class PrivateCluster
{
public:
    PrivateCluster();
    ~PrivateCluster();
    PrivateCluster(const PrivateCluster &) = delete;
    PrivateCluster &operator=(const PrivateCluster &) = delete;

    /// The URI of its postgres database; empty when it could not start (see unavailableReason).
    [[nodiscard]] const QString &uri() const { return mUri; }
    [[nodiscard]] QString unavailableReason() const;
    /// Restarts the server, which ends every session; false when that failed.
    bool restart();

private:
    bool run(const QString &action);

    QTemporaryDir mState;
    QString mUri;
};

} // namespace velmarith::test
