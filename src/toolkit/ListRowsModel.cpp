#include "toolkit/ListRowsModel.h"

#include <velmarith/Error.h>

#include <algorithm>
#include <numeric>

namespace velmarith::toolkit {
namespace {

// The whole column as numbers, when every non-empty value is one.
std::optional<std::vector<double>> numbersOf(const ResultRows &rows, int column)
{
    std::vector<double> numbers(size_t(rows.Count()));
    for (int r = 0; r < rows.Count(); ++r) {
        const QString text = rows.text(r, column);
        bool ok = text.isEmpty();
        numbers[size_t(r)] = ok ? 0.0 : text.toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return numbers;
}

} // namespace

int ListRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mRows.Count();
}

int ListRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mColumns.size());
}

QString ListRowsModel::value(int displayRow, int column) const
{
    if (column >= mRows.columnCount())
        return {};
    return mRows.text(sourceRow(displayRow), column);
}

QVariant ListRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return value(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(mColumns[size_t(index.column())].alignment | Qt::AlignVCenter);
    return {};
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(mColumns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return mColumns[size_t(section)].text;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(mColumns[size_t(section)].alignment | Qt::AlignVCenter);
    return {};
}

void ListRowsModel::addColumn(const ColumnHeader &header)
{
    const bool taken = !header.key.isEmpty() && std::any_of(mColumns.begin(), mColumns.end(), [&](const ColumnHeader &c) {
        return c.key.compare(header.key, Qt::CaseInsensitive) == 0;
    });
    if (taken)
        throw Error(ErrorNumber::KeyNotUnique, QStringLiteral("列关键字“%1”已经存在").arg(header.key));
    const int position = int(mColumns.size());
    beginInsertColumns({}, position, position);
    mColumns.push_back(header);
    endInsertColumns();
}

void ListRowsModel::clearColumns()
{
    beginResetModel();
    mColumns.clear();
    endResetModel();
}

void ListRowsModel::setRows(ResultRows rows)
{
    beginResetModel();
    mRows = std::move(rows);
    mOrder.clear();
    mSortedColumn = -1;
    endResetModel();
}

void ListRowsModel::sortBy(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= mRows.columnCount())
        return;
    std::vector<int> rowsInOrder(size_t(mRows.Count()));
    std::iota(rowsInOrder.begin(), rowsInOrder.end(), 0);
    if (const auto numbers = numbersOf(mRows, column)) {
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(),
                         [&](int a, int b) { return (*numbers)[size_t(a)] < (*numbers)[size_t(b)]; });
    } else {
        std::vector<QString> keys(rowsInOrder.size());
        for (size_t r = 0; r < keys.size(); ++r)
            keys[r] = mRows.text(int(r), column);
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(), [&](int a, int b) {
            return keys[size_t(a)].compare(keys[size_t(b)], Qt::CaseInsensitive) < 0;
        });
    }
    if (order == Qt::DescendingOrder)
        std::reverse(rowsInOrder.begin(), rowsInOrder.end());
    beginResetModel();
    mOrder = std::move(rowsInOrder);
    mSortedColumn = column;
    mSortOrder = order;
    endResetModel();
}

} // namespace velmarith::toolkit
