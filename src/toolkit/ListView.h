#pragma once

#include "toolkit/Control.h"

#include <velmarith/ResultRows.h>

#include <QKeySequence>

#include <functional>
#include <optional>
#include <vector>

class QTableView;

namespace velmarith::toolkit {

class ListView;
class ListRowsModel;

/// A column of a list view; positions count from 1.
struct ColumnHeader {
    QString key;
    QString text;
    int width = 0; // twips
    Qt::Alignment alignment = Qt::AlignLeft;
    bool hidden = false;
};

/// One row of a list view as the person sees it: its text (the first column) and sub-items.
class ListItem
{
public:
    ListItem(const ListView &view, int index) : mView(&view), mIndex(index) {}
    /// 1-based position in the list as shown (after sorting).
    [[nodiscard]] int Index() const { return mIndex; }
    [[nodiscard]] QString Text() const;
    /// Sub-item n (1-based) is the value of column n + 1; empty beyond the row's values.
    [[nodiscard]] QString SubItems(int n) const;

private:
    const ListView *mView;
    int mIndex;
};

/// A list view in report view. Its items are the rows of a ResultRows, read where they are
/// (one item per row: text = first value, sub-item n = value n + 1), so filling and refilling
/// big results costs next to nothing.
class ListView final : public Control
{
    Q_OBJECT

public:
    explicit ListView(const ControlSite &site);
    ~ListView() override;
    [[nodiscard]] QString kind() const override { return QStringLiteral("MSComctlLib.ListView"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    /// Adds a column; error 35602 when the key is taken.
    void addColumn(const ColumnHeader &header);
    void clearColumns();
    [[nodiscard]] int columnCount() const;
    [[nodiscard]] const ColumnHeader &column(int index) const;
    /// Widens each column, never narrowing it, to show the widest value of the first
    /// `sampleRows` rows, up to half the list's width.
    void widenColumnsToValues(int sampleRows);

    /// Replaces every item by the rows given.
    void setRows(ResultRows rows);
    /// Shows a line of text over the lower right corner of the rows (how far a read has got);
    /// empty hides it.
    void setStatusLine(const QString &text);
    [[nodiscard]] QString statusLine() const;
    /// Runs `complete` before End goes to the last row, so that the last row is in the list.
    void setBeforeWholeListNeeded(std::function<void()> complete);
    /// Puts rows in, or takes one out, at a 0-based position of the rows' own order (the order
    /// they were given in, whatever the sort shown); a sorted list stays sorted.
    void insertListRows(int listRow, const ResultRows &rows);
    void removeListRow(int listRow);
    /// Shows the single row of `row` in place of the one at a 0-based position of the rows' own
    /// order, which costs the view nothing but a repaint of that row.
    void replaceListRow(int listRow, const ResultRows &row);
    /// The value at a 0-based position of the rows' own order and 0-based column.
    [[nodiscard]] QString listValue(int listRow, int column) const;
    /// The 1-based item position showing a 0-based position of the rows' own order.
    [[nodiscard]] int itemOfListRow(int listRow) const;
    /// Leaves no item selected.
    void clearSelection();
    [[nodiscard]] int itemCount() const;
    /// The item at a 1-based position as shown; error 35600 outside 1..itemCount.
    [[nodiscard]] ListItem item(int index) const;
    /// The value at a 1-based item position and 0-based column.
    [[nodiscard]] QString itemValue(int index, int column) const;

    [[nodiscard]] std::optional<ListItem> SelectedItem() const;
    void select(int index);
    void ensureVisible(int index);
    /// The first item whose text begins with `prefix` (ignoring letter case), else the first
    /// whose sub-item does; nothing when none does.
    [[nodiscard]] std::optional<ListItem> findItem(const QString &prefix) const;
    /// Sorts by a 0-based column, numbers by value when the whole column holds numbers.
    /// A 1-based column's width as shown (the person may have dragged it), in twips.
    [[nodiscard]] int shownWidth(int column) const;
    void setShownWidth(int column, int twips);
    /// The 0-based columns the person sees, from the left (hidden ones left out).
    [[nodiscard]] std::vector<int> shownColumns() const;
    /// Where a 1-based column stands from the left, 0 first (the person may drag columns).
    [[nodiscard]] int shownPosition(int column) const;
    void moveColumnTo(int column, int position);

    /// Adds an entry to the list's context menu (right button, or the menu key), named for
    /// assistive technology by its text; `triggered` runs when the person picks it.
    void addMenuEntry(const QString &text, const QKeySequence &shortcut, std::function<void()> triggered);
    /// The context menu's entries, as the person sees them.
    [[nodiscard]] QStringList menuEntries() const;
    /// Picks a context-menu entry by its text, as the person would.
    void pickMenuEntry(const QString &text);

    void sortByColumn(int column, Qt::SortOrder order);
    [[nodiscard]] int sortedColumn() const;
    [[nodiscard]] Qt::SortOrder sortOrder() const;

    /// What a click of the person on an item does: select it and raise ItemClick.
    void clickItem(int index);
    void doubleClickItem(int index);
    void clickColumn(int index);

signals:
    void ItemClick(const velmarith::toolkit::ListItem &item);
    void DblClick();
    /// A column header was clicked; its 1-based position.
    void ColumnClick(int column);

private:
    [[nodiscard]] int rowOf(int index) const;

    QTableView *mView;
    std::unique_ptr<ListRowsModel> mModel;
};

} // namespace velmarith::toolkit
