// No text the library makes of a database URI shows the URI's password: the URI as shown, the
// refusal of a URI written wrong, and a driver's message quoting any stretch of it that holds
// the password. The input chooses the scheme (in any letter case), the slashes after it, the
// user, the password and what follows the host, or an ODBC connection string's password key and
// whether it is braced.
#include "Property.h"

#include "data/DatabaseNames.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include <QStringList>

#include <array>
#include <cstdint>

using namespace velmarith;

namespace {

struct Generated {
    QString uri;
    qsizetype passwordStart;
};

// An ODBC connection string: its password in PWD= or Password=, plain or in braces.
Generated odbcStringOf(uint8_t choice, const QString &user, const QString &password, const QString &rest)
{
    const QString key = choice & 8 ? QStringLiteral("Password") : choice & 16 ? QStringLiteral("pwd") : QStringLiteral("PWD");
    const bool braced = choice & 32;
    const QString head = QStringLiteral("odbc:Driver={PostgreSQL Unicode};UID=") + user + u';' + key + u'=' + (braced ? QStringLiteral("{") : QString());
    return {head + password + (braced ? QStringLiteral("};") : QStringLiteral(";")) + rest, head.size()};
}

// scheme + ":" + slashes + user + ":" + password + "@" + rest, or an ODBC connection string
Generated uriOf(uint8_t choice, const QString &user, const QString &password, const QString &rest)
{
    if (choice % 6 == 5)
        return odbcStringOf(choice, user, password, rest);
    static const std::array<QString, 5> schemes{QStringLiteral("postgresql"), QStringLiteral("postgres"),
                                                QStringLiteral("mariadb"), QStringLiteral("mysql"),
                                                QStringLiteral("postgresq")};
    QString scheme = schemes[choice % schemes.size()];
    for (qsizetype i = 0; i < scheme.size(); ++i) {
        if (choice & (8 << (i % 5)))
            scheme[i] = scheme[i].toUpper();
    }
    const QString head = scheme + u':' + QString((choice >> 3) % 4, u'/') + user + u':';
    return {head + password + u'@' + rest, head.size()};
}

// What the library could print of a database: each text a person or a log may see.
QStringList textsShownOf(const QString &uri, qsizetype quoteStart, qsizetype quoteEnd)
{
    QStringList shown{DataBridge::withoutPassword(uri), detail::hidePasswords(uri, uri),
                      detail::hidePasswords(QStringLiteral("invalid token: \"%1\"").arg(uri.mid(quoteStart, quoteEnd - quoteStart)), uri)};
    try {
        detail::refuseMalformedUri(uri);
    } catch (const Error &error) {
        shown.append(error.message());
    }
    return shown;
}

// A password as a URI's user part carries it: unreserved characters, sub-delimiters and
// percent-encoded octets, never the signs that end the part (nor those that end an ODBC value).
bool isUserPartPassword(const QString &password)
{
    if (password.isEmpty())
        return false;
    for (const QChar c : password) {
        if (c.isSpace() || QStringLiteral("/@:?#[]\\;{}").contains(c) || c.unicode() < 0x20)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const QStringList parts = fuzz::textOf(data + 3, size - 3).split(u'\n');
    if (parts.size() < 3)
        return 0;
    const QString &user = parts[0];
    const QString &password = parts[1];
    const QString rest = parts.mid(2).join(u'\n');
    if (!isUserPartPassword(password) || user.contains(u'/') || user.contains(u'@') || user.contains(u':'))
        return 0;
    const Generated generated = uriOf(data[0], user, password, rest);
    // The quoted stretch holds the whole password, with some of what stands around it.
    const qsizetype quoteStart = generated.passwordStart - std::min<qsizetype>(data[1], generated.passwordStart);
    const qsizetype quoteEnd = std::min(generated.uri.size(), generated.passwordStart + password.size() + data[2]);

    // A text that would show the password's letters whatever the password is (they are part of
    // the message, the user or the host) proves nothing; the same URI with another password tells.
    const QString other = QStringLiteral("Zq7~Zq7");
    const Generated control = uriOf(data[0], user, other, rest);
    const QStringList shownAnyway =
        textsShownOf(control.uri, quoteStart, quoteEnd - password.size() + other.size());
    const QString decoded = QString::fromUtf8(QByteArray::fromPercentEncoding(password.toUtf8()));
    for (const QString &text : textsShownOf(generated.uri, quoteStart, quoteEnd)) {
        for (const QString &secret : {password, decoded}) {
            if (secret.size() < 2 || QStringLiteral("***").contains(secret) ||
                std::any_of(shownAnyway.begin(), shownAnyway.end(), [&](const QString &t) { return t.contains(secret); }))
                continue;
            fuzz::require(!text.contains(secret), "no text shown of a database holds its password", generated.uri + u'\n' + text);
        }
    }
    return 0;
}
