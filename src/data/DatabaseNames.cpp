// How a configured database is named and shown: its passwords, and the schemes served.
#include "data/DatabaseNames.h"

#include "data/Connection.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include <QRegularExpression>

#include <algorithm>

namespace velmarith {
namespace detail {

std::vector<TextSpan> passwordsIn(const QString &database)
{
    std::vector<TextSpan> passwords;
    // user:password@ before the host; as libpq reads a URI, its user part ends at the first "/".
    if (const qsizetype scheme = database.indexOf(QLatin1String("://")); scheme >= 0) {
        const qsizetype authority = scheme + 3;
        qsizetype authorityEnd = database.indexOf(u'/', authority);
        if (authorityEnd < 0)
            authorityEnd = database.size();
        const qsizetype at = database.lastIndexOf(u'@', authorityEnd - 1);
        const qsizetype colon = at >= authority ? database.indexOf(u':', authority) : -1;
        if (colon >= 0 && colon < at)
            passwords.push_back({colon + 1, at - colon - 1});
    }
    static const QRegularExpression parameter(QStringLiteral("password=([^&\\s]*)"), QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch &match : parameter.globalMatch(database))
        passwords.push_back({match.capturedStart(1), match.capturedLength(1)});
    std::sort(passwords.begin(), passwords.end(), [](const TextSpan &a, const TextSpan &b) { return a.start < b.start; });
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

void refuseUnknownScheme(const QString &database)
{
    static const QRegularExpression uri(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (uri.match(database).hasMatch() && !DataBridge::isServerDatabase(database) && !database.startsWith(QLatin1String("file:")))
        throw Error(ErrorNumber::Database,
                    QStringLiteral("无法打开数据库 %1：不认识这种 URI；服务器的 URI 以 postgresql://、postgres://、mariadb:// 或 mysql:// 开头")
                        .arg(DataBridge::withoutPassword(database)));
}

} // namespace detail

QString DataBridge::withoutPassword(const QString &database)
{
    QString shown = database;
    const std::vector<detail::TextSpan> passwords = detail::passwordsIn(database);
    // From the last, so the places of the earlier ones stay true.
    for (auto password = passwords.rbegin(); password != passwords.rend(); ++password)
        shown.replace(password->start, password->length, QStringLiteral("***"));
    return shown;
}

} // namespace velmarith
