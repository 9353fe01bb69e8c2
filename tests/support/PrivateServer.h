#pragma once

#include "Backend.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace velmarith::test {

/// A PostgreSQL cluster or MariaDB server of one test's own, for what the shared test server
/// must not suffer (a restart): started in a fresh folder on a Unix socket there, stopped when
/// it goes.
class PrivateServer
{
public:
    /// `serverOptions` go to the MariaDB server's command line (--sql-mode=…).
    explicit PrivateServer(Backend backend = Backend::Postgres, const QStringList &serverOptions = {});
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    /// The URI of its database; empty when it could not start (see unavailableReason).
    [[nodiscard]] const QString &uri() const { return mUri; }
    [[nodiscard]] QString unavailableReason() const;
    /// Restarts the server, which ends every session; false when that failed.
    bool restart();

private:
    bool run(const QString &action, const QStringList &arguments = {});

    Backend mBackend;
    QTemporaryDir mState;
    QString mUri;
};

} // namespace velmarith::test
