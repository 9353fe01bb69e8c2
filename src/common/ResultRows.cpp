#include <velmarith/ResultRows.h>

#include <velmarith/Error.h>

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

std::string_view cellBytes(const detail::ResultData &data, size_t cell)
{
    const uint32_t begin = cell == 0 ? 0 : data.cellEnds[cell - 1];
    return {data.arena.data() + begin, data.cellEnds[cell] - begin};
}

QString cellText(const detail::ResultData &data, size_t cell)
{
    const std::string_view bytes = cellBytes(data, cell);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

[[noreturn]] void throwNoSuch(const QString &what)
{
    throw Error(ErrorNumber::InvalidArgument, QStringLiteral("结果中没有这一项：%1").arg(what));
}

} // namespace

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
    return cellBytes(*d, size_t(row) * size_t(columnCount()) + size_t(column));
}

size_t ResultRows::storageBytes() const
{
    return d->arena.capacity() + d->cellEnds.capacity() * sizeof(uint32_t);
}

ResultRows::Builder::Builder(QStringList columns) : d(std::make_shared<detail::ResultData>())
{
    d->columns = std::move(columns);
}

ResultRows ResultRows::Builder::finish()
{
    d->arena.shrink_to_fit();
    d->cellEnds.shrink_to_fit();
    return ResultRows(std::move(d));
}

void ResultRows::Builder::throwTooLarge()
{
    throw Error(ErrorNumber::Overflow, QStringLiteral("查询结果超过 4 GB，无法装入"));
}

} // namespace velmarith
