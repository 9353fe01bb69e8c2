#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>
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
    struct Pattern {
        QByteArray text;
        bool isAsciiSuffix = false; // "*" and plain ASCII: matched without fnmatch
    };
    std::vector<Pattern> mPatterns;
};

/// Names from one directory reading, in order; they share the reading's storage, so a list of
/// 100,000 names costs no allocation per name.
class NameList
{
public:
    [[nodiscard]] size_t size() const { return mOffsets.size(); }
    [[nodiscard]] const char *at(size_t index) const { return mStorage->data() + mOffsets[index]; }
    [[nodiscard]] QByteArray bytes(size_t index) const { return QByteArray(at(index)); }

private:
    friend class DirectoryListing;
    std::shared_ptr<const std::string> mStorage = std::make_shared<const std::string>();
    std::vector<uint32_t> mOffsets;
};

/// The names a person sees in one directory, read once from the system byte for byte so that
/// no name is lost to a failed decoding: no "." and "..", no hidden names (a leading dot). The
/// directory list and the file list of a window share one reading.
class DirectoryListing
{
public:
    DirectoryListing() = default;
    /// Reads `path` (in the form decodeFileName() gives); raises error 76 when it does not
    /// exist and 75, naming the system's reason, when it cannot be read.
    [[nodiscard]] static DirectoryListing read(const QString &path);

    [[nodiscard]] const QString &path() const { return mPath; }
    /// The subdirectories and the files matching `patterns`, sorted ignoring letter case.
    [[nodiscard]] NameList subdirectories() const;
    [[nodiscard]] NameList files(const FilePatterns &patterns) const;

private:
    QString mPath;
    NameList mDirectories; // in the order the system gave them
    NameList mFiles;
};

/// Whether `path` names a directory that can be read; `reason` gets the system's words if not.
[[nodiscard]] bool isReadableDirectory(const QString &path, QString *reason = nullptr);

} // namespace velmarith::toolkit
