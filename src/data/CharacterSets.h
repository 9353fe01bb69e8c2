#pragma once

#include <QString>

#include <algorithm>

namespace velmarith::detail {

/// Whether every character of `text` is ASCII, which every character set holds.
[[nodiscard]] inline bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

/// The first character of `text` that a MariaDB column of the character set `charset` (latin1,
/// gbk, utf8mb3, …) has no code for; empty when it holds them all, or the set is not known here
/// (the server then refuses what it cannot hold).
[[nodiscard]] QString firstCharacterMariaDbCannotStore(const QString &text, const QString &charset);

/// The same for a PostgreSQL database of the server encoding `encoding` (EUC_CN, LATIN1, …).
[[nodiscard]] QString firstCharacterPostgresCannotStore(const QString &text, const QString &encoding);

} // namespace velmarith::detail
