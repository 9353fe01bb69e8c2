#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace velmarith {

/// A list as the person sees it: its shown columns from the left, each with its caption and
/// whether a workbook keeps its values as text (codes, keys and every text column), and its
/// rows in the order shown.
struct ShownList {
    QString title; ///< the window's caption, for a printed page's header
    QStringList captions;
    std::vector<bool> textColumns;
    int rowCount = 0;
    std::function<QString(int row, int column)> cell; ///< 0-based, in the order shown
};

/// Writes the list to `path` as CSV (UTF-8 with a BOM), an Excel workbook (.xlsx) or its
/// printed pages (.pdf), by the name's extension. Raises Error with the reason in Chinese when it cannot (another
/// extension, a folder that cannot be written); the file is then left as it was.
void exportList(const ShownList &list, const QString &path);

} // namespace velmarith
