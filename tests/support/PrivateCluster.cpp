#include "PrivateCluster.h"

#include <QFile>
#include <QProcess>

namespace velmarith::test {
namespace {

QString stateFile(const QTemporaryDir &state, const char *name)
{
    QFile file(state.filePath(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

PrivateCluster::PrivateCluster()
{
    if (run(QStringLiteral("start")))
        mUri = stateFile(mState, "uri");
}

PrivateCluster::~PrivateCluster()
{
    run(QStringLiteral("stop"));
}

QString PrivateCluster::unavailableReason() const
{
    const QString reason = stateFile(mState, "unavailable");
    return QStringLiteral("no private PostgreSQL cluster: ") + (reason.isEmpty() ? QStringLiteral("it did not start") : reason);
}

bool PrivateCluster::restart()
{
    return !mUri.isEmpty() && run(QStringLiteral("restart"));
}

bool PrivateCluster::run(const QString &action)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(VELMARITH_PG_CLUSTER_SCRIPT), {action, mState.path()});
    return script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

} // namespace velmarith::test
