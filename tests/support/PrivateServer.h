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
    /// What a standby is started from.
    struct StandbyOf {
        const PrivateServer &primary;
    };
    /// A streaming standby of a private PostgreSQL cluster, in a folder of its own.
    explicit PrivateServer(StandbyOf standby);
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    /// The URI of its database; empty when it could not start (see unavailableReason).
    [[nodiscard]] const QString &uri() const { return mUri; }
    [[nodiscard]] QString unavailableReason() const;
    /// Restarts the server, which ends every session; false when that failed.
    bool restart();
    /// Stops the server as an administrator would (a PostgreSQL one sends every change to its
    /// standbys first), ending every session; it stays down.
    bool stop();
    /// Makes a standby the primary, and waits until it takes writes.
    bool promote();
    /// Where the server keeps its socket (PostgreSQL: the host= of its URI).
    [[nodiscard]] QString socketFolder() const;

private:
    bool run(const QString &action, const QStringList &arguments = {});

    Backend mBackend;
    QTemporaryDir mState;
    QString mUri;
};

} // namespace velmarith::test
