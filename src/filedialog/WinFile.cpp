#include <velmarith/WinFile.h>

#include "filedialog/frmFileInOut.h"
#include "toolkit/Desktop.h"

namespace velmarith {

WinFile::WinFile(QObject *parent) : QObject(parent) {}

WinFile::~WinFile() = default;

void WinFile::FileAny()
{
    toolkit::ensureApplication();
    MyFileInOut = std::make_unique<frmFileInOut>();
    MyFileInOut->FilePattern = mPattern;
    MyFileInOut->FilePlace = mPlace;
    MyFileInOut->FileType = mType;
    MyFileInOut->FilePath = mPath;
    MyFileInOut->FileFileName = mFileName;
    MyFileInOut->ShowModal();
    emit FileSuccess(MyFileInOut->FilePattern, MyFileInOut->FilePlace, MyFileInOut->FileType, MyFileInOut->FilePath,
                     MyFileInOut->FileFileName);
}

bool WinFile::fileAccepted() const
{
    return MyFileInOut && MyFileInOut->accepted();
}

QStringList WinFile::selectedFiles() const
{
    return MyFileInOut ? MyFileInOut->selectedFiles() : QStringList();
}

} // namespace velmarith
