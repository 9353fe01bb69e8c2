#pragma once

#include <velmarith/Export.h>

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace velmarith {

/// The file window for hosts: the person picks files or a directory, for loading ("Load") or
/// saving ("Save"). FileAny reports the outcome through FileSuccess after the window closes,
/// also when the person cancelled; fileAccepted() and selectedFiles() tell the two apart.
class VELMARITH_EXPORT WinFile : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FilePattern READ FilePattern WRITE setFilePattern)
    Q_PROPERTY(QString FilePlace READ FilePlace WRITE setFilePlace)
    Q_PROPERTY(int16_t FileType READ FileType WRITE setFileType)
    Q_PROPERTY(QString FilePath READ FilePath WRITE setFilePath)
    Q_PROPERTY(QString FileFileName READ FileFileName WRITE setFileFileName)

public:
    explicit WinFile(QObject *parent = nullptr);
    ~WinFile() override;

    /// "Load" or "Save" (exactly; another value leaves the name box and 创建目录 as designed).
    [[nodiscard]] QString FilePattern() const;
    void setFilePattern(const QString &pattern);
    /// "File" to choose file names, "Path" to choose a directory.
    [[nodiscard]] QString FilePlace() const;
    void setFilePlace(const QString &place);
    /// A value of the host's own, handed back unchanged.
    [[nodiscard]] int16_t FileType() const;
    void setFileType(int16_t type);
    /// The directory to start in; empty for the directory of the library file.
    [[nodiscard]] QString FilePath() const;
    void setFilePath(const QString &path);
    /// The file filter ("*.txt;*.doc") and the name box's first text; empty for "*.*".
    [[nodiscard]] QString FileFileName() const;
    void setFileFileName(const QString &fileName);

    /// Shows the file window modally; after it has closed, raises FileSuccess once with the
    /// window's pattern, place, type, path and names. These properties are not changed. Raises
    /// velmarith::Error, and no event, when the starting directory cannot be shown.
    Q_INVOKABLE void FileAny();

    /// Whether the latest FileAny ended with 确定 or a double click rather than a cancel.
    [[nodiscard]] bool fileAccepted() const;
    /// The files the latest FileAny chose, as full paths (in "Path" mode the chosen directory);
    /// empty after a cancel. A name that is not UTF-8 keeps its bytes as encodeFileName()
    /// reads them (see FileNames.h).
    [[nodiscard]] QStringList selectedFiles() const;

signals:
    /// Raised once by FileAny after the window has closed, also after a cancel, with the
    /// pattern, place and type it was given and the path and names the window ended with.
    void FileSuccess(const QString &SelectPattern, const QString &SelectPlace, int16_t SelectType,
                     const QString &SelectPath, const QString &SelectFileName);

private:
    class Private;
    std::unique_ptr<Private> const d;
};

} // namespace velmarith
