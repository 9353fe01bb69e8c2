#include "common/ComModule.h"

#include "common/Feedback.h"

#include <array>
#include <cmath>

namespace velmarith::ComModule {
namespace {

constexpr qsizetype kMaxDigits = 10;

double digitValue(QStringView digits)
{
    double value = 0.0;
    for (const QChar c : digits)
        value = value * 10.0 + (c.unicode() - u'0');
    return value;
}

struct BracketPair {
    QChar opening;
    QChar closing;
};
constexpr std::array<BracketPair, 5> kBrackets{{
    {u'(', u')'},
    {u'（', u'）'},
    {u'[', u']'},
    {u'<', u'>'},
    {u'{', u'}'},
}};

} // namespace

QString NextCode(const QString &text, int16_t width)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return text;
    }
    const qsizetype digits = width == 0 ? text.size() : width;
    // The largest number of that width; a negative width has none, so nothing can be increased.
    const double limit = digits > 0 ? std::pow(10.0, double(std::min(digits, kMaxDigits))) - 1.0 : 0.0;
    const double value = digitValue(text);
    if (limit <= value) {
        Feedback::current().beep();
        return text;
    }
    const QString next = QString::number(static_cast<qint64>(value) + 1);
    const qsizetype padding = std::clamp<qsizetype>(digits - next.size(), 0, kMaxDigits);
    return QString(padding, u'0') + next;
}

QString BracketText(const QString &text, int16_t mode)
{
    if (mode != -1 && mode != 0)
        return {};
    for (const BracketPair &pair : kBrackets) {
        const qsizetype opening = text.lastIndexOf(pair.opening);
        if (opening < 0)
            continue;
        if (mode == -1)
            return text.left(opening);
        const QString inside = text.mid(opening + 1);
        const qsizetype closing = inside.lastIndexOf(pair.closing);
        return closing < 0 ? inside : inside.left(closing);
    }
    return text;
}

} // namespace velmarith::ComModule
