#include "server/Guid.h"

#include <QRegularExpression>

#include <cstring>

namespace velmarith::server {

std::optional<GUID> parseGuid(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(
        "^\\{([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{12})\\}$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    GUID guid{};
    guid.Data1 = match.captured(1).toUInt(nullptr, 16);
    guid.Data2 = static_cast<uint16_t>(match.captured(2).toUInt(nullptr, 16));
    guid.Data3 = static_cast<uint16_t>(match.captured(3).toUInt(nullptr, 16));
    const QString tail = match.captured(4) + match.captured(5);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<uint8_t>(tail.mid(2 * i, 2).toUInt(nullptr, 16));
    return guid;
}

QString guidText(const GUID &guid)
{
    QString tail;
    for (int i = 0; i < 8; ++i)
        tail += QStringLiteral("%1").arg(guid.Data4[i], 2, 16, QLatin1Char('0'));
    tail.insert(4, QLatin1Char('-'));
    return QStringLiteral("{%1-%2-%3-%4}")
        .arg(guid.Data1, 8, 16, QLatin1Char('0'))
        .arg(guid.Data2, 4, 16, QLatin1Char('0'))
        .arg(guid.Data3, 4, 16, QLatin1Char('0'))
        .arg(tail)
        .toUpper();
}

bool sameGuid(const GUID &a, const GUID &b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

} // namespace velmarith::server
