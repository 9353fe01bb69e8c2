#include <velmarith/SqlText.h>

#include <QSet>
#include <QStringList>

namespace velmarith {
namespace {

// SQLite's keywords and PostgreSQL's reserved words: a name spelled like one is quoted, since
// either database may read it as the word.
const QSet<QString> &keywords()
{
    static const QSet<QString> words = [] {
        const QStringList list = QStringLiteral(
            "ABORT ACTION ADD AFTER ALL ALTER ALWAYS ANALYZE AND AS ASC ATTACH AUTOINCREMENT BEFORE BEGIN BETWEEN "
            "BY CASCADE CASE CAST CHECK COLLATE COLUMN COMMIT CONFLICT CONSTRAINT CREATE CROSS CURRENT "
            "CURRENT_DATE CURRENT_TIME CURRENT_TIMESTAMP DATABASE DEFAULT DEFERRABLE DEFERRED DELETE DESC DETACH "
            "DISTINCT DO DROP EACH ELSE END ESCAPE EXCEPT EXCLUDE EXCLUSIVE EXISTS EXPLAIN FAIL FILTER FIRST "
            "FOLLOWING FOR FOREIGN FROM FULL GENERATED GLOB GROUP GROUPS HAVING IF IGNORE IMMEDIATE IN INDEX "
            "INDEXED INITIALLY INNER INSERT INSTEAD INTERSECT INTO IS ISNULL JOIN KEY LAST LEFT LIKE LIMIT MATCH "
            "MATERIALIZED NATURAL NO NOT NOTHING NOTNULL NULL NULLS OF OFFSET ON OR ORDER OTHERS OUTER OVER "
            "PARTITION PLAN PRAGMA PRECEDING PRIMARY QUERY RAISE RANGE RECURSIVE REFERENCES REGEXP REINDEX "
            "RELEASE RENAME REPLACE RESTRICT RETURNING RIGHT ROLLBACK ROW ROWS SAVEPOINT SELECT SET TABLE TEMP "
            "TEMPORARY THEN TIES TO TRANSACTION TRIGGER UNBOUNDED UNION UNIQUE UPDATE USING VACUUM VALUES VIEW "
            "VIRTUAL WHEN WHERE WINDOW WITH WITHOUT "
            "ANALYSE ANY ARRAY ASYMMETRIC BOTH CURRENT_CATALOG CURRENT_ROLE CURRENT_SCHEMA CURRENT_USER FALSE "
            "FETCH GRANT LATERAL LEADING LOCALTIME LOCALTIMESTAMP ONLY PLACING SESSION_USER SOME SYMMETRIC "
            "TRAILING TRUE USER VARIADIC")
                                     .split(u' ', Qt::SkipEmptyParts);
        return QSet<QString>(list.begin(), list.end());
    }();
    return words;
}

bool isPlainIdentifier(const QString &name)
{
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_'))
        return false;
    for (const QChar c : name) {
        if (!(c.isLetter() || c == u'_' || (c >= u'0' && c <= u'9')))
            return false;
    }
    return !keywords().contains(name.toUpper());
}

// Whether the whole name is one quoted run: inside, the closing character appears only doubled
// ("a""b", `a``b`), or not at all for [...].
bool isQuotedWhole(const QString &name)
{
    if (name.size() < 2)
        return false;
    const QChar opening = name.front();
    const QChar closing = opening == u'[' ? u']' : opening;
    if ((opening != u'"' && opening != u'`' && opening != u'[') || name.back() != closing)
        return false;
    const QStringView inside = QStringView(name).mid(1, name.size() - 2);
    if (opening == u'[')
        return !inside.contains(u']');
    for (qsizetype i = 0; i < inside.size(); ++i) {
        if (inside[i] != closing)
            continue;
        if (i + 1 >= inside.size() || inside[i + 1] != closing)
            return false;
        ++i;
    }
    return true;
}

} // namespace

QString sqlName(const QString &name)
{
    if (isPlainIdentifier(name) || isQuotedWhole(name))
        return name;
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace velmarith
