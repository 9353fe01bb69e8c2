#include "maintenance/PdfTextMaps.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace velmarith {

namespace {

quint32 glyphOf(const QRawFont &face, char16_t character)
{
    const QList<quint32> glyphs = face.glyphIndexesForString(QString(QChar(character)));
    return glyphs.isEmpty() ? 0 : glyphs.front();
}

// For each face, the drawn character each of its glyphs was drawn for.
class DrawnGlyphs
{
public:
    DrawnGlyphs(const QString &drawn, const QList<QRawFont> &faces)
        : mFaces(faces)
    {
        for (const QChar character : drawn) {
            if (!character.isSurrogate())
                mDrawn.insert(character.unicode());
        }
        for (const QRawFont &face : faces) {
            QHash<quint32, char16_t> characters;
            for (const char16_t character : std::as_const(mDrawn)) {
                if (const quint32 glyph = glyphOf(face, character))
                    characters.insert(glyph, character);
            }
            mCharacters.append(characters);
        }
    }

    // A code point written that was not drawn, as the drawn character of its glyph.
    void mend(char *hex) const
    {
        bool ok = false;
        const auto written = char16_t(QByteArray(hex, 4).toUInt(&ok, 16));
        if (!ok || written == 0 || mDrawn.contains(written))
            return;
        for (qsizetype face = 0; face < mFaces.size(); ++face) {
            const auto found = mCharacters[face].constFind(glyphOf(mFaces[face], written));
            if (found != mCharacters[face].constEnd()) {
                const QByteArray mended = QByteArray::number(*found, 16).toUpper().rightJustified(4, '0');
                std::copy(mended.begin(), mended.end(), hex);
                return;
            }
        }
    }

private:
    QList<QRawFont> mFaces;
    QSet<char16_t> mDrawn;
    QList<QHash<quint32, char16_t>> mCharacters;
};

} // namespace

void mendTextMaps(QByteArray &pdf, const QString &drawn, const QList<QRawFont> &faces)
{
    const DrawnGlyphs glyphs(drawn, faces);
    // A map's entries: a range of glyphs with a list of characters, a range of one glyph or a
    // single glyph with its character. Only the characters change; the glyph numbers stay, and
    // a range of several glyphs counting up from one character is left as it is.
    static const QRegularExpression map(QStringLiteral("begincmap.*?endcmap"), QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression entry(QStringLiteral("^<([0-9A-F]{4})> (?:<([0-9A-F]{4})> )?(\\[[^\\]\\n]*\\]|<[0-9A-F]{4}>)$"),
                                          QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression code(QStringLiteral("<([0-9A-F]{4})>"), QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromLatin1(pdf);
    for (const QRegularExpressionMatch &found : map.globalMatch(text)) {
        const QString entries = found.captured();
        for (const QRegularExpressionMatch &line : entry.globalMatch(entries)) {
            const QString characters = line.captured(3);
            const bool counting = !characters.startsWith(u'[') && line.hasCaptured(2) && line.captured(2) != line.captured(1);
            if (counting)
                continue;
            for (const QRegularExpressionMatch &character : code.globalMatch(characters))
                glyphs.mend(pdf.data() + found.capturedStart() + line.capturedStart(3) + character.capturedStart(1));
        }
    }
}

} // namespace velmarith
