#pragma once

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>

#include <QString>

#include <cstdint>
#include <memory>

namespace velmarith {

namespace toolkit {
class ListView;
}

/// Fills a bound list view: one column per name, one item per row (text = the row's first
/// value, sub-item n = value n + 1), and sorts it by a column.
class ListFiller
{
public:
    /// The list view the other operations work on.
    void BindList(toolkit::ListView &list);
    /// Replaces the columns by one per name, in order. `fitWidths` "Yes" sizes each column to
    /// its header text; otherwise every column gets a standard width.
    void FillHeads(const Collection &names, const QString &fitWidths);
    /// Replaces the items by the rows, read where they are. When `keep` holds item pairs
    /// (collections keyed "项目名称"/"项目内容"), the first row whose columns named so hold those
    /// values becomes the selected item; `showKept` "Yes" scrolls it into view and `clickKept`
    /// "Yes" raises the list's item click for it.
    void FillRows(const ResultRows &rows, const std::shared_ptr<Collection> &keep, const QString &showKept,
                  const QString &clickKept);
    /// Adds the rows after the items, as the next part of the same query; the first of them that
    /// holds `keep` is highlighted as FillRows highlights it. Whether one did.
    bool AppendRows(const ResultRows &rows, const std::shared_ptr<Collection> &keep, const QString &showKept,
                    const QString &clickKept);
    /// Sorts by a column counted from 0: ascending, then descending when asked again for the
    /// same column.
    void SortList(int16_t column);

private:
    [[nodiscard]] toolkit::ListView &list() const;
    /// Highlights the first of `rows` holding `keep`, they being the items from `firstItem` on.
    bool highlightKept(const ResultRows &rows, int firstItem, const std::shared_ptr<Collection> &keep,
                       const QString &showKept, const QString &clickKept);
    toolkit::ListView *mList = nullptr;
};

} // namespace velmarith
