#include "PrivateServer.h"

#include <QFile>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

namespace velmarith::test {
namespace {

QString stateFile(const QTemporaryDir &state, const char *name)
{
    QFile file(state.filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

PrivateServer::PrivateServer(Backend backend, const QStringList &serverOptions) : mBackend(backend)
{
    if (run(QStringLiteral("start"), serverOptions))
        mUri = stateFile(mState, "uri");
}

PrivateServer::PrivateServer(StandbyOf standby) : mBackend(Backend::Postgres)
{
    if (!standby.primary.uri().isEmpty() && run(QStringLiteral("standby"), {standby.primary.mState.path()}))
        mUri = stateFile(mState, "uri");
}

PrivateServer::~PrivateServer()
{
    run(QStringLiteral("stop"));
}

QString PrivateServer::unavailableReason() const
{
    const QString reason = stateFile(mState, "unavailable");
    return (mBackend == Backend::MariaDb ? QStringLiteral("no private MariaDB server: ") : QStringLiteral("no private PostgreSQL cluster: ")) + (reason.isEmpty() ? QStringLiteral("it did not start") : reason);
}

bool PrivateServer::restart()
{
    return !mUri.isEmpty() && run(QStringLiteral("restart"));
}

bool PrivateServer::stop()
{
    return run(QStringLiteral("halt"));
}

bool PrivateServer::promote()
{
    return run(QStringLiteral("promote"));
}

QString PrivateServer::socketFolder() const
{
    return QUrlQuery(QUrl(mUri)).queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
}

bool PrivateServer::run(const QString &action, const QStringList &arguments)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(mBackend == Backend::MariaDb ? QStringLiteral(VELMARITH_MARIADB_SERVER_SCRIPT)
                                              : QStringLiteral(VELMARITH_PG_CLUSTER_SCRIPT),
                 QStringList{action, mState.path()} + arguments);
    return script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

} // namespace velmarith::test
