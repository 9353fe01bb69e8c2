#pragma once

#include <QString>
#include <QStringDecoder>

#include <string>
#include <string_view>

namespace velmarith {

/// UTF-8 bytes as text, exactly as stored. QString::fromUtf8 drops a byte-order mark at the
/// start, which would turn a stored "\uFEFF0001" into "0001" and make edits miss that row.
[[nodiscard]] inline QString textOfUtf8(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return decoder(view);
    }
    return QString::fromUtf8(view);
}

/// Appends UTF-16 text to `utf8` as UTF-8; a lone surrogate becomes U+FFFD, as Qt writes it.
inline void appendUtf8(std::u16string_view text, std::string &utf8)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit < 0x80) {
            utf8 += char(unit);
            continue;
        }
        char32_t code = unit;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            code = 0x10000 + ((unit - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
        else if (unit >= 0xD800 && unit < 0xE000)
            code = 0xFFFD;
        if (code < 0x800) {
            utf8 += char(0xC0 | (code >> 6));
        } else if (code < 0x10000) {
            utf8 += char(0xE0 | (code >> 12));
            utf8 += char(0x80 | ((code >> 6) & 0x3F));
        } else {
            utf8 += char(0xF0 | (code >> 18));
            utf8 += char(0x80 | ((code >> 12) & 0x3F));
            utf8 += char(0x80 | ((code >> 6) & 0x3F));
        }
        utf8 += char(0x80 | (code & 0x3F));
    }
}

} // namespace velmarith
