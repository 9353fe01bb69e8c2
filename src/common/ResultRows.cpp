#include <velmarith/ResultRows.h>

#include <velmarith/Error.h>

#include "common/Utf8.h"

#include <limits>

namespace velmarith {
namespace {

int findColumn(const QStringList &columns, const QString &name)
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

constexpr uint64_t kPageSize = detail::ResultData::kPageSize;
constexpr uint32_t kFirstPageCapacity = 4096;

uint64_t nextPageStart(uint64_t offset)
{
    return (offset + kPageSize - 1) / kPageSize * kPageSize;
}

QString cellText(const detail::ResultData &data, size_t cell)
{
    return textOfUtf8(data.cell(cell));
}

[[noreturn]] void throwTooLarge()
{
    throw Error(ErrorNumber::Overflow, QStringLiteral("查询结果超过 4 GB，无法装入"));
}

[[noreturn]] void throwNoSuch(const QString &what)
{
    throw Error(ErrorNumber::InvalidArgument, QStringLiteral("结果中没有这一项：%1").arg(what));
}

} // namespace

std::string_view detail::ResultData::cell(size_t index) const
{
    const uint64_t previousEnd = index == 0 ? 0 : cellEnds[index - 1];
    const uint64_t end = cellEnds[index];
    if (end == previousEnd)
        return {};
    // A cell that did not fit behind its predecessor was moved whole to the next page.
    const bool fitted = previousEnd % kPageSize + (end - previousEnd) <= kPageSize;
    const uint64_t begin = fitted ? previousEnd : nextPageStart(previousEnd);
    return {pages[begin / kPageSize].bytes.get() + begin % kPageSize, size_t(end - begin)};
}

int ResultRow::Count() const
{
    return static_cast<int>(d->columns.size());
}

QString ResultRow::Item(int column) const
{
    if (column < 1 || column > Count())
        throwNoSuch(QString::number(column));
    return cellText(*d, size_t(mRow) * size_t(Count()) + size_t(column - 1));
}

QString ResultRow::Item(const QString &columnName) const
{
    const int column = findColumn(d->columns, columnName);
    if (column < 0)
        throwNoSuch(columnName);
    return Item(column + 1);
}

ResultRows::ResultRows() : d(std::make_shared<const detail::ResultData>()) {}

int ResultRows::Count() const
{
    return d->columns.isEmpty() ? 0 : static_cast<int>(d->cellEnds.size() / size_t(d->columns.size()));
}

ResultRow ResultRows::Item(int index) const
{
    if (index < 1 || index > Count())
        throwNoSuch(QString::number(index));
    return ResultRow(d, index - 1);
}

int ResultRows::columnIndex(const QString &name) const
{
    return findColumn(d->columns, name);
}

QString ResultRows::text(int row, int column) const
{
    return cellText(*d, size_t(row) * size_t(columnCount()) + size_t(column));
}

std::string_view ResultRows::utf8(int row, int column) const
{
    return d->cell(size_t(row) * size_t(columnCount()) + size_t(column));
}

ResultRows::Builder::Builder(QStringList columns) : d(std::make_shared<detail::ResultData>())
{
    d->columns = std::move(columns);
}

void ResultRows::Builder::addCellToNewSpace(std::string_view utf8)
{
    detail::ResultData &data = *d;
    const uint64_t length = utf8.size();
    if (length == 0)
        return;
    uint64_t begin = data.used;
    uint64_t inPage = begin % kPageSize;
    if (inPage != 0 && inPage + length > kPageSize) {
        begin = nextPageStart(begin);
        inPage = 0;
    }
    const uint64_t end = begin + length;
    if (end > std::numeric_limits<uint32_t>::max())
        throwTooLarge();

    const size_t pageIndex = size_t(begin / kPageSize);
    // A cell larger than a page reserves the pages it spans; the last of them may take
    // further cells in an allocation of its own.
    const size_t pagesSpanned = size_t((end - 1) / kPageSize) + 1;
    if (data.pages.size() < pagesSpanned)
        data.pages.resize(pagesSpanned);
    detail::ResultData::Page &page = data.pages[pageIndex];
    const uint64_t needed = inPage + length;
    if (page.capacity < needed) {
        // The page being filled grows by doubling up to a full page, so a small result stays small.
        const uint64_t capacity = needed > kPageSize
                                      ? needed
                                      : std::min<uint64_t>(kPageSize, std::max<uint64_t>({needed, 2ull * page.capacity, kFirstPageCapacity}));
        auto bytes = std::make_unique_for_overwrite<char[]>(size_t(capacity));
        std::copy_n(page.bytes.get(), std::min<uint64_t>(inPage, page.capacity), bytes.get());
        page.bytes = std::move(bytes);
        page.capacity = uint32_t(capacity);
    }
    std::copy(utf8.begin(), utf8.end(), page.bytes.get() + inPage);
    data.used = uint32_t(end);
}

ResultRows ResultRows::Builder::finish()
{
    return ResultRows(std::move(d));
}

} // namespace velmarith
