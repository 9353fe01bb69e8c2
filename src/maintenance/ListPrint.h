#pragma once

#include "maintenance/ListExport.h"

#include <QPageLayout>

class QIODevice;
class QPagedPaintDevice;

namespace velmarith {

/// The page a list is printed on: A4 with margins of 12 mm, landscape past eight columns.
[[nodiscard]] QPageLayout pageLayoutOf(const ShownList &list);

/// Paints the list's pages onto `device` within its page layout: the font scaled down to fit
/// the page width (never below 6 points; wider lists cut their longest values), the title and
/// date at the top of each page and its number at the foot. The Simplified Chinese face is
/// named, so the same glyphs print under any locale. False when the device cannot be painted.
bool paintList(const ShownList &list, QPagedPaintDevice &device);

/// Writes the list's pages, on pageLayoutOf(list), into `device` as a PDF file.
bool printList(const ShownList &list, QIODevice &device);

} // namespace velmarith
