#include <velmarith/Error.h>
#include <velmarith/WinFile.h>

#include "toolkit/FileSystemLists.h"

#include "support/QtPrinting.h"
#include "support/ScriptedDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

struct Outcome {
    QString pattern;
    QString place;
    int16_t type = -1;
    QString path;
    QString fileName;
    int events = 0;
};

// A folder holding a.txt, b.doc, c.txt and the directories sub and other.
class FileWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &name : {u"a.txt"_s, u"b.doc"_s, u"c.txt"_s}) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        QDir(folder.path()).mkdir(u"sub"_s);
        QDir(folder.path()).mkdir(u"other"_s);
        QObject::connect(&window, &WinFile::FileSuccess,
                         [this](const QString &pattern, const QString &place, int16_t type, const QString &path, const QString &names) {
                             outcome = {pattern, place, type, path, names, outcome.events + 1};
                         });
    }

    void open(const QString &pattern, const QString &place, const QString &fileName = {})
    {
        window.setFilePattern(pattern);
        window.setFilePlace(place);
        window.setFileType(7);
        window.setFilePath(folder.path());
        window.setFileFileName(fileName);
    }

    QTemporaryDir folder;
    test::ScriptedDesktop desktop;
    WinFile window;
    Outcome outcome;
};

} // namespace

TEST_F(FileWindow, withNothingSetStartsInTheLibrarysDirectoryWithEveryFileAndTheDesignedStates)
{
    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"通用输入输出窗口");
        EXPECT_EQ(user.text(u"txt文件"_s), u"") << "neither File nor Path: the name box keeps its design text";
        EXPECT_TRUE(user.isEnabled(u"txt文件"_s));
        EXPECT_TRUE(user.isEnabled(u"cmd创建"_s));
        EXPECT_EQ(user.text(u"lab提示"_s), u"所选文件");
        EXPECT_EQ(user.text(u"cmd创建"_s), u"创建目录(&M)");
        user.click(u"cmd取消"_s);
    });
    WinFile plain;
    QString path;
    QString names;
    QObject::connect(&plain, &WinFile::FileSuccess, [&](auto, auto, auto, const QString &p, const QString &n) {
        path = p;
        names = n;
    });
    plain.FileAny();
    // The library's code is linked into this test program, so its file is the program.
    EXPECT_EQ(path, QCoreApplication::applicationDirPath());
    EXPECT_EQ(names, u"*.*");
    EXPECT_FALSE(plain.fileAccepted());
    EXPECT_TRUE(plain.selectedFiles().isEmpty());
}

TEST_F(FileWindow, loadingFilesJoinsTheSelectedNamesAndCancelStillReportsThem)
{
    open(u"Load"_s, u"File"_s);
    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"装入文件");
        EXPECT_FALSE(user.isEnabled(u"txt文件"_s));
        EXPECT_FALSE(user.isEnabled(u"cmd创建"_s));
        EXPECT_EQ(user.items(u"fle文件"_s), (QStringList{u"a.txt"_s, u"b.doc"_s, u"c.txt"_s}));
        EXPECT_EQ(user.text(u"txt文件"_s), u"*.*");
        user.clickFiles(u"fle文件"_s, {1, 3});
        EXPECT_EQ(user.text(u"txt文件"_s), u"a.txt,c.txt");
        user.click(u"cmd取消"_s);
    });
    window.FileAny();
    EXPECT_EQ(outcome.events, 1);
    EXPECT_EQ(outcome.pattern, u"Load");
    EXPECT_EQ(outcome.place, u"File");
    EXPECT_EQ(outcome.type, 7);
    EXPECT_EQ(outcome.path, folder.path() + u"/"_s) << "a click leaves the path with a trailing /";
    EXPECT_EQ(outcome.fileName, u"a.txt,c.txt");
    EXPECT_FALSE(window.fileAccepted());
    EXPECT_TRUE(window.selectedFiles().isEmpty()) << "a cancel chooses nothing";
    EXPECT_EQ(window.FilePath(), folder.path()) << "the object's own properties are unchanged";

    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) {
        user.clickFiles(u"fle文件"_s, {1, 3});
        user.clickFiles(u"fle文件"_s, {});
        EXPECT_EQ(user.text(u"txt文件"_s), u"") << "a click with nothing selected empties the name";
        user.clickFiles(u"fle文件"_s, {1, 3});
        user.click(u"cmd确定"_s);
    });
    window.FileAny();
    EXPECT_TRUE(window.fileAccepted());
    EXPECT_EQ(window.selectedFiles(), (QStringList{folder.filePath(u"a.txt"_s), folder.filePath(u"c.txt"_s)}));

    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) { user.doubleClickItem(u"fle文件"_s, 2); });
    window.FileAny();
    EXPECT_TRUE(window.fileAccepted()) << "a double click confirms";
    EXPECT_EQ(outcome.fileName, u"b.doc");
    EXPECT_EQ(outcome.events, 3);
}

TEST_F(FileWindow, savingKeepsATypedNameAndTheFilterIsTheFirstName)
{
    open(u"Save"_s, u"File"_s, u"*.txt"_s);
    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"保存文件");
        EXPECT_TRUE(user.isEnabled(u"txt文件"_s));
        EXPECT_EQ(user.items(u"fle文件"_s), (QStringList{u"a.txt"_s, u"c.txt"_s}));
        EXPECT_EQ(user.text(u"txt文件"_s), u"*.txt");
        user.setText(u"txt文件"_s, u"报表, 2024.txt"_s);
        user.click(u"cmd确定"_s);
    });
    window.FileAny();
    EXPECT_EQ(outcome.fileName, u"报表, 2024.txt");
    EXPECT_TRUE(window.fileAccepted());
    EXPECT_EQ(window.selectedFiles(), QStringList{folder.filePath(u"报表, 2024.txt"_s)}) << "a comma in a name is no list";

    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) { user.click(u"cmd确定"_s); });
    window.FileAny();
    EXPECT_TRUE(window.selectedFiles().isEmpty()) << "the untouched filter names no file";
}

TEST_F(FileWindow, choosingADirectoryHidesTheFilesAndReportsThePathWithoutATrailingSlash)
{
    open(u"Load"_s, u"Path"_s);
    const QString sub = folder.filePath(u"sub"_s);
    desktop.expectModal(u"frmFileInOut"_s, [&](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"装入路径");
        EXPECT_EQ(user.text(u"lab提示"_s), u"所选路径");
        EXPECT_FALSE(user.isVisible(u"fle文件"_s));
        EXPECT_EQ(user.control(u"drv磁盘"_s).Width(), 5700);
        EXPECT_EQ(user.control(u"dir目录"_s).Width(), 5670);
        EXPECT_EQ(user.text(u"txt文件"_s), folder.path());
        auto &dirs = static_cast<toolkit::DirList &>(user.control(u"dir目录"_s));
        dirs.openEntry(int(dirs.entries().indexOf(sub)));
        EXPECT_EQ(user.text(u"txt文件"_s), sub) << "each directory change shows its path";
        user.pressKey(27);
    });
    window.FileAny();
    EXPECT_EQ(outcome.path, sub);
    EXPECT_EQ(outcome.fileName, u"*.*") << "the file names given come back in Path mode";
    EXPECT_FALSE(window.fileAccepted()) << "Escape cancels";

    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) { user.click(u"cmd确定"_s); });
    window.FileAny();
    EXPECT_EQ(window.selectedFiles(), QStringList{folder.path()});
}

TEST_F(FileWindow, aDriveThatCannotBeOpenedIsReportedAndTheListGoesBack)
{
    open(u"Load"_s, u"File"_s);
    desktop.answer(MessageAnswer::Ok);
    desktop.expectModal(u"frmFileInOut"_s, [&](FormDriver &user) {
        auto &drives = static_cast<toolkit::DriveList &>(user.control(u"drv磁盘"_s));
        const QString before = drives.Drive();
        drives.setDrives(drives.drives() << u"/no-such-mount"_s);
        drives.setDrive(folder.path()); // the new list chose no drive yet
        drives.chooseDrive(int(drives.drives().size()) - 1);
        EXPECT_EQ(drives.Drive(), before);
        EXPECT_EQ(user.items(u"fle文件"_s).size(), 3) << "and the window shows its directory again";
        user.close();
    });
    window.FileAny();
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, u"您选择的磁盘不存在或出现错误！");
    EXPECT_EQ(outcome.path, folder.path());
}

TEST_F(FileWindow, makeDirectoryCreatesInTheShownDirectoryAndRefusesWhatWouldLeaveIt)
{
    open(u"Save"_s, u"File"_s);
    auto makeDirectory = [&](const QString &name) {
        desktop.expectModal(u"frmInputAny"_s, [name](FormDriver &input) {
            EXPECT_EQ(input.caption(), u"目录名称");
            EXPECT_EQ(input.text(u"lab提示"_s), u"请输入要创建的目录名称");
            EXPECT_EQ(input.text(u"txt内容"_s), u"");
            input.setText(u"txt内容"_s, name);
            input.click(u"cmd确定"_s);
        });
    };
    for (int i = 0; i < 4; ++i)
        desktop.answer(MessageAnswer::Ok);
    desktop.expectModal(u"frmFileInOut"_s, [&](FormDriver &user) {
        for (const QString &name : {u"new"_s, u"a.txt"_s, u"../escape"_s, u".."_s, u"a/b"_s})
            makeDirectory(name);
        for (int i = 0; i < 5; ++i)
            user.click(u"cmd创建"_s);
        EXPECT_TRUE(user.items(u"dir目录"_s).contains(folder.filePath(u"new"_s))) << user.items(u"dir目录"_s).join(u' ').toStdString();
        EXPECT_EQ(static_cast<toolkit::DirList &>(user.control(u"dir目录"_s)).Path(), folder.path())
            << "the current directory does not change";
        user.click(u"cmd取消"_s);
    });
    window.FileAny();
    EXPECT_TRUE(QFileInfo(folder.filePath(u"new"_s)).isDir());
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(u"../escape"_s)));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(u"a"_s)));
    EXPECT_EQ(outcome.path, folder.path() + u"/"_s) << "a creation leaves the path with a trailing /";
    ASSERT_EQ(desktop.messages().size(), 4u);
    EXPECT_EQ(desktop.messages()[0].text, u"目录已经存在！") << "a file of that name is taken too";
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(desktop.messages()[size_t(i)].text, u"目录名称不能含有“/”，也不能是“.”或“..”！");
}

TEST_F(FileWindow, aDirectoryThatCannotBeMadeOrShownSaysWhyInWords)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into and read any directory";
    open(u"Save"_s, u"File"_s);
    const auto makeDirectory = [&](const QString &name) {
        desktop.expectModal(u"frmInputAny"_s, [name](FormDriver &input) {
            input.setText(u"txt内容"_s, name);
            input.click(u"cmd确定"_s);
        });
    };
    desktop.answer(MessageAnswer::Ok);
    desktop.answer(MessageAnswer::Ok);
    desktop.expectModal(u"frmFileInOut"_s, [&](FormDriver &user) {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        makeDirectory(u"new"_s);
        user.click(u"cmd创建"_s);
        // Became unreadable while shown: the directory is made, and the list cannot follow.
        QFile::setPermissions(folder.path(), QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        makeDirectory(u"made"_s);
        user.click(u"cmd创建"_s);
        user.click(u"cmd取消"_s);
    });
    window.FileAny();
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(desktop.messages().size(), 2u);
    EXPECT_TRUE(desktop.messages()[0].text.startsWith(u"无法创建目录 %1/new："_s.arg(folder.path())));
    EXPECT_TRUE(desktop.messages()[1].text.startsWith(u"已创建目录 %1/made，但不能显示它：无法读取目录"_s.arg(folder.path())))
        << desktop.messages()[1].text.toStdString();
    EXPECT_TRUE(QFileInfo(folder.filePath(u"made"_s)).isDir());
}

TEST_F(FileWindow, aStartingDirectoryThatDoesNotExistOpensTheCurrentDirectoryOfItsDrive)
{
    open(u"Load"_s, u"File"_s);
    window.setFilePath(folder.filePath(u"missing"_s));
    desktop.expectModal(u"frmFileInOut"_s, [](FormDriver &user) { user.click(u"cmd取消"_s); });
    window.FileAny();
    QString drive;
    for (const QString &candidate : toolkit::DriveList::mountedDrives()) {
        if ((folder.path() + u'/').startsWith(candidate == u"/" ? candidate : candidate + u'/') && candidate.size() > drive.size())
            drive = candidate;
    }
    EXPECT_EQ(outcome.path, drive) << "never shown before, the drive's current directory is its root";
    EXPECT_TRUE(desktop.messages().empty());
}
