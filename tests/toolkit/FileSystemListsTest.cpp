#include "toolkit/FileSystemLists.h"
#include "toolkit/Form.h"

#include "support/Errors.h"
#include "support/ScriptedDesktop.h"
#include "support/QtPrinting.h"

#include <velmarith/FileNames.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(FileSystemLists, drivesAreTheRootTheHomeAndRealMountsWhereAPersonMountsThem)
{
    const QByteArray table = "/dev/sda2 / ext4 rw,relatime 0 0\n"
                             "proc /proc proc rw 0 0\n"
                             "/dev/sda1 /boot ext4 rw 0 0\n"
                             "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                             "/dev/sdb1 /media/kim/USB vfat rw 0 0\n"
                             "/dev/sdc1 /media/My\\040Disk exfat rw 0 0\n"
                             "/dev/loop3 /mnt/snap/core squashfs ro 0 0\n"
                             "/dev/loop4 /mnt/iso iso9660 ro 0 0\n"
                             "server:/share /mnt/net nfs4 rw 0 0\n"
                             "kim@host: /mnt/ssh fuse.sshfs rw 0 0\n"
                             "systemd-1 /mnt/auto autofs rw 0 0\n"
                             "/dev/sdd1 /run/media/kim/Disk ext4 rw 0 0\n"
                             "/dev/sde1 /run/media/ann/Disk ext4 rw 0 0\n"
                             "/dev/sdf1 /mnt ext4 rw 0 0\n";
    EXPECT_EQ(DriveList::drivesOf(table, u"/home/kim"_s, u"kim"_s),
              (QStringList{u"/"_s, u"/home/kim"_s, u"/media/My Disk"_s, u"/media/kim/USB"_s, u"/mnt/net"_s, u"/mnt/ssh"_s,
                           u"/run/media/kim/Disk"_s}));

    BrowseForm form;
    EXPECT_EQ(form.drives->drives().mid(0, 2), (QStringList{u"/"_s, QDir::homePath()}));
    form.drives->setDrives({u"/"_s, u"/home/kim"_s, u"/home/kim/usb"_s});
    EXPECT_EQ(form.drives->driveOf(u"/home/kim/usb/a/b"_s), u"/home/kim/usb") << "the longest drive path holds it";
    EXPECT_EQ(form.drives->driveOf(u"/home/kimberly"_s), u"/");
    form.drives->setDrives(DriveList::mountedDrives());
    form.drives->setDrive(QDir::tempPath());
    EXPECT_TRUE(QDir::cleanPath(QDir::tempPath()).startsWith(form.drives->Drive()));
    EXPECT_EQ(errorNumberOf([&] { form.drives->setDrive(QString()); }), ErrorNumber::DeviceUnavailable);
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

TEST(FileSystemLists, everyVisibleNameIsListedByteForByteAndStarDotStarMatchesAll)
{
    QTemporaryDir root;
    const QByteArray folder = QFile::encodeName(root.path());
    const QByteArray odd = "caf\xE9.txt"; // Latin-1, not UTF-8
    for (const QByteArray &name : {odd, QByteArray("README"), QByteArray("b.TXT"), QByteArray(".hidden.txt")})
        ASSERT_EQ(close(open((folder + '/' + name).constData(), O_CREAT | O_WRONLY, 0600)), 0); // QFile would lose the byte
    ASSERT_EQ(mkdir((folder + "/d\xFF").constData(), 0700), 0);
    ASSERT_EQ(mkdir((folder + "/.git").constData(), 0700), 0);

    BrowseForm form;
    form.files->setPath(root.path());
    ASSERT_EQ(form.files->ListCount(), 3) << "no hidden file, no directory";
    EXPECT_EQ(form.files->List(0), u"b.TXT");
    EXPECT_EQ(form.files->List(1), u"caf\\xE9.txt") << "the undecodable byte is shown escaped";
    EXPECT_EQ(form.files->List(2), u"README") << "*.* matches a name without a dot";
    EXPECT_EQ(encodeFileName(form.files->filePath(1)), folder + '/' + odd) << "the path keeps the real bytes";
    form.files->setPattern(u"*.txt"_s);
    EXPECT_EQ(form.files->ListCount(), 2) << "patterns ignore letter case";

    form.dirs->setPath(root.path());
    const QStringList entries = form.dirs->entries();
    ASSERT_EQ(entries.last(), decodeFileName(folder + "/d\xFF")) << "no hidden directory";
    form.dirs->openEntry(int(entries.size()) - 1);
    EXPECT_EQ(encodeFileName(form.dirs->Path()), folder + "/d\xFF");
}

TEST(FileSystemLists, aDirectoryThatCannotBeReadLeavesTheListsWhereTheyWere)
{
    test::ScriptedDesktop desktop;
    QTemporaryDir root;
    touch(QDir(root.path()).filePath(u"a.txt"_s));
    const QString notADirectory = QDir(root.path()).filePath(u"a.txt"_s);
    BrowseForm form;
    form.dirs->setPath(root.path());
    form.files->setPath(root.path());
    EXPECT_EQ(errorNumberOf([&] { form.dirs->setPath(notADirectory); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { form.files->setPath(notADirectory); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(form.dirs->Path(), root.path());
    EXPECT_EQ(form.files->ListCount(), 1);

    const QString locked = QDir(root.path()).filePath(u"locked"_s);
    QDir(root.path()).mkdir(u"locked"_s);
    form.dirs->Refresh();
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool enforced = geteuid() != 0; // root reads any directory
    if (enforced)
        desktop.answer(MessageAnswer::Ok);
    form.dirs->openEntry(int(form.dirs->entries().indexOf(locked)));
    if (enforced) {
        ASSERT_EQ(desktop.messages().size(), 1u);
        EXPECT_TRUE(desktop.messages()[0].text.startsWith(u"无法读取目录 %1："_s.arg(locked))) << desktop.messages()[0].text.toStdString();
        EXPECT_EQ(form.dirs->Path(), root.path());
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
