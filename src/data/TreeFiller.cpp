#include "maintenance/data/TreeFiller.h"

#include "common/Int16.h"
#include "toolkit/TreeView.h"

#include <velmarith/Error.h>

namespace velmarith {
namespace {

// A column given as a 1-based position or as a name, as a 0-based index.
int columnOf(const ResultRows &rows, const Variant &column)
{
    const int index = column.isText() ? rows.columnIndex(column.toString()) : column.toInt16() - 1;
    if (index < 0 || index >= rows.columnCount())
        throw Error(ErrorNumber::InvalidArgument, QStringLiteral("结果中没有列 %1").arg(column.toString()));
    return index;
}

} // namespace

void TreeFiller::BindTree(toolkit::TreeView &tree)
{
    mTree = &tree;
}

toolkit::TreeView &TreeFiller::tree() const
{
    if (!mTree)
        throw Error(ErrorNumber::InvalidArgument, QStringLiteral("TreeFiller 尚未绑定树"));
    return *mTree;
}

int16_t TreeFiller::FillTree(const ResultRows &top, const QString &topKeyPrefix, const Variant &topKeyColumn,
                             const Variant &topTextColumn, const QString &levels, const ResultRows *sub,
                             const QString &subKeyPrefix, const Variant &subParentColumn, const Variant &subKeyColumn,
                             const Variant &subTextColumn, const QString &topImage, const QString &subImage,
                             const QString &selectKey, const QString &expand)
{
    toolkit::TreeView &view = tree();
    const bool twoLevels = levels == u"1" && sub;
    Int16 added;
    if (top.Count() > 0) {
        const int keyColumn = columnOf(top, topKeyColumn);
        const int textColumn = columnOf(top, topTextColumn);
        for (int row = 0; row < top.Count(); ++row) {
            view.addNode(QString(), topKeyPrefix + top.text(row, keyColumn), top.text(row, textColumn),
                         twoLevels ? topImage : QString());
            ++added;
        }
    }
    if (twoLevels && sub->Count() > 0) {
        const int parentColumn = columnOf(*sub, subParentColumn);
        const int keyColumn = columnOf(*sub, subKeyColumn);
        const int textColumn = columnOf(*sub, subTextColumn);
        for (int row = 0; row < sub->Count(); ++row) {
            view.addNode(topKeyPrefix + sub->text(row, parentColumn), subKeyPrefix + sub->text(row, keyColumn),
                         sub->text(row, textColumn), subImage);
            ++added;
        }
    }
    if (expand == u"Yes") {
        for (const QString &key : view.childKeys(QString()))
            view.setExpanded(key, true);
    }
    if (!selectKey.isEmpty())
        view.select(selectKey);
    return added.value();
}

} // namespace velmarith
