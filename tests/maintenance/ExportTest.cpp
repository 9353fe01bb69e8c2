#include "MaintenanceFixture.h"

#include <velmarith/Error.h>

#include "maintenance/PdfTextMaps.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/ListView.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>

#include <optional>

using namespace velmarith;
using namespace velmarith::toolkit;
using velmarith::testing::FormDriver;
using namespace Qt::StringLiterals;

namespace {

// What a Python script prints about the workbook at sys.argv[1] as openpyxl reads it, or nothing
// where Python has no openpyxl; a script that fails fails the test.
std::optional<QString> printedByOpenpyxl(const QString &script, const QString &path)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import sys, zipfile, openpyxl\nfrom openpyxl.utils.escape import unescape\n"_s + script, path});
    python.waitForFinished(30000);
    const QString error = QString::fromUtf8(python.readAllStandardError());
    if (python.exitCode() != 0 && error.contains(u"No module named"_s))
        return std::nullopt;
    EXPECT_EQ(python.exitCode(), 0) << error.toStdString();
    return QString::fromUtf8(python.readAllStandardOutput());
}

// Staff with a code of leading zeros, a bound department shown with its name, an amount and
// texts that need quoting in a CSV file.
class Export : public test::MaintenanceTest
{
protected:
    void SetUp() override
    {
        db.departments();
        db.exec({u"create table E(编号 varchar(6), 姓名 varchar(20), 部门 varchar(10), 工资 numeric(8,2))"_s,
                 u"insert into E values('000006','张, \"三\"','D01',1200.5)"_s, u"insert into E values('000010','李四','D02',99)"_s});
        db.relation(u"E"_s, u"编号"_s, 7);
        db.relation(u"E"_s, u"部门"_s, 4, u"部门表"_s, u"部门编号"_s, u"部门名称"_s);
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
};

TEST_F(Export, aCsvFileHoldsTheListAsShownInItsOrderAndABadPathLeavesTheOldFile)
{
    auto form = start(u"E"_s);
    form->list().moveColumnTo(3, 0); // 部门 first
    form->list().sortByColumn(1, Qt::DescendingOrder);
    const QString path = folder.filePath(u"员工.csv"_s);
    exportList(form->shownList(), path);
    EXPECT_TRUE(contents(path).startsWith("\xEF\xBB\xBF")) << "UTF-8 with a BOM, as Excel reads Chinese";
    EXPECT_EQ(QString::fromUtf8(contents(path).mid(3)), u"部门,编号,姓名,工资\r\n"
                                                 u"D02(财务部),000010,李四,99\r\n"
                                                 u"D01(销售部),000006,\"张, \"\"三\"\"\",1200.5\r\n"_s);

    const QByteArray before = contents(path);
    const QString refusal = [&] {
        try {
            exportList(form->shownList(), folder.filePath(u"没有的文件夹/员工.xlsx"_s));
        } catch (const Error &error) {
            return error.message();
        }
        return QString();
    }();
    EXPECT_TRUE(refusal.startsWith(u"无法导出到 "_s) && refusal.endsWith(u"：文件夹不存在"_s)) << refusal.toStdString();
    EXPECT_THROW(exportList(form->shownList(), folder.filePath(u"员工.txt"_s)), Error);
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"员工.csv"_s}) << "no partial file left";
}

// Read back with openpyxl, as a clerk's spreadsheet would: codes as text with their zeros,
// amounts as numbers shown with the list's decimals.
TEST_F(Export, aWorkbookKeepsCodesAsTextAndAmountsAsNumbers)
{
    auto form = start(u"E"_s);
    const QString path = folder.filePath(u"员工.xlsx"_s);
    exportList(form->shownList(), path);
    const std::optional<QString> printed =
        printedByOpenpyxl(u"for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows():\n"
                          u"    print('|'.join(f'{c.data_type}:{c.value}:{c.number_format}' for c in row))"_s,
                          path);
    if (!printed)
        GTEST_SKIP() << "no openpyxl to read the workbook";
    EXPECT_EQ(*printed,
              u"s:编号:General|s:姓名:General|s:部门:General|s:工资:General\n"
              u"s:000006:General|s:张, \"三\":General|s:D01(销售部):General|n:1200.5:0.0\n"
              u"s:000010:General|s:李四:General|s:D02(财务部):General|n:99:0\n"_s);
}

// Ctrl+E asks for the file in the file window, which starts in the home folder; Ctrl+P and the
// menu's 打印… show the print preview of the same pages.
TEST_F(Export, theKeysAndTheListsMenuExportThroughTheFileWindowAndPrintThroughThePreview)
{
    auto form = start(u"E"_s);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(folder.path()));
    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) {
        user.setText(u"txt文件"_s, u"员工.xlsx"_s);
        user.click(u"cmd确定"_s);
    });
    desktop.answer(MessageAnswer::Ok);
    form->pressKey('E', ShiftState::Ctrl, &form->list());
    qputenv("HOME", home);
    EXPECT_TRUE(QFileInfo(folder.filePath(u"员工.xlsx"_s)).size() > 0);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages().back().text, u"已导出 2 行到 "_s + folder.filePath(u"员工.xlsx"_s));

    form->pressKey('P', ShiftState::Ctrl, &form->list());
    form->list().pickMenuEntry(u"打印(&P)…"_s);
    ASSERT_EQ(desktop.modals().size(), 3u);
    for (size_t preview : {1u, 2u}) {
        EXPECT_EQ(desktop.modals()[preview].formClass, u"QPrintPreviewDialog"_s);
        EXPECT_EQ(desktop.modals()[preview].caption, form->Caption() + u" - 打印预览"_s);
    }
}

// Values that markup, a line-end normalisation or Excel's own _xHHHH_ escapes would read
// otherwise come back as written (decoded as Excel decodes them), in a package Python's
// zipfile finds sound.
TEST(Workbook, keepsTextThatXmlWouldReadOtherwise)
{
    const QStringList values{u"<&> \"'"_s, u"_x0041_ and _x"_s, u"\u0001\r\n\tend"_s, u"  中𠀀 "_s, u"-0.50"_s, u"12.5.1"_s};
    ShownList list;
    list.captions = {u"text"_s, u"number"_s};
    list.textColumns = {true, false};
    list.rowCount = int(values.size());
    list.cell = [&](int row, int column) { return column == 0 || row >= 4 ? values[row] : QString(); };
    QTemporaryDir folder;
    const QString path = folder.filePath(u"值.xlsx"_s);
    exportList(list, path);
    const std::optional<QString> printed =
        printedByOpenpyxl(u"assert zipfile.ZipFile(sys.argv[1]).testzip() is None\n"
                          u"for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(min_row=2):\n"
                          u"    print(repr([unescape(c.value) if c.data_type == 's' else c.value for c in row]))"_s,
                          path);
    if (!printed)
        GTEST_SKIP() << "no openpyxl to read the workbook";
    EXPECT_EQ(*printed,
              u"['<&> \"\\'', None]\n"
              u"['_x0041_ and _x', None]\n"
              u"['\\x01\\r\\n\\tend', None]\n"
              u"['  中𠀀 ', None]\n"
              u"['-0.50', -0.5]\n"
              u"['12.5.1', '12.5.1']\n"_s);
}

// Only the characters of a ToUnicode map change, at the same length: a glyph number that looks
// like a radical stays, and a range counting up from one character is left as it is.
TEST(PdfTextMaps, eachGlyphReadsAsTheCharacterDrawnWithIt)
{
    const QRawFont face = QRawFont::fromFont(QFont(u"Noto Sans CJK SC"_s));
    if (!face.familyName().contains(u"CJK"_s))
        GTEST_SKIP() << "no Noto Sans CJK SC here";
    const QByteArray before = "stream\nbegincmap\n2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<2F2F> <5458> <0041>]\n"
                              "<0004> <0005> <2F00>\nendbfrange\n1 beginbfchar\n<2F2F> <2F08>\nendbfchar\nendcmap\nendstream";
    QByteArray pdf = before;
    mendTextMaps(pdf, u"工员A人一丁"_s, {face});
    EXPECT_EQ(pdf.size(), before.size());
    EXPECT_EQ(pdf, QByteArray(before).replace("[<2F2F> <5458>", "[<5DE5> <5458>").replace("<2F2F> <2F08>", "<2F2F> <4EBA>"))
        << pdf.toStdString();
}

// The printed pages, read back with poppler's tools: the Simplified Chinese face embedded and
// the values as the list shows them, whatever the locale.
TEST_F(Export, aPdfEmbedsTheSimplifiedChineseFaceAndHoldsTheValuesAsShown)
{
    auto form = start(u"E"_s);
    const QString path = folder.filePath(u"员工.pdf"_s);
    exportList(form->shownList(), path);
    EXPECT_TRUE(contents(path).startsWith("%PDF"));
    const auto run = [](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(30000) && process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput())
                                                                         : QString();
    };
    const QString fonts = run(u"pdffonts"_s, {path});
    if (fonts.isEmpty())
        GTEST_SKIP() << "no pdffonts (poppler-utils) to read the file";
    EXPECT_TRUE(fonts.contains(u"NotoSansCJKsc-Regular"_s)) << fonts.toStdString();
    EXPECT_FALSE(fonts.contains(u"CJKjp"_s)) << "never the Japanese forms";
    const QString text = run(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    for (const QString &shown : {u"000006"_s, u"D01(销售部)"_s, u"1200.5"_s, u"李四"_s})
        EXPECT_TRUE(text.contains(shown)) << shown.toStdString() << " in " << text.toStdString();
}

} // namespace
