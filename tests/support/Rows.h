#pragma once

#include <velmarith/ResultRows.h>

#include <QStringList>

#include <initializer_list>

namespace velmarith::test {

/// A ResultRows made in memory: column names, then the values row after row.
inline ResultRows makeRows(const QStringList &columns, std::initializer_list<QStringList> rows)
{
    ResultRows::Builder builder(columns);
    for (const QStringList &row : rows) {
        for (const QString &value : row)
            builder.addCell(value.toStdString());
    }
    return builder.finish();
}

} // namespace velmarith::test
