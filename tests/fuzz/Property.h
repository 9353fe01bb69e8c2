#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velmarith::fuzz {

/// Stops the run when a property fails, with the input that broke it, so libFuzzer keeps it.
inline void require(bool holds, const char *property, const QString &input = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "property violated: %s\ninput: %s\n", property, qUtf8Printable(QString(input).replace(QChar(0), QStringLiteral("\\0"))));
    std::abort();
}

/// The fuzzer's bytes as text, decoded as UTF-8 (invalid sequences become U+FFFD).
inline QString textOf(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace velmarith::fuzz
