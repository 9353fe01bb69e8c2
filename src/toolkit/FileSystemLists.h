#pragma once

#include "toolkit/Control.h"
#include "toolkit/DirectoryReader.h"

#include <QStringList>

#include <memory>

class QComboBox;
class QListView;

namespace velmarith::toolkit {

class DirectoryEntriesModel;
class FileNamesModel;

/// The drives: the places a person keeps files. Paths are in the form decodeFileName() gives.
class DriveList final : public Control
{
    Q_OBJECT

public:
    explicit DriveList(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.DriveListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    /// "/", the home directory, then the real file systems mounted under /mnt, /media and
    /// /run/media/$USER, read from the mount table without touching any of them.
    [[nodiscard]] static QStringList mountedDrives();
    /// The same from a mount table's text (/proc/self/mounts), for a given home and user.
    [[nodiscard]] static QStringList drivesOf(const QByteArray &mountTable, const QString &home, const QString &user);

    [[nodiscard]] QString Drive() const;
    /// Chooses the drive holding `path`; error 68 when no drive holds it or it cannot be read.
    /// Raises Change when the drive changes.
    void setDrive(const QString &path);
    [[nodiscard]] QStringList drives() const;
    /// Replaces the drives offered.
    void setDrives(const QStringList &drives);
    /// The drive that holds `path`: the longest drive path it lies under; empty for none.
    [[nodiscard]] QString driveOf(const QString &path) const;
    /// What the person's choice of an entry does: show it and raise Change.
    void chooseDrive(int index);

signals:
    void Change();

private:
    QComboBox *mCombo;
};

/// The directories on the way to the current path, then its subdirectories (no hidden ones).
/// A double click or Space opens the highlighted entry, Backspace the parent directory (Enter
/// belongs to the form).
class DirList final : public Control
{
    Q_OBJECT

public:
    explicit DirList(const ControlSite &site);
    ~DirList() override;
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.DirListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Path() const { return mPath; }
    /// Opens a directory and raises Change; the path shown already changes nothing. Error 76
    /// when it does not exist, 75 when it cannot be read; the list stays as it was on an error.
    void setPath(const QString &path);
    /// Reads the directory again, for a subdirectory made meanwhile.
    void Refresh();
    /// The entries' full paths: the ancestors from the root, the path itself, its subdirectories.
    [[nodiscard]] QStringList entries() const;
    /// The reading of the directory shown, for a file list to show the same directory.
    [[nodiscard]] const DirectoryListing &listing() const { return mListing; }
    /// What the person's double click on an entry does: open it, or say why it cannot be.
    void openEntry(int index);

signals:
    void Change();

private:
    void showEntries(DirectoryListing listing);

    QListView *mView;
    std::unique_ptr<DirectoryEntriesModel> mModel;
    DirectoryListing mListing;
    QString mPath;
};

/// The files of a directory that match a pattern ("*.txt;*.doc", "*.*" for all), with extended
/// multiple selection. The names are kept as the system gives them and shown as displayFileName()
/// writes them, so even a directory of 100,000 files fills at once.
class FileList final : public Control
{
    Q_OBJECT

public:
    explicit FileList(const ControlSite &site);
    ~FileList() override;
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.FileListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Path() const { return mPath; }
    /// Shows the files of a directory; error 76 or 75 as DirList::setPath, the list unchanged.
    void setPath(const QString &path);
    /// Shows the files of a directory already read (the one a directory list shows).
    void showListing(const DirectoryListing &listing);
    [[nodiscard]] QString Pattern() const { return mPattern; }
    void setPattern(const QString &pattern);
    void Refresh();
    [[nodiscard]] int ListCount() const;
    /// The name of entry `index` (0-based) as shown; error 381 outside the list.
    [[nodiscard]] QString List(int index) const;
    /// The full path of entry `index`, in the form decodeFileName() gives.
    [[nodiscard]] QString filePath(int index) const;
    [[nodiscard]] bool Selected(int index) const;
    void setSelected(int index, bool selected);
    /// What a click of the person does: select exactly these entries (0-based), then Click.
    void clickEntries(const QList<int> &indexes);
    void doubleClickEntry(int index);

signals:
    /// The person changed the selection (by mouse or keyboard).
    void Click();
    void DblClick();

private:
    QListView *mView;
    std::unique_ptr<FileNamesModel> mModel;
    DirectoryListing mListing;
    QString mPath;
    QString mPattern = QStringLiteral("*.*");
    bool mSelecting = false;
};

} // namespace velmarith::toolkit
