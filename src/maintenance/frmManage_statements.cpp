#include "maintenance/frmManage.h"

#include "common/ComModule.h"
#include "common/Numbers.h"
#include "common/SqlText.h"
#include "maintenance/Editors.h"
#include "toolkit/CheckBox.h"

#include <QRegularExpression>

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

// A combo box's key part goes into a numeric column as it stands when it is a number; anything
// else is quoted, so a typed text cannot become part of the statement.
QString numericKey(const QString &key)
{
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (key.isEmpty() || number.match(key).hasMatch())
        return key;
    return sqlString(key);
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

QString frmManage::literalOf(const Editor &editor, int32_t typeCode)
{
    const bool quoted = isQuotedType(typeCode);
    switch (editor.kind) {
    case EditorKind::TextBox: {
        const QString text = editor.control->Text();
        return quoted ? sqlString(text) : numberText(numberOfText(text));
    }
    case EditorKind::ComboBox: {
        const QString key = ComModule::BracketText(editor.control->Text(), -1);
        return quoted ? sqlString(key) : numericKey(key);
    }
    case EditorKind::CheckBox: {
        const QString value = QString::number(static_cast<CheckBox &>(*editor.control).Value());
        return quoted ? sqlString(value) : value;
    }
    }
    return {};
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
        if (!editor)
            continue;
        appendTo(columns, field);
        appendTo(values, literalOf(*editor, typeCode));
    }
    if (InsStr.isEmpty() || ValStr.isEmpty()) {
        SqlString = QStringLiteral("insert into ") + TableName + QStringLiteral("(") + columns + QStringLiteral(") values(") +
                    values + QStringLiteral(")");
        if (InsStr.isEmpty())
            InsStr = columns;
        if (ValStr.isEmpty())
            ValStr = values;
    } else {
        SqlString = QStringLiteral("insert into ") + TableName + QStringLiteral("(") + columns + QStringLiteral(",") + InsStr +
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
        if (!editor)
            continue;
        const QString value = literalOf(*editor, int32_t(TypeList.Item(i).toDouble()));
        appendTo(assignments, value.isEmpty() ? QString() : field + QStringLiteral("=") + value);
    }
    SqlString = QStringLiteral("update ") + TableName + QStringLiteral(" set ") + assignments;
    return 0;
}

} // namespace velmarith
