#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Lets GoogleTest show Qt texts readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '[' << texts.join(QStringLiteral(", ")).toStdString() << ']';
}
