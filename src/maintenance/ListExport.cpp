#include "maintenance/ListExport.h"
#include "maintenance/ListPrint.h"
#include "maintenance/ListWorkbook.h"

#include <velmarith/Error.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>

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

void writeCsv(const ShownList &list, QIODevice &file)
{
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
}

// Has `write` fill a file that takes the place of `path` only once whole, so a failure never
// leaves half a file nor harms the one there.
void save(const QString &path, const std::function<bool(QIODevice &file)> &write)
{
    if (!QFileInfo(path).absoluteDir().exists())
        refuse(path, QStringLiteral("文件夹不存在"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        refuse(path, file.errorString());
    const bool written = write(file);
    if (!file.commit() || !written)
        refuse(path, file.error() == QFileDevice::NoError ? QStringLiteral("写入失败") : file.errorString());
}

} // namespace

void exportList(const ShownList &list, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return save(path, [&](QIODevice &file) {
            writeCsv(list, file);
            return true;
        });
    if (suffix == u"xlsx")
        return save(path, [&](QIODevice &file) { return writeWorkbook(list, file); });
    if (suffix == u"pdf")
        return save(path, [&](QIODevice &file) { return printList(list, file); });
    refuse(path, QStringLiteral("只能导出为 .csv、.xlsx 或 .pdf 文件"));
}

} // namespace velmarith
