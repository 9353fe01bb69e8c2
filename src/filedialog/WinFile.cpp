#include <velmarith/WinFile.h>

#include "filedialog/frmFileInOut.h"
#include "toolkit/Desktop.h"

namespace velmarith {

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT WinFile::Private
{
public:
    QString mPattern;
    QString mPlace;
    int16_t mType = 0;
    QString mPath;
    QString mFileName;
    std::unique_ptr<frmFileInOut> MyFileInOut;
};

WinFile::WinFile(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

WinFile::~WinFile() = default;

QString WinFile::FilePattern() const
{
    return d->mPattern;
}

QString WinFile::FilePlace() const
{
    return d->mPlace;
}

int16_t WinFile::FileType() const
{
    return d->mType;
}

QString WinFile::FilePath() const
{
    return d->mPath;
}

QString WinFile::FileFileName() const
{
    return d->mFileName;
}

void WinFile::setFilePattern(const QString &pattern)
{
    d->mPattern = pattern;
}

void WinFile::setFilePlace(const QString &place)
{
    d->mPlace = place;
}

void WinFile::setFileType(int16_t type)
{
    d->mType = type;
}

void WinFile::setFilePath(const QString &path)
{
    d->mPath = path;
}

void WinFile::setFileFileName(const QString &fileName)
{
    d->mFileName = fileName;
}

void WinFile::FileAny()
{
    toolkit::ensureApplication();
    d->MyFileInOut = std::make_unique<frmFileInOut>();
    d->MyFileInOut->FilePattern = d->mPattern;
    d->MyFileInOut->FilePlace = d->mPlace;
    d->MyFileInOut->FileType = d->mType;
    d->MyFileInOut->FilePath = d->mPath;
    d->MyFileInOut->FileFileName = d->mFileName;
    d->MyFileInOut->ShowModal();
    emit FileSuccess(d->MyFileInOut->FilePattern, d->MyFileInOut->FilePlace, d->MyFileInOut->FileType, d->MyFileInOut->FilePath,
                     d->MyFileInOut->FileFileName);
}

bool WinFile::fileAccepted() const
{
    return d->MyFileInOut && d->MyFileInOut->accepted();
}

QStringList WinFile::selectedFiles() const
{
    return d->MyFileInOut ? d->MyFileInOut->selectedFiles() : QStringList();
}

} // namespace velmarith
