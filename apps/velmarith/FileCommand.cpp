#include "FileCommand.h"

#include <velmarith/FileNames.h>
#include <velmarith/WinFile.h>

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace velmarith::app {

namespace {

// `path` made absolute against the current directory, both keeping bytes that are not UTF-8
// (QDir would turn them into "?").
QString absoluteFileName(const QString &path)
{
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    const std::unique_ptr<char, decltype(&std::free)> current(getcwd(nullptr, 0), &std::free);
    const QString base = current ? decodeFileName(QByteArray(current.get())) : QStringLiteral("/");
    return QDir::cleanPath(path.isEmpty() ? base : base + u'/' + path);
}

} // namespace

Command fileCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("file"),
                         QStringLiteral("显示文件窗口，把选中的每个文件的完整路径各写一行到标准输出；什么也没选时退出码为 1。\n"
                                        "Shows the file window and prints each chosen file as a full path on its own line; "
                                        "exits 1 when nothing was chosen."));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("保存：可以输入新的名称 / save: a new name may be typed"));
    const QCommandLineOption path(QStringLiteral("path"),
                                  QStringLiteral("选择目录而不是文件 / choose a directory instead of files"));
    const QCommandLineOption dir(QStringLiteral("dir"),
                                 QStringLiteral("开始的目录（默认为当前目录）/ the directory to start in (default: the current one)"),
                                 QStringLiteral("DIR"));
    const QCommandLineOption filter(QStringLiteral("filter"),
                                    QStringLiteral("文件过滤，如 \"*.txt;*.doc\"（默认 *.*）/ the file filter, such as "
                                                   "\"*.txt;*.doc\" (default *.*)"),
                                    QStringLiteral("PATTERN"));
    parser.addOptions({save, path, dir, filter});
    if (parser.parse(arguments))
        return parser.helpCommand();
    if (parser.isSet(dir) && parser.value(dir).isEmpty())
        parser.fail(QStringLiteral("--dir 不能为空 / --dir cannot be empty"));

    return {true, [pattern = parser.isSet(save) ? QStringLiteral("Save") : QStringLiteral("Load"),
                   place = parser.isSet(path) ? QStringLiteral("Path") : QStringLiteral("File"),
                   start = absoluteFileName(parser.isSet(dir) ? parser.value(dir) : QString()),
                   fileFilter = parser.value(filter)](QTextStream &out) {
                WinFile window;
                window.setFilePattern(pattern);
                window.setFilePlace(place);
                window.setFilePath(start);
                window.setFileFileName(fileFilter);
                window.FileAny();
                const QStringList chosen = window.selectedFiles();
                if (chosen.isEmpty())
                    return int(kCancelled);
                out.flush();
                // The bytes of each path as the system has them, even where they are not UTF-8.
                for (const QString &file : chosen)
                    std::fputs((encodeFileName(file) + '\n').constData(), stdout);
                return int(kConfirmed);
            }};
}

} // namespace velmarith::app
