#pragma once

#include "toolkit/Control.h"

#include <QHash>

#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

namespace velmarith::toolkit {

/// What a tree view tells of one of its nodes.
struct TreeNode {
    QString key;
    QString text;
    QString parentKey; // empty at the top level
    QString image;
    bool expanded = false;
};

/// A tree view whose nodes carry unique keys.
class TreeView final : public Control
{
    Q_OBJECT

public:
    explicit TreeView(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("MSComctlLib.TreeView"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    /// Adds a node at the end of the top level (empty `parentKey`) or as the last child of the
    /// node with that key. Error 35602 when the key is taken, 35601 when the parent is missing.
    void addNode(const QString &parentKey, const QString &key, const QString &text, const QString &image = {});
    void clearNodes();
    [[nodiscard]] int nodeCount() const { return int(mNodes.size()); }
    /// Error 35601 when no node has the key.
    [[nodiscard]] TreeNode node(const QString &key) const;
    /// Keys of the children of a node (of the top level for an empty key), in order.
    [[nodiscard]] QStringList childKeys(const QString &parentKey) const;
    void setExpanded(const QString &key, bool expanded);

    [[nodiscard]] std::optional<TreeNode> SelectedItem() const;
    void select(const QString &key);
    /// What a double click of the person on a node does; with an empty key, a double click
    /// where no node is.
    void doubleClickNode(const QString &key);

signals:
    void DblClick();

private:
    [[nodiscard]] QTreeWidgetItem *itemOf(const QString &key) const;
    [[nodiscard]] TreeNode describe(const QTreeWidgetItem *item) const;

    QTreeWidget *mTree;
    QHash<QString, QTreeWidgetItem *> mNodes;
};

} // namespace velmarith::toolkit
