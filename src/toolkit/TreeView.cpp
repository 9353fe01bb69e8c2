#include "toolkit/TreeView.h"

#include <velmarith/Error.h>

#include <QTreeWidget>

namespace velmarith::toolkit {
namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
} // namespace

TreeView::TreeView(const ControlSite &site) : Control(site, new QTreeWidget(site.parentWidget)), mTree(static_cast<QTreeWidget *>(widget()))
{
    mTree->setHeaderHidden(true);
    mTree->setColumnCount(1);
    mTree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(mTree, &QTreeWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

void TreeView::addNode(const QString &parentKey, const QString &key, const QString &text, const QString &image)
{
    if (mNodes.contains(key))
        throw Error(ErrorNumber::KeyNotUnique, QStringLiteral("树 %1 中已有关键字“%2”").arg(Name(), key));
    QTreeWidgetItem *parent = parentKey.isEmpty() ? nullptr : itemOf(parentKey);
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(mTree);
    item->setText(0, text);
    item->setData(0, kKeyRole, key);
    item->setData(0, kImageRole, image);
    mNodes.insert(key, item);
}

void TreeView::clearNodes()
{
    mTree->clear();
    mNodes.clear();
}

QTreeWidgetItem *TreeView::itemOf(const QString &key) const
{
    QTreeWidgetItem *item = mNodes.value(key);
    if (!item)
        throw Error(ErrorNumber::ElementNotFound, QStringLiteral("树 %1 中没有关键字“%2”").arg(Name(), key));
    return item;
}

TreeNode TreeView::describe(const QTreeWidgetItem *item) const
{
    return TreeNode{item->data(0, kKeyRole).toString(), item->text(0),
                    item->parent() ? item->parent()->data(0, kKeyRole).toString() : QString(),
                    item->data(0, kImageRole).toString(), item->isExpanded()};
}

TreeNode TreeView::node(const QString &key) const
{
    return describe(itemOf(key));
}

QStringList TreeView::childKeys(const QString &parentKey) const
{
    QStringList keys;
    if (parentKey.isEmpty()) {
        for (int i = 0; i < mTree->topLevelItemCount(); ++i)
            keys.append(mTree->topLevelItem(i)->data(0, kKeyRole).toString());
        return keys;
    }
    const QTreeWidgetItem *parent = itemOf(parentKey);
    for (int i = 0; i < parent->childCount(); ++i)
        keys.append(parent->child(i)->data(0, kKeyRole).toString());
    return keys;
}

void TreeView::setExpanded(const QString &key, bool expanded)
{
    itemOf(key)->setExpanded(expanded);
}

std::optional<TreeNode> TreeView::SelectedItem() const
{
    const QList<QTreeWidgetItem *> selected = mTree->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return describe(selected.first());
}

void TreeView::select(const QString &key)
{
    QTreeWidgetItem *item = itemOf(key);
    mTree->setCurrentItem(item);
    item->setSelected(true);
}

void TreeView::doubleClickNode(const QString &key)
{
    if (!key.isEmpty())
        select(key);
    emit DblClick();
}

} // namespace velmarith::toolkit
