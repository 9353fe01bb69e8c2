#include "toolkit/DirectoryReader.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
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

constexpr unsigned asciiLower(unsigned byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

// Sorting compares a packed, folded prefix first: directories of thousands of names that share
// their first characters (IMG_0001.jpg) would otherwise spend most of their time in strcasecmp.
struct SortKey {
    uint64_t high;
    uint64_t low;
    uint32_t offset;
};

SortKey sortKeyOf(const char *name, uint32_t offset)
{
    SortKey key{0, 0, offset};
    bool ended = false;
    for (int i = 0; i < 16; ++i) {
        ended = ended || name[i] == 0;
        const auto byte = ended ? 0u : static_cast<unsigned char>(name[i]);
        const uint64_t folded = asciiLower(byte);
        uint64_t &half = i < 8 ? key.high : key.low;
        half = (half << 8) | folded;
    }
    return key;
}

// strcasecmp folds ASCII letters only, so names in other scripts sort by their bytes.
void sortIgnoringCase(const std::string &storage, std::vector<uint32_t> &offsets)
{
    std::vector<SortKey> keys;
    keys.reserve(offsets.size());
    for (const uint32_t offset : offsets)
        keys.push_back(sortKeyOf(storage.data() + offset, offset));
    std::sort(keys.begin(), keys.end(), [&](const SortKey &a, const SortKey &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const char *left = storage.data() + a.offset;
        const char *right = storage.data() + b.offset;
        const int folded = strcasecmp(left, right);
        return folded != 0 ? folded < 0 : std::strcmp(left, right) < 0;
    });
    for (size_t i = 0; i < keys.size(); ++i)
        offsets[i] = keys[i].offset;
}

bool isPlainAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '*' && c != '?' && c != '[' && c != '\\';
    });
}

// Whether `name` ends with the ASCII `suffix`, ignoring case; nothing when its tail holds other
// bytes, which only the general matcher folds as it should.
std::optional<bool> endsWithIgnoringAsciiCase(const char *name, QByteArrayView suffix)
{
    const size_t length = std::strlen(name);
    if (length < size_t(suffix.size()))
        return false;
    const char *tail = name + length - size_t(suffix.size());
    bool equal = true;
    for (qsizetype i = 0; i < suffix.size(); ++i) {
        const auto byte = static_cast<unsigned char>(tail[i]);
        if (byte >= 0x80)
            return std::nullopt;
        equal = equal && asciiLower(byte) == asciiLower(static_cast<unsigned char>(suffix[i]));
    }
    return equal;
}

} // namespace

FilePatterns::FilePatterns(const QString &patterns)
{
    for (const QString &part : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QByteArray text = trimmed == u"*.*" ? QByteArray("*") : encodeFileName(trimmed);
        // "*.txt", the common filter, needs no general matcher.
        mPatterns.push_back({text, text.startsWith('*') && isPlainAscii(text.sliced(1))});
    }
}

bool FilePatterns::matches(const char *name) const
{
    return std::any_of(mPatterns.begin(), mPatterns.end(), [name](const Pattern &pattern) {
        if (pattern.isAsciiSuffix) {
            if (const std::optional<bool> matched = endsWithIgnoringAsciiCase(name, QByteArrayView(pattern.text).sliced(1)))
                return *matched;
        }
        return fnmatch(pattern.text.constData(), name, FNM_CASEFOLD) == 0;
    });
}

DirectoryListing DirectoryListing::read(const QString &path)
{
    DirectoryListing listing;
    listing.mPath = path;
    const QByteArray folder = encodeFileName(path);
    const DirectoryHandle directory = openDirectory(folder);
    auto storage = std::make_shared<std::string>();
    // A directory's own size is about the size of its names, so the storage rarely grows.
    struct stat status {};
    if (fstat(dirfd(directory.get()), &status) == 0)
        storage->reserve(size_t(std::clamp<off_t>(status.st_size, 0, off_t(1) << 28)));
    while (const dirent *entry = readdir(directory.get())) {
        if (entry->d_name[0] == '.')
            continue;
        NameList &kind = isDirectoryEntry(folder, *entry) ? listing.mDirectories : listing.mFiles;
        kind.mOffsets.push_back(uint32_t(storage->size()));
        storage->append(entry->d_name, std::strlen(entry->d_name) + 1);
    }
    listing.mDirectories.mStorage = storage;
    listing.mFiles.mStorage = std::move(storage);
    return listing;
}

NameList DirectoryListing::subdirectories() const
{
    NameList sorted = mDirectories;
    sortIgnoringCase(*sorted.mStorage, sorted.mOffsets);
    return sorted;
}

NameList DirectoryListing::files(const FilePatterns &patterns) const
{
    NameList matching;
    matching.mStorage = mFiles.mStorage;
    for (const uint32_t offset : mFiles.mOffsets) {
        if (patterns.matches(mFiles.mStorage->data() + offset))
            matching.mOffsets.push_back(offset);
    }
    sortIgnoringCase(*matching.mStorage, matching.mOffsets);
    return matching;
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
