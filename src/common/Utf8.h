#pragma once

#include <QString>
#include <QStringDecoder>

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

} // namespace velmarith
