#include "toolkit/DirectoryReader.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace velmarith::toolkit {
namespace {

struct DirectoryCloser {
    void operator()(DIR *directory) const { closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

DirectoryHandle openDirectory(const QByteArray &path)
{
    DirectoryHandle directory(opendir(path.constData()));
    if (!directory) {
        const int error = errno;
        const QString shown = displayFileName(decodeFileName(path));
        if (error == ENOENT || error == ENOTDIR)
            throw Error(ErrorNumber::PathNotFound, QStringLiteral("路径不存在：%1").arg(shown));
        throw Error(ErrorNumber::PathFileAccess, QStringLiteral("无法读取目录 %1：%2").arg(shown, systemReason(error)));
    }
    return directory;
}

// Whether an entry is a directory; the type in the entry saves a stat for all but links.
bool isDirectoryEntry(const QByteArray &folder, const dirent &entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat status {};
    const QByteArray full = folder + '/' + entry.d_name;
    return stat(full.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

template<class Visit>
void forEachVisibleEntry(const QString &path, Visit &&visit)
{
    const QByteArray folder = encodeFileName(path);
    const DirectoryHandle directory = openDirectory(folder);
    while (const dirent *entry = readdir(directory.get())) {
        if (entry->d_name[0] != '.')
            visit(*entry, isDirectoryEntry(folder, *entry));
    }
}

void sortIgnoringCase(std::vector<QByteArray> &names)
{
    std::sort(names.begin(), names.end(), [](const QByteArray &a, const QByteArray &b) {
        const int folded = qstricmp(a.constData(), b.constData());
        return folded != 0 ? folded < 0 : a < b;
    });
}

} // namespace

FilePatterns::FilePatterns(const QString &patterns)
{
    for (const QString &part : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            mPatterns.push_back(pattern == u"*.*" ? QByteArray("*") : encodeFileName(pattern));
    }
}

bool FilePatterns::matches(const char *name) const
{
    return std::any_of(mPatterns.begin(), mPatterns.end(),
                       [name](const QByteArray &pattern) { return fnmatch(pattern.constData(), name, FNM_CASEFOLD) == 0; });
}

std::vector<QByteArray> readFiles(const QString &path, const FilePatterns &patterns)
{
    std::vector<QByteArray> files;
    forEachVisibleEntry(path, [&](const dirent &entry, bool isDirectory) {
        if (!isDirectory && patterns.matches(entry.d_name))
            files.emplace_back(entry.d_name);
    });
    sortIgnoringCase(files);
    return files;
}

std::vector<QByteArray> readSubdirectories(const QString &path)
{
    std::vector<QByteArray> directories;
    forEachVisibleEntry(path, [&](const dirent &entry, bool isDirectory) {
        if (isDirectory)
            directories.emplace_back(entry.d_name);
    });
    sortIgnoringCase(directories);
    return directories;
}

bool isReadableDirectory(const QString &path, QString *reason)
{
    if (DirectoryHandle(opendir(encodeFileName(path).constData())))
        return true;
    if (reason)
        *reason = systemReason(errno);
    return false;
}

} // namespace velmarith::toolkit
