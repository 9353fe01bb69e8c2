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

/// Raises Error, in Chinese, for a database written as a URI that no backend serves: a scheme
/// none knows (postgresq://…, a typo), or a server's scheme written otherwise than in lower case
/// with two slashes (MariaDB://…, mariadb:/…, mysql:…), which would be taken for a file name.
void refuseMalformedUri(const QString &database);

} // namespace velmarith::detail
