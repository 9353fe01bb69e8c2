#include "toolkit/FileSystemLists.h"

#include <velmarith/Error.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QStyle>

#include <algorithm>

namespace velmarith::toolkit {
using namespace Qt::StringLiterals;

namespace {

// File systems that hold files a person keeps; the rest of /proc/self/mounts is the kernel's.
bool isRealFileSystem(const QString &device, const QString &type)
{
    static const QStringList kNetworkAndLayered{u"overlay"_s, u"nfs"_s, u"nfs4"_s, u"cifs"_s, u"smb3"_s,
                                               u"9p"_s, u"virtiofs"_s, u"zfs"_s, u"fuseblk"_s};
    return device.startsWith(u'/') || kNetworkAndLayered.contains(type);
}

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

DriveList::DriveList(const ControlSite &site) : Control(site, new QComboBox(site.parentWidget)), mCombo(static_cast<QComboBox *>(widget()))
{
    mCombo->addItems(mountedDrives());
    connect(mCombo, &QComboBox::activated, this, &DriveList::Change);
}

QStringList DriveList::mountedDrives()
{
    QStringList drives;
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (mounts.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray &line : mounts.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 3)
                continue;
            // Blanks in a mount point are written as \040.
            const QString mountPoint = QString::fromUtf8(fields[1]).replace(u"\\040"_s, u" "_s);
            if (isRealFileSystem(QString::fromUtf8(fields[0]), QString::fromUtf8(fields[2])) && !drives.contains(mountPoint))
                drives.append(mountPoint);
        }
    }
    if (!drives.contains(u"/"_s))
        drives.prepend(u"/"_s);
    std::sort(drives.begin(), drives.end());
    return drives;
}

QString DriveList::Drive() const
{
    return mCombo->currentText();
}

QStringList DriveList::drives() const
{
    QStringList items;
    for (int i = 0; i < mCombo->count(); ++i)
        items.append(mCombo->itemText(i));
    return items;
}

void DriveList::setDrive(const QString &path)
{
    const QString target = normalised(path);
    QString best;
    for (const QString &drive : drives()) {
        const bool under = target == drive || target.startsWith(drive.endsWith(u'/') ? drive : drive + u'/');
        if (under && drive.size() > best.size())
            best = drive;
    }
    if (best.isEmpty() || !QDir(best).isReadable())
        throw Error(ErrorNumber::DeviceUnavailable, QStringLiteral("设备不可用：%1").arg(path));
    if (best == Drive())
        return;
    mCombo->setCurrentText(best);
    emit Change();
}

DirList::DirList(const ControlSite &site) : Control(site, new QListWidget(site.parentWidget)), mList(static_cast<QListWidget *>(widget()))
{
    connect(mList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { openEntry(mList->row(item)); });
}

void DirList::setPath(const QString &path)
{
    const QString target = normalised(path);
    if (!QFileInfo(target).isDir())
        throw Error(ErrorNumber::PathNotFound, QStringLiteral("路径不存在：%1").arg(path));
    const bool changed = target != mPath;
    mPath = target;
    Refresh();
    if (changed)
        emit Change();
}

void DirList::Refresh()
{
    mEntries.clear();
    mList->clear();
    if (mPath.isEmpty())
        return;
    const QIcon closedFolder = mList->style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon openFolder = mList->style()->standardIcon(QStyle::SP_DirOpenIcon);
    QStringList ancestors;
    for (QDir dir(mPath);; ) {
        ancestors.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &ancestor : ancestors) {
        const QString name = ancestor == u"/" ? ancestor : QFileInfo(ancestor).fileName();
        auto *item = new QListWidgetItem(openFolder, QString(depth * 2, u' ') + name, mList);
        item->setData(Qt::UserRole, ancestor);
        mEntries.append(ancestor);
        ++depth;
    }
    const QStringList children = QDir(mPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children) {
        const QString full = QDir(mPath).filePath(child);
        auto *item = new QListWidgetItem(closedFolder, QString(depth * 2, u' ') + child, mList);
        item->setData(Qt::UserRole, full);
        mEntries.append(full);
    }
    mList->setCurrentRow(int(ancestors.size()) - 1);
}

QStringList DirList::entries() const
{
    return mEntries;
}

void DirList::openEntry(int index)
{
    if (index >= 0 && index < mEntries.size())
        setPath(mEntries[index]);
}

FileList::FileList(const ControlSite &site) : Control(site, new QListWidget(site.parentWidget)), mList(static_cast<QListWidget *>(widget()))
{
    mList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(mList, &QListWidget::itemClicked, this, &FileList::Click);
    connect(mList, &QListWidget::itemDoubleClicked, this, &FileList::DblClick);
}

void FileList::setPath(const QString &path)
{
    mPath = normalised(path);
    Refresh();
}

void FileList::setPattern(const QString &pattern)
{
    mPattern = pattern;
    Refresh();
}

void FileList::Refresh()
{
    mList->clear();
    if (mPath.isEmpty())
        return;
    QStringList filters;
    for (const QString &part : mPattern.split(u';', Qt::SkipEmptyParts))
        filters.append(part.trimmed() == u"*.*" ? u"*"_s : part.trimmed());
    mList->addItems(QDir(mPath).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

int FileList::ListCount() const
{
    return mList->count();
}

QString FileList::List(int index) const
{
    if (index < 0 || index >= ListCount())
        throw Error(ErrorNumber::InvalidArrayIndex, QStringLiteral("文件列表 %1 没有第 %2 项").arg(Name()).arg(index));
    return mList->item(index)->text();
}

bool FileList::Selected(int index) const
{
    return mList->item(index) && mList->item(index)->isSelected();
}

void FileList::setSelected(int index, bool selected)
{
    if (QListWidgetItem *item = mList->item(index))
        item->setSelected(selected);
}

void FileList::clickEntries(const QList<int> &indexes)
{
    mList->clearSelection();
    for (int index : indexes)
        setSelected(index, true);
    emit Click();
}

void FileList::doubleClickEntry(int index)
{
    clickEntries({index});
    emit DblClick();
}

} // namespace velmarith::toolkit
