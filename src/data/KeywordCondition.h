#pragma once

#include <QString>

namespace velmarith::detail {

/// The condition that finds the rows whose term holds the keyword, in the dialect of
/// `database`: ASCII letters in either case where the database's like allows it, every other
/// character exactly, and the keyword always text, never a pattern or SQL.
[[nodiscard]] QString keywordCondition(const QString &database, const QString &term, const QString &keyword);

/// Whether that condition takes ASCII letters in either case on `database`, so rows kept in
/// memory are matched the same way.
[[nodiscard]] bool keywordIgnoresAsciiCase(const QString &database);

} // namespace velmarith::detail
