#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <memory>
#include <vector>

class QIODevice;
struct z_stream_s;

namespace velmarith {

/// A zip archive written front to back into a device, each entry deflated as it is written so
/// that none is ever held whole: what an office document package needs, without zip64 (an
/// entry or the archive past 4 GB fails) or encryption.
class ZipArchive
{
public:
    explicit ZipArchive(QIODevice &device);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    /// Ends the entry being written, if any, and starts the one named `name` (UTF-8).
    void startEntry(const QByteArray &name);
    void write(QByteArrayView bytes);
    /// Ends the last entry and writes the archive's directory. False when anything could not be
    /// written or grew past the format's limits; the device then holds no usable archive.
    [[nodiscard]] bool finish();

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint64 compressedSize = 0;
        quint64 size = 0;
        quint64 offset = 0;
    };
    struct StreamEnd {
        void operator()(z_stream_s *stream) const;
    };

    void endEntry();
    void deflateInto(int flush);
    void put(QByteArrayView bytes);

    QIODevice &mDevice;
    const QDateTime mWritten;
    std::unique_ptr<z_stream_s, StreamEnd> mStream;
    std::vector<Entry> mEntries;
    QByteArray mDeflated;
    quint64 mOffset = 0;
    bool mFailed = false;
};

} // namespace velmarith
