#include "maintenance/ListPrint.h"

#include "maintenance/PdfTextMaps.h"

#include <QBuffer>
#include <QDate>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <algorithm>
#include <numeric>
#include <functional>
#include <vector>

namespace velmarith {

namespace {

constexpr int kPortraitColumns = 8;
constexpr double kLargestPoints = 10.0;
constexpr double kSmallestPoints = 6.0;
constexpr int kMeasuredRows = 200; // the first rows tell a column's usual width
const QString kChineseFace = QStringLiteral("Noto Sans CJK SC");

QFont faceOf(double points, bool bold = false)
{
    QFont font(kChineseFace);
    // Shaped, the face's contextual glyphs for the digits of a code such as D01 have no text
    // behind them in the PDF, and a copy or search of the page would lose them.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Each column's width for `points`: its caption's or its widest measured value's.
std::vector<double> naturalWidths(const ShownList &list, QPaintDevice &device, double points)
{
    const QFontMetricsF body(faceOf(points), &device);
    const QFontMetricsF heading(faceOf(points, true), &device);
    std::vector<double> widths;
    for (qsizetype column = 0; column < list.captions.size(); ++column) {
        double widest = heading.horizontalAdvance(list.captions[column]);
        for (int row = 0; row < std::min(list.rowCount, kMeasuredRows); ++row)
            widest = std::max(widest, body.horizontalAdvance(list.cell(row, int(column))));
        widths.push_back(widest + body.averageCharWidth());
    }
    return widths;
}

// Every character the pages show, the header's and footer's too.
QString drawnText(const ShownList &list)
{
    QString drawn = list.title + list.captions.join(QString()) + QStringLiteral("0123456789-…第页，共 ");
    for (int row = 0; row < list.rowCount; ++row) {
        for (qsizetype column = 0; column < list.captions.size(); ++column)
            drawn += list.cell(row, int(column));
    }
    return drawn;
}

} // namespace

QPageLayout pageLayoutOf(const ShownList &list)
{
    return QPageLayout(QPageSize(QPageSize::A4), list.captions.size() > kPortraitColumns ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

bool printList(const ShownList &list, QIODevice &device)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(list.title);
        writer.setCreator(QStringLiteral("Velmarith"));
        writer.setResolution(300);
        writer.setPageLayout(pageLayoutOf(list));
        if (!paintList(list, writer))
            return false;
    }
    mendTextMaps(pdf.buffer(), drawnText(list), {QRawFont::fromFont(faceOf(kLargestPoints)), QRawFont::fromFont(faceOf(kLargestPoints, true))});
    return device.write(pdf.buffer()) == pdf.buffer().size();
}

bool paintList(const ShownList &list, QPagedPaintDevice &writer)
{
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    const QRectF page = painter.viewport();

    // The largest readable size at which the columns fit the width; below the smallest, the
    // columns share the width in proportion and cut what does not fit.
    std::vector<double> widths = naturalWidths(list, writer, kLargestPoints);
    const double natural = std::accumulate(widths.begin(), widths.end(), 0.0);
    const double points = std::clamp(kLargestPoints * page.width() / std::max(natural, 1.0), kSmallestPoints, kLargestPoints);
    widths = naturalWidths(list, writer, points);
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (total > page.width()) {
        for (double &width : widths)
            width *= page.width() / total;
    }

    const QFont body = faceOf(points);
    const QFont heading = faceOf(points, true);
    const double line = QFontMetricsF(body, &writer).height() * 1.3;
    const double top = line * 2.5; // title and date, a rule, then the captions
    const int rowsPerPage = std::max(1, int((page.height() - top - line * 2) / line));
    const int pages = std::max(1, (list.rowCount + rowsPerPage - 1) / rowsPerPage);
    const QString date = QDate::currentDate().toString(Qt::ISODate);

    const auto drawRow = [&](double y, const std::function<QString(int)> &text) {
        double x = 0;
        for (size_t column = 0; column < widths.size(); ++column) {
            const QRectF cell(x, y, widths[column] - painter.fontMetrics().averageCharWidth() / 2.0, line);
            // Numbers to the right, as the list shows them, so their digits line up.
            const Qt::Alignment alignment = list.textColumns[column] ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(cell, alignment | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(text(int(column)), Qt::ElideRight, int(cell.width())));
            x += widths[column];
        }
    };
    for (int pageNumber = 1; pageNumber <= pages; ++pageNumber) {
        if (pageNumber > 1)
            writer.newPage();
        painter.setFont(heading);
        painter.drawText(QRectF(0, 0, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, list.title);
        painter.setFont(body);
        painter.drawText(QRectF(0, 0, page.width(), line), Qt::AlignRight | Qt::AlignVCenter, date);
        painter.drawLine(QPointF(0, line * 1.2), QPointF(page.width(), line * 1.2));
        painter.setFont(heading);
        drawRow(line * 1.4, [&](int column) { return list.captions[column]; });
        painter.setFont(body);
        const int first = (pageNumber - 1) * rowsPerPage;
        for (int row = first; row < std::min(list.rowCount, first + rowsPerPage); ++row)
            drawRow(top + (row - first) * line, [&](int column) { return list.cell(row, column); });
        painter.drawText(QRectF(0, page.height() - line, page.width(), line), Qt::AlignCenter,
                         QStringLiteral("第 %1 页，共 %2 页").arg(pageNumber).arg(pages));
    }
    return painter.end();
}

} // namespace velmarith
