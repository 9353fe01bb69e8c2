#pragma once

#include "toolkit/Form.h"

#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>

namespace velmarith {

class frmInputAny;

namespace toolkit {
class CommandButton;
class DirList;
class DriveList;
class FileList;
class Frame;
class Label;
class PictureBox;
class TextBox;
} // namespace toolkit

/// The file window: a strip of four picture buttons and one page with a drive list, a
/// directory list, a file list and a name box, to choose files or a directory for loading
/// ("Load") or saving ("Save"). The five public variables go in before the window is shown and
/// come back, updated by the browsing, after it has closed.
class frmFileInOut final : public toolkit::Form
{
    Q_OBJECT

public:
    frmFileInOut();
    ~frmFileInOut() override;

    QString FilePattern;
    QString FilePlace;
    int16_t FileType = 0;
    QString FilePath;
    QString FileFileName;
    /// The drive the drive list last moved to without error; empty until the first success.
    QString LastDrive;

    /// Whether the window was closed by 确定 or a double click rather than cancelled.
    [[nodiscard]] bool accepted() const { return mAccepted; }
    /// The chosen files as full paths (the chosen directory in "Path" mode); empty after a
    /// cancel or when nothing was chosen. Paths are in the form decodeFileName() gives.
    [[nodiscard]] QStringList selectedFiles() const;

protected:
    void Form_Load() override;
    void Form_KeyDown(int16_t &keyCode, int16_t shift) override;
    void Form_KeyPress(int16_t &keyAscii) override;

private:
    void InitFileDialog();
    void ShowPage(int16_t Index);

    void drv磁盘_Change();
    void dir目录_Change();
    void fle文件_Click();
    void fle文件_DblClick();
    void cmd创建_Click();
    void MyInputAny_InputSuccess(const QString &InputText);
    void cmd确定_Click();
    void cmd取消_Click();

    [[nodiscard]] QString currentDirectoryOf(const QString &drive) const;
    [[nodiscard]] QStringList selectedEntries() const;

    toolkit::PictureBox *Picture1;
    std::vector<toolkit::CommandButton *> cmdPage;
    toolkit::PictureBox *picPage;
    toolkit::DriveList *drv磁盘;
    toolkit::DirList *dir目录;
    toolkit::FileList *fle文件;
    toolkit::TextBox *txt文件;
    toolkit::Label *lab提示;
    toolkit::Frame *Frame1;
    toolkit::CommandButton *cmd创建;
    toolkit::CommandButton *cmd确定;
    toolkit::CommandButton *cmd取消;

    std::unique_ptr<frmInputAny> MyInputAny;
    /// The directory this window last showed on each drive, its "current directory".
    std::map<QString, QString> mShownOnDrive;
    /// The name box's text as the last click in the file list left it.
    QString mClickedNames;
    bool mAccepted = false;
};

} // namespace velmarith
