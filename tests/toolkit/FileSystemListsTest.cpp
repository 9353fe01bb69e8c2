#include "toolkit/FileSystemLists.h"
#include "toolkit/Form.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;
using velmarith::test::errorNumberOf;

namespace {

class BrowseForm final : public Form
{
public:
    BrowseForm() : Form(QStringLiteral("frmBrowse"))
    {
        drives = &addControl<DriveList>(QStringLiteral("drv磁盘"), {150, 120, 2700, 300});
        dirs = &addControl<DirList>(QStringLiteral("dir目录"), {150, 465, 2670, 3660});
        files = &addControl<FileList>(QStringLiteral("fle文件"), {2910, 135, 2880, 3990});
    }
    DriveList *drives;
    DirList *dirs;
    FileList *files;
};

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(FileSystemLists, drivesAreRootsOfRealFileSystemsOnly)
{
    const QStringList drives = DriveList::mountedDrives();
    EXPECT_TRUE(drives.contains(u"/"_s));
    EXPECT_FALSE(drives.contains(u"/proc"_s));
    EXPECT_FALSE(drives.contains(u"/sys"_s));
    BrowseForm form;
    form.drives->setDrive(QDir::tempPath());
    EXPECT_TRUE(QDir::cleanPath(QDir::tempPath()).startsWith(form.drives->Drive()));
}

TEST(FileSystemLists, directoriesShowTheWayDownAndTheSubdirectories)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(u"data/b"_s);
    QDir(root.path()).mkpath(u"data/a"_s);
    BrowseForm form;
    int changes = 0;
    QObject::connect(form.dirs, &DirList::Change, [&] { ++changes; });
    const QString data = QDir(root.path()).filePath(u"data"_s);
    form.dirs->setPath(data);
    EXPECT_EQ(changes, 1);
    const QStringList entries = form.dirs->entries();
    EXPECT_EQ(entries.first(), u"/");
    EXPECT_EQ(entries.mid(entries.size() - 3), (QStringList{data, data + u"/a"_s, data + u"/b"_s}));
    form.dirs->openEntry(int(entries.size()) - 1);
    EXPECT_EQ(form.dirs->Path(), data + u"/b"_s);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(errorNumberOf([&] { form.dirs->setPath(data + u"/missing"_s); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(form.dirs->Path(), data + u"/b"_s);
}

TEST(FileSystemLists, filesMatchThePatternAndSelectSeveral)
{
    QTemporaryDir root;
    for (const char *name : {"c.txt", "a.txt", "b.doc", "d.csv"})
        touch(QDir(root.path()).filePath(QString::fromUtf8(name)));
    QDir(root.path()).mkdir(u"sub.txt"_s);
    BrowseForm form;
    form.files->setPath(root.path());
    EXPECT_EQ(form.files->ListCount(), 4) << "files only, *.* by default";
    form.files->setPattern(u"*.txt;*.doc"_s);
    ASSERT_EQ(form.files->ListCount(), 3);
    EXPECT_EQ(form.files->List(0), u"a.txt");
    form.files->clickEntries({0, 2});
    EXPECT_TRUE(form.files->Selected(0));
    EXPECT_FALSE(form.files->Selected(1));
    EXPECT_TRUE(form.files->Selected(2));
}
