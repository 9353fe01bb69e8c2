#pragma once

#include <QString>

#include <map>

namespace velmarith {

/// How the person left a table's list: each field's width and place, and the sort. Kept by
/// field name, never by position, so a metadata change leaves every surviving field its own.
struct ListLayout {
    struct Column {
        int width = 0;    ///< twips
        int position = 0; ///< from the left, 0 first
    };
    std::map<QString, Column> columns; ///< by field
    QString sortField;                 ///< empty: not sorted
    bool descending = false;
};

/// The layout remembered in `file` for `table` of `database` (named without its password);
/// empty when none is. A file that cannot be read is noted on standard error and ignored.
[[nodiscard]] ListLayout readListLayout(const QString &file, const QString &database, const QString &table);

/// Remembers `layout` in `file`, in place of the table's earlier one; the file is replaced
/// whole or not at all, and a failure is noted on standard error.
void writeListLayout(const QString &file, const QString &database, const QString &table, const ListLayout &layout);

} // namespace velmarith
