#include "maintenance/frmManage.h"

#include "common/Numbers.h"
#include "maintenance/Editors.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Desktop.h"
#include "toolkit/Label.h"
#include "toolkit/TextBox.h"

#include <optional>

namespace velmarith {

using namespace toolkit;

namespace {

constexpr int kEditorHeight = 300;
constexpr int kRowPitch = 420;
constexpr int kEditorRaise = 60;
constexpr int kEditorOffset = 1200;
constexpr int kLabelLength = 6;

QString labelCaption(const QString &field)
{
    return field.size() > kLabelLength ? field.left(kLabelLength - 1) + QStringLiteral("…") : field;
}

} // namespace

int16_t frmManage::FrmMakeItem(const QString &FieldName, const QString &FieldType, const QString &FieldSize,
                               QString &LabName, QString &ItemName, int16_t FieldNo)
{
    const FieldRelations relations = relationsOf(FieldName);
    const std::optional<int> deciding = relations.deciding();
    if (deciding == 0)
        return 0;

    auto &label = static_cast<Label &>(Add(QStringLiteral("VB.Label"), QStringLiteral("lab") + FieldName));
    label.setCaption(labelCaption(FieldName));
    LabName = label.Name();

    auto makeTextBox = [&](const QString &toolTip) -> Control & {
        Control &box = Add(QStringLiteral("VB.TextBox"), editorName(EditorKind::TextBox, FieldName));
        box.setToolTipText(toolTip);
        return box;
    };
    Control *editor = nullptr;
    if (!deciding) {
        switch (editorForType(FieldType, FieldSize, FieldNo)) {
        case DataEditor::Text:
            editor = &makeTextBox(FieldName);
            break;
        case DataEditor::Check: {
            auto &box = static_cast<CheckBox &>(Add(QStringLiteral("VB.CheckBox"), editorName(EditorKind::CheckBox, FieldName)));
            box.setCaption(QStringLiteral("是√/否□"));
            editor = &box;
            break;
        }
        case DataEditor::Unsupported:
            Desktop::current().message(QStringLiteral("系统发现您的数据库中有一个目前还不支持的数据类型它的编号为[") + FieldType +
                                           QStringLiteral("]请联系软件开发者，以便加入程序以获得后续支持！谢谢"),
                                       Desktop::noticeTitle(), MessageIcon::Information, MessageButtons::Ok);
            return 0;
        }
    } else if (*deciding == 1) {
        editor = &makeTextBox(QString());
        editor->setText(relations.constraintText);
    } else if (*deciding == 3 || *deciding == 4) {
        auto &combo = static_cast<ComboBox &>(Add(QStringLiteral("VB.ComboBox"), editorName(EditorKind::ComboBox, FieldName)));
        combo.setToolTipText(relations.constraintText);
        combo.Clear();
        for (const QString &entry : relations.entries)
            combo.AddItem(entry);
        editor = &combo;
    } else {
        editor = &makeTextBox(relations.constraintText);
    }
    label.setBuddy(*editor);
    if (label.Caption() != FieldName)
        label.setAccessibleName(FieldName); // the whole name where the caption is cut short
    editor->setWidth(mItemWidth);
    editor->setHeight(kEditorHeight);
    ItemName = editor->Name();
    return 1;
}

void frmManage::readRelationsAhead()
{
    for (int i = 1; i <= mFieldList.Count(); ++i) {
        const QString field = mFieldList.Item(i).toString();
        if (field != u"备注")
            mRelationsAhead.insert_or_assign(field, readFieldRelations(mTableName, field));
    }
}

FieldRelations frmManage::relationsOf(const QString &field)
{
    if (auto ahead = mRelationsAhead.extract(field))
        return std::move(ahead.mapped());
    return readFieldRelations(mTableName, field);
}

void frmManage::FrmMakeItems(const Collection &FieldList, const Collection &TypeList, const Collection &SizeList)
{
    Int16 tab(1);
    Int16 top(mItemTop);
    for (Int16 i(1); i <= Int16::checked(FieldList.Count()); ++i) {
        const QString field = FieldList.Item(i).toString();
        if (field == u"备注")
            continue;
        QString labName;
        QString itemName;
        if (FrmMakeItem(field, TypeList.Item(i).toString(), SizeList.Item(i).toString(), labName, itemName, i) != 1)
            continue;
        Control &editor = *control(itemName);
        Control &label = *control(labName);
        editor.setTabIndex(tab);
        const QString &x = tab.value() % 2 == 1 ? mLeftX : mRightX;
        const Int16 left = Int16(toInt16(leadingNumber(x)));
        label.setLeft(left);
        label.setTop(top);
        label.setVisible(true);
        editor.setLeft(left + Int16(kEditorOffset));
        editor.setTop(top - Int16(kEditorRaise));
        editor.setVisible(true);
        mLastTop = top;
        if (tab.value() % 2 == 0)
            top += Int16(kRowPitch);
        ++tab;
    }
}

} // namespace velmarith
