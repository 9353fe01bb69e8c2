#include "data/PostgresRefusals.h"

#include "data/AssignedValues.h"

#include <velmarith/SqlText.h>

#include <QRegularExpression>

#include <cmath>

namespace velmarith::detail {
namespace {

// What the message says: the kind of refusal, the type it names and the value it quotes.
struct Reading {
    ValueRefusal refusal;
    QString type;
};

QString captured(const QString &pattern, const QString &text, int group = 1)
{
    return QRegularExpression(pattern).match(text).captured(group);
}

bool isTimeType(const QString &type)
{
    return type.startsWith(u"date") || type.startsWith(u"time") || type.startsWith(u"interval");
}

bool isNumberType(const QString &type)
{
    static const QStringList numbers{QStringLiteral("smallint"), QStringLiteral("integer"), QStringLiteral("bigint"),
                                     QStringLiteral("numeric"),  QStringLiteral("real"),    QStringLiteral("double precision"),
                                     QStringLiteral("money")};
    return std::any_of(numbers.begin(), numbers.end(), [&](const QString &number) { return type.startsWith(number); });
}

// The bytes of "character with byte sequence 0xf0 0xa0 0x80 0x80 in encoding …".
QByteArray listedBytes(const QString &text)
{
    QByteArray bytes;
    static const QRegularExpression byte(QStringLiteral("0x([0-9a-fA-F]{2})"));
    for (const QRegularExpressionMatch &match : byte.globalMatch(text.section(QLatin1String(" in encoding"), 0, 0)))
        bytes.append(char(match.captured(1).toInt(nullptr, 16)));
    return bytes;
}

std::optional<Reading> readingOf(const QString &sqlState, const QString &text)
{
    using Kind = ValueRefusal::Kind;
    if (sqlState == u"22001") {
        Reading reading{{.kind = Kind::TooLong}, captured(QStringLiteral("for type (.+)$"), text)};
        reading.refusal.limit = captured(QStringLiteral("\\((\\d+)\\)"), reading.type).toInt();
        return reading;
    }
    if (sqlState == u"22003") {
        if (text.startsWith(u"value \""))
            return Reading{{.kind = Kind::OutOfRange, .value = captured(QStringLiteral("^value \"(.*)\" is out of range"), text)},
                           captured(QStringLiteral("for type (.+)$"), text)};
        const QString type = text.startsWith(u"numeric") ? QStringLiteral("numeric") : captured(QStringLiteral("^(\\w+) out of range"), text);
        return Reading{{.kind = Kind::OutOfRange}, type};
    }
    if (sqlState == u"22P02" || sqlState == u"22007") {
        const QString type = captured(QStringLiteral("for type (.+?): \""), text);
        const Kind kind = isTimeType(type) ? Kind::NotADate : isNumberType(type) ? Kind::NotANumber : Kind::NotAccepted;
        return Reading{{.kind = kind, .value = captured(QStringLiteral(": \"(.*)\"$"), text)}, type};
    }
    if (sqlState == u"22008")
        return Reading{{.kind = Kind::NotADate, .value = captured(QStringLiteral(": \"(.*)\"$"), text)}, {}};
    if (sqlState == u"22P05")
        return Reading{{.kind = Kind::Unstorable, .character = firstCharacterOf(listedBytes(text)),
                        .charset = captured(QStringLiteral("no equivalent in encoding \"(\\w+)\""), text)},
                       {}};
    return std::nullopt;
}

// The index into the text of the server's position, which counts characters from 1.
qsizetype indexOfCharacter(const QString &text, int position)
{
    qsizetype index = 0;
    for (int counted = 1; counted < position && index < text.size(); ++counted)
        index += text[index].isHighSurrogate() ? 2 : 1;
    return index;
}

// Whether a value fits a column of the catalog's type, as far as its kind of refusal tells.
bool fits(const AssignedValue &assigned, const QString &type, const ValueRefusal &refusal)
{
    if (refusal.kind == ValueRefusal::Kind::TooLong)
        return assigned.value.toUcs4().size() <= refusal.limit;
    bool isNumber = false;
    const double number = assigned.value.trimmed().toDouble(&isNumber);
    if (!isNumber)
        return true;
    if (type == u"smallint")
        return std::abs(number) <= 32767;
    if (type == u"integer")
        return std::abs(number) <= 2147483647.0;
    if (type.startsWith(u"numeric(")) {
        const int precision = captured(QStringLiteral("\\((\\d+)"), type).toInt();
        const int scale = captured(QStringLiteral(",(\\d+)\\)"), type).toInt();
        return std::abs(number) < std::pow(10.0, precision - scale);
    }
    return std::abs(number) <= 9223372036854775807.0;
}

// The first value given a column of the named type that does not fit it, else the first given
// such a column at all.
const AssignedValue *valueOfType(const Assignments &assignments, const std::vector<TypedColumn> &columns,
                                 const Reading &reading)
{
    const AssignedValue *first = nullptr;
    for (const AssignedValue &assigned : assignments.values) {
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const TypedColumn &typed) {
            return typed.name.compare(assigned.column, Qt::CaseInsensitive) == 0 && (typed.type == reading.type || typed.type.startsWith(reading.type + u'('));
        });
        if (column == columns.end())
            continue;
        if (!fits(assigned, column->type, reading.refusal))
            return &assigned;
        if (!first)
            first = &assigned;
    }
    return first;
}

const AssignedValue *concernedValue(const Assignments &assignments, const Reading &reading, const QString &statement, int position,
                                    const std::function<std::vector<TypedColumn>(const QString &)> &columnsOf)
{
    const ValueRefusal &refusal = reading.refusal;
    const qsizetype at = indexOfCharacter(statement, position);
    for (const AssignedValue &assigned : assignments.values) {
        if (position > 0 && assigned.begin <= at && at < assigned.end)
            return &assigned;
        if (position <= 0 && !refusal.value.isEmpty() && assigned.value == refusal.value)
            return &assigned;
        if (refusal.kind == ValueRefusal::Kind::Unstorable && !refusal.character.isEmpty() && assigned.value.contains(refusal.character))
            return &assigned;
    }
    if (reading.type.isEmpty() || position > 0)
        return nullptr;
    return valueOfType(assignments, columnsOf(assignments.tableAsWritten), reading);
}

} // namespace

std::optional<ValueRefusal> postgresValueRefusal(const QString &sqlState, const QString &serverText, int position, const QString &statement,
                                                 const std::function<std::vector<TypedColumn>(const QString &)> &columnsOf)
{
    std::optional<Reading> reading = readingOf(sqlState, serverText);
    if (!reading)
        return std::nullopt;
    ValueRefusal &refusal = reading->refusal;
    if (const std::optional<Assignments> assignments = assignmentsOf(statement)) {
        if (const AssignedValue *concerned = concernedValue(*assignments, *reading, statement, position, columnsOf)) {
            refusal.column = concerned->column;
            if (refusal.value.isEmpty() && refusal.kind != ValueRefusal::Kind::TooLong)
                refusal.value = concerned->value;
        }
    }
    return refusal;
}

QString postgresColumnTypesQuestion(const QString &table)
{
    return QStringLiteral("select attname, format_type(atttypid, atttypmod) from pg_attribute "
                          "where attrelid = to_regclass(%1) and attnum > 0 and not attisdropped")
        .arg(sqlString(table));
}

} // namespace velmarith::detail
