#include "maintenance/ListExport.h"
#include "maintenance/ListPrint.h"

#include <velmarith/Error.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef VELMARITH_HAVE_XLSX
#include <xlsxwriter.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace velmarith {

namespace {

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw Error(ErrorNumber::InvalidArgument, QStringLiteral("无法导出到 %1：%2").arg(QDir::toNativeSeparators(path), why));
}

// A field as Excel and the csv readers take it: quoted where it holds a separator, a quote,
// a line break or blanks at either end, its quotes doubled; appended to `line`.
void appendCsvField(const QString &text, QByteArray &line)
{
    bool quoted = !text.isEmpty() && (text.front() == u' ' || text.back() == u' ');
    for (qsizetype i = 0; i < text.size() && !quoted; ++i) {
        const char16_t c = text[i].unicode();
        quoted = c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    }
    if (!quoted) {
        line += text.toUtf8();
        return;
    }
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    line += '"';
    line += bytes;
    line += '"';
}

void writeCsv(const ShownList &list, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        refuse(path, file.errorString());
    const qsizetype columns = list.captions.size();
    QByteArray line("\xEF\xBB\xBF");
    for (qsizetype column = 0; column < columns; ++column) {
        if (column > 0)
            line += ',';
        appendCsvField(list.captions[column], line);
    }
    line += "\r\n";
    for (int row = 0; row < list.rowCount; ++row) {
        for (qsizetype column = 0; column < columns; ++column) {
            if (column > 0)
                line += ',';
            appendCsvField(list.cell(row, int(column)), line);
        }
        line += "\r\n";
        // Written in pieces of some size, so the whole list is never held twice.
        if (line.size() > (1 << 16)) {
            file.write(line);
            line.clear();
        }
    }
    file.write(line);
    if (!file.commit())
        refuse(path, file.errorString());
}

#ifdef VELMARITH_HAVE_XLSX
// A number as the list shows it, kept a number with as many decimals, where the text is one.
struct ShownNumber {
    double value;
    int decimals;
};

std::optional<ShownNumber> numberIn(const QString &text)
{
    // -?digits(.digits)?, at most 15 digits before the point and 10 after, as a double keeps them.
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const qsizetype integerStart = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    const qsizetype integerDigits = i - integerStart;
    qsizetype decimals = 0;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        decimals = i - fractionStart;
        if (decimals == 0)
            return std::nullopt;
    }
    if (i != text.size() || integerDigits == 0 || integerDigits > 15 || decimals > 10)
        return std::nullopt;
    return ShownNumber{text.toDouble(), int(decimals)};
}

struct WorkbookCloser {
    void operator()(lxw_workbook *workbook) const { workbook_close(workbook); }
};

void writeXlsx(const ShownList &list, const QString &path, const QByteArray &partialName)
{
    const QByteArray temporaryFolder = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(temporaryFolder.constData());
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new_opt(partialName.constData(), &options));
    if (!workbook)
        refuse(path, QStringLiteral("无法创建工作簿"));
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), nullptr);
    lxw_format *heading = workbook_add_format(workbook.get());
    format_set_bold(heading);
    std::vector<lxw_format *> decimals;
    for (int places = 0; places <= 10; ++places) {
        lxw_format *format = workbook_add_format(workbook.get());
        format_set_num_format(format, places == 0 ? "0" : ("0." + QByteArray(places, '0')).constData());
        decimals.push_back(format);
    }
    for (qsizetype column = 0; column < list.captions.size(); ++column)
        worksheet_write_string(sheet, 0, lxw_col_t(column), list.captions[column].toUtf8().constData(), heading);
    for (int row = 0; row < list.rowCount; ++row) {
        for (qsizetype column = 0; column < list.captions.size(); ++column) {
            const QString text = list.cell(row, int(column));
            const std::optional<ShownNumber> number = list.textColumns[size_t(column)] ? std::nullopt : numberIn(text);
            if (number)
                worksheet_write_number(sheet, lxw_row_t(row + 1), lxw_col_t(column), number->value, decimals[size_t(number->decimals)]);
            else if (!text.isEmpty())
                worksheet_write_string(sheet, lxw_row_t(row + 1), lxw_col_t(column), text.toUtf8().constData(), nullptr);
        }
    }
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR)
        refuse(path, QString::fromUtf8(lxw_strerror(closed)));
}
#endif

// Has `write` make the file under a temporary name beside `path` and moves it over `path`
// once whole, so a failure never leaves half a file nor harms the one there.
void writeBeside(const QString &path, const std::function<void(const QByteArray &partialName)> &write)
{
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        refuse(path, QStringLiteral("文件夹不存在"));
    QTemporaryFile partial(target.absoluteDir().filePath(QStringLiteral(".velmarith-export-XXXXXX.") + target.suffix()));
    if (!partial.open())
        refuse(path, partial.errorString());
    partial.close();
    const QByteArray partialName = QFile::encodeName(partial.fileName());
    write(partialName);
    // A temporary file is the owner's alone; the file gets what a file written in place would.
    const QFileDevice::Permissions shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    partial.setPermissions(target.exists() ? QFile::permissions(path) : shared);
    if (std::rename(partialName.constData(), QFile::encodeName(path).constData()) != 0)
        refuse(path, QString::fromLocal8Bit(std::strerror(errno)));
    partial.setAutoRemove(false);
}

} // namespace

void exportList(const ShownList &list, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return writeCsv(list, path);
    if (suffix == u"pdf")
        return writeBeside(path, [&](const QByteArray &partial) { printList(list, QFile::decodeName(partial)); });
#ifdef VELMARITH_HAVE_XLSX
    if (suffix == u"xlsx")
        return writeBeside(path, [&](const QByteArray &partial) { writeXlsx(list, path, partial); });
#else
    if (suffix == u"xlsx")
        refuse(path, QStringLiteral("本程序编译时没有 libxlsxwriter，不能写 .xlsx 文件"));
#endif
    refuse(path, QStringLiteral("只能导出为 .csv、.xlsx 或 .pdf 文件"));
}

} // namespace velmarith
