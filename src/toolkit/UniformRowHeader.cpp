#include "toolkit/UniformRowHeader.h"

#include <algorithm>

namespace velmarith::toolkit {

int UniformRowHeader::RowCount::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mRows.rowCount();
}

int UniformRowHeader::RowCount::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

UniformRowHeader::UniformRowHeader(const QAbstractItemModel &rows, int rowHeight, QWidget *parent)
    : QHeaderView(Qt::Vertical, parent),
      mRowCount(new RowCount(rows, this))
{
    hide();
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(1);
    setDefaultSectionSize(rowHeight);
    setModel(mRowCount);
    connect(&rows, &QAbstractItemModel::rowsInserted, this, &UniformRowHeader::followRowCount);
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, &UniformRowHeader::followRowCount);
    connect(&rows, &QAbstractItemModel::modelReset, this, &UniformRowHeader::followRowCount);
}

void UniformRowHeader::followRowCount()
{
    const int rows = mRowCount->rowCount();
    if (rows == count())
        return;
    if (rows == 0)
        initializeSections(); // no sections left
    else
        initializeSections(std::min(count(), rows - 1), rows - 1);
}

} // namespace velmarith::toolkit
