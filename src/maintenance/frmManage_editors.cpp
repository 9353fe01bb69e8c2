#include "maintenance/frmManage.h"

#include "common/Numbers.h"
#include "data/Connection.h"
#include "maintenance/Editors.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Desktop.h"
#include "toolkit/Label.h"
#include "toolkit/TextBox.h"

#include <velmarith/DataBridge.h>
#include <velmarith/SqlText.h>

#include <array>
#include <optional>

namespace velmarith {

using namespace toolkit;

namespace {

constexpr int kEditorHeight = 300;
constexpr int kRowPitch = 420;
constexpr int kEditorRaise = 60;
constexpr int kEditorOffset = 1200;
constexpr int kLabelLength = 6;

// What 系统约束关联表 (and 系统数据字典表) say of one field.
struct Relations {
    std::array<bool, 9> present{};
    QString constraintText;
    QString presetText;  // type '1': 关联项目
    QStringList entries; // types '3' and '4': the combo box list
    [[nodiscard]] std::optional<int> deciding() const
    {
        for (int type = 8; type >= 0; --type) {
            if (present[size_t(type)])
                return type;
        }
        return std::nullopt;
    }
    void add(int type, const QString &word)
    {
        present[size_t(type)] = true;
        if (word.isEmpty())
            return;
        constraintText += (constraintText.isEmpty() ? QString() : QStringLiteral("/")) + word;
    }
};

QString relationStatement(const QString &select, int type, const QString &table, const QString &field)
{
    return select + QStringLiteral("from 系统约束关联表 where 关联类型='%1' and 表名=").arg(type) + sqlString(table) +
           QStringLiteral(" and 项目=") + sqlString(field);
}

QStringList comboEntries(const ResultRows &rows)
{
    QStringList entries;
    for (int r = 0; r < rows.Count(); ++r) {
        const QString key = rows.text(r, 0);
        const QString description = rows.columnCount() > 1 ? rows.text(r, 1) : QString();
        entries.append(description.isEmpty() ? key : key + QStringLiteral("(") + description + QStringLiteral(")"));
    }
    return entries;
}

// Reads every relation of a field, one statement per type; a failing statement counts as none.
Relations readRelations(const QString &table, const QString &field)
{
    Relations relations;
    DataBridge bridge;
    bridge.Open();
    bridge.setSilentErrors(true);
    const detail::SharedReads oneLock(bridge);
    if (bridge.Execute(QStringLiteral("select 0 from 系统约束关联表")) != 0)
        return relations;

    const QString typeOnly = QStringLiteral("select 关联类型 ");
    const QString tableFirst = QStringLiteral("select 关联表名,关联项目,关联说明 ");
    const QString fieldFirst = QStringLiteral("select 关联项目,关联说明,关联表名 ");
    const std::array<const char16_t *, 9> words{u"", nullptr, u"自增", u"枚举", u"绑定", u"等同到[", u"译形到[", u"唯一", u"非空"};
    for (int type = 0; type <= 8; ++type) {
        if (type == 0 || type == 2 || type == 7 || type == 8) {
            QString value;
            bridge.QueryValue(relationStatement(typeOnly, type, table, field), value);
            if (!value.isEmpty())
                relations.add(type, QString::fromUtf16(words[size_t(type)]));
            continue;
        }
        ResultRows rows;
        bridge.Query(relationStatement(type == 3 ? fieldFirst : tableFirst, type, table, field), &rows);
        if (rows.Count() == 0)
            continue;
        const ResultRow row = rows.Item(1);
        const QString related = row.Item(QStringLiteral("关联项目"));
        switch (type) {
        case 1:
            relations.presetText = related;
            relations.add(type, related);
            break;
        case 3: {
            ResultRows list;
            bridge.Query(QStringLiteral("select 内容,说明 from 系统数据字典表 where 表名=") + sqlString(table) +
                             QStringLiteral(" and 项目=") + sqlString(field),
                         &list);
            relations.entries = comboEntries(list);
            relations.add(type, QString::fromUtf16(words[size_t(type)]));
            break;
        }
        case 4: {
            ResultRows list;
            bridge.Query(QStringLiteral("select ") + sqlName(related) + QStringLiteral(",") +
                             sqlName(row.Item(QStringLiteral("关联说明"))) + QStringLiteral(" from ") +
                             sqlName(row.Item(QStringLiteral("关联表名"))),
                         &list);
            relations.entries = comboEntries(list);
            relations.add(type, QString::fromUtf16(words[size_t(type)]));
            break;
        }
        default: // 5 and 6 name the partner field
            relations.add(type, QString::fromUtf16(words[size_t(type)]) + related + QStringLiteral("]"));
            break;
        }
    }
    bridge.Close();
    return relations;
}

QString labelCaption(const QString &field)
{
    return field.size() > kLabelLength ? field.left(kLabelLength - 1) + QStringLiteral("…") : field;
}

} // namespace

int16_t frmManage::FrmMakeItem(const QString &FieldName, const QString &FieldType, const QString &FieldSize,
                               QString &LabName, QString &ItemName, int16_t FieldNo)
{
    const Relations relations = readRelations(mTableName, FieldName);
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
