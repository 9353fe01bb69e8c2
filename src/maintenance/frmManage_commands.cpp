#include "maintenance/frmManage.h"

#include "common/ComModule.h"
#include "common/Numbers.h"
#include "data/Connection.h"
#include "maintenance/Editors.h"
#include "maintenance/ItemPair.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Desktop.h"

#include <velmarith/DataBridge.h>
#include <velmarith/SqlText.h>

namespace velmarith {

using namespace toolkit;

namespace {

const QString kCopyTo = QStringLiteral("等同到[");

QString emptyMessage(const QString &field)
{
    return QStringLiteral("[") + field + QStringLiteral("]的内容不能为空！");
}

// The partner field a copy-to constraint names, or nothing where the tool tip does not say one
// plainly (a "]" before "等同到[", or none at all).
std::optional<QString> copyPartner(const QString &toolTip)
{
    const qsizetype start = toolTip.indexOf(kCopyTo);
    const qsizetype end = toolTip.indexOf(u']');
    if (start < 0 || end < start + kCopyTo.size())
        return std::nullopt;
    return toolTip.mid(start + kCopyTo.size(), end - start - kCopyTo.size());
}

bool inBoundList(const ComboBox &combo)
{
    const QString key = ComModule::BracketText(combo.Text(), -1);
    for (int i = 0; i < combo.ListCount(); ++i) {
        if (ComModule::BracketText(combo.List(i), -1) == key)
            return true;
    }
    return false;
}

bool hasEntry(const ComboBox &combo, const QString &text)
{
    for (int i = 0; i < combo.ListCount(); ++i) {
        if (combo.List(i) == text)
            return true;
    }
    return false;
}

} // namespace

void frmManage::failOn(Control &editor, const QString &message)
{
    Desktop::current().inform(message);
    editor.SetFocus();
    QString text;
    QString selected;
    FrmItemSelect(text, selected);
}

bool frmManage::validate(DataBridge &bridge, bool changedOnly)
{
    for (const Editor &editor : editors()) {
        const QString toolTip = editor.control->ToolTipText();
        // Text that is not valid Unicode (a lone surrogate) would be stored as "?".
        if (editor.kind != EditorKind::CheckBox && !editor.control->Text().isValidUtf16()) {
            failOn(*editor.control, QStringLiteral("[") + editor.field + QStringLiteral("]的内容含有无效的字符，不能保存！"));
            return false;
        }
        if (const std::optional<QString> refusal = numberRefusal(editor)) {
            failOn(*editor.control, *refusal);
            return false;
        }
        if (editor.kind == EditorKind::ComboBox) {
            auto &combo = static_cast<ComboBox &>(*editor.control);
            if (toolTip.contains(u"绑定") && !inBoundList(combo)) {
                failOn(combo, QStringLiteral("[") + editor.field + QStringLiteral("]的内容[") + combo.Text() +
                                  QStringLiteral("]不在相关的表中！"));
                return false;
            }
            continue;
        }
        if (editor.kind != EditorKind::TextBox)
            continue;
        const QString text = editor.control->Text();
        // An added row's key the database numbers may stay empty; an edit keeps the one it has.
        const bool numberedByDatabase = !changedOnly && leftToTheDatabase(editor);
        if (toolTip.contains(u"唯一") && (!changedOnly || differsFromKey(editor.field, text)) && !numberedByDatabase) {
            if (text.isEmpty()) {
                failOn(*editor.control, emptyMessage(editor.field));
                return false;
            }
            QString count;
            bridge.QueryValue(QStringLiteral("select count(*) as 数量 from ") + sqlName(mTableName) +
                                  QStringLiteral(" where ") + sqlName(editor.field) + QStringLiteral("=") + sqlString(text),
                              count);
            if (numberOfText(count) > 0) {
                failOn(*editor.control, QStringLiteral("内容为[") + text + QStringLiteral("]的[") + editor.field +
                                            QStringLiteral("]已经存在了！"));
                return false;
            }
        }
        if (toolTip.contains(u"非空") && text.isEmpty()) {
            failOn(*editor.control, emptyMessage(editor.field));
            return false;
        }
        if (const std::optional<QString> partner = copyPartner(toolTip)) {
            Control *target = control(editorName(EditorKind::TextBox, *partner));
            if (target && target->Text().isEmpty())
                target->setText(text);
        }
    }
    return true;
}

bool frmManage::differsFromKey(const QString &field, const QString &text) const
{
    for (int i = 1; i <= mItemKey->Count(); ++i) {
        const auto pair = mItemKey->Item(i).toObject();
        if (ItemPair::field(*pair) == field && ItemPair::value(*pair) != text)
            return true;
    }
    return false;
}

void frmManage::learnEnumerations()
{
    for (const Editor &editor : editors()) {
        if (editor.kind != EditorKind::ComboBox || !editor.control->ToolTipText().contains(u"枚举"))
            continue;
        auto &combo = static_cast<ComboBox &>(*editor.control);
        const QString text = combo.Text();
        if (hasEntry(combo, text))
            continue;
        combo.AddItem(text);
        FrmDictAppend(mTableName, editor.field, text, QString());
    }
}

void frmManage::FrmDictAppend(const QString &table, const QString &field, const QString &value, const QString &description)
{
    DataBridge bridge;
    bridge.Open();
    bridge.setSilentErrors(true);
    (void)bridge.Execute(QStringLiteral("insert into 系统数据字典表(表名,项目,内容,说明) values(") + sqlString(table) +
                         QStringLiteral(",") + sqlString(field) + QStringLiteral(",") + sqlString(value) + QStringLiteral(",") +
                         sqlString(description) + QStringLiteral(")"));
    bridge.Close();
}

QString frmManage::whereOfKey(bool trimmed)
{
    return conditionsOf(*mItemKey, trimmed, {});
}

QString frmManage::conditionsOf(const Collection &pairs, bool trimmed, const QString &qualifier)
{
    QStringList conditions;
    for (int i = 1; i <= pairs.Count(); ++i) {
        const auto pair = pairs.Item(i).toObject();
        const QString field = ItemPair::field(*pair);
        QString value = ItemPair::value(*pair);
        if (trimmed) {
            while (value.startsWith(u' '))
                value.remove(0, 1);
            while (value.endsWith(u' '))
                value.chop(1);
        }
        // Only a combo box shows a description in brackets; a text box's value is compared
        // whole, so abc(1) finds the row abc(1) and never the row abc.
        const std::optional<Editor> editor = editorOfField(field);
        if (editor && editor->kind == EditorKind::ComboBox)
            value = ComModule::BracketText(value, -1);
        conditions.append(qualifier + sqlName(field) + QStringLiteral("=") + sqlString(value));
    }
    return conditions.join(QStringLiteral(" and "));
}

void frmManage::forgetRow(int64_t changed, bool edited)
{
    const ItemList removed = mItemKey;
    const ItemList added = edited ? snapshot(QStringLiteral("Only")) : nullptr;
    mItemSnap.reset();
    mItemKey.reset();
    mLoadedCells.clear();
    updateList(removed, changed, added);
    FrmItemRest();
    mItemSnap = snapshot(QStringLiteral("All"));
}

void frmManage::keepRowAfterMiss(const QString &message)
{
    Desktop::current().inform(message);
    FrmGetList();
}

void frmManage::cmdAdd_Click()
{
    // A command meets the whole list, and on SQLite no read of ours holds the file then.
    waitForWholeList();
    DataBridge bridge;
    bridge.Open();
    if (!validate(bridge, false))
        return;
    mItemSnap = snapshot(QStringLiteral("Only"));
    if (insertEditorsRow(bridge, mItemSnap)) {
        for (const Editor &editor : editors()) {
            if (editor.kind == EditorKind::TextBox && editor.control->ToolTipText().contains(u"自增"))
                editor.control->setText(ComModule::NextCode(editor.control->Text(), 0));
        }
        updateList(nullptr, 0, mItemSnap);
    } else {
        FrmGetList();
    }
    bridge.Close();
}

bool frmManage::insertEditorsRow(DataBridge &bridge, const ItemList &key)
{
    QString statement;
    QString columns;
    QString values;
    FrmToInsert(mTableName, mFieldList, mTypeList, statement, columns, values);
    if (detail::Commands::executeOnceMore(bridge, statement, nullptr, [&] { return validate(bridge, false); }) != 0)
        return false;
    if (key->Count() > 0)
        remember({UndoStep::Kind::Added, key, std::nullopt, storedRowOf(bridge, *key, false)});
    learnEnumerations();
    return true;
}

bool frmManage::rowLoaded(const QString &missingMessage)
{
    if (!mItemKey)
        Desktop::current().inform(missingMessage);
    return mItemKey != nullptr;
}

void frmManage::cmdEdit_Click()
{
    waitForWholeList();
    DataBridge bridge;
    bridge.Open();
    if (!rowLoaded(QStringLiteral("请选选择要修改的内容！")))
        return;
    if (!validate(bridge, true))
        return;
    QString statement;
    FrmToUpdata(mTableName, mFieldList, mTypeList, statement);
    int64_t changed = 0;
    std::optional<StoredRow> before;
    if (writeLoadedRow(bridge, statement + QStringLiteral(" where ") + whereOfKey(false), &changed, RowCommand::Edit,
                       [&] { return validate(bridge, true); }, before) == 0) {
        learnEnumerations();
        if (changed == 1) {
            const ItemList key = editorsKey();
            remember({UndoStep::Kind::Edited, key, before, storedRowOf(bridge, *key, false)});
        }
        if (changed > 0)
            forgetRow(changed, true);
        else
            keepRowAfterMiss(QStringLiteral("没有找到要修改的记录！"));
    }
    bridge.Close();
}

void frmManage::cmdDelete_Click()
{
    waitForWholeList();
    DataBridge bridge;
    bridge.Open();
    if (!rowLoaded(QStringLiteral("请选选择要删除的内容！")))
        return;
    QString question = QStringLiteral("是否要删除具有以下特征的记录？");
    for (int i = 1; i <= mItemKey->Count(); ++i) {
        const auto pair = mItemKey->Item(i).toObject();
        question += QStringLiteral("\r\n[") + ItemPair::field(*pair) + QStringLiteral("]=\"") + ItemPair::value(*pair) +
                    QStringLiteral("\"");
    }
    if (Desktop::current().message(question, Desktop::noticeTitle(), MessageIcon::Information, MessageButtons::YesNo) == MessageAnswer::Yes) {
        const QString where = whereOfKey(true);
        std::optional<StoredRow> before;
        int64_t deleted = 0;
        if (where.isEmpty()) {
            Desktop::current().inform(QStringLiteral("特征条件不明显不能删除"));
        } else if (writeLoadedRow(bridge, QStringLiteral("delete from ") + sqlName(mTableName) + QStringLiteral(" where ") + where,
                                  &deleted, RowCommand::Delete, [] { return true; }, before) == 0) {
            if (deleted == 1)
                remember({UndoStep::Kind::Deleted, mItemKey, before, std::nullopt});
            if (deleted > 0)
                forgetRow(deleted, false);
            else
                keepRowAfterMiss(QStringLiteral("没有找到要删除的记录！"));
        }
    }
    bridge.Close();
}

void frmManage::cmdCancel_Click()
{
    QString review = QStringLiteral("以下内容发生了变化");
    bool changed = false;
    for (const Editor &editor : editors()) {
        const bool isCheck = editor.kind == EditorKind::CheckBox;
        const QString now = editorValue(editor);
        for (int i = 1; mItemSnap && i <= mItemSnap->Count(); ++i) {
            const auto pair = mItemSnap->Item(i).toObject();
            const QString before = ItemPair::value(*pair);
            const bool differs = isCheck ? numberOfText(before) != numberOfText(now) : before != now;
            if (ItemPair::field(*pair) != editor.field || !differs)
                continue;
            changed = true;
            review += QStringLiteral("\r\n[") + editor.field + QStringLiteral("]=\"") + before + QStringLiteral("\" -> \"") +
                      now + QStringLiteral("\"");
            break;
        }
    }
    if (changed) {
        review += mItemKey ? QStringLiteral("\r\n是否用变化的内容修改数据库中原有的内容？")
                           : QStringLiteral("\r\n是否把变化的内容增加到数据库？");
        if (Desktop::current().message(review, Desktop::noticeTitle(), MessageIcon::Information, MessageButtons::YesNo) == MessageAnswer::Yes) {
            if (mItemKey)
                cmdEdit_Click();
            else
                cmdAdd_Click();
            return;
        }
    }
    Unload();
}

} // namespace velmarith
