// How a configured database is named and shown: its passwords, and the schemes served.
#include "data/DatabaseNames.h"

#include "data/Connection.h"
#include "data/SqlFlavour.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include <QRegularExpression>

#include <algorithm>

namespace velmarith {
namespace detail {

namespace {

// An ODBC connection string's PWD= or Password= value, up to its ";" or in its braces: the
// braced value as a whole and also inside its braces, so a message quoting it without its
// closing brace hides it too.
std::vector<TextSpan> odbcPasswordsIn(const QString &database)
{
    std::vector<TextSpan> passwords;
    static const QRegularExpression password(
        QStringLiteral("(?:^odbc:|;)\\s*(?:PWD|PASSWORD)\\s*=\\s*(?:(\\{((?:[^}]|\\}\\})*)\\}?)|([^;]*))"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &match : password.globalMatch(database)) {
        for (const int value : {1, 2, 3}) {
            if (match.capturedLength(value) > 0)
                passwords.push_back({match.capturedStart(value), match.capturedLength(value)});
        }
    }
    return passwords;
}

} // namespace

std::vector<TextSpan> passwordsIn(const QString &database)
{
    if (isOdbcUri(database))
        return odbcPasswordsIn(database);
    std::vector<TextSpan> passwords;
    // user:password@ before the host, also where the slashes after the scheme are too few or too
    // many (mariadb:/u:pw@host); as libpq reads a URI, its user part ends at the first "/".
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:/*"));
    if (const QRegularExpressionMatch match = scheme.match(database); match.hasMatch()) {
        const qsizetype authority = match.capturedEnd();
        qsizetype authorityEnd = database.indexOf(u'/', authority);
        if (authorityEnd < 0)
            authorityEnd = database.size();
        // libpq ends the user part at its first "@", a URI parser at its last: both readings.
        const qsizetype colon = database.indexOf(u':', authority);
        for (const qsizetype at : {database.indexOf(u'@', authority), database.lastIndexOf(u'@', authorityEnd - 1)}) {
            if (colon >= 0 && colon < at && at < authorityEnd)
                passwords.push_back({colon + 1, at - colon - 1});
        }
    }
    static const QRegularExpression parameter(QStringLiteral("password=([^&\\s]*)"), QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &match : parameter.globalMatch(database))
        passwords.push_back({match.capturedStart(1), match.capturedLength(1)});
    // In order, and the longer first where two start together, so replacing a span also hides
    // the shorter reading of the same password.
    std::sort(passwords.begin(), passwords.end(), [](const TextSpan &a, const TextSpan &b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    return passwords;
}

QString hidePasswords(QString text, const QString &database)
{
    for (const TextSpan &span : passwordsIn(database)) {
        const QString written = database.mid(span.start, span.length);
        for (const QString &password : {written, QString::fromUtf8(QByteArray::fromPercentEncoding(written.toUtf8()))}) {
            if (!password.isEmpty())
                text.replace(password, QStringLiteral("***"));
        }
    }
    return text;
}

void refuseMalformedUri(const QString &database)
{
    if (DataBridge::isServerDatabase(database) || database.startsWith(QLatin1String("file:")))
        return;
    // A server's scheme in another letter case, or with a slash too few, is a URI written wrong,
    // not a file name to create.
    static const QRegularExpression serverScheme(QStringLiteral("^(postgresql|postgres|mariadb|mysql):"),
                                                 QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = serverScheme.match(database); match.hasMatch())
        throw Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：服务器的 URI 写法不对，应以 %2:// 开头（小写字母，两条斜线）")
                                               .arg(DataBridge::withoutPassword(database), match.captured(1).toLower()));
    static const QRegularExpression odbc(QStringLiteral("^odbc:"), QRegularExpression::CaseInsensitiveOption);
    if (odbc.match(database).hasMatch())
        throw Error(ErrorNumber::Database, QStringLiteral("无法打开数据库 %1：ODBC 数据源应以小写的 odbc: 开头")
                                               .arg(DataBridge::withoutPassword(database)));
    static const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (uri.match(database).hasMatch())
        throw Error(ErrorNumber::Database,
                    QStringLiteral("无法打开数据库 %1：不认识这种 URI；服务器的 URI 以 postgresql://、postgres://、mariadb:// 或 mysql:// 开头，"
                                   "ODBC 数据源以 odbc: 开头")
                        .arg(DataBridge::withoutPassword(database)));
}

} // namespace detail

QString DataBridge::withoutPassword(const QString &database)
{
    QString shown;
    qsizetype shownUpTo = 0;
    for (const detail::TextSpan &password : detail::passwordsIn(database)) {
        if (password.start < shownUpTo)
            continue; // a shorter reading of a password already hidden
        shown += database.mid(shownUpTo, password.start - shownUpTo) + QStringLiteral("***");
        shownUpTo = password.start + password.length;
    }
    return shown + database.mid(shownUpTo);
}

} // namespace velmarith
