#include "filedialog/frmFileInOut.h"

#include "common/IgnoringErrors.h"
#include "input/frmInputAny.h"
#include "toolkit/Desktop.h"
#include "toolkit/DirectoryReader.h"
#include "toolkit/FileSystemLists.h"
#include "toolkit/TextBox.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace velmarith {

using namespace toolkit;

namespace {

QString withTrailingSlash(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

} // namespace

QString frmFileInOut::currentDirectoryOf(const QString &drive) const
{
    const auto shown = mShownOnDrive.find(drive);
    return shown == mShownOnDrive.end() ? drive : shown->second;
}

void frmFileInOut::drv磁盘_Change()
{
    const QString drive = drv磁盘->Drive();
    if (ranWithoutError([&] { dir目录->setPath(currentDirectoryOf(drive)); })) {
        LastDrive = drive;
        return;
    }
    Desktop::current().inform(QStringLiteral("您选择的磁盘不存在或出现错误！"));
    (void)ranWithoutError([&] { drv磁盘->setDrive(LastDrive); });
}

void frmFileInOut::dir目录_Change()
{
    const QString path = dir目录->Path();
    fle文件->showListing(dir目录->listing()); // the directory as the directory list has just read it
    if (FilePlace == u"Path")
        txt文件->setText(displayFileName(path));
    FilePath = path;
    mShownOnDrive[drv磁盘->driveOf(path)] = path;
}

void frmFileInOut::fle文件_Click()
{
    FilePath = withTrailingSlash(dir目录->Path());
    if (FilePlace == u"File") {
        // A plain int: a 16-bit counter would overflow in a directory of more than 32767 files.
        QStringList names;
        for (int index = 0; index < fle文件->ListCount(); ++index) {
            if (fle文件->Selected(index))
                names.append(fle文件->List(index));
        }
        txt文件->setText(names.join(u','));
        mClickedNames = txt文件->Text();
    }
    FileFileName = txt文件->Text();
}

void frmFileInOut::fle文件_DblClick()
{
    mAccepted = true;
    Unload();
}

void frmFileInOut::cmd创建_Click()
{
    MyInputAny = std::make_unique<frmInputAny>();
    connect(MyInputAny.get(), &frmInputAny::InputSuccess, this, &frmFileInOut::MyInputAny_InputSuccess);
    MyInputAny->InputAny(QStringLiteral("请输入要创建的目录名称"), QStringLiteral("目录名称"), QStringLiteral("Input"),
                         std::make_shared<Collection>());
    MyInputAny->ShowModal(this);
}

void frmFileInOut::MyInputAny_InputSuccess(const QString &InputText)
{
    if (InputText.isEmpty())
        return;
    // The new directory goes into the one shown, never beside or above it.
    if (InputText.contains(u'/') || InputText == u"." || InputText == u"..") {
        Desktop::current().inform(QStringLiteral("目录名称不能含有“/”，也不能是“.”或“..”！"));
        return;
    }
    const QString folder = withTrailingSlash(FilePath);
    const QByteArray target = encodeFileName(folder + InputText);
    struct stat existing {};
    if (lstat(target.constData(), &existing) == 0) {
        FilePath = folder;
        Desktop::current().inform(QStringLiteral("目录已经存在！"));
        return;
    }
    if (mkdir(target.constData(), 0777) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        Desktop::current().inform(QStringLiteral("无法创建目录 %1：%2").arg(displayFileName(folder + InputText), reason));
        return;
    }
    FilePath = folder;
    try {
        dir目录->Refresh();
    } catch (const Error &unreadable) {
        // Made, but the directory shown can no longer be read (its rights changed meanwhile).
        Desktop::current().inform(
            QStringLiteral("已创建目录 %1，但不能显示它：%2").arg(displayFileName(folder + InputText), unreadable.message()));
    }
}

} // namespace velmarith
