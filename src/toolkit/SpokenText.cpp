#include "toolkit/SpokenText.h"

#include <QRegularExpression>

namespace velmarith::toolkit {

QString spokenText(const QString &caption)
{
    // The access key in brackets after a Chinese caption is read out by the screen reader's
    // own shortcut announcement; in the name it would be said twice.
    static const QRegularExpression accessKeyInBrackets(QStringLiteral("[(（]&[^&][)）]"));
    QString text = caption;
    text.remove(accessKeyInBrackets);
    QString spoken;
    spoken.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i; // "&x" says x, "&&" says &
        spoken.append(text[i]);
    }
    spoken = spoken.trimmed();
    while (spoken.endsWith(u':') || spoken.endsWith(u'：'))
        spoken.chop(1);
    return spoken.trimmed();
}

} // namespace velmarith::toolkit
