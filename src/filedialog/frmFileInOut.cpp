#include "filedialog/frmFileInOut.h"

#include "common/LibraryFile.h"

#include "input/frmInputAny.h"
#include "toolkit/CommandButton.h"
#include "toolkit/DirectoryReader.h"
#include "toolkit/FileSystemLists.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/Label.h"
#include "toolkit/PictureBox.h"
#include "toolkit/TextBox.h"

#include <velmarith/FileNames.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace velmarith {

using namespace toolkit;

namespace {

constexpr int kStripIconPixels = 32;

// The folder of the library file this code was loaded from.
QString libraryDirectory()
{
    const QString file = libraryFilePath();
    return file.isEmpty() ? QDir::currentPath() : QFileInfo(file).absolutePath();
}

} // namespace

frmFileInOut::frmFileInOut() : Form(QStringLiteral("frmFileInOut"))
{
    designCaption(QStringLiteral("通用输入输出窗口"));
    designClientSize(7200, 5325);
    setKeyPreview(true);

    Picture1 = &addControl<PictureBox>(QStringLiteral("Picture1"), {0, 0, 1200, 4860});
    Picture1->setTabIndex(0);
    const struct {
        const char *caption;
        QStyle::StandardPixmap icon;
    } pages[] = {{"我的电脑", QStyle::SP_ComputerIcon},
                 {"网上邻居", QStyle::SP_DriveNetIcon},
                 {"电子邮件", QStyle::SP_FileDialogInfoView},
                 {"无线设备", QStyle::SP_DriveFDIcon}};
    for (int index = 0; index < 4; ++index) {
        auto &button = addArrayControl<CommandButton>(Picture1, QStringLiteral("cmdPage"), index,
                                                      {60, 60 + index * 1080, 990, 990}, CommandButton::Style::Graphical);
        button.setCaption(QString::fromUtf8(pages[index].caption));
        button.setPicture(QApplication::style()->standardIcon(pages[index].icon), kStripIconPixels);
        button.setTabIndex(int16_t(index + 1));
        button.setEnabled(index == 0); // only page 0 exists
        cmdPage.push_back(&button);
    }

    picPage = &addArrayControl<PictureBox>(nullptr, QStringLiteral("picPage"), 0, {1200, 0, 6000, 4800});
    picPage->setTabIndex(5);
    drv磁盘 = &addControlIn<DriveList>(*picPage, QStringLiteral("drv磁盘"), {150, 120, 2700, 300});
    drv磁盘->setTabIndex(6);
    dir目录 = &addControlIn<DirList>(*picPage, QStringLiteral("dir目录"), {150, 465, 2670, 3660});
    dir目录->setTabIndex(7);
    fle文件 = &addControlIn<FileList>(*picPage, QStringLiteral("fle文件"), {2910, 135, 2880, 3990});
    fle文件->setTabIndex(8);
    txt文件 = &addControlIn<TextBox>(*picPage, QStringLiteral("txt文件"), {960, 4290, 4800, 300});
    txt文件->setTabIndex(9);
    lab提示 = &addControlIn<Label>(*picPage, QStringLiteral("lab提示"), {150, 4350, 720, 180});
    lab提示->setCaption(QStringLiteral("所选文件"));
    lab提示->setTabIndex(10);
    lab提示->setBuddy(*txt文件);
    drv磁盘->setAccessibleName(QStringLiteral("驱动器"));
    dir目录->setAccessibleName(QStringLiteral("目录树"));
    fle文件->setAccessibleName(QStringLiteral("文件列表"));

    Frame1 = &addControl<Frame>(QStringLiteral("Frame1"), {1200, 4800, 5880, 30});
    Frame1->setTabIndex(13);
    cmd创建 = &addControl<CommandButton>(QStringLiteral("cmd创建"), {2460, 4890, 1500, 330});
    cmd创建->setCaption(QStringLiteral("创建目录(&M)"));
    cmd创建->setTabIndex(14);
    cmd确定 = &addControl<CommandButton>(QStringLiteral("cmd确定"), {3990, 4890, 1500, 330});
    cmd确定->setCaption(QStringLiteral("确定(&Y)"));
    cmd确定->setTabIndex(12);
    cmd取消 = &addControl<CommandButton>(QStringLiteral("cmd取消"), {5520, 4890, 1500, 330});
    cmd取消->setCaption(QStringLiteral("取消(&N)"));
    cmd取消->setTabIndex(11);

    on(drv磁盘, &DriveList::Change, this, &frmFileInOut::drv磁盘_Change);
    on(dir目录, &DirList::Change, this, &frmFileInOut::dir目录_Change);
    on(fle文件, &FileList::Click, this, &frmFileInOut::fle文件_Click);
    on(fle文件, &FileList::DblClick, this, &frmFileInOut::fle文件_DblClick);
    on(cmd创建, &CommandButton::Click, this, &frmFileInOut::cmd创建_Click);
    on(cmd确定, &CommandButton::Click, this, &frmFileInOut::cmd确定_Click);
    on(cmd取消, &CommandButton::Click, this, &frmFileInOut::cmd取消_Click);
}

frmFileInOut::~frmFileInOut() = default;

void frmFileInOut::Form_Load()
{
    centreOnScreen();
    if (FilePath.isEmpty())
        FilePath = libraryDirectory();
    if (FileFileName.isEmpty())
        FileFileName = QStringLiteral("*.*");
    InitFileDialog();
    // The person starts where the choosing is done, not on the strip's first button.
    if (FilePlace == u"Path")
        dir目录->SetFocus();
    else
        fle文件->SetFocus();
}

void frmFileInOut::InitFileDialog()
{
    const QString verb = FilePattern == u"Load" ? QStringLiteral("装入") : FilePattern == u"Save" ? QStringLiteral("保存") : QString();
    QString noun;
    if (FilePlace == u"File") {
        lab提示->setCaption(QStringLiteral("所选文件"));
        noun = QStringLiteral("文件");
    } else if (FilePlace == u"Path") {
        lab提示->setCaption(QStringLiteral("所选路径"));
        noun = QStringLiteral("路径");
    }
    if (!(verb + noun).isEmpty())
        setCaption(verb + noun);
    ShowPage(0);
}

void frmFileInOut::ShowPage(int16_t Index)
{
    if (Index != 0)
        return;
    // The starting directory is the current directory of its drive, so choosing the drive
    // does not move the window away from it.
    if (isReadableDirectory(FilePath))
        mShownOnDrive[drv磁盘->driveOf(FilePath)] = FilePath;
    // The pattern goes first, so the directory change fills the file list once, already
    // filtered; the list holds no directory yet, so setting it shows nothing by itself.
    fle文件->setPattern(FileFileName);
    drv磁盘->setDrive(FilePath);
    dir目录->setPath(FilePath);
    if (FilePattern == u"Load") {
        txt文件->setEnabled(false);
        cmd创建->setEnabled(false);
    } else if (FilePattern == u"Save") {
        txt文件->setEnabled(true);
        cmd创建->setEnabled(true);
    }
    if (FilePlace == u"File") {
        txt文件->setText(FileFileName);
    } else if (FilePlace == u"Path") {
        txt文件->setText(displayFileName(FilePath));
        drv磁盘->setWidth(5700);
        dir目录->setWidth(5670);
        fle文件->setVisible(false);
    }
}

void frmFileInOut::cmd确定_Click()
{
    mAccepted = true;
    // Without this a save window could never name a file that does not exist yet.
    if (FilePattern == u"Save" && FilePlace == u"File")
        FileFileName = txt文件->Text();
    Unload();
}

void frmFileInOut::cmd取消_Click()
{
    Unload();
}

void frmFileInOut::Form_KeyDown(int16_t &keyCode, int16_t)
{
    if (keyCode == KeyCode::Escape)
        Unload();
    else if (keyCode == KeyCode::Return)
        sendTab();
}

void frmFileInOut::Form_KeyPress(int16_t &keyAscii)
{
    if (keyAscii == 13)
        keyAscii = 0;
}

QStringList frmFileInOut::selectedFiles() const
{
    if (!mAccepted)
        return {};
    if (FilePlace == u"Path")
        return {dir目录->Path()};
    if (FilePlace != u"File")
        return {};
    const QString typed = txt文件->Text();
    if (FilePattern == u"Save" && typed != mClickedNames) {
        // A text with wildcards is still the filter the window was given, not a name.
        if (typed.isEmpty() || typed.contains(u'*') || typed.contains(u'?'))
            return {};
        return {QDir::isAbsolutePath(typed) ? typed : QDir(dir目录->Path()).filePath(typed)};
    }
    return selectedEntries();
}

QStringList frmFileInOut::selectedEntries() const
{
    QStringList paths;
    for (int index = 0; index < fle文件->ListCount(); ++index) {
        if (fle文件->Selected(index))
            paths.append(fle文件->filePath(index));
    }
    return paths;
}

} // namespace velmarith
