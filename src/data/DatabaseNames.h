#pragma once

#include <QString>

#include <vector>

namespace velmarith::detail {

/// A stretch of a text: where it starts and how many characters it holds.
struct TextSpan {
    qsizetype start;
    qsizetype length;
};

/// Where a database's passwords stand in it, in order: a URI's user part and password= parameters.
[[nodiscard]] std::vector<TextSpan> passwordsIn(const QString &database);

/// `text` (a driver's message, say) with every password of `database` replaced by ***, as
/// written and percent-decoded.
[[nodiscard]] QString hidePasswords(QString text, const QString &database);

/// Raises Error for a database written as a URI of a scheme no backend serves (postgresq://…,
/// a typo), which would otherwise be taken for a file name.
void refuseUnknownScheme(const QString &database);

} // namespace velmarith::detail
