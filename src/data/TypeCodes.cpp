#include "data/TypeCodes.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <optional>

namespace velmarith {
namespace {

struct Declaration {
    QString name;                  // upper case, inner blanks folded
    std::optional<int32_t> length; // first number in brackets
};

Declaration parse(QStringView declaration)
{
    const QString upper = declaration.toString().toUpper();
    const qsizetype bracket = upper.indexOf(u'(');
    Declaration parsed{(bracket < 0 ? upper : upper.left(bracket)).simplified(), std::nullopt};
    if (bracket >= 0) {
        bool ok = false;
        const int32_t length = upper.mid(bracket + 1).section(u',', 0, 0).remove(u')').trimmed().toInt(&ok);
        if (ok)
            parsed.length = length;
    }
    return parsed;
}

bool isOneOf(const QString &name, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *candidate : names) {
        if (name == QStringView(candidate))
            return true;
    }
    return false;
}

// SQLite's rules for a declared type it does not know by name.
ColumnType byAffinity(const QString &name)
{
    if (name.contains(u"INT"))
        return {TypeCode::Integer, 4};
    if (name.contains(u"CHAR") || name.contains(u"CLOB") || name.contains(u"TEXT"))
        return {TypeCode::LongVarChar, kUnlimitedSize};
    if (name.contains(u"BLOB"))
        return {TypeCode::VarBinary, kUnlimitedSize};
    if (name.contains(u"REAL") || name.contains(u"FLOA") || name.contains(u"DOUB"))
        return {TypeCode::Numeric, 15};
    return {TypeCode::Numeric, 18};
}

} // namespace

ColumnType columnTypeFromDeclaration(QStringView declaration)
{
    const Declaration d = parse(declaration);
    const QString &n = d.name;
    if (isOneOf(n, {u"CHAR", u"CHARACTER"}))
        return {TypeCode::Char, d.length.value_or(1)};
    if (isOneOf(n, {u"VARCHAR", u"CHARACTER VARYING", u"VARYING CHARACTER"}))
        return d.length ? ColumnType{TypeCode::VarChar, *d.length} : ColumnType{TypeCode::LongVarChar, kUnlimitedSize};
    if (isOneOf(n, {u"NCHAR", u"NATIVE CHARACTER", u"NATIONAL CHARACTER"}))
        return {TypeCode::WChar, d.length.value_or(1)};
    if (isOneOf(n, {u"NVARCHAR", u"NATIONAL VARCHAR", u"NATIONAL CHARACTER VARYING"}))
        return {TypeCode::VarWChar, d.length.value_or(kUnlimitedSize)};
    if (isOneOf(n, {u"TEXT", u"CLOB"}))
        return {TypeCode::LongVarChar, kUnlimitedSize};
    if (n == u"SMALLINT")
        return {TypeCode::SmallInt, 2};
    if (isOneOf(n, {u"INT", u"INTEGER"}))
        return {TypeCode::Integer, 4};
    if (n == u"BIGINT")
        return {TypeCode::BigInt, 8};
    if (isOneOf(n, {u"DECIMAL", u"NUMERIC"}))
        return {TypeCode::Numeric, d.length.value_or(18)};
    if (isOneOf(n, {u"REAL", u"FLOAT", u"DOUBLE", u"DOUBLE PRECISION"}))
        return {TypeCode::Numeric, 15};
    if (isOneOf(n, {u"MONEY", u"CURRENCY"}))
        return {TypeCode::Currency, 8};
    if (isOneOf(n, {u"DATE", u"TIME", u"DATETIME", u"TIMESTAMP"}))
        return {TypeCode::DBTimeStamp, 16};
    if (isOneOf(n, {u"BLOB", u"BINARY", u"VARBINARY"}))
        return {TypeCode::VarBinary, d.length.value_or(kUnlimitedSize)};
    // A one-character flag: the maintenance window gives it a check box that writes '0'/'1'.
    if (isOneOf(n, {u"BOOLEAN", u"BOOL", u"BIT"}))
        return {TypeCode::Char, 1};
    return byAffinity(n);
}

ColumnType columnTypeFromStorage(int storageClass)
{
    switch (storageClass) {
    case SQLITE_INTEGER:
        return {TypeCode::Integer, 255};
    case SQLITE_FLOAT:
        return {TypeCode::Numeric, 255};
    default:
        return {TypeCode::VarChar, 255};
    }
}

} // namespace velmarith
