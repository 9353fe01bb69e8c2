#pragma once

#include "toolkit/Control.h"

#include <QStringList>

class QComboBox;
class QListWidget;

namespace velmarith::toolkit {

/// The drives: the roots of the mounted real file systems (no proc, sys, cgroup and the like).
class DriveList final : public Control
{
    Q_OBJECT

public:
    explicit DriveList(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.DriveListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] static QStringList mountedDrives();
    [[nodiscard]] QString Drive() const;
    /// Chooses the drive holding `path` (the deepest mount point it lies under); error 68 when
    /// that drive cannot be read.
    void setDrive(const QString &path);
    [[nodiscard]] QStringList drives() const;

signals:
    void Change();

private:
    QComboBox *mCombo;
};

/// The directories on the way to the current path, then its subdirectories.
class DirList final : public Control
{
    Q_OBJECT

public:
    explicit DirList(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.DirListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Path() const { return mPath; }
    /// Opens a directory; error 76 when it does not exist.
    void setPath(const QString &path);
    /// Reads the directory again, for a subdirectory made meanwhile.
    void Refresh();
    /// The entries shown: the ancestors from the root, the path itself, then its subdirectories.
    [[nodiscard]] QStringList entries() const;
    /// What a double click of the person on an entry does: open it.
    void openEntry(int index);

signals:
    void Change();

private:
    QListWidget *mList;
    QString mPath;
    QStringList mEntries;
};

/// The files of a directory that match a pattern ("*.txt;*.doc", "*.*" for all), with
/// extended multiple selection.
class FileList final : public Control
{
    Q_OBJECT

public:
    explicit FileList(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.FileListBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Path() const { return mPath; }
    void setPath(const QString &path);
    [[nodiscard]] QString Pattern() const { return mPattern; }
    void setPattern(const QString &pattern);
    void Refresh();
    [[nodiscard]] int ListCount() const;
    [[nodiscard]] QString List(int index) const;
    [[nodiscard]] bool Selected(int index) const;
    void setSelected(int index, bool selected);
    /// What a click of the person does: select exactly these entries (0-based), then Click.
    void clickEntries(const QList<int> &indexes);
    void doubleClickEntry(int index);

signals:
    void Click();
    void DblClick();

private:
    QListWidget *mList;
    QString mPath;
    QString mPattern = QStringLiteral("*.*");
};

} // namespace velmarith::toolkit
