#include "data/ValueRefusal.h"

namespace velmarith::detail {

QString messageOf(const ValueRefusal &refusal)
{
    const QString field = refusal.column.isEmpty() ? QStringLiteral("内容") : u'[' + refusal.column + QStringLiteral("]的内容");
    const QString shown = refusal.value.isEmpty() ? field : field + u'[' + refusal.value + u']';
    switch (refusal.kind) {
    case ValueRefusal::Kind::TooLong:
        return refusal.limit > 0 ? QStringLiteral("%1太长：最多只能有 %2 个字符，没有保存！").arg(field).arg(refusal.limit)
                                 : field + QStringLiteral("太长，没有保存！");
    case ValueRefusal::Kind::OutOfRange: return shown + QStringLiteral("超出了能保存的范围，没有保存！");
    case ValueRefusal::Kind::NotANumber: return shown + QStringLiteral("不是有效的数字，没有保存！");
    case ValueRefusal::Kind::NotADate: return shown + QStringLiteral("不是有效的日期或时间，没有保存！");
    case ValueRefusal::Kind::NotAccepted: return shown + QStringLiteral("不能照原样保存，没有保存！");
    case ValueRefusal::Kind::Unstorable:
        return refusal.charset.isEmpty()
                   ? QStringLiteral("%1中的字符“%2”无法保存，没有保存！").arg(field, refusal.character)
                   : QStringLiteral("%1中的字符“%2”无法保存（字符集 %3 中没有这个字符），没有保存！").arg(field, refusal.character, refusal.charset);
    }
    return field;
}

StatementFailure failureOf(const ValueRefusal &refusal, const QString &databaseText)
{
    return StatementFailure{databaseText, messageOf(refusal), 1};
}

QString firstCharacterOf(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return text.isEmpty() ? QString() : text.left(text.front().isHighSurrogate() ? 2 : 1);
}

} // namespace velmarith::detail
