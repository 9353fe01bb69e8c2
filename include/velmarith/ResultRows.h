#pragma once

#include <velmarith/Export.h>

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace velmarith {

namespace detail {
// All values of a result as UTF-8 in one arena of pages, addressed by a logical offset;
// cellEnds[i] is where cell i ends. A page is kPageSize of the logical space; a cell never
// crosses into the next page (it moves there whole), except that a cell larger than a page gets
// one allocation spanning several pages. Growing page by page, a whole table is read without
// ever copying the values already read and without one allocation per cell.
struct ResultData {
    static constexpr uint32_t kPageSize = 1u << 20;
    struct Page {
        std::unique_ptr<char[]> bytes;
        uint32_t capacity = 0;
    };

    QStringList columns;
    std::vector<Page> pages;
    std::vector<uint32_t> cellEnds;
    uint32_t used = 0;

    [[nodiscard]] std::string_view cell(size_t index) const;
};
} // namespace detail

/// One row of a ResultRows: a light view that builds a QString only when a value is read.
/// It shares the rows' storage, so it stays valid after the ResultRows it came from is gone.
class VELMARITH_EXPORT ResultRow
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
class VELMARITH_EXPORT ResultRows
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

    /// Builds a ResultRows cell by cell, row after row.
    class Builder
    {
    public:
        explicit Builder(QStringList columns);
        void addCell(std::string_view utf8)
        {
            detail::ResultData &data = *d;
            const uint32_t inPage = data.used % detail::ResultData::kPageSize;
            if (!data.pages.empty() && inPage != 0 && inPage + utf8.size() <= data.pages.back().capacity) {
                std::copy(utf8.begin(), utf8.end(), data.pages.back().bytes.get() + inPage);
                data.used += uint32_t(utf8.size());
            } else {
                addCellToNewSpace(utf8);
            }
            data.cellEnds.push_back(data.used);
        }
        [[nodiscard]] ResultRows finish();

    private:
        void addCellToNewSpace(std::string_view utf8);
        std::shared_ptr<detail::ResultData> d;
    };

private:
    explicit ResultRows(std::shared_ptr<const detail::ResultData> data) : d(std::move(data)) {}
    std::shared_ptr<const detail::ResultData> d;
};

} // namespace velmarith
