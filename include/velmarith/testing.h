#pragma once

#include <velmarith/Export.h>

// A desktop for tests of code that shows the library's dialogs: instead of waiting for a
// person, each modal window runs a script that acts on it as a person would, message boxes are
// answered from a queue, and every message, beep and modal show is recorded.

#include <velmarith/MessageBox.h>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace velmarith::toolkit {
class Control;
class Form;
} // namespace velmarith::toolkit

namespace velmarith::testing {

/// A message box as it was shown, and the answer it was given.
struct MessageRecord {
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
    MessageAnswer answer;
};

/// A window shown modally: its form class ("frmInputAny") and its caption at that moment. A
/// print preview is one too ("QPrintPreviewDialog"); it needs no expectModal, and its pages
/// are painted where nobody sees them.
struct ModalRecord {
    QString formClass;
    QString caption;
};

/// Acts on a shown window as a person would. Controls are named as on the form ("txt内容");
/// list positions count from 1. Each action raises velmarith::Error for a control that is
/// missing or cannot do it.
class VELMARITH_EXPORT FormDriver
{
public:
    explicit FormDriver(toolkit::Form &form);

    [[nodiscard]] QString formClass() const;
    [[nodiscard]] QString caption() const;
    [[nodiscard]] QStringList controlNames() const;
    [[nodiscard]] bool exists(const QString &control) const;
    /// Whether the person can see the control (itself, its containers and its tab shown).
    [[nodiscard]] bool isVisible(const QString &control) const;
    [[nodiscard]] bool isEnabled(const QString &control) const;
    /// The text of a text box or combo box, the caption of a label, button or check box.
    [[nodiscard]] QString text(const QString &control) const;
    [[nodiscard]] QString toolTip(const QString &control) const;
    /// The entries of a combo box, file list or directory list; the item texts of a list view.
    [[nodiscard]] QStringList items(const QString &control) const;
    /// A check box's value, 0 or 1.
    [[nodiscard]] int value(const QString &control) const;
    /// The name of the control that has the focus, empty when none has.
    [[nodiscard]] QString activeControl() const;
    /// The Qt widget behind a control, for looks and real-event tests.
    [[nodiscard]] QWidget *widget(const QString &control) const;
    /// The control itself, for tests that read what only its kind tells (a tree's nodes).
    [[nodiscard]] toolkit::Control &control(const QString &control) const;

    /// Types a text into a text box or editable combo box, replacing what was there.
    void setText(const QString &control, const QString &text);
    /// Picks the combo box entry equal to `entry`.
    void pick(const QString &control, const QString &entry);
    void setValue(const QString &control, int value);
    /// Clicks a command button, or toggles a check box.
    void click(const QString &control);
    void clickItem(const QString &listView, int position);
    /// Double-clicks an item of a list view or an entry of a file list.
    void doubleClickItem(const QString &listView, int position);
    void clickColumn(const QString &listView, int position);
    void doubleClickNode(const QString &treeView, const QString &key);
    void selectNode(const QString &treeView, const QString &key);
    /// Selects exactly these entries of a file list (from 1) and clicks.
    void clickFiles(const QString &fileList, const std::vector<int> &positions);
    void focus(const QString &control);
    /// Presses and releases a key on the control with the focus, through the window's key
    /// preview. Key codes: 13 Enter, 27 Escape, 9 Tab, 18 Alt; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void pressKey(int16_t keyCode, int16_t shift = 0);
    /// Closes the window with its close box.
    void close();

private:
    toolkit::Form &mForm;
};

/// Installs itself as the desktop while it lives.
class VELMARITH_EXPORT TestDesktop
{
public:
    using Script = std::function<void(FormDriver &)>;

    TestDesktop();
    ~TestDesktop();
    TestDesktop(const TestDesktop &) = delete;
    TestDesktop &operator=(const TestDesktop &) = delete;

    /// The screen's size in twips (15360 × 11520, 1024 × 768 pixels, until set).
    void setScreenSize(int widthTwips, int heightTwips);
    /// The next modal show must be of this form class or caption; the script then acts on it.
    /// A window still open when its script ends is closed with its close box.
    void expectModal(const QString &formClassOrCaption, Script script = {});
    /// Queues the answer to the next message box.
    void answer(MessageAnswer answer);

    /// Receives every problem: an unscripted or unexpected modal show, an unanswered message,
    /// a script that raised an error. The window or message is then closed so nothing hangs.
    /// Without a handler a problem raises velmarith::Error.
    void setFailureHandler(std::function<void(const QString &)> handler);
    /// Reports scripts and answers that were never used, through the failure handler.
    void verify();

    [[nodiscard]] const std::vector<MessageRecord> &messages() const;
    [[nodiscard]] const std::vector<ModalRecord> &modals() const;
    [[nodiscard]] int beeps() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace velmarith::testing
