#include "server/Registry.h"

#include <velmarith/Error.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmarith::server {
namespace {

constexpr int kLockWaitMilliseconds = 10000;

[[noreturn]] void fail(const QString &what)
{
    throw Error(ErrorNumber::PathFileAccess, what);
}

} // namespace

QString registryPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/velmarith/registry.json");
}

QJsonObject readRegistry()
{
    const QString path = registryPath();
    // Opened without waiting, and read only when it is a plain file: a FIFO in its place would
    // otherwise hold every registration for ever.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return {};
        fail(QStringLiteral("注册表文件不能读取：%1（%2）").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    QFile file;
    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        fail(QStringLiteral("注册表文件不是普通文件，未做改动：%1").arg(path));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        fail(QStringLiteral("注册表文件不是有效的 JSON 对象，未做改动：%1（%2）").arg(path, error.errorString()));
    return document.object();
}

void updateRegistry(const std::function<void(QJsonObject &)> &change)
{
    const QString path = registryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail(QStringLiteral("不能建立注册表目录：%1").arg(QFileInfo(path).absolutePath()));
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMilliseconds)) {
        if (lock.error() == QLockFile::LockFailedError)
            fail(QStringLiteral("注册表文件正被另一进程使用：%1").arg(path));
        fail(QStringLiteral("注册表目录不能写入：%1").arg(QFileInfo(path).absolutePath()));
    }
    QJsonObject registry = readRegistry();
    change(registry);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(registry).toJson()) < 0 || !file.commit())
        fail(QStringLiteral("注册表文件不能写入：%1（%2）").arg(path, file.errorString()));
}

} // namespace velmarith::server
