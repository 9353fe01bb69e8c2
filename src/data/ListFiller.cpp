#include "maintenance/data/ListFiller.h"

#include "toolkit/ListView.h"

#include <velmarith/Error.h>

#include <QFontMetrics>

namespace velmarith {
namespace {

constexpr int kStandardColumnWidth = 1440; // twips: one inch
constexpr int kHeaderPaddingPixels = 24;

// The first row whose columns hold every pair's value, as 0-based row; −1 when none does.
int rowHolding(const ResultRows &rows, const Collection &pairs)
{
    std::vector<std::pair<int, QString>> wanted;
    for (int i = 1; i <= pairs.Count(); ++i) {
        const Variant::Object pair = pairs.Item(i).toObject();
        const int column = rows.columnIndex(pair->Item(QStringLiteral("项目名称")).toString());
        if (column < 0)
            return -1;
        wanted.emplace_back(column, pair->Item(QStringLiteral("项目内容")).toString());
    }
    if (wanted.empty())
        return -1;
    for (int row = 0; row < rows.Count(); ++row) {
        const bool all = std::all_of(wanted.begin(), wanted.end(),
                                     [&](const auto &w) { return rows.text(row, w.first) == w.second; });
        if (all)
            return row;
    }
    return -1;
}

} // namespace

void ListFiller::BindList(toolkit::ListView &list)
{
    mList = &list;
}

toolkit::ListView &ListFiller::list() const
{
    if (!mList)
        throw Error(ErrorNumber::InvalidArgument, QStringLiteral("ListFiller 尚未绑定列表"));
    return *mList;
}

void ListFiller::FillHeads(const Collection &names, const QString &fitWidths)
{
    toolkit::ListView &view = list();
    const QFontMetrics metrics(view.widget()->font());
    view.clearColumns();
    for (int i = 1; i <= names.Count(); ++i) {
        const QString name = names.Item(i).toString();
        const int width = fitWidths == u"Yes"
                              ? toolkit::toTwips(metrics.horizontalAdvance(name) + kHeaderPaddingPixels)
                              : kStandardColumnWidth;
        view.addColumn(toolkit::ColumnHeader{QString(), name, width, Qt::AlignLeft, false});
    }
}

void ListFiller::FillRows(const ResultRows &rows, const std::shared_ptr<Collection> &keep, const QString &showKept,
                          const QString &clickKept)
{
    list().setRows(rows);
    highlightKept(rows, 1, keep, showKept, clickKept);
}

bool ListFiller::AppendRows(const ResultRows &rows, const std::shared_ptr<Collection> &keep, const QString &showKept,
                            const QString &clickKept)
{
    toolkit::ListView &view = list();
    const int firstItem = view.itemCount() + 1;
    view.insertListRows(firstItem - 1, rows);
    return highlightKept(rows, firstItem, keep, showKept, clickKept);
}

bool ListFiller::highlightKept(const ResultRows &rows, int firstItem, const std::shared_ptr<Collection> &keep,
                               const QString &showKept, const QString &clickKept)
{
    toolkit::ListView &view = list();
    const int kept = keep ? rowHolding(rows, *keep) : -1;
    if (kept < 0)
        return false;
    const int item = view.itemOfListRow(firstItem - 1 + kept);
    if (clickKept == u"Yes")
        view.clickItem(item);
    else
        view.select(item);
    if (showKept == u"Yes")
        view.ensureVisible(item);
    return true;
}

void ListFiller::SortList(int16_t column)
{
    toolkit::ListView &view = list();
    const bool again = view.sortedColumn() == column && view.sortOrder() == Qt::AscendingOrder;
    view.sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace velmarith
