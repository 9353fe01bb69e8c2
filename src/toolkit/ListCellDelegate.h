#pragma once

#include <QStyledItemDelegate>

namespace velmarith::toolkit {

/// Paints a list's cells as one line of plain text, cut with "…" where it is too wide: what
/// the style draws for a text-only cell, without laying the text out as a paragraph first.
/// A list shows dozens of such cells and paints them all at every scroll.
class ListCellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace velmarith::toolkit
