#include "maintenance/frmManage.h"

#include "data/TypeCodes.h"
#include "maintenance/Editors.h"
#include "maintenance/ItemPair.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

#include <QCollator>

namespace velmarith {

using namespace toolkit;

namespace {

// Where the database orders text by a collation of its own, the list's first column is searched
// in the Unicode root collation, ignoring case, which the common server collations are close to.
// It is a guess: a value it finds is compared with the list's text, and what it misses is looked
// for row by row.
const QCollator &guessedCollation()
{
    static const QCollator collator = [] {
        QCollator root{QLocale(QLocale::English)};
        root.setCaseSensitivity(Qt::CaseInsensitive);
        return root;
    }();
    return collator;
}

// How the list statement orders two values of its first column: bytes for text (the database's
// own collation), values for integers, else the guessed collation; nothing where that order
// cannot be told from the text shown (an empty value may be NULL, which sorts before everything).
std::optional<int> orderOf(const QString &left, const QString &right, bool integers, bool guessed)
{
    if (left.isEmpty() || right.isEmpty())
        return std::nullopt;
    if (!integers) {
        const int order = guessed ? guessedCollation().compare(left, right) : left.toUtf8().compare(right.toUtf8());
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    bool leftOk = false;
    bool rightOk = false;
    const qlonglong a = left.toLongLong(&leftOk);
    const qlonglong b = right.toLongLong(&rightOk);
    if (!leftOk || !rightOk)
        return std::nullopt;
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

void frmManage::updateList(const ItemList &removed, int64_t removedCount, const ItemList &added)
{
    // A reload shows the rows the commands act on; every step below either reaches exactly that
    // or gives way to the reload.
    if (!canUpdateListInPlace() || !updateListInPlace(removed, removedCount, added)) {
        FrmGetList();
        return;
    }
    showLoadedRow();
}

bool frmManage::updateListInPlace(const ItemList &removed, int64_t removedCount, const ItemList &added)
{
    const std::vector<int> removing = removed ? listRowsHolding(*removed) : std::vector<int>();
    if (removed && (removing.empty() || int64_t(removing.size()) != removedCount))
        return false;
    std::optional<ResultRows> row;
    if (added && !(row = listRowOfKey(*added)))
        return false;
    // An edit that keeps the first column's value keeps the row's place in the order.
    if (row && removing.size() == 1 && lvwAny->listValue(removing.front(), 0) == row->text(0, 0)) {
        lvwAny->replaceListRow(removing.front(), *row);
        return true;
    }
    removeListRows(removing);
    return !row || insertListRow(*row);
}

bool frmManage::canUpdateListInPlace()
{
    if (mListCutShort || !mListStatement || mFieldList.Count() == 0 || mListStatement->bound.front())
        return false;
    const QString first = mFieldList.Item(1).toString();
    const std::optional<Editor> editor = editorOfField(first);
    if (!editor || !editor->control->ToolTipText().contains(u"唯一"))
        return false; // only a unique first column leaves no ties in the order
    const int code = mTypeList.Item(1).toString().toInt();
    if (!isTextTypeCode(code) && !isIntegerTypeCode(code))
        return false;
    if (!mFirstColumnOrderedAsShown) {
        // Integers order by value on every database; text only where it compares bytes, else
        // the database is asked where a new row goes.
        DataBridge bridge;
        bridge.Open();
        mFirstColumnOrderedAsShown = isIntegerTypeCode(code) || bridge.ordersTextAsBytes(mTableName, first);
    }
    mInPlaceOrder = *mFirstColumnOrderedAsShown;
    return true;
}

int frmManage::listColumnOf(const QString &field) const
{
    for (int i = 1; i <= mFieldList.Count(); ++i) {
        if (mFieldList.Item(i).toString() == field)
            return i - 1;
    }
    return -1;
}

std::vector<int> frmManage::listRowsHolding(const Collection &key) const
{
    std::vector<std::pair<int, QString>> wanted;
    for (int i = 1; i <= key.Count(); ++i) {
        const auto pair = key.Item(i).toObject();
        const int column = listColumnOf(ItemPair::field(*pair));
        if (column < 0)
            return {};
        wanted.emplace_back(column, ItemPair::value(*pair));
    }
    auto holds = [&](int row) {
        return std::all_of(wanted.begin(), wanted.end(), [&](const auto &w) { return lvwAny->listValue(row, w.first) == w.second; });
    };
    std::vector<int> matching;
    // The list is in the order of its unique first column, so that value finds its row at once;
    // in a guessed order only what is found counts, and a miss is looked for row by row.
    const auto first = std::find_if(wanted.begin(), wanted.end(), [](const auto &w) { return w.first == 0; });
    if (first != wanted.end()) {
        const std::optional<int> found = listRowOf(first->second);
        if (!found && mInPlaceOrder)
            return matching;
        if (found) {
            // Rows made before the column was unique may share the value; they lie side by side.
            int begin = *found;
            while (begin > 0 && lvwAny->listValue(begin - 1, 0) == first->second)
                --begin;
            for (int row = begin; row < lvwAny->itemCount() && lvwAny->listValue(row, 0) == first->second; ++row) {
                if (holds(row))
                    matching.push_back(row);
            }
            return matching;
        }
    }
    for (int row = 0; row < lvwAny->itemCount(); ++row) {
        if (holds(row))
            matching.push_back(row);
    }
    return matching;
}

void frmManage::removeListRows(const std::vector<int> &listRows)
{
    for (auto row = listRows.rbegin(); row != listRows.rend(); ++row)
        lvwAny->removeListRow(*row);
}

std::optional<ResultRows> frmManage::listRowOfKey(const Collection &key)
{
    if (key.Count() == 0)
        return std::nullopt;
    ResultRows rows;
    {
        DataBridge bridge;
        bridge.Open();
        bridge.setSilentErrors(true);
        Collection names;
        bridge.Query(mListStatement->restrictedTo(conditionsOf(key, false, QStringLiteral("a."))), &rows, &names);
        if (names.Count() == 0)
            return std::nullopt; // the statement failed
    }
    // No row: the value as typed may not be the value stored ("甲" in a number column), or a
    // bound value has no description; only a reload tells.
    if (rows.Count() != 1)
        return std::nullopt;
    return rows;
}

bool frmManage::insertListRow(const ResultRows &row)
{
    const std::optional<int> position = listPositionOf(row.text(0, 0));
    if (!position)
        return false;
    lvwAny->insertListRows(*position, row);
    return true;
}

// The binary search over the first column, for the place of `firstValue`: where it would go
// (`found` false) or where it is.
std::optional<int> frmManage::searchFirstColumn(const QString &firstValue, bool &found) const
{
    const bool integers = isIntegerTypeCode(mTypeList.Item(1).toString().toInt());
    int low = 0;
    int high = lvwAny->itemCount();
    found = false;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const std::optional<int> order = orderOf(lvwAny->listValue(middle, 0), firstValue, integers, !mInPlaceOrder);
        if (!order)
            return std::nullopt;
        if (*order == 0) {
            found = true;
            return middle;
        }
        if (*order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::optional<int> frmManage::listPositionOf(const QString &firstValue)
{
    if (!mInPlaceOrder)
        return positionAfterPredecessor(firstValue);
    bool found = false;
    const std::optional<int> position = searchFirstColumn(firstValue, found);
    if (found)
        return std::nullopt; // a row with that value is listed already: only a reload tells
    return position;
}

// Where the database's own order puts a new first value: just after the greatest smaller value
// it holds, which the list shows too. Nothing where the list cannot tell that row, or an empty
// value (NULL sorts first on some databases, last on others) would stand first.
std::optional<int> frmManage::positionAfterPredecessor(const QString &firstValue)
{
    if (firstValue.isEmpty())
        return std::nullopt;
    const QString &first = mListStatement->firstColumn;
    ResultRows before;
    {
        DataBridge bridge;
        bridge.Open();
        bridge.setSilentErrors(true);
        Collection names;
        bridge.Query(mListStatement->restrictedTo(first + QStringLiteral("<") + sqlString(firstValue)) +
                         QStringLiteral(" order by ") + first + QStringLiteral(" desc limit 1"),
                     &before, &names);
        if (names.Count() == 0)
            return std::nullopt; // the statement failed
    }
    int position = 0;
    if (before.Count() == 0) {
        if (lvwAny->itemCount() > 0 && lvwAny->listValue(0, 0).isEmpty())
            return std::nullopt;
    } else {
        // Rows made before the column was unique may share the value; the new row follows them all.
        const QString predecessor = before.text(0, 0);
        std::optional<int> row = listRowOf(predecessor);
        for (int r = lvwAny->itemCount() - 1; !row && r >= 0; --r) {
            if (lvwAny->listValue(r, 0) == predecessor)
                row = r;
        }
        if (!row)
            return std::nullopt;
        position = *row + 1;
        while (position < lvwAny->itemCount() && lvwAny->listValue(position, 0) == predecessor)
            ++position;
    }
    // Listed already, where the database's order would put it: only a reload tells.
    if (position < lvwAny->itemCount() && lvwAny->listValue(position, 0) == firstValue)
        return std::nullopt;
    return position;
}

std::optional<int> frmManage::listRowOf(const QString &firstValue) const
{
    bool found = false;
    const std::optional<int> position = searchFirstColumn(firstValue, found);
    if (!found)
        return std::nullopt;
    if (lvwAny->listValue(*position, 0) == firstValue)
        return position;
    // A collation may hold other texts equal (letter case); they stand beside the value's row.
    for (const int step : {-1, 1}) {
        for (int row = *position + step; row >= 0 && row < lvwAny->itemCount(); row += step) {
            const QString value = lvwAny->listValue(row, 0);
            if (value == firstValue)
                return row;
            if (orderOf(value, firstValue, false, true) != 0)
                break;
        }
    }
    return std::nullopt;
}

void frmManage::showLoadedRow()
{
    lvwAny->clearSelection();
    if (!mItemKey)
        return;
    const std::vector<int> holding = listRowsHolding(*mItemKey);
    if (holding.empty())
        return;
    const int item = lvwAny->itemOfListRow(holding.front());
    lvwAny->select(item);
    lvwAny->ensureVisible(item);
}

} // namespace velmarith
