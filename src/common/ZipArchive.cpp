#include "common/ZipArchive.h"

#include <QIODevice>
#include <QtEndian>

#include <zlib.h>

#include <limits>

namespace velmarith {

namespace {

constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kDataDescriptor = 0x08074b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kDirectoryEnd = 0x06054b50;
constexpr quint16 kVersionNeeded = 20; // deflate
// Sizes and CRC follow the data, as they are known only then; names are UTF-8.
constexpr quint16 kFlags = 0x0008 | 0x0800;
constexpr quint16 kDeflated = 8;
constexpr qsizetype kChunk = 1 << 16;
constexpr quint64 kLimit = std::numeric_limits<quint32>::max();

template <typename Number>
void append(QByteArray &bytes, Number value)
{
    const Number little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char *>(&little), sizeof little);
}

quint16 dosTime(const QTime &time)
{
    return quint16(time.hour() << 11 | time.minute() << 5 | time.second() / 2);
}

quint16 dosDate(const QDate &date)
{
    return quint16((date.year() - 1980) << 9 | date.month() << 5 | date.day());
}

} // namespace

void ZipArchive::StreamEnd::operator()(z_stream_s *stream) const
{
    deflateEnd(stream);
    delete stream;
}

ZipArchive::ZipArchive(QIODevice &device)
    : mDevice(device)
    , mWritten(QDateTime::currentDateTime())
{
}

ZipArchive::~ZipArchive() = default;

void ZipArchive::startEntry(const QByteArray &name)
{
    endEntry();
    mEntries.push_back({name, 0, 0, 0, mOffset});
    QByteArray header;
    append(header, kLocalHeader);
    append(header, kVersionNeeded);
    append(header, kFlags);
    append(header, kDeflated);
    append(header, dosTime(mWritten.time()));
    append(header, dosDate(mWritten.date()));
    append(header, quint32(0)); // CRC, compressed and plain size: in the descriptor
    append(header, quint32(0));
    append(header, quint32(0));
    append(header, quint16(name.size()));
    append(header, quint16(0));
    header += name;
    put(header);

    auto stream = std::make_unique<z_stream>();
    // The fastest level: an office package is mostly repeated markup, which it still packs
    // several times over, at a fraction of the default level's time.
    if (deflateInit2(stream.get(), Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        mFailed = true;
        return;
    }
    mStream.reset(stream.release());
}

void ZipArchive::write(QByteArrayView bytes)
{
    if (!mStream || bytes.isEmpty())
        return;
    Entry &entry = mEntries.back();
    entry.crc = quint32(crc32_z(entry.crc, reinterpret_cast<const Bytef *>(bytes.data()), size_t(bytes.size())));
    entry.size += quint64(bytes.size());
    mStream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    mStream->avail_in = uInt(bytes.size());
    deflateInto(Z_NO_FLUSH);
}

void ZipArchive::deflateInto(int flush)
{
    mDeflated.resize(kChunk);
    int result = Z_OK;
    do {
        mStream->next_out = reinterpret_cast<Bytef *>(mDeflated.data());
        mStream->avail_out = uInt(kChunk);
        result = deflate(mStream.get(), flush);
        const qsizetype produced = kChunk - qsizetype(mStream->avail_out);
        mEntries.back().compressedSize += quint64(produced);
        put(QByteArrayView(mDeflated.constData(), produced));
    } while (mStream->avail_out == 0 || (flush == Z_FINISH && result == Z_OK));
    if (result == Z_STREAM_ERROR)
        mFailed = true;
}

void ZipArchive::endEntry()
{
    if (!mStream)
        return;
    deflateInto(Z_FINISH);
    mStream.reset();
    const Entry &entry = mEntries.back();
    if (entry.size > kLimit || entry.compressedSize > kLimit)
        mFailed = true;
    QByteArray descriptor;
    append(descriptor, kDataDescriptor);
    append(descriptor, entry.crc);
    append(descriptor, quint32(entry.compressedSize));
    append(descriptor, quint32(entry.size));
    put(descriptor);
}

bool ZipArchive::finish()
{
    endEntry();
    const quint64 directoryStart = mOffset;
    QByteArray directory;
    for (const Entry &entry : mEntries) {
        append(directory, kDirectoryEntry);
        append(directory, kVersionNeeded); // made by
        append(directory, kVersionNeeded);
        append(directory, kFlags);
        append(directory, kDeflated);
        append(directory, dosTime(mWritten.time()));
        append(directory, dosDate(mWritten.date()));
        append(directory, entry.crc);
        append(directory, quint32(entry.compressedSize));
        append(directory, quint32(entry.size));
        append(directory, quint16(entry.name.size()));
        append(directory, quint16(0)); // extra field
        append(directory, quint16(0)); // comment
        append(directory, quint16(0)); // disk
        append(directory, quint16(0)); // internal attributes
        append(directory, quint32(0)); // external attributes
        append(directory, quint32(entry.offset));
        directory += entry.name;
    }
    const quint32 directorySize = quint32(directory.size());
    append(directory, kDirectoryEnd);
    append(directory, quint16(0)); // this disk
    append(directory, quint16(0)); // the directory's disk
    append(directory, quint16(mEntries.size()));
    append(directory, quint16(mEntries.size()));
    append(directory, directorySize);
    append(directory, quint32(directoryStart));
    append(directory, quint16(0)); // comment
    put(directory);
    return !mFailed && directoryStart <= kLimit && mEntries.size() <= 0xFFFF;
}

void ZipArchive::put(QByteArrayView bytes)
{
    if (bytes.isEmpty() || mFailed)
        return;
    if (mDevice.write(bytes.data(), bytes.size()) != bytes.size())
        mFailed = true;
    mOffset += quint64(bytes.size());
}

} // namespace velmarith
