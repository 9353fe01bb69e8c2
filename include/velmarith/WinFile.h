#pragma once

#include <velmarith/Export.h>

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace velmarith {

class frmFileInOut;

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
    [[nodiscard]] QString FilePattern() const { return mPattern; }
    void setFilePattern(const QString &pattern) { mPattern = pattern; }
    /// "File" to choose file names, "Path" to choose a directory.
    [[nodiscard]] QString FilePlace() const { return mPlace; }
    void setFilePlace(const QString &place) { mPlace = place; }
    /// A value of the host's own, handed back unchanged.
    [[nodiscard]] int16_t FileType() const { return mType; }
    void setFileType(int16_t type) { mType = type; }
    /// The directory to start in; empty for the directory of the library file.
    [[nodiscard]] QString FilePath() const { return mPath; }
    void setFilePath(const QString &path) { mPath = path; }
    /// The file filter ("*.txt;*.doc") and the name box's first text; empty for "*.*".
    [[nodiscard]] QString FileFileName() const { return mFileName; }
    void setFileFileName(const QString &fileName) { mFileName = fileName; }

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
    void FileSuccess(const QString &SelectPattern, const QString &SelectPlace, int16_t SelectType,
                     const QString &SelectPath, const QString &SelectFileName);

private:
    QString mPattern;
    QString mPlace;
    int16_t mType = 0;
    QString mPath;
    QString mFileName;
    std::unique_ptr<frmFileInOut> MyFileInOut;
};

} // namespace velmarith
