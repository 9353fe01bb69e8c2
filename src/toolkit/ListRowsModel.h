#pragma once

#include "toolkit/ListView.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmarith::toolkit {

/// The table a ListView shows: its columns and rows read in place from query results (the rows
/// of one query, with rows of later queries put in or taken out at their place), with an
/// optional display order after a sort.
class ListRowsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void addColumn(const ColumnHeader &header);
    void clearColumns();
    [[nodiscard]] const std::vector<ColumnHeader> &columns() const { return mColumns; }
    void setColumnWidth(int column, int twips) { mColumns[size_t(column)].width = twips; }

    void setRows(ResultRows rows);
    /// Puts rows in before the 0-based position `listRow` of the rows' own order; a sorted
    /// display is sorted again.
    void insertListRows(int listRow, const ResultRows &rows);
    /// Takes out the row at a 0-based position of the rows' own order.
    void removeListRow(int listRow);
    /// Shows the single row of `row` in place of the row at a 0-based position of the rows' own
    /// order; a sorted display is sorted again.
    void replaceListRow(int listRow, const ResultRows &row);
    /// The value at a 0-based display row and column; empty beyond the row's values.
    [[nodiscard]] QString value(int displayRow, int column) const;
    /// The value at a 0-based position of the rows' own order.
    [[nodiscard]] QString listValue(int listRow, int column) const;
    /// The display row showing a position of the rows' own order.
    [[nodiscard]] int displayRowOf(int listRow) const;
    [[nodiscard]] int valueColumnCount() const { return mBase.columnCount(); }

    void sortBy(int column, Qt::SortOrder order);
    [[nodiscard]] int sortedColumn() const { return mSortedColumn; }
    [[nodiscard]] Qt::SortOrder sortOrder() const { return mSortOrder; }

private:
    // A row of one of the results: 0 the first query's, n the n-th result put in since.
    struct RowRef {
        uint32_t result;
        uint32_t row;
    };

    [[nodiscard]] int sourceRow(int displayRow) const
    {
        return mOrder.empty() ? displayRow : mOrder[size_t(displayRow)];
    }
    [[nodiscard]] std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;

    std::vector<ColumnHeader> mColumns;
    ResultRows mBase;
    std::vector<ResultRows> mResults; // mBase and the results put in since
    std::vector<RowRef> mRows;        // the rows in their own order
    std::vector<int> mOrder;          // empty: the rows' own order
    int mSortedColumn = -1;
    Qt::SortOrder mSortOrder = Qt::AscendingOrder;
};

} // namespace velmarith::toolkit
