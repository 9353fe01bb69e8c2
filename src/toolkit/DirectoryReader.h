#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace velmarith::toolkit {

/// Which files a file list shows: shell patterns separated by ";" ("*.txt;*.doc"), matched
/// ignoring letter case; "*.*" matches every file, with or without a dot.
class FilePatterns
{
public:
    explicit FilePatterns(const QString &patterns);
    [[nodiscard]] bool matches(const char *name) const;

private:
    std::vector<QByteArray> mPatterns;
};

/// The names a person sees in a directory, read from the system byte for byte so that no name
/// is lost to a failed decoding: no "." and "..", no hidden names (a leading dot), sorted
/// ignoring letter case. `path` is in the form decodeFileName() gives. Both raise error 75,
/// naming the directory and the system's reason, when it cannot be read.
[[nodiscard]] std::vector<QByteArray> readFiles(const QString &path, const FilePatterns &patterns);
[[nodiscard]] std::vector<QByteArray> readSubdirectories(const QString &path);
/// Whether `path` names a directory that can be read; `reason` gets the system's words if not.
[[nodiscard]] bool isReadableDirectory(const QString &path, QString *reason = nullptr);

} // namespace velmarith::toolkit
