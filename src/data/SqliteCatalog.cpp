// What SQLite's own tables and pragmas say of a table's columns and keys.
#include "data/Catalog.h"
#include "data/CatalogText.h"

#include <velmarith/SqlText.h>

#include <map>

namespace velmarith::detail {
namespace {

// The one column of an index, or nothing for an index of several or of an expression.
std::optional<QString> onlyColumnOf(Connection &connection, const QString &index)
{
    const ResultRows columns = askCatalog(connection, QStringLiteral("select name from pragma_index_info(%1)").arg(sqlString(index)));
    if (columns.Count() != 1 || columns.text(0, 0).isEmpty())
        return std::nullopt;
    return columns.text(0, 0);
}

} // namespace

std::optional<TableSchema> describeSqliteTable(Connection &connection, const QString &table)
{
    const QString name = sqlString(table);
    const ResultRows columns = askCatalog(
        connection, QStringLiteral("select name, type, \"notnull\", dflt_value, pk from pragma_table_info(%1)").arg(name));
    if (columns.Count() == 0)
        return std::nullopt;
    TableSchema schema;
    std::map<int, QString> keyParts;
    for (int row = 0; row < columns.Count(); ++row) {
        SchemaColumn column{.name = columns.text(row, 0), .notNull = columns.text(row, 2) == u"1"};
        const QString defaultValue = columns.text(row, 3);
        column.hasDefault = !defaultValue.isEmpty();
        column.textDefault = textLiteral(defaultValue);
        if (const int part = columns.text(row, 4).toInt(); part > 0)
            keyParts[part] = column.name;
        schema.columns.push_back(std::move(column));
    }
    for (const auto &[part, column] : keyParts)
        schema.primaryKey.append(column);
    // A primary key declared "integer" alone is the rowid, which SQLite numbers itself.
    if (schema.primaryKey.size() == 1) {
        for (int row = 0; row < columns.Count(); ++row) {
            if (columns.text(row, 0) == schema.primaryKey.front() && columns.text(row, 1).simplified().toUpper() == u"INTEGER")
                schema.columns[size_t(row)].assignedByDatabase = true;
        }
    }
    const ResultRows indexes =
        askCatalog(connection, QStringLiteral("select name from pragma_index_list(%1) where \"unique\" = 1 and partial = 0").arg(name));
    for (int row = 0; row < indexes.Count(); ++row) {
        if (const std::optional<QString> column = onlyColumnOf(connection, indexes.text(row, 0)))
            schema.uniqueColumns.append(*column);
    }
    const ResultRows keys =
        askCatalog(connection, QStringLiteral("select id, \"table\", \"from\", \"to\" from pragma_foreign_key_list(%1) order by id, seq").arg(name));
    for (const auto &[row, end] : runsOf(keys, 0)) {
        if (end - row != 1)
            continue; // a key of several columns
        ForeignKey key{keys.text(row, 2), keys.text(row, 1), keys.text(row, 3)};
        // Without a column named, the key refers to the other table's primary key.
        if (key.referencedColumn.isEmpty()) {
            const std::optional<TableSchema> referenced = describeSqliteTable(connection, key.referencedTable);
            if (!referenced || referenced->primaryKey.size() != 1)
                continue;
            key.referencedColumn = referenced->primaryKey.front();
        }
        schema.foreignKeys.push_back(std::move(key));
    }
    const ResultRows definition =
        askCatalog(connection, QStringLiteral("select sql from sqlite_schema where type = 'table' and name = %1").arg(name));
    for (const QString &check : checksIn(definition.Count() > 0 ? definition.text(0, 0) : QString())) {
        if (const auto list = valueListOf(check))
            schema.allowOnly(list->first, list->second);
    }
    return schema;
}

} // namespace velmarith::detail
