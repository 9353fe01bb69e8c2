#pragma once

#include "toolkit/ListView.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmarith::toolkit {

/// The table a ListView shows: its columns and a ResultRows read in place, with an optional
/// display order after a sort.
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
    [[nodiscard]] const ResultRows &rows() const { return mRows; }
    /// The value at a 0-based display row and column; empty beyond the row's values.
    [[nodiscard]] QString value(int displayRow, int column) const;

    void sortBy(int column, Qt::SortOrder order);
    [[nodiscard]] int sortedColumn() const { return mSortedColumn; }
    [[nodiscard]] Qt::SortOrder sortOrder() const { return mSortOrder; }

private:
    [[nodiscard]] int sourceRow(int displayRow) const
    {
        return mOrder.empty() ? displayRow : mOrder[size_t(displayRow)];
    }

    std::vector<ColumnHeader> mColumns;
    ResultRows mRows;
    std::vector<int> mOrder; // empty: the rows' own order
    int mSortedColumn = -1;
    Qt::SortOrder mSortOrder = Qt::AscendingOrder;
};

} // namespace velmarith::toolkit
