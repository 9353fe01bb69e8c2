// Undo of the window's own commands: an inverse statement after the commit, guarded as an edit
// is, since a transaction held open would lock other people out of the table.
#include "maintenance/frmManage.h"

#include "data/Connection.h"
#include "toolkit/Desktop.h"

#include <velmarith/DataBridge.h>
#include <velmarith/SqlText.h>

namespace velmarith {

using namespace toolkit;

namespace {

QString storedLiteral(const QString &value, bool null)
{
    return null ? QStringLiteral("null") : sqlString(value);
}

} // namespace

frmManage::ItemList frmManage::editorsKey()
{
    ItemList key = snapshot(QStringLiteral("Only"));
    return key->Count() > 0 ? key : snapshot(QStringLiteral("All"));
}

const QStringList &frmManage::tableColumns(DataBridge &bridge)
{
    if (mTableColumns.isEmpty()) {
        Collection names;
        bridge.Query(QStringLiteral("select * from ") + sqlName(mTableName) + QStringLiteral(" where 1=0"), nullptr, &names);
        for (int i = 1; i <= names.Count(); ++i)
            mTableColumns.append(names.Item(i).toString());
    }
    return mTableColumns;
}

QString frmManage::storedColumns(DataBridge &bridge, const QString &qualifier)
{
    QStringList values;
    QStringList nulls;
    for (const QString &column : tableColumns(bridge)) {
        values.append(qualifier + sqlName(column));
        nulls.append(QStringLiteral("case when ") + qualifier + sqlName(column) + QStringLiteral(" is null then 1 else 0 end"));
    }
    return (values + nulls).join(u',');
}

QString frmManage::storedRowQuery(DataBridge &bridge, const Collection &key, bool trimmed)
{
    return QStringLiteral("select ") + storedColumns(bridge, QStringLiteral("a.")) + QStringLiteral(" from ") + sqlName(mTableName) +
           QStringLiteral(" a where ") + conditionsOf(key, trimmed, QStringLiteral("a."));
}

frmManage::StoredRow frmManage::storedRowIn(const ResultRows &rows, int row, int firstColumn)
{
    StoredRow stored;
    const int columns = (rows.columnCount() - firstColumn) / 2;
    for (int column = firstColumn; column < firstColumn + columns; ++column) {
        stored.values.append(rows.text(row, column));
        stored.nulls.push_back(rows.text(row, columns + column) == u"1");
    }
    return stored;
}

std::optional<frmManage::StoredRow> frmManage::storedRowOf(DataBridge &bridge, const Collection &key, bool trimmed)
{
    if (key.Count() == 0)
        return std::nullopt;
    ResultRows rows;
    const bool silent = bridge.SilentErrors();
    bridge.setSilentErrors(true);
    bridge.Query(QStringLiteral("select ") + storedColumns(bridge, {}) + QStringLiteral(" from ") + sqlName(mTableName) +
                     QStringLiteral(" where ") + conditionsOf(key, trimmed, {}),
                 &rows);
    bridge.setSilentErrors(silent);
    if (rows.Count() != 1)
        return std::nullopt;
    return storedRowIn(rows, 0);
}

void frmManage::remember(UndoStep step)
{
    const bool known = step.kind == UndoStep::Kind::Added ? bool(step.after)
                       : step.kind == UndoStep::Kind::Deleted ? bool(step.before)
                                                             : step.before && step.after;
    if (known)
        mUndoSteps.push_back(std::move(step));
}

QString frmManage::inverseOf(DataBridge &bridge, const UndoStep &step)
{
    const QStringList &columns = tableColumns(bridge);
    const QString table = sqlName(mTableName);
    const QString where = QStringLiteral(" where ") + conditionsOf(*step.key, false, {});
    switch (step.kind) {
    case UndoStep::Kind::Added: return QStringLiteral("delete from ") + table + where;
    case UndoStep::Kind::Edited: {
        // Only what the edit changed, so a column the database computes is never written.
        QStringList assignments;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const bool null = step.before->nulls[size_t(c)];
            if (step.before->values[c] != step.after->values[c] || null != step.after->nulls[size_t(c)])
                assignments.append(sqlName(columns[c]) + u'=' + storedLiteral(step.before->values[c], null));
        }
        return QStringLiteral("update ") + table + QStringLiteral(" set ") + assignments.join(u',') + where;
    }
    case UndoStep::Kind::Deleted: {
        QStringList names;
        QStringList values;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            names.append(sqlName(columns[c]));
            values.append(storedLiteral(step.before->values[c], step.before->nulls[size_t(c)]));
        }
        return QStringLiteral("insert into ") + table + u'(' + names.join(u',') + QStringLiteral(") values(") +
               values.join(u',') + u')';
    }
    }
    return {};
}

QString frmManage::changesSince(const StoredRow &left, const StoredRow &now) const
{
    QString changes;
    for (qsizetype c = 0; c < mTableColumns.size() && c < now.values.size(); ++c) {
        if (left.values[c] == now.values[c] && left.nulls[size_t(c)] == now.nulls[size_t(c)])
            continue;
        changes += QStringLiteral("\r\n[") + mTableColumns[c] + QStringLiteral("]：原来是“") + left.values[c] +
                   QStringLiteral("”，现在是“") + now.values[c] + QStringLiteral("”");
    }
    return changes;
}

void frmManage::undoLastCommand()
{
    waitForWholeList();
    Desktop &desktop = Desktop::current();
    if (mUndoSteps.empty()) {
        desktop.inform(QStringLiteral("没有可以撤销的操作！"));
        return;
    }
    const UndoStep step = mUndoSteps.back();
    DataBridge bridge;
    bridge.Open();
    const bool undoesDelete = step.kind == UndoStep::Kind::Deleted;
    const QString inverse = inverseOf(bridge, step);
    const auto leftAsItWas = [&](const ResultRows &rows) {
        return undoesDelete ? rows.Count() == 0 : rows.Count() == 1 && storedRowIn(rows, 0) == *step.after;
    };
    int64_t changed = 0;
    detail::Commands::CheckedWrite written = detail::Commands::executeIfUnchanged(
        bridge, storedRowQuery(bridge, *step.key, undoesDelete), QStringLiteral("a"), leftAsItWas, inverse, &changed);
    if (written.conflict) {
        if (undoesDelete || written.conflict->Count() != 1) {
            desktop.inform(undoesDelete ? QStringLiteral("该记录已被其他用户重新增加，不能撤销删除！")
                                        : QStringLiteral("该记录已被其他用户删除，不能撤销！"));
            mUndoSteps.pop_back();
            FrmGetList();
            return;
        }
        const QString question = QStringLiteral("该记录已被其他用户修改：") + changesSince(*step.after, storedRowIn(*written.conflict, 0)) +
                                 QStringLiteral("\r\n是否仍然撤销？");
        if (desktop.message(question, Desktop::noticeTitle(), MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
            return;
        written.status = detail::Commands::executeOnceMore(bridge, inverse, &changed, [] { return true; });
    }
    if (written.status != 0)
        return;
    mUndoSteps.pop_back();
    mItemKey.reset();
    mLoadedCells.clear();
    FrmItemRest();
    mItemSnap = snapshot(QStringLiteral("All"));
    FrmGetList();
}

} // namespace velmarith
