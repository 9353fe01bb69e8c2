// Another person's change to the loaded row, found before 修改 or 删除 writes over it.
#include "maintenance/frmManage.h"

#include "data/Connection.h"
#include "toolkit/Desktop.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

namespace velmarith {

using namespace toolkit;

namespace {

bool rowHolds(const ResultRows &rows, int row, const QStringList &cells)
{
    for (int column = 0; column < rows.columnCount() && column < cells.size(); ++column) {
        if (rows.text(row, column) != cells[column])
            return false;
    }
    return true;
}

} // namespace

std::optional<int> frmManage::loadedRowIn(const ResultRows &rows) const
{
    for (int row = 0; row < rows.Count(); ++row) {
        if (rowHolds(rows, row, mLoadedCells))
            return row;
    }
    return std::nullopt;
}

QString frmManage::changesSinceLoaded(const ResultRows &stored) const
{
    QString changes;
    for (int column = 0; column < stored.columnCount() && column < mLoadedCells.size(); ++column) {
        const QString now = stored.text(0, column);
        if (now == mLoadedCells[column])
            continue;
        changes += QStringLiteral("\r\n[") + mFieldList.Item(column + 1).toString() + QStringLiteral("]：原来是“") +
                   mLoadedCells[column] + QStringLiteral("”，现在是“") + now + QStringLiteral("”");
    }
    return changes;
}

std::optional<int16_t> frmManage::writeLoadedRow(DataBridge &bridge, const QString &statement, int64_t *changed,
                                                 RowCommand command, const std::function<bool()> &stillValid,
                                                 std::optional<StoredRow> &before)
{
    const bool deleting = command == RowCommand::Delete;
    if (!CheckWriteConflicts || !mListStatement || mLoadedCells.isEmpty()) {
        before = storedRowOf(bridge, *mItemKey, deleting);
        return detail::Commands::executeOnceMore(bridge, statement, changed, stillValid);
    }
    // The listed cells to compare, then the stored row as undo will need it, in one read.
    ListStatement check = *mListStatement;
    check.select += u',' + storedColumns(bridge, QStringLiteral("a."));
    const int storedFrom = int(mLoadedCells.size());
    detail::Commands::CheckedWrite written = detail::Commands::executeIfUnchanged(
        bridge, check.restrictedTo(conditionsOf(*mItemKey, deleting, QStringLiteral("a."))), QStringLiteral("a"),
        [&](const ResultRows &rows) {
            const std::optional<int> loaded = loadedRowIn(rows);
            if (loaded && rows.Count() == 1)
                before = storedRowIn(rows, *loaded, storedFrom);
            return loaded.has_value();
        },
        statement, changed);
    if (!written.conflict)
        return written.status;
    Desktop &desktop = Desktop::current();
    if (written.conflict->Count() == 0) {
        // A delete's key is trimmed, so finding nothing may mean a padded key as well as a row
        // deleted meanwhile: it says it found nothing, as the delete itself would.
        if (deleting)
            return written.status;
        if (desktop.message(QStringLiteral("该记录已被其他用户删除。\r\n是否把您的内容作为新记录增加？"), Desktop::noticeTitle(),
                            MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
            addLoadedRowAgain(bridge);
        else
            FrmGetList();
        return std::nullopt;
    }
    const QString question = QStringLiteral("该记录已被其他用户修改：") + changesSinceLoaded(*written.conflict) +
                             (deleting ? QStringLiteral("\r\n是否仍然删除这条记录？") : QStringLiteral("\r\n是否用您的内容覆盖？"));
    if (desktop.message(question, Desktop::noticeTitle(), MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes) {
        if (written.conflict->Count() == 1)
            before = storedRowIn(*written.conflict, 0, storedFrom);
        return detail::Commands::executeOnceMore(bridge, statement, changed, stillValid);
    }
    showStoredRow(*written.conflict);
    return std::nullopt;
}

void frmManage::addLoadedRowAgain(DataBridge &bridge)
{
    if (!validate(bridge, false))
        return;
    if (insertEditorsRow(bridge, editorsKey())) {
        mItemKey.reset();
        mLoadedCells.clear();
        FrmItemRest();
        mItemSnap = snapshot(QStringLiteral("All"));
    }
    FrmGetList();
}

void frmManage::showStoredRow(const ResultRows &stored)
{
    const std::vector<int> listed = listRowsHolding(*mItemKey);
    if (listed.size() != 1 || stored.Count() != 1) {
        FrmGetList();
        return;
    }
    lvwAny->replaceListRow(listed.front(), stored);
    const int item = lvwAny->itemOfListRow(listed.front());
    lvwAny->select(item);
    lvwAny->ensureVisible(item);
    lvwAny_ItemClick(lvwAny->item(item));
}

} // namespace velmarith
