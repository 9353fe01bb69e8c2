#include "maintenance/ListWorkbook.h"

#include "common/ZipArchive.h"

#include <QIODevice>

#include <optional>

namespace velmarith {

namespace {

constexpr int kMostDecimals = 10;
constexpr int kHeadingStyle = 1;
constexpr int kFirstNumberStyle = 2; // then one style per number of decimals
constexpr int kFirstCustomFormat = 164;
const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray kXmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)" "\n";

QByteArray contentTypes()
{
    const QByteArray office = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    return kXmlDeclaration + R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
           R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
           R"(<Default Extension="xml" ContentType="application/xml"/>)"
           R"(<Override PartName="/xl/workbook.xml" ContentType=")" + office + R"(sheet.main+xml"/>)"
           R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType=")" + office + R"(worksheet+xml"/>)"
           R"(<Override PartName="/xl/styles.xml" ContentType=")" + office + R"(styles+xml"/>)"
           "</Types>";
}

QByteArray relationship(const char *id, const QByteArray &type, const char *target)
{
    return QByteArray(R"(<Relationship Id=")") + id + R"(" Type=")" + kRelationships + "/" + type + R"(" Target=")" + target + R"("/>)";
}

QByteArray relationships(const QByteArray &inside)
{
    return kXmlDeclaration + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" + inside
           + "</Relationships>";
}

QByteArray workbook()
{
    return kXmlDeclaration + R"(<workbook xmlns=")" + kMain + R"(" xmlns:r=")" + kRelationships + R"(">)"
           R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
}

// The bold captions' style and one number style for each number of decimals, 0 to 10.
QByteArray styles()
{
    QByteArray formats;
    QByteArray numberStyles;
    for (int places = 0; places <= kMostDecimals; ++places) {
        const QByteArray id = QByteArray::number(kFirstCustomFormat + places);
        formats += R"(<numFmt numFmtId=")" + id + R"(" formatCode=")" + (places == 0 ? QByteArray("0") : "0." + QByteArray(places, '0'))
                   + R"("/>)";
        numberStyles += R"(<xf numFmtId=")" + id + R"(" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)";
    }
    const QByteArray count = QByteArray::number(kMostDecimals + 1);
    return kXmlDeclaration + R"(<styleSheet xmlns=")" + kMain + R"(">)"
           R"(<numFmts count=")" + count + R"(">)" + formats + "</numFmts>"
           R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font><font><b/><sz val="11"/><name val="Calibri"/></font></fonts>)"
           R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
           R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
           R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
           R"(<cellXfs count=")" + QByteArray::number(kFirstNumberStyle + kMostDecimals + 1) + R"(">)"
           R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
           R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>)" + numberStyles + "</cellXfs>"
           R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)";
}

// A column's letters, as a cell reference starts: A … Z, AA …
QByteArray columnLetters(int column)
{
    QByteArray letters;
    for (int rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(char('A' + (rest - 1) % 26));
    return letters;
}

// The decimals of a text that is a plain number (-?digits(.digits)?, at most 15 digits before the
// point and 10 after, as a double keeps them), or nothing.
std::optional<int> decimalsOfNumber(const QString &text)
{
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const qsizetype integerStart = i;
    const auto isDigit = [&](qsizetype at) { return at < text.size() && text[at] >= u'0' && text[at] <= u'9'; };
    while (isDigit(i))
        ++i;
    const qsizetype integerDigits = i - integerStart;
    qsizetype decimals = 0;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (isDigit(i))
            ++i;
        decimals = i - fractionStart;
        if (decimals == 0)
            return std::nullopt;
    }
    if (i != text.size() || integerDigits == 0 || integerDigits > 15 || decimals > kMostDecimals)
        return std::nullopt;
    return int(decimals);
}

// Text as cell content: markup characters as entities, and what XML cannot carry (control
// characters, a carriage return it would turn into a line feed) in Excel's _xHHHH_ form, whose
// own underscore is then written that way where a value already looks like one.
void appendEscaped(QByteArrayView utf8, QByteArray &xml)
{
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool special = c == '<' || c == '>' || c == '&' || (byte < 0x20 && c != '\t' && c != '\n')
                             || (c == '_' && utf8.sliced(i).startsWith("_x"));
        if (!special)
            continue;
        xml += utf8.sliced(plainFrom, i - plainFrom);
        plainFrom = i + 1;
        if (c == '<')
            xml += "&lt;";
        else if (c == '>')
            xml += "&gt;";
        else if (c == '&')
            xml += "&amp;";
        else
            xml += "_x" + QByteArray::number(byte, 16).toUpper().rightJustified(4, '0') + "_";
    }
    xml += utf8.sliced(plainFrom);
}

void appendTextCell(const QByteArray &reference, int style, const QString &text, QByteArray &xml)
{
    xml += R"(<c r=")" + reference + '"';
    if (style != 0)
        xml += R"( s=")" + QByteArray::number(style) + '"';
    const QByteArray utf8 = text.toUtf8();
    const bool blankAtEnd = !utf8.isEmpty() && (utf8.front() == ' ' || utf8.back() == ' ');
    xml += blankAtEnd ? R"( t="inlineStr"><is><t xml:space="preserve">)" : R"( t="inlineStr"><is><t>)";
    appendEscaped(utf8, xml);
    xml += "</t></is></c>";
}

// The sheet's rows, handed to the archive a piece at a time so the whole sheet is never held.
void writeSheet(const ShownList &list, ZipArchive &archive)
{
    std::vector<QByteArray> letters;
    for (qsizetype column = 0; column < list.captions.size(); ++column)
        letters.push_back(columnLetters(int(column)));
    QByteArray xml = kXmlDeclaration + R"(<worksheet xmlns=")" + kMain + R"("><sheetData><row r="1">)";
    for (qsizetype column = 0; column < list.captions.size(); ++column)
        appendTextCell(letters[size_t(column)] + '1', kHeadingStyle, list.captions[column], xml);
    xml += "</row>";
    for (int row = 0; row < list.rowCount; ++row) {
        const QByteArray number = QByteArray::number(row + 2);
        xml += R"(<row r=")" + number + R"(">)";
        for (qsizetype column = 0; column < list.captions.size(); ++column) {
            const QString text = list.cell(row, int(column));
            if (text.isEmpty())
                continue;
            const QByteArray reference = letters[size_t(column)] + number;
            const std::optional<int> decimals = list.textColumns[size_t(column)] ? std::nullopt : decimalsOfNumber(text);
            // A shown number is already what the cell's value is written as.
            if (decimals)
                xml += R"(<c r=")" + reference + R"(" s=")" + QByteArray::number(kFirstNumberStyle + *decimals) + R"("><v>)"
                       + text.toLatin1() + "</v></c>";
            else
                appendTextCell(reference, 0, text, xml);
        }
        xml += "</row>";
        if (xml.size() > (1 << 16)) {
            archive.write(xml);
            xml.clear();
        }
    }
    xml += "</sheetData></worksheet>";
    archive.write(xml);
}

} // namespace

bool writeWorkbook(const ShownList &list, QIODevice &device)
{
    ZipArchive archive(device);
    const auto part = [&](const char *name, const QByteArray &contents) {
        archive.startEntry(name);
        archive.write(contents);
    };
    part("[Content_Types].xml", contentTypes());
    part("_rels/.rels", relationships(relationship("rId1", "officeDocument", "xl/workbook.xml")));
    part("xl/workbook.xml", workbook());
    part("xl/_rels/workbook.xml.rels", relationships(relationship("rId1", "worksheet", "worksheets/sheet1.xml")
                                                     + relationship("rId2", "styles", "styles.xml")));
    part("xl/styles.xml", styles());
    archive.startEntry("xl/worksheets/sheet1.xml");
    writeSheet(list, archive);
    return archive.finish();
}

} // namespace velmarith
