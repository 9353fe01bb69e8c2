#pragma once

#include <velmarith/MessageBox.h>

#include <QSize>
#include <QString>

#include <functional>

class QPageLayout;
class QPagedPaintDevice;

namespace velmarith::toolkit {

class Form;

/// The one seam between the dialogs and the person: modal runs, message boxes, the beep and
/// the screen size. Production uses Qt; tests install a scripted desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;

    /// Shows `form` modally (over `owner` when given) and returns when it has closed.
    virtual void runModal(Form &form, Form *owner) = 0;
    virtual MessageAnswer message(const QString &text, const QString &title, MessageIcon icon,
                                  MessageButtons buttons) = 0;
    virtual void beep() = 0;
    /// The screen's size in twips.
    [[nodiscard]] virtual QSize screenSize() const = 0;
    /// Where the windows keep how the person left their lists (the user's configuration
    /// folder); empty where nothing may outlive the run, as under the testing desktop.
    [[nodiscard]] virtual QString layoutFile() const { return {}; }
    /// Whether a window shows its list while the rest of the rows are still being read, between
    /// the person's keystrokes; where none is there to type (the testing desktop), a window reads
    /// the whole list before it is shown.
    [[nodiscard]] virtual bool readsWhileShown() const { return false; }
    /// Shows the pages `paint` draws, on `layout`, in a print preview captioned
    /// previewCaption(title), from which the person prints them; returns when it has closed.
    virtual void previewPrint(const QString &title, const QPageLayout &layout,
                              const std::function<void(QPagedPaintDevice &)> &paint) = 0;

    /// The installed desktop; the Qt desktop until another is installed.
    static Desktop &current();
    /// Installs `desktop` (not owned; nullptr restores the Qt desktop); returns the previous one.
    static Desktop *install(Desktop *desktop);
    /// The title of a message box shown without one.
    [[nodiscard]] static QString defaultTitle();
    /// A print preview's caption: "`title` - 打印预览".
    [[nodiscard]] static QString previewCaption(const QString &title);

    /// The title of the windows' notices and questions: "提示".
    [[nodiscard]] static QString noticeTitle();
    /// An information message with the title noticeTitle() and an OK button.
    void inform(const QString &text);
};

/// Creates the QApplication when the host has none, so a host that is not a Qt program can
/// show the dialogs; raises an Error when the host runs a non-widget Qt application.
void ensureApplication();

} // namespace velmarith::toolkit
