#include "toolkit/ListRowsModel.h"

#include "toolkit/SpokenText.h"

#include <velmarith/Error.h>

#include <algorithm>
#include <numeric>
#include <optional>

namespace velmarith::toolkit {
namespace {

// The whole column as numbers, when every non-empty value is one.
template<class Text>
std::optional<std::vector<double>> numbersOf(int count, Text &&text)
{
    std::vector<double> numbers(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) {
        const QString value = text(r);
        bool ok = value.isEmpty();
        numbers[size_t(r)] = ok ? 0.0 : value.toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return numbers;
}

} // namespace

int ListRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int ListRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mColumns.size());
}

QString ListRowsModel::value(int displayRow, int column) const
{
    return listValue(sourceRow(displayRow), column);
}

QString ListRowsModel::listValue(int listRow, int column) const
{
    if (column >= mBase.columnCount())
        return {};
    const RowRef ref = mRows[size_t(listRow)];
    return mResults[ref.result].text(int(ref.row), column);
}

int ListRowsModel::displayRowOf(int listRow) const
{
    if (mOrder.empty())
        return listRow;
    return int(std::find(mOrder.begin(), mOrder.end(), listRow) - mOrder.begin());
}

QVariant ListRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return value(index.row(), index.column());
    if (role == Qt::AccessibleTextRole) {
        const QString text = value(index.row(), index.column());
        return text.isEmpty() ? spokenBlank() : text;
    }
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
    mBase = std::move(rows);
    mResults = {mBase};
    mRows.resize(size_t(mBase.Count()));
    for (size_t r = 0; r < mRows.size(); ++r)
        mRows[r] = {0, uint32_t(r)};
    mOrder.clear();
    mSortedColumn = -1;
    endResetModel();
}

void ListRowsModel::insertListRows(int listRow, const ResultRows &rows)
{
    if (rows.Count() == 0)
        return;
    const auto result = uint32_t(mResults.size());
    std::vector<RowRef> added(size_t(rows.Count()));
    for (size_t r = 0; r < added.size(); ++r)
        added[r] = {result, uint32_t(r)};
    if (mSortedColumn < 0) {
        beginInsertRows({}, listRow, listRow + rows.Count() - 1);
        mResults.push_back(rows);
        mRows.insert(mRows.begin() + listRow, added.begin(), added.end());
        endInsertRows();
        return;
    }
    beginResetModel();
    mResults.push_back(rows);
    mRows.insert(mRows.begin() + listRow, added.begin(), added.end());
    mOrder = sortedOrder(mSortedColumn, mSortOrder);
    endResetModel();
}

void ListRowsModel::removeListRow(int listRow)
{
    if (mSortedColumn < 0) {
        beginRemoveRows({}, listRow, listRow);
        mRows.erase(mRows.begin() + listRow);
        endRemoveRows();
        return;
    }
    beginResetModel();
    mRows.erase(mRows.begin() + listRow);
    mOrder = sortedOrder(mSortedColumn, mSortOrder);
    endResetModel();
}

void ListRowsModel::replaceListRow(int listRow, const ResultRows &row)
{
    const RowRef replacement{uint32_t(mResults.size()), 0};
    if (mSortedColumn < 0) {
        mResults.push_back(row);
        mRows[size_t(listRow)] = replacement;
        emit dataChanged(index(listRow, 0), index(listRow, columnCount() - 1));
        return;
    }
    beginResetModel();
    mResults.push_back(row);
    mRows[size_t(listRow)] = replacement;
    mOrder = sortedOrder(mSortedColumn, mSortOrder);
    endResetModel();
}

std::vector<int> ListRowsModel::sortedOrder(int column, Qt::SortOrder order) const
{
    std::vector<int> rowsInOrder(mRows.size());
    std::iota(rowsInOrder.begin(), rowsInOrder.end(), 0);
    const auto text = [&](int row) { return listValue(row, column); };
    if (const auto numbers = numbersOf(int(mRows.size()), text)) {
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(),
                         [&](int a, int b) { return (*numbers)[size_t(a)] < (*numbers)[size_t(b)]; });
    } else {
        std::vector<QString> keys(rowsInOrder.size());
        for (size_t r = 0; r < keys.size(); ++r)
            keys[r] = text(int(r));
        std::stable_sort(rowsInOrder.begin(), rowsInOrder.end(), [&](int a, int b) {
            return keys[size_t(a)].compare(keys[size_t(b)], Qt::CaseInsensitive) < 0;
        });
    }
    if (order == Qt::DescendingOrder)
        std::reverse(rowsInOrder.begin(), rowsInOrder.end());
    return rowsInOrder;
}

void ListRowsModel::sortBy(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= mBase.columnCount())
        return;
    std::vector<int> rowsInOrder = sortedOrder(column, order);
    beginResetModel();
    mOrder = std::move(rowsInOrder);
    mSortedColumn = column;
    mSortOrder = order;
    endResetModel();
}

} // namespace velmarith::toolkit
