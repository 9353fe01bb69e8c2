// Writing the metadata tables from what the database says of a table.
#include <velmarith/Metadata.h>

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

#include "data/Connection.h"
#include "data/TypeCodes.h"
#include "metadata/MetadataTables.h"
#include "metadata/TableMetadata.h"

#include <QRegularExpression>

namespace velmarith {
namespace {

using detail::MetadataRows;

// Query raises the database's reason as an Error, where Execute would only return a status.
void run(DataBridge &bridge, const QString &statement)
{
    bridge.Query(statement, nullptr);
}

// Rolls back what it began unless committed, also when an error ends the writing.
class Transaction
{
public:
    explicit Transaction(DataBridge &bridge) : mBridge(bridge) { run(mBridge, QStringLiteral("begin")); }
    ~Transaction()
    {
        if (mOpen) {
            mBridge.setSilentErrors(true);
            (void)mBridge.Execute(QStringLiteral("rollback"));
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit()
    {
        run(mBridge, QStringLiteral("commit"));
        mOpen = false;
    }

private:
    DataBridge &mBridge;
    bool mOpen = true;
};

Error unreadable(const QString &table, const QString &reason)
{
    return Error(ErrorNumber::Database, QStringLiteral("无法读取表 %1 的结构，没有写入元数据：%2").arg(table, reason));
}

struct ResultColumns {
    Collection names;
    Collection codes;
    Collection sizes;
};

ResultColumns columnsOf(DataBridge &bridge, const QString &table)
{
    ResultColumns columns;
    bridge.Query(QStringLiteral("select * from ") + sqlName(table) + QStringLiteral(" where 1=0"), nullptr, &columns.names,
                 &columns.codes, &columns.sizes);
    return columns;
}

// The referenced table's column shown beside its key: its first text column but the key.
QString descriptionColumnOf(DataBridge &bridge, const detail::ForeignKey &key)
{
    const ResultColumns referenced = columnsOf(bridge, key.referencedTable);
    for (int c = 1; c <= referenced.names.Count(); ++c) {
        const QString name = referenced.names.Item(c).toString();
        if (name != key.referencedColumn && isTextTypeCode(referenced.codes.Item(c).toString().toInt()))
            return name;
    }
    return key.referencedColumn;
}

// Whether every stored value of the column is a code of digits, all of one length (0012, 0013).
bool holdsDigitCodes(DataBridge &bridge, const QString &table, const QString &column)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    ResultRows values;
    bridge.Query(QStringLiteral("select ") + sqlName(column) + QStringLiteral(" from ") + sqlName(table), &values);
    if (values.Count() == 0)
        return false;
    const qsizetype length = values.text(0, 0).size();
    for (int row = 0; row < values.Count(); ++row) {
        const QString value = values.text(row, 0);
        if (value.size() != length || !digits.match(value).hasMatch())
            return false;
    }
    return true;
}

MetadataRows rowsOfTable(DataBridge &bridge, const QString &table)
{
    std::optional<detail::TableSchema> schema;
    try {
        schema = detail::Catalog::describe(bridge, table);
    } catch (const detail::StatementFailure &failure) {
        throw unreadable(table, failure.message);
    }
    if (!schema)
        throw unreadable(table, QStringLiteral("数据库中没有这个表"));
    const ResultColumns columns = columnsOf(bridge, table);
    std::vector<detail::ColumnFacts> facts;
    for (const detail::SchemaColumn &column : schema->columns) {
        int index = 1;
        while (index <= columns.names.Count() && columns.names.Item(index).toString() != column.name)
            ++index;
        if (index > columns.names.Count())
            throw unreadable(table, QStringLiteral("列 %1 读不出来").arg(column.name));
        detail::ColumnFacts fact{columns.codes.Item(index).toString(), columns.sizes.Item(index).toString()};
        for (const detail::ForeignKey &key : schema->foreignKeys) {
            if (key.column == column.name)
                fact.description = descriptionColumnOf(bridge, key);
        }
        const bool unique = (schema->primaryKey.size() == 1 && schema->primaryKey.front() == column.name) ||
                            schema->uniqueColumns.contains(column.name);
        fact.digitCodes = unique && !column.assignedByDatabase && isTextTypeCode(fact.typeCode.toInt()) &&
                          holdsDigitCodes(bridge, table, column.name);
        facts.push_back(std::move(fact));
    }
    return detail::metadataRowsOf(table, *schema, facts);
}

QString insertInto(const QString &table, const QStringList &columns, const QStringList &values)
{
    QStringList literals;
    for (const QString &value : values)
        literals.append(sqlString(value));
    return QStringLiteral("insert into %1(%2) values(%3)").arg(table, columns.join(u','), literals.join(u','));
}

bool holdsRows(DataBridge &bridge, const QString &table, const QString &condition)
{
    QString count;
    bridge.QueryValue(QStringLiteral("select count(*) from %1 where %2").arg(table, condition), count);
    return count.toLongLong() > 0;
}

// Writes one table's rows where the four tables hold none of that kind for it yet; all of them
// afresh when `replace`. Returns whether anything was written.
bool writeRows(DataBridge &bridge, const QString &table, const MetadataRows &rows, bool replace)
{
    const QStringList names = detail::metadataTableNames();
    const QString name = sqlString(table);
    const QString windowRow = QStringLiteral("窗体名称='frmManage' and 识别码=") + name;
    const QString displayRows = QStringLiteral("窗体名称='frmManage' and 显示区域名称='lvwAny' and 识别码=") + name;
    const QString ownRows = QStringLiteral("表名=") + name;
    if (replace) {
        for (const auto &[metadataTable, condition] :
             {std::pair{names[0], windowRow}, {names[1], displayRows}, {names[2], ownRows}, {names[3], ownRows}})
            run(bridge, QStringLiteral("delete from %1 where %2").arg(metadataTable, condition));
    }
    QStringList statements;
    if (!holdsRows(bridge, names[0], windowRow))
        statements.append(insertInto(names[0], detail::windowColumns(), rows.window));
    if (!holdsRows(bridge, names[1], displayRows)) {
        for (const QStringList &row : rows.display)
            statements.append(insertInto(names[1], detail::displayColumns(), row));
    }
    if (!holdsRows(bridge, names[2], ownRows)) {
        for (const QStringList &row : rows.relations)
            statements.append(insertInto(names[2], detail::relationColumns(), row));
    }
    // A field whose entries are there keeps them: the window learnt them, or a person wrote them.
    QStringList asked;
    QStringList kept;
    for (const QStringList &row : rows.dictionary) {
        const QString &field = row[1];
        if (!asked.contains(field)) {
            asked.append(field);
            if (holdsRows(bridge, names[3], ownRows + QStringLiteral(" and 项目=") + sqlString(field)))
                kept.append(field);
        }
        if (!kept.contains(field))
            statements.append(insertInto(names[3], detail::dictionaryColumns(), row));
    }
    for (const QString &statement : statements)
        run(bridge, statement);
    return !statements.isEmpty() || replace;
}

// Writes the rows of each table in one transaction: all of them, or none when one fails.
bool writeAll(DataBridge &bridge, const std::vector<std::pair<QString, MetadataRows>> &tables, bool replace)
{
    Transaction transaction(bridge);
    bool wrote = false;
    for (const auto &[table, rows] : tables)
        wrote = writeRows(bridge, table, rows, replace) || wrote;
    transaction.commit();
    return wrote;
}

} // namespace

QStringList Metadata::tableNames()
{
    return detail::metadataTableNames();
}

QStringList Metadata::createStatements()
{
    return detail::metadataTableStatements();
}

void Metadata::createTables()
{
    DataBridge bridge;
    bridge.Open();
    for (const QString &statement : createStatements())
        run(bridge, statement);
}

bool Metadata::describeTable(const QString &table, bool replace)
{
    createTables();
    DataBridge bridge;
    bridge.Open();
    const MetadataRows rows = rowsOfTable(bridge, table);
    return writeAll(bridge, {{table, rows}}, replace);
}

bool Metadata::describeMetadataTables(bool replace)
{
    createTables();
    DataBridge bridge;
    bridge.Open();
    std::vector<std::pair<QString, MetadataRows>> tables;
    for (const QString &table : tableNames()) {
        MetadataRows rows = rowsOfTable(bridge, table);
        rows.relations = detail::ownRelationsOf(table);
        rows.dictionary = detail::ownDictionaryOf(table);
        tables.emplace_back(table, std::move(rows));
    }
    return writeAll(bridge, tables, replace);
}

} // namespace velmarith
