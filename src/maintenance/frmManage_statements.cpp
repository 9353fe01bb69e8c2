#include "maintenance/frmManage.h"

#include "common/ComModule.h"
#include "common/Numbers.h"
#include "data/Connection.h"
#include "data/TypeCodes.h"
#include "data/ValueRefusal.h"
#include "maintenance/Editors.h"
#include "toolkit/CheckBox.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

#include <QRegularExpression>

#include <cmath>

namespace velmarith {

using namespace toolkit;

namespace {

// Character, text and date columns take their values between quotes; the others as numbers.
bool isQuotedType(int32_t typeCode)
{
    switch (typeCode) {
    case 129: // char
    case 200: // varchar
    case 201: // long varchar
    case 202: // national varchar: a number of 张三 would be 0
    case 135: // date and time: a number of 2024-05-01 would be 2024
        return true;
    default:
        return false;
    }
}

// A number as it goes into a statement. One too large for a double would be written "inf",
// which the database reads as a column name, so it is refused instead.
QString numberLiteral(const QString &field, double value)
{
    if (!std::isfinite(value))
        throw Error(ErrorNumber::Overflow, QStringLiteral("[%1]的内容超出了数值的范围！").arg(field));
    return numberText(value);
}

// A number written as a number alone: no thousands separator, no blank inside, nothing after it.
bool isPlainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    return number.match(text).hasMatch();
}

// A combo box's key part goes into a numeric column as it stands when it is a number; anything
// else is quoted, so a typed text cannot become part of the statement.
QString numericKey(const QString &field, const QString &key)
{
    if (key.isEmpty())
        return key;
    if (!isPlainNumber(key))
        return sqlString(key);
    (void)numberLiteral(field, numberOfText(key));
    return key;
}

void appendTo(QString &list, const QString &element)
{
    list = list.isEmpty() ? element : list + QStringLiteral(",") + element;
}

} // namespace

std::optional<Editor> frmManage::editorOfField(const QString &field)
{
    for (const Editor &editor : editors()) {
        if (editor.field == field)
            return editor;
    }
    return std::nullopt;
}

std::optional<QString> frmManage::numberRefusal(const Editor &editor) const
{
    if (editor.kind == EditorKind::CheckBox || !mTypeList.contains(editor.field) ||
        isQuotedType(int32_t(mTypeList.Item(editor.field).toDouble())))
        return std::nullopt;
    const QString text = editor.control->Text();
    // A text box's value is the number of its text, which for 1,000 or 12abc is not what was typed.
    if (editor.kind == EditorKind::TextBox && !text.trimmed().isEmpty() && !isPlainNumber(text.trimmed()))
        return detail::messageOf({.kind = detail::ValueRefusal::Kind::NotANumber, .column = editor.field, .value = text});
    if (!std::isfinite(numberOfText(editor.kind == EditorKind::ComboBox ? ComModule::BracketText(text, -1) : text)))
        return QStringLiteral("[") + editor.field + QStringLiteral("]的内容[") + text + QStringLiteral("]超出了数值的范围！");
    return std::nullopt;
}

QString frmManage::literalOf(const Editor &editor, int32_t typeCode)
{
    const bool quoted = isQuotedType(typeCode);
    switch (editor.kind) {
    case EditorKind::TextBox: {
        const QString text = editor.control->Text();
        return quoted ? sqlString(text) : numberLiteral(editor.field, numberOfText(text));
    }
    case EditorKind::ComboBox: {
        const QString key = ComModule::BracketText(editor.control->Text(), -1);
        return quoted ? sqlString(key) : numericKey(editor.field, key);
    }
    case EditorKind::CheckBox: {
        const QString value = editorValue(editor);
        return quoted ? sqlString(value) : numericKey(editor.field, value);
    }
    }
    return {};
}

bool frmManage::leftToTheDatabase(const Editor &editor)
{
    const int32_t typeCode = mTypeList.contains(editor.field) ? int32_t(mTypeList.Item(editor.field).toDouble()) : 0;
    if (editor.kind != EditorKind::TextBox || !editor.control->Text().isEmpty() || !isIntegerTypeCode(typeCode))
        return false;
    if (!mAssignedFields) {
        mAssignedFields.emplace();
        DataBridge bridge;
        bridge.Open();
        try {
            if (const std::optional<detail::TableSchema> schema = detail::Catalog::describe(bridge, mTableName)) {
                for (const detail::SchemaColumn &column : schema->columns) {
                    if (column.assignedByDatabase)
                        mAssignedFields->append(column.name);
                }
            }
        } catch (const detail::StatementFailure &) {
            // A catalog that cannot be asked numbers nothing the window knows of.
        }
    }
    return mAssignedFields->contains(editor.field);
}

int16_t frmManage::FrmToInsert(const QString &TableName, const Collection &FieldList, const Collection &TypeList,
                               QString &SqlString, QString &InsStr, QString &ValStr)
{
    QString columns;
    QString values;
    for (int i = 1; i <= FieldList.Count(); ++i) {
        const QString field = FieldList.Item(i).toString();
        const int32_t typeCode = int32_t(TypeList.Item(field).toDouble());
        // An integer key in first place is the database's to number.
        if (i == 1 && (typeCode == 2 || typeCode == 3))
            continue;
        const std::optional<Editor> editor = editorOfField(field);
        if (!editor || leftToTheDatabase(*editor))
            continue;
        appendTo(columns, sqlName(field));
        appendTo(values, literalOf(*editor, typeCode));
    }
    if (InsStr.isEmpty() || ValStr.isEmpty()) {
        SqlString = QStringLiteral("insert into ") + sqlName(TableName) + QStringLiteral("(") + columns +
                    QStringLiteral(") values(") + values + QStringLiteral(")");
        if (InsStr.isEmpty())
            InsStr = columns;
        if (ValStr.isEmpty())
            ValStr = values;
    } else {
        SqlString = QStringLiteral("insert into ") + sqlName(TableName) + QStringLiteral("(") + columns + QStringLiteral(",") + InsStr +
                    QStringLiteral(") values(") + values + QStringLiteral(",") + ValStr + QStringLiteral(")");
    }
    return 0;
}

int16_t frmManage::FrmToUpdata(const QString &TableName, const Collection &FieldList, const Collection &TypeList,
                               QString &SqlString)
{
    QString assignments;
    for (int i = 1; i <= FieldList.Count(); ++i) {
        const QString field = FieldList.Item(i).toString();
        const std::optional<Editor> editor = editorOfField(field);
        // A stored value the check box could not show is not the person's to overwrite unseen.
        if (!editor || keepsUnshownValue(*editor))
            continue;
        const QString value = literalOf(*editor, int32_t(TypeList.Item(i).toDouble()));
        appendTo(assignments, value.isEmpty() ? QString() : sqlName(field) + QStringLiteral("=") + value);
    }
    SqlString = QStringLiteral("update ") + sqlName(TableName) + QStringLiteral(" set ") + assignments;
    return 0;
}

} // namespace velmarith
