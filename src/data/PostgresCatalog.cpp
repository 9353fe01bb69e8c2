// What PostgreSQL's catalog says of a table's columns and keys.
#include "data/Catalog.h"
#include "data/CatalogText.h"

#include <velmarith/SqlText.h>

#include <QRegularExpression>

namespace velmarith::detail {
namespace {

const QChar kNameSeparator(0x1F); // between the columns of a key, which no name holds

const QRegularExpression &literal()
{
    static const QRegularExpression quoted(QStringLiteral("'((?:[^']|'')*)'"));
    return quoted;
}

// The string literals of a definition as the server writes it back, whose ARRAY[…] no SQL
// reader of the library's would take for anything but a name in brackets.
QStringList literalsOf(const QString &definition)
{
    QStringList values;
    for (const QRegularExpressionMatch &match : literal().globalMatch(definition))
        values.append(match.captured(1).replace(QStringLiteral("''"), QStringLiteral("'")));
    return values;
}

// Whether a check's definition, as the server writes it back, says only that the column is one
// of its literals: CHECK (((grade)::text = ANY ((ARRAY['A'::text, 'B'::text])::text[]))).
bool isValueList(QString definition, const QString &column)
{
    static const QRegularExpression cast(QStringLiteral(R"(::[\w ]+(\[\])?)"));
    static const QRegularExpression frame(QStringLiteral(R"(\b(CHECK|ANY|ARRAY)\b|[=()\[\],\s])"));
    definition.remove(literal()).remove(cast);
    definition.remove(u'"' + QString(column).replace(u'"', QStringLiteral("\"\"")) + u'"').remove(column);
    return definition.remove(frame).isEmpty();
}

} // namespace

std::optional<TableSchema> describePostgresTable(Connection &connection, const QString &table)
{
    // The table as the library's statements name it, so the search path finds the same one.
    const QString relation = QStringLiteral("to_regclass(%1)").arg(sqlString(sqlName(table)));
    const ResultRows columns = askCatalog(
        connection,
        QStringLiteral("select a.attname, a.attnotnull, a.atthasdef, coalesce(pg_get_expr(d.adbin, d.adrelid), ''), "
                       "a.attidentity <> '', coalesce(col_description(a.attrelid, a.attnum), '') "
                       "from pg_attribute a left join pg_attrdef d on d.adrelid = a.attrelid and d.adnum = a.attnum "
                       "where a.attrelid = %1 and a.attnum > 0 and not a.attisdropped order by a.attnum")
            .arg(relation));
    if (columns.Count() == 0)
        return std::nullopt;
    TableSchema schema;
    for (int row = 0; row < columns.Count(); ++row) {
        const QString defaultValue = columns.text(row, 3);
        schema.columns.push_back({.name = columns.text(row, 0),
                                  .notNull = columns.text(row, 1) == u"1",
                                  .hasDefault = columns.text(row, 2) == u"1",
                                  .textDefault = textLiteral(defaultValue),
                                  .assignedByDatabase = columns.text(row, 4) == u"1" || defaultValue.startsWith(u"nextval("),
                                  .comment = columns.text(row, 5)});
    }
    const ResultRows constraints = askCatalog(
        connection,
        QStringLiteral("select c.contype, (select string_agg(a.attname, chr(31) order by k.i) from unnest(c.conkey) "
                       "with ordinality k(n, i) join pg_attribute a on a.attrelid = c.conrelid and a.attnum = k.n), "
                       "coalesce((select r.relname from pg_class r where r.oid = c.confrelid), ''), "
                       "coalesce((select a.attname from pg_attribute a where a.attrelid = c.confrelid and a.attnum = c.confkey[1]), ''), "
                       "pg_get_constraintdef(c.oid), coalesce(array_length(c.confkey, 1), 0) "
                       "from pg_constraint c where c.conrelid = %1")
            .arg(relation));
    for (int row = 0; row < constraints.Count(); ++row) {
        const QString type = constraints.text(row, 0);
        const QStringList keyColumns = constraints.text(row, 1).split(kNameSeparator, Qt::SkipEmptyParts);
        if (type == u"p")
            schema.primaryKey = keyColumns;
        if (keyColumns.size() != 1)
            continue;
        if (type == u"u")
            schema.uniqueColumns.append(keyColumns.front());
        if (type == u"f" && constraints.text(row, 5) == u"1")
            schema.foreignKeys.push_back({keyColumns.front(), constraints.text(row, 2), constraints.text(row, 3)});
        if (type == u"c" && isValueList(constraints.text(row, 4), keyColumns.front()))
            schema.allowOnly(keyColumns.front(), literalsOf(constraints.text(row, 4)));
    }
    const ResultRows indexes = askCatalog(
        connection, QStringLiteral("select a.attname from pg_index i join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[0] "
                                   "where i.indrelid = %1 and i.indisunique and i.indnatts = 1 and i.indpred is null and "
                                   "i.indexprs is null")
                        .arg(relation));
    for (int row = 0; row < indexes.Count(); ++row)
        schema.uniqueColumns.append(indexes.text(row, 0));
    return schema;
}

} // namespace velmarith::detail
