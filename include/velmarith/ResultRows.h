#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace velmarith {

namespace detail {
// All values of a result in one UTF-8 arena; cell i spans [cellEnds[i-1], cellEnds[i]).
// One allocation per column of metadata instead of one per cell keeps whole-table reads cheap.
struct ResultData {
    QStringList columns;
    std::vector<char> arena;
    std::vector<uint32_t> cellEnds;
};
} // namespace detail

/// One row of a ResultRows: a light view that builds a QString only when a value is read.
/// It shares the rows' storage, so it stays valid after the ResultRows it came from is gone.
class ResultRow
{
public:
    /// Number of values (columns) in the row.
    [[nodiscard]] int Count() const;
    /// Value at a 1-based column position; error 5 outside 1..Count.
    [[nodiscard]] QString Item(int column) const;
    /// Value of a column by name, in any letter case; error 5 for an unknown name.
    [[nodiscard]] QString Item(const QString &columnName) const;

private:
    friend class ResultRows;
    ResultRow(std::shared_ptr<const detail::ResultData> data, int row) : d(std::move(data)), mRow(row) {}

    std::shared_ptr<const detail::ResultData> d;
    int mRow;
};

/// The rows a query returned, in order, addressed from 1; every value is text.
/// Copies share the same immutable storage.
class ResultRows
{
public:
    ResultRows();

    /// Number of rows.
    [[nodiscard]] int Count() const;
    /// Row at a 1-based position; error 5 outside 1..Count.
    [[nodiscard]] ResultRow Item(int index) const;

    [[nodiscard]] int columnCount() const { return static_cast<int>(d->columns.size()); }
    [[nodiscard]] const QStringList &columnNames() const { return d->columns; }
    /// 0-based position of a column named so in any letter case, or -1.
    [[nodiscard]] int columnIndex(const QString &name) const;
    /// Value at a 0-based row and column, for readers that walk the whole table (list models).
    [[nodiscard]] QString text(int row, int column) const;
    /// The same value as UTF-8 bytes inside the storage, without building a QString.
    [[nodiscard]] std::string_view utf8(int row, int column) const;
    /// Bytes held by the storage (arena and cell index), for memory accounting.
    [[nodiscard]] size_t storageBytes() const;

    /// Builds a ResultRows cell by cell, row after row.
    class Builder
    {
    public:
        explicit Builder(QStringList columns);
        void addCell(std::string_view utf8)
        {
            d->arena.insert(d->arena.end(), utf8.begin(), utf8.end());
            d->cellEnds.push_back(checkedEnd());
        }
        [[nodiscard]] ResultRows finish();

    private:
        [[nodiscard]] uint32_t checkedEnd() const
        {
            if (d->arena.size() > std::numeric_limits<uint32_t>::max())
                throwTooLarge();
            return static_cast<uint32_t>(d->arena.size());
        }
        [[noreturn]] static void throwTooLarge();
        std::shared_ptr<detail::ResultData> d;
    };

private:
    explicit ResultRows(std::shared_ptr<const detail::ResultData> data) : d(std::move(data)) {}
    std::shared_ptr<const detail::ResultData> d;
};

} // namespace velmarith
