#include "data/KeywordCondition.h"

#include <velmarith/SqlText.h>

#include "data/SqlFlavour.h"

namespace velmarith::detail {
namespace {

// The like condition: the keyword's quotes are doubled and, only when it holds a wildcard or a
// backslash, "%", "_" and the backslash are escaped under an explicit escape clause (PostgreSQL
// would otherwise take a backslash as its escape), so a keyword without them gives exactly the
// plain condition.
QString likeCondition(const QString &term, const QString &keyword)
{
    const bool needsEscape = keyword.contains(u'%') || keyword.contains(u'_') || keyword.contains(u'\\');
    QString pattern = keyword;
    if (needsEscape) {
        pattern.replace(u'\\', QStringLiteral("\\\\"));
        pattern.replace(u'%', QStringLiteral("\\%"));
        pattern.replace(u'_', QStringLiteral("\\_"));
    }
    QString condition = term + QStringLiteral(" like (") + sqlString(u'%' + pattern + u'%') + u')';
    if (needsEscape)
        condition += QStringLiteral(" escape '\\'");
    return condition;
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// MariaDB's collations fold the case of every letter and most accents, and none folds ASCII
// alone; a regular expression over the binary collation does: [aA] for a letter, and every
// other character stands for itself.
QString regexpCondition(const QString &term, const QString &keyword)
{
    QString pattern;
    for (const QChar character : keyword) {
        const char16_t c = character.unicode();
        if (isAsciiLetter(c))
            pattern += QStringLiteral("[%1%2]").arg(character.toLower(), character.toUpper());
        else if (c < 0x20 || c == 0x7f)
            pattern += QStringLiteral("\\x{%1}").arg(int(c), 0, 16);
        else if (c < 0x80 && !character.isDigit())
            pattern += u'\\' + character; // punctuation and the blank: a backslash makes them plain
        else
            pattern += character;
    }
    return QStringLiteral("cast((%1) as char) collate utf8mb4_bin regexp %2").arg(term, sqlString(pattern));
}

} // namespace

QString keywordCondition(const QString &database, const QString &term, const QString &keyword)
{
    return flavourOf(database) == SqlFlavour::MariaDb ? regexpCondition(term, keyword) : likeCondition(term, keyword);
}

bool keywordIgnoresAsciiCase(const QString &database)
{
    return flavourOf(database) != SqlFlavour::Postgres;
}

} // namespace velmarith::detail
