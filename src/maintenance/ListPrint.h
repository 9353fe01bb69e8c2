#pragma once

#include "maintenance/ListExport.h"

#include <QString>

namespace velmarith {

/// Writes the list's printed pages to a PDF file: A4, landscape past eight columns, the font
/// scaled down to fit the page width (never below 6 points; wider lists cut their longest
/// values), the title and date at the top of each page and its number at the foot. The
/// Simplified Chinese face is named, so the same glyphs print under any locale.
void printList(const ShownList &list, const QString &pdfPath);

} // namespace velmarith
