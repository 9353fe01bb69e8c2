#include "toolkit/ListCellDelegate.h"

#include <QApplication>
#include <QPainter>

namespace velmarith::toolkit {

void ListCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget *widget = cell.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    // The background, the selection and the focus frame come from the style, as for any item;
    // only the text is drawn here.
    const QString text = std::exchange(cell.text, QString());
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;

    // The style's own inset of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = cell.rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics &metrics = cell.fontMetrics;
    const QString shown = metrics.elidedText(text, cell.textElideMode, area.width());
    // Text that starts at the left edge needs no measuring to be placed.
    const bool fromLeft = cell.direction == Qt::LeftToRight && (cell.displayAlignment & Qt::AlignLeft);
    const int width = fromLeft ? 0 : metrics.horizontalAdvance(shown);
    // Placed as the style places a laid-out line: its whole height centred, the baseline at
    // the exact ascent below the line's top.
    const QFontMetricsF exact(cell.font);
    const QRect line = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                           QSize(width, int(exact.ascent() + exact.descent())), area);

    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    const QPalette::ColorRole role = (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(group, role));
    painter->setClipRect(area);
    painter->drawText(QPointF(line.left(), line.top() + exact.ascent()), shown);
    painter->restore();
}

} // namespace velmarith::toolkit
