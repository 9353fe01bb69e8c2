// The list as the person left it: column widths, order and sort, kept by field name.
#include "maintenance/frmManage.h"

#include "maintenance/ListLayout.h"
#include "toolkit/ListView.h"

#include <velmarith/DataBridge.h>

#include <algorithm>

namespace velmarith {

using namespace toolkit;

namespace {

QString databaseShown()
{
    return DataBridge::withoutPassword(DataBridge::defaultDatabase());
}

} // namespace

void frmManage::applyRememberedLayout()
{
    if (LayoutFile.isEmpty())
        return;
    const ListLayout layout = readListLayout(LayoutFile, databaseShown(), mTableName);
    const int columns = std::min(lvwAny->columnCount(), mFieldList.Count());
    // A field remembered goes to its remembered place, a new one to where its metadata puts it.
    std::vector<std::pair<int, int>> places; // (place, column)
    for (int column = 1; column <= columns; ++column) {
        const auto remembered = layout.columns.find(mFieldList.Item(column).toString());
        if (remembered != layout.columns.end() && remembered->second.width > 0)
            lvwAny->setShownWidth(column, remembered->second.width);
        places.emplace_back(remembered != layout.columns.end() ? remembered->second.position : column - 1, column);
    }
    std::stable_sort(places.begin(), places.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t place = 0; place < places.size(); ++place)
        lvwAny->moveColumnTo(places[place].second, int(place));
    const int sorted = listColumnOf(layout.sortField);
    if (!layout.sortField.isEmpty() && sorted >= 0 && sorted < columns) {
        waitForWholeList();
        lvwAny->sortByColumn(sorted, layout.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
}

void frmManage::rememberLayout()
{
    if (LayoutFile.isEmpty())
        return;
    ListLayout layout;
    const int columns = std::min(lvwAny->columnCount(), mFieldList.Count());
    for (int column = 1; column <= columns; ++column)
        layout.columns[mFieldList.Item(column).toString()] = {lvwAny->shownWidth(column), lvwAny->shownPosition(column)};
    const int sorted = lvwAny->sortedColumn();
    if (sorted >= 0 && sorted < columns) {
        layout.sortField = mFieldList.Item(sorted + 1).toString();
        layout.descending = lvwAny->sortOrder() == Qt::DescendingOrder;
    }
    writeListLayout(LayoutFile, databaseShown(), mTableName, layout);
}

void frmManage::Form_Unload()
{
    stopListRead();
    rememberLayout();
}

} // namespace velmarith
