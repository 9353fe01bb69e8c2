#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmarith::detail {

/// A column as the database's catalog describes it.
struct SchemaColumn {
    QString name;
    bool notNull = false;
    bool hasDefault = false;
    std::optional<QString> textDefault{}; ///< the default, when it is a text literal
    bool assignedByDatabase = false;      ///< an identity, AUTO_INCREMENT, SQLite's integer primary key
    QString comment{};
    QStringList allowedValues{}; ///< the values of CHECK (c IN (…)) or ENUM(…)
};

/// A foreign key of one column.
struct ForeignKey {
    QString column;
    QString referencedTable; ///< as a statement names it
    QString referencedColumn;
};

/// What the catalog says of a table: its columns in table order and its keys.
struct TableSchema {
    std::vector<SchemaColumn> columns;
    QStringList primaryKey;    ///< in key order
    QStringList uniqueColumns; ///< unique by themselves: a one-column unique constraint or index
    std::vector<ForeignKey> foreignKeys;

    /// Records a value list for the column of that name, in either letter case.
    void allowOnly(const QString &name, const QStringList &values)
    {
        for (SchemaColumn &column : columns) {
            if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                column.allowedValues = values;
        }
    }

    [[nodiscard]] const SchemaColumn *column(const QString &name) const
    {
        for (const SchemaColumn &column : columns) {
            if (column.name == name)
                return &column;
        }
        return nullptr;
    }
};

} // namespace velmarith::detail
