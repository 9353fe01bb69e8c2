// What MariaDB's information_schema says of a table's columns and keys.
#include "data/Catalog.h"
#include "data/CatalogText.h"

#include <velmarith/SqlText.h>

namespace velmarith::detail {

std::optional<TableSchema> describeMariaDbTable(Connection &connection, const QString &table)
{
    const QString where = QStringLiteral("table_schema = database() and table_name = %1").arg(sqlString(table));
    const ResultRows columns = askCatalog(
        connection, QStringLiteral("select column_name, is_nullable, column_default, extra, column_comment, column_type "
                                   "from information_schema.columns where %1 order by ordinal_position")
                        .arg(where));
    if (columns.Count() == 0)
        return std::nullopt;
    TableSchema schema;
    for (int row = 0; row < columns.Count(); ++row) {
        // A nullable column without a default of its own shows the default NULL.
        const QString defaultValue = columns.text(row, 2);
        const QString type = columns.text(row, 5);
        schema.columns.push_back({.name = columns.text(row, 0),
                                  .notNull = columns.text(row, 1) == u"NO",
                                  .hasDefault = !defaultValue.isEmpty() && defaultValue != u"NULL",
                                  .textDefault = textLiteral(defaultValue),
                                  .assignedByDatabase = columns.text(row, 3).contains(u"auto_increment"),
                                  .comment = columns.text(row, 4),
                                  .allowedValues = type.startsWith(u"enum(") ? literalsIn(type) : QStringList()});
    }
    const ResultRows indexes = askCatalog(
        connection, QStringLiteral("select index_name, non_unique, column_name from information_schema.statistics where %1 "
                                   "order by index_name, seq_in_index")
                        .arg(where));
    for (const auto &[row, end] : runsOf(indexes, 0)) {
        if (indexes.text(row, 0) == u"PRIMARY") {
            for (int part = row; part < end; ++part)
                schema.primaryKey.append(indexes.text(part, 2));
        }
        if (end - row == 1 && indexes.text(row, 1) == u"0")
            schema.uniqueColumns.append(indexes.text(row, 2));
    }
    const ResultRows keys = askCatalog(
        connection, QStringLiteral("select constraint_name, column_name, referenced_table_name, referenced_column_name "
                                   "from information_schema.key_column_usage where %1 and referenced_table_name is not null "
                                   "order by constraint_name, ordinal_position")
                        .arg(where));
    for (const auto &[row, end] : runsOf(keys, 0)) {
        if (end - row == 1)
            schema.foreignKeys.push_back({keys.text(row, 1), keys.text(row, 2), keys.text(row, 3)});
    }
    const ResultRows checks = askCatalog(
        connection, QStringLiteral("select check_clause from information_schema.check_constraints where constraint_schema = "
                                   "database() and table_name = %1")
                        .arg(sqlString(table)));
    for (int row = 0; row < checks.Count(); ++row) {
        if (const auto list = valueListOf(checks.text(row, 0)))
            schema.allowOnly(list->first, list->second);
    }
    return schema;
}

} // namespace velmarith::detail
