#include "toolkit/FileSystemLists.h"

#include "toolkit/Desktop.h"
#include "toolkit/DirectoryReader.h"

#include <velmarith/Error.h>
#include <velmarith/FileNames.h>

#include <QAbstractListModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QStyle>

#include <algorithm>

namespace velmarith::toolkit {
using namespace Qt::StringLiterals;

/// The names of a file list, decoded only when the view asks for a row.
class FileNamesModel final : public QAbstractListModel
{
public:
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(mNames.size());
    }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return name(index.row());
    }
    [[nodiscard]] QString name(int row) const { return displayFileName(decodedName(row)); }
    [[nodiscard]] QString decodedName(int row) const { return decodeFileName(mNames.bytes(size_t(row))); }
    void setNames(NameList names)
    {
        beginResetModel();
        mNames = std::move(names);
        endResetModel();
    }

private:
    NameList mNames;
};

/// A directory list's entries: the ancestors of the path shown, the path itself, then its
/// subdirectories, each indented by its depth; names are decoded only when the view asks.
class DirectoryEntriesModel final : public QAbstractListModel
{
public:
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(mAncestors.size() + qsizetype(mChildren.size()));
    }
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int row = index.row();
        const bool ancestor = row < mAncestors.size();
        if (role == Qt::DecorationRole)
            return ancestor ? mOpenFolder : mClosedFolder;
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        const int depth = ancestor ? row : int(mAncestors.size());
        const QString name = ancestor ? mAncestors[row].section(u'/', -1) : childName(row);
        const QString shown = displayFileName(name.isEmpty() ? QStringLiteral("/") : name);
        // The indent draws the tree; a screen reader says the name alone.
        return role == Qt::AccessibleTextRole ? shown : QString(depth * 2, u' ') + shown;
    }
    /// The entry's full path, in the form decodeFileName() gives.
    [[nodiscard]] QString path(int row) const
    {
        if (row < mAncestors.size())
            return mAncestors[row];
        return (mAncestors.last() == u"/" ? QString() : mAncestors.last()) + u'/' + childName(row);
    }
    [[nodiscard]] int shownRow() const { return int(mAncestors.size()) - 1; }
    void show(QStringList ancestors, NameList children, const QIcon &openFolder, const QIcon &closedFolder)
    {
        beginResetModel();
        mAncestors = std::move(ancestors);
        mChildren = std::move(children);
        mOpenFolder = openFolder;
        mClosedFolder = closedFolder;
        endResetModel();
    }

private:
    [[nodiscard]] QString childName(int row) const
    {
        return decodeFileName(mChildren.bytes(size_t(row - mAncestors.size())));
    }

    QStringList mAncestors; // from "/" to the path shown
    NameList mChildren;
    QIcon mOpenFolder;
    QIcon mClosedFolder;
};

namespace {

// File systems that hold a person's files; the rest of the mount table is the kernel's.
bool isRealFileSystem(const QString &device, const QString &type, const QString &options)
{
    static const QStringList kNetwork{u"nfs"_s, u"nfs4"_s, u"cifs"_s, u"smb3"_s, u"smbfs"_s, u"9p"_s, u"virtiofs"_s, u"fuseblk"_s};
    if (type == u"squashfs")
        return false; // a packaged image (a snap), not a place to keep files
    if (device.startsWith(u"/dev/loop") && options.split(u',').contains(u"ro"_s))
        return false;
    return device.startsWith(u'/') || kNetwork.contains(type) || type.startsWith(u"fuse.");
}

// Blanks and other special bytes of a mount table field are written as \ooo.
QString unescapedMountField(const QByteArray &field)
{
    QByteArray bytes;
    const auto isOctal = [&](qsizetype at) { return field[at] >= '0' && field[at] <= '7'; };
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            bytes += char(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return decodeFileName(bytes);
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path);
}

bool lies(const QString &path, const QString &under)
{
    return path == under || path.startsWith(under.endsWith(u'/') ? under : under + u'/');
}

} // namespace

DriveList::DriveList(const ControlSite &site) : Control(site, new QComboBox(site.parentWidget)), mCombo(static_cast<QComboBox *>(widget()))
{
    setDrives(mountedDrives());
    connect(mCombo, &QComboBox::activated, this, &DriveList::Change);
}

QStringList DriveList::mountedDrives()
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    const QByteArray table = mounts.open(QIODevice::ReadOnly) ? mounts.readAll() : QByteArray();
    return drivesOf(table, QDir::homePath(), qEnvironmentVariable("USER"));
}

QStringList DriveList::drivesOf(const QByteArray &mountTable, const QString &home, const QString &user)
{
    QStringList places{u"/mnt"_s, u"/media"_s};
    if (!user.isEmpty())
        places.append(u"/run/media/"_s + user);
    QStringList mounted;
    for (const QByteArray &line : mountTable.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 4)
            continue;
        const QString mountPoint = unescapedMountField(fields[1]);
        const bool inPlace = std::any_of(places.begin(), places.end(), [&](const QString &place) {
            return mountPoint != place && lies(mountPoint, place);
        });
        if (inPlace && isRealFileSystem(unescapedMountField(fields[0]), QString::fromUtf8(fields[2]), QString::fromUtf8(fields[3])) &&
            !mounted.contains(mountPoint))
            mounted.append(mountPoint);
    }
    std::sort(mounted.begin(), mounted.end());
    QStringList drives{u"/"_s};
    if (!home.isEmpty() && absolute(home) != u"/")
        drives.append(absolute(home));
    return drives + mounted;
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

void DriveList::setDrives(const QStringList &drives)
{
    mCombo->clear();
    mCombo->addItems(drives);
    // No drive is chosen until one is set, so the first choice always raises Change.
    mCombo->setCurrentIndex(-1);
}

QString DriveList::driveOf(const QString &path) const
{
    if (path.isEmpty())
        return {};
    const QString target = absolute(path);
    QString best;
    for (const QString &drive : drives()) {
        if (lies(target, drive) && drive.size() > best.size())
            best = drive;
    }
    return best;
}

void DriveList::setDrive(const QString &path)
{
    const QString drive = driveOf(path);
    if (drive.isEmpty() || !isReadableDirectory(drive))
        throw Error(ErrorNumber::DeviceUnavailable, QStringLiteral("设备不可用：%1").arg(displayFileName(path)));
    if (drive == Drive())
        return;
    mCombo->setCurrentText(drive);
    emit Change();
}

void DriveList::chooseDrive(int index)
{
    mCombo->setCurrentIndex(index);
    emit Change();
}

namespace {

// Space opens the highlighted directory and Backspace the parent, as Enter walks the form.
class DirectoryListView final : public QListView
{
public:
    using QListView::QListView;
    std::function<void(int row)> onOpen;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentIndex().isValid())
            onOpen(currentIndex().row());
        else if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier)
            onOpen(-1);
        else
            QListView::keyPressEvent(event);
    }
};

} // namespace

DirList::DirList(const ControlSite &site)
    : Control(site, new DirectoryListView(site.parentWidget)),
      mView(static_cast<QListView *>(widget())),
      mModel(std::make_unique<DirectoryEntriesModel>())
{
    mView->setModel(mModel.get());
    mView->setUniformItemSizes(true); // lays out 100,000 directories without measuring each
    mView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    static_cast<DirectoryListView *>(mView)->onOpen = [this](int row) {
        if (row >= 0)
            openEntry(row);
        else if (!mPath.isEmpty() && mPath != u"/")
            openEntry(mModel->shownRow() - 1);
    };
    connect(mView, &QListView::doubleClicked, this, [this](const QModelIndex &index) { openEntry(index.row()); });
}

DirList::~DirList()
{
    mView->setModel(nullptr);
}

void DirList::setPath(const QString &path)
{
    const QString target = absolute(path);
    if (target == mPath)
        return; // Refresh reads the same directory again
    showEntries(DirectoryListing::read(target));
    emit Change();
}

void DirList::Refresh()
{
    if (!mPath.isEmpty())
        showEntries(DirectoryListing::read(mPath));
}

void DirList::showEntries(DirectoryListing listing)
{
    mListing = std::move(listing);
    mPath = mListing.path();
    QStringList ancestors;
    for (QString step = mPath;; step = QDir::cleanPath(step + u"/.."_s)) {
        ancestors.prepend(step);
        if (step == u"/")
            break;
    }
    mModel->show(std::move(ancestors), mListing.subdirectories(), mView->style()->standardIcon(QStyle::SP_DirOpenIcon),
                 mView->style()->standardIcon(QStyle::SP_DirClosedIcon));
    mView->setCurrentIndex(mModel->index(mModel->shownRow()));
}

QStringList DirList::entries() const
{
    QStringList paths;
    for (int row = 0; row < mModel->rowCount(); ++row)
        paths.append(mModel->path(row));
    return paths;
}

void DirList::openEntry(int index)
{
    if (index < 0 || index >= mModel->rowCount())
        return;
    try {
        setPath(mModel->path(index));
    } catch (const Error &error) {
        Desktop::current().inform(error.message());
    }
}

FileList::FileList(const ControlSite &site)
    : Control(site, new QListView(site.parentWidget)),
      mView(static_cast<QListView *>(widget())),
      mModel(std::make_unique<FileNamesModel>())
{
    mView->setModel(mModel.get());
    mView->setUniformItemSizes(true); // lays out 100,000 names without measuring each
    mView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(mView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!mSelecting)
            emit Click();
    });
    connect(mView, &QListView::doubleClicked, this, &FileList::DblClick);
}

FileList::~FileList()
{
    mView->setModel(nullptr);
}

void FileList::setPath(const QString &path)
{
    showListing(DirectoryListing::read(absolute(path)));
}

void FileList::showListing(const DirectoryListing &listing)
{
    NameList names = listing.files(FilePatterns(mPattern));
    mListing = listing;
    mPath = listing.path();
    mModel->setNames(std::move(names));
}

void FileList::setPattern(const QString &pattern)
{
    if (pattern == mPattern)
        return;
    mPattern = pattern;
    if (!mPath.isEmpty())
        showListing(mListing);
}

void FileList::Refresh()
{
    if (!mPath.isEmpty())
        setPath(mPath);
}

int FileList::ListCount() const
{
    return mModel->rowCount();
}

QString FileList::List(int index) const
{
    if (index < 0 || index >= ListCount())
        throw Error(ErrorNumber::InvalidArrayIndex, QStringLiteral("文件列表 %1 没有第 %2 项").arg(Name()).arg(index));
    return mModel->name(index);
}

QString FileList::filePath(int index) const
{
    (void)List(index);
    return (mPath == u"/" ? mPath : mPath + u'/') + mModel->decodedName(index);
}

bool FileList::Selected(int index) const
{
    return index >= 0 && index < ListCount() && mView->selectionModel()->isSelected(mModel->index(index));
}

void FileList::setSelected(int index, bool selected)
{
    if (index >= 0 && index < ListCount())
        mView->selectionModel()->select(mModel->index(index), selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FileList::clickEntries(const QList<int> &indexes)
{
    mSelecting = true;
    mView->clearSelection();
    for (int index : indexes)
        setSelected(index, true);
    mSelecting = false;
    emit Click();
}

void FileList::doubleClickEntry(int index)
{
    clickEntries({index});
    emit DblClick();
}

} // namespace velmarith::toolkit
