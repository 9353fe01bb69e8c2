#include <velmarith/FileNames.h>

#include "common/Utf8.h"

namespace velmarith {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// A low surrogate after a high one is half of a real character (U+104D3 ends in U+DCD3), not
// an escaped byte.
bool isEscapedByte(const QString &text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && text[i - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence starting at `i`, or 0 when the byte there starts none.
qsizetype validSequenceAt(const QByteArray &bytes, qsizetype i)
{
    const auto byte = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (qsizetype k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

} // namespace

QString decodeFileName(const QByteArray &bytes)
{
    QString text;
    qsizetype start = 0; // the start of the valid run not yet copied
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequenceAt(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += textOfUtf8({bytes.constData() + start, size_t(i - start)});
        text += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    return text + textOfUtf8({bytes.constData() + start, size_t(bytes.size() - start)});
}

QByteArray encodeFileName(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isEscapedByte(text, i))
            continue;
        bytes += QStringView(text).sliced(start, i - start).toUtf8();
        bytes += char(text[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    return bytes + QStringView(text).sliced(start).toUtf8();
}

QString displayFileName(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapedByte(text, i))
            shown += QStringLiteral("\\x") + QString::number(text[i].unicode() - kEscapeBase, 16).toUpper();
        else
            shown += text[i];
    }
    return shown;
}

} // namespace velmarith
