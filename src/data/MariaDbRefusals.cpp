#include "data/MariaDbRefusals.h"

#include "data/AssignedValues.h"

#include <velmarith/SqlText.h>

#include <QRegularExpression>

namespace velmarith::detail {
namespace {

constexpr unsigned kDataTooLong = 1406;     // ER_DATA_TOO_LONG
constexpr unsigned kOutOfRange = 1264;      // ER_WARN_DATA_OUT_OF_RANGE
constexpr unsigned kDataTruncated = 1265;   // WARN_DATA_TRUNCATED
constexpr unsigned kWrongValue = 1292;      // ER_TRUNCATED_WRONG_VALUE
constexpr unsigned kWrongFieldValue = 1366; // ER_TRUNCATED_WRONG_VALUE_FOR_FIELD

// The column of "… for column 'c' at row 1" or "… for column `db`.`t`.`c` at row 1".
QString columnNamed(const QString &serverText)
{
    static const QRegularExpression column(QStringLiteral("for column (.*) at row \\d+$"));
    const QString named = column.match(serverText).captured(1);
    const QChar quote = named.isEmpty() ? QChar() : named.back();
    if (named.size() < 2 || (quote != u'`' && quote != u'\''))
        return named;
    const qsizetype opening = named.lastIndexOf(quote, named.size() - 2);
    return named.mid(opening + 1, named.size() - opening - 2);
}

// The bytes of "Incorrect string value: '\xE4\xB8\xAD…'".
QByteArray quotedBytes(const QString &value)
{
    static const QRegularExpression escaped(QStringLiteral("\\\\x([0-9A-Fa-f]{2})"));
    QByteArray bytes;
    for (qsizetype at = 0; at < value.size();) {
        const QRegularExpressionMatch match = escaped.match(value, at, QRegularExpression::NormalMatch,
                                                            QRegularExpression::AnchorAtOffsetMatchOption);
        if (match.hasMatch()) {
            bytes.append(char(match.captured(1).toInt(nullptr, 16)));
            at = match.capturedEnd();
        } else {
            bytes.append(value.mid(at, 1).toUtf8());
            ++at;
        }
    }
    return bytes;
}

// "Incorrect date value: 'v'", "Incorrect integer value: 'v'", "Truncated incorrect DOUBLE value: 'v'".
ValueRefusal wrongValue(const QString &serverText)
{
    static const QRegularExpression wrong(QStringLiteral("^(?:Truncated )?[Ii]ncorrect (\\w+) value: '(.*)'(?: for column|$)"));
    const QRegularExpressionMatch match = wrong.match(serverText);
    const QString type = match.captured(1).toLower();
    const QString value = match.captured(2);
    if (type == u"string") {
        return {.kind = ValueRefusal::Kind::Unstorable, .character = firstCharacterOf(quotedBytes(value))};
    }
    const bool time = type == u"date" || type == u"datetime" || type == u"time" || type == u"timestamp" || type == u"year";
    return {.kind = time ? ValueRefusal::Kind::NotADate : ValueRefusal::Kind::NotANumber, .value = value};
}

} // namespace

std::optional<ValueRefusal> mariaDbValueRefusal(unsigned error, const QString &serverText, const QString &statement)
{
    std::optional<ValueRefusal> refusal;
    switch (error) {
    case kDataTooLong: refusal = ValueRefusal{.kind = ValueRefusal::Kind::TooLong}; break;
    case kOutOfRange: refusal = ValueRefusal{.kind = ValueRefusal::Kind::OutOfRange}; break;
    case kDataTruncated: refusal = ValueRefusal{.kind = ValueRefusal::Kind::NotAccepted}; break;
    case kWrongValue:
    case kWrongFieldValue: refusal = wrongValue(serverText); break;
    default: return std::nullopt;
    }
    refusal->column = columnNamed(serverText);
    if (refusal->value.isEmpty() && refusal->kind != ValueRefusal::Kind::Unstorable && !refusal->column.isEmpty())
        refusal->value = valueGiven(statement, refusal->column);
    return refusal;
}

QString mariaDbTextColumnsQuestion(const QString &table, const QString &column)
{
    return QStringLiteral("select column_name, character_set_name, character_maximum_length "
                          "from information_schema.columns where table_schema = database() and "
                          "table_name = %1 and character_set_name is not null%2")
        .arg(sqlString(table), column.isEmpty() ? QString() : QStringLiteral(" and column_name = ") + sqlString(column));
}

QString mariaDbColumnTypeQuestion(const QString &table, const QString &column)
{
    return QStringLiteral("select column_type from information_schema.columns where table_schema = database() and "
                          "table_name = %1 and column_name = %2")
        .arg(sqlString(table), sqlString(column));
}

void completeMariaDbRefusal(ValueRefusal &refusal, const QString &statement,
                            const std::function<std::vector<QStringList>(const QString &question)> &rowsOf)
{
    const std::optional<Assignments> assignments = assignmentsOf(statement);
    if (!assignments || refusal.column.isEmpty() ||
        (refusal.kind != ValueRefusal::Kind::TooLong && refusal.kind != ValueRefusal::Kind::Unstorable))
        return;
    const std::vector<QStringList> column = rowsOf(mariaDbTextColumnsQuestion(assignments->table, refusal.column));
    if (column.empty())
        return;
    if (refusal.kind == ValueRefusal::Kind::TooLong)
        refusal.limit = column.front().value(2).toInt();
    else
        refusal.charset = column.front().value(1);
}

} // namespace velmarith::detail
