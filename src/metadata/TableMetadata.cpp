#include "metadata/TableMetadata.h"

#include "data/TypeCodes.h"
#include "maintenance/Editors.h"

#include <algorithm>

namespace velmarith::detail {
namespace {

constexpr int kNarrowest = 600;  // twips
constexpr int kWidest = 3000;
constexpr int kUnitTwips = 100;  // about the width of a digit; a Chinese character takes two
constexpr int kMargin = 240;
constexpr int kEditorColumns = 9000; // a window whose two columns of editors are wide enough
constexpr int kWidestWindow = 15000;
constexpr int kListFrame = 900;  // the list's border, scroll bar and the window's margins

enum Relation { Preset = 1, AutoIncrement = 2, Enumeration = 3, Bound = 4, Unique = 7, Required = 8 };

bool isNumber(int code)
{
    return code == TypeCode::SmallInt || code == TypeCode::Integer || code == TypeCode::Currency ||
           code == TypeCode::BigInt || code == TypeCode::Numeric;
}

// How wide a text shows, in units: a Chinese character two, anything else one.
int unitsOf(const QString &text)
{
    int units = 0;
    for (const QChar c : text)
        units += c.unicode() >= 0x2E80 ? 2 : c.isLowSurrogate() ? 0 : 1;
    return units;
}

// The list column's width: its header or a typical value, whichever is wider, within bounds.
int displayWidth(const QString &header, const ColumnFacts &facts, bool checkBox, bool bound)
{
    const int code = facts.typeCode.toInt();
    const int size = std::clamp(facts.size.toInt(), 1, 255);
    int valueUnits = 0;
    if (checkBox)
        valueUnits = 2;
    else if (code == TypeCode::DBTimeStamp)
        valueUnits = 10;
    else if (isNumber(code))
        valueUnits = std::min(size, 12) + 1;
    else
        valueUnits = std::min(size, 8) * 2; // text, written in Chinese as often as not
    if (bound)
        valueUnits += 10; // the description in brackets
    const int units = std::max(unitsOf(header) + 2, valueUnits);
    return std::clamp(units * kUnitTwips + kMargin, kNarrowest, kWidest);
}

QStringList relation(const QString &table, const QString &field, int type, const QString &relatedTable = {},
                     const QString &relatedField = {}, const QString &description = {})
{
    return {table, field, QString::number(type), relatedTable, relatedField, description};
}

const ForeignKey *foreignKeyOf(const TableSchema &schema, const QString &column)
{
    const auto found = std::find_if(schema.foreignKeys.begin(), schema.foreignKeys.end(),
                                    [&](const ForeignKey &key) { return key.column == column; });
    return found == schema.foreignKeys.end() ? nullptr : &*found;
}

// The relations one field's schema implies, in order of type.
void addRelations(const QString &table, const TableSchema &schema, const SchemaColumn &column, const ColumnFacts &facts,
                  bool checkBox, MetadataRows &rows)
{
    // A bound field or an enumeration is its combo box alone: a unique or required field
    // beside it would make it a text box, and the bound check refuses an empty value anyway.
    if (const ForeignKey *key = foreignKeyOf(schema, column.name)) {
        rows.relations.push_back(relation(table, column.name, Bound, key->referencedTable, key->referencedColumn, facts.description));
        return;
    }
    if (!column.allowedValues.isEmpty()) {
        rows.relations.push_back(relation(table, column.name, Enumeration));
        for (const QString &value : column.allowedValues)
            rows.dictionary.push_back({table, column.name, value, QString()});
        return;
    }
    // A check box holds 0 or 1 whatever it is told, and a key of several columns is not unique
    // field by field.
    if (checkBox)
        return;
    const bool unique = (schema.primaryKey.size() == 1 && schema.primaryKey.front() == column.name) ||
                        schema.uniqueColumns.contains(column.name);
    if (unique && facts.digitCodes && !column.assignedByDatabase)
        rows.relations.push_back(relation(table, column.name, AutoIncrement));
    if (unique) {
        rows.relations.push_back(relation(table, column.name, Unique));
        return;
    }
    // A preset text is the deciding relation only alone: a required field beside it would drop it.
    if (column.textDefault) {
        rows.relations.push_back(relation(table, column.name, Preset, {}, *column.textDefault));
        return;
    }
    if (column.notNull && !column.hasDefault && !column.assignedByDatabase)
        rows.relations.push_back(relation(table, column.name, Required));
}

} // namespace

MetadataRows metadataRowsOf(const QString &table, const TableSchema &schema, const std::vector<ColumnFacts> &facts)
{
    MetadataRows rows;
    const int count = int(schema.columns.size());
    const int orderDigits = std::max(2, int(QString::number(count).size()));
    int listWidth = 0;
    for (int i = 0; i < count; ++i) {
        const SchemaColumn &column = schema.columns[size_t(i)];
        const ColumnFacts &fact = facts[size_t(i)];
        const bool checkBox = editorForType(fact.typeCode, fact.size, int16_t(std::min(i + 1, 32767))) == DataEditor::Check;
        const QString caption = column.comment.section(u'\n', 0, 0).trimmed();
        const QString header = caption.isEmpty() ? column.name : caption;
        const int width = displayWidth(header, fact, checkBox, foreignKeyOf(schema, column.name) != nullptr);
        listWidth += width;
        rows.display.push_back({QStringLiteral("frmManage"), QStringLiteral("lvwAny"), table, QStringLiteral("1"),
                                QString::number(i + 1).rightJustified(orderDigits, u'0'), QString::number(i + 1), header,
                                QString::number(width), isNumber(fact.typeCode.toInt()) ? QStringLiteral("Right") : QStringLiteral("Left"),
                                column.name});
        // The window gives 备注 no editor, so nothing would act on its relations.
        if (column.name != u"备注")
            addRelations(table, schema, column, fact, checkBox, rows);
    }
    const int windowWidth = std::clamp(listWidth + kListFrame, kEditorColumns, kWidestWindow);
    rows.window = {QStringLiteral("frmManage"), table, QStringLiteral("0"), QStringLiteral("0"), QString::number(windowWidth),
                   QStringLiteral("0"), QStringLiteral("0")};
    return rows;
}

} // namespace velmarith::detail
