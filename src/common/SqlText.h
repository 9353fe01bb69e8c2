#pragma once

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

} // namespace velmarith
