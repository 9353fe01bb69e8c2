#pragma once

#include <velmarith/Collection.h>
#include <velmarith/ResultRows.h>

#include <QString>

#include <cstdint>

namespace velmarith {

namespace toolkit {
class TreeView;
}

/// Fills a bound tree view from query rows, in one or two levels.
class TreeFiller
{
public:
    void BindTree(toolkit::TreeView &tree);

    /// Adds one node per row of `top`: key `topKeyPrefix` + the value of column `topKeyColumn`,
    /// text the value of column `topTextColumn` (columns given by 1-based position or by name).
    /// With `levels` "1", each row of `sub` becomes the last child of the top node whose key is
    /// `topKeyPrefix` + its column `subParentColumn`, with key `subKeyPrefix` + column
    /// `subKeyColumn` and text column `subTextColumn`; top nodes then show image `topImage` and
    /// children `subImage` (keys of the tree's image list). `selectKey`, when not empty, selects
    /// that node afterwards; `expand` "Yes" expands the top nodes. Returns the number of nodes
    /// added. A repeated key or a child without its parent raises the tree's error.
    int16_t FillTree(const ResultRows &top, const QString &topKeyPrefix, const Variant &topKeyColumn,
                     const Variant &topTextColumn, const QString &levels, const ResultRows *sub,
                     const QString &subKeyPrefix, const Variant &subParentColumn, const Variant &subKeyColumn,
                     const Variant &subTextColumn, const QString &topImage, const QString &subImage,
                     const QString &selectKey, const QString &expand);

private:
    [[nodiscard]] toolkit::TreeView &tree() const;
    toolkit::TreeView *mTree = nullptr;
};

} // namespace velmarith
