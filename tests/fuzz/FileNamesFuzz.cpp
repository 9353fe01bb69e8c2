// Every byte string survives the trip through a file name's text and back, valid UTF-8 reads
// as Qt reads it, and what a person is shown never holds an escaped byte's surrogate.
#include "Property.h"

#include <velmarith/FileNames.h>

#include <cstdint>

using namespace velmarith;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeFileName(bytes);
    fuzz::require(encodeFileName(text) == bytes, "encodeFileName(decodeFileName(b)) == b", text);

    const QString strict = QString::fromUtf8(bytes);
    if (!strict.contains(QChar::ReplacementCharacter) && !bytes.startsWith("\xEF\xBB\xBF"))
        fuzz::require(text == strict, "valid UTF-8 decodes as Qt decodes it", text);

    const QString shown = displayFileName(text);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const bool paired = shown[i].isHighSurrogate() ? i + 1 < shown.size() && shown[i + 1].isLowSurrogate()
                            : shown[i].isLowSurrogate() ? i > 0 && shown[i - 1].isHighSurrogate()
                                                        : true;
        fuzz::require(paired, "no lone surrogate is shown", shown);
    }
    return 0;
}
