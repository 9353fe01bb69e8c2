#pragma once

#include <QByteArray>
#include <QList>
#include <QRawFont>
#include <QString>

namespace velmarith {

/// Qt names each glyph of a font it embeds in a PDF after the first code point that reaches
/// the glyph, so a hanzi that shares its glyph with a radical (工 with ⼯, 门 with ⻔) reads back,
/// copied or searched, as the radical. Rewrites the ToUnicode maps of `pdf` so that each glyph
/// reads as the character of `drawn` that the faces give it; every entry keeps its length, so
/// the file's offsets stay right. Qt writes the maps uncompressed, four hex digits a code.
void mendTextMaps(QByteArray &pdf, const QString &drawn, const QList<QRawFont> &faces);

} // namespace velmarith
