#pragma once

#include <velmarith/Export.h>

#include <QString>

namespace velmarith {

/// A value as an SQL string literal, its single quotes doubled: O'Brien → 'O''Brien'.
/// Every value that goes between quotes in a statement goes through here.
[[nodiscard]] inline QString sqlString(const QString &value)
{
    QString literal = value;
    literal.replace(u'\'', QStringLiteral("''"));
    return u'\'' + literal + u'\'';
}

/// A table or field name as it goes into a statement. A plain identifier (letters, digits and
/// underscores, not starting with a digit, not a keyword) and a name already quoted as a whole
/// ("…", […] or `…`) stay as they are; any other name is put between double quotes with its
/// double quotes doubled, so `W as a --` names a table and cannot end the statement early.
[[nodiscard]] VELMARITH_EXPORT QString sqlName(const QString &name);

} // namespace velmarith
