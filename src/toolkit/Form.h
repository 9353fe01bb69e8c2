#pragma once

#include "toolkit/Control.h"
#include "toolkit/Twips.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QKeyEvent;

namespace velmarith::toolkit {

class CommandButton;
class FormWindow;

/// A dialog window with an ordered collection of named controls, in the shape the dialog logic
/// expects: twips geometry, load and unload events, key preview with classic key codes, tab
/// order by tab index and modal display through the Desktop.
///
/// The window loads once, on first use: a subclass calls ensureLoaded() at the start of each of
/// its public operations, and the public members here do so themselves.
class Form : public QObject
{
    Q_OBJECT

public:
    /// Horizontal and vertical size of the window frame around the client area, in twips.
    static constexpr int kFrameWidth = 90;
    static constexpr int kFrameHeight = 405;

    ~Form() override;
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    /// The form's class name ("frmInputAny"), by which scripts and records name it.
    [[nodiscard]] const QString &className() const { return mClassName; }
    [[nodiscard]] QDialog *window() const;

    void ensureLoaded();
    [[nodiscard]] bool isLoaded() const { return mLoaded; }
    /// Whether the window is on screen (between its modal show and its unload).
    [[nodiscard]] bool isShowing() const { return mShowing; }

    [[nodiscard]] QString Caption();
    void setCaption(const QString &caption);
    /// The window's outer position and size in twips (frame included).
    [[nodiscard]] int Left();
    [[nodiscard]] int Top();
    [[nodiscard]] int Width();
    [[nodiscard]] int Height();
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    /// The client area's size in twips.
    [[nodiscard]] int ScaleWidth();
    [[nodiscard]] int ScaleHeight();
    [[nodiscard]] QString Tag() const { return mTag; }
    void setTag(const QString &tag) { mTag = tag; }
    [[nodiscard]] bool KeyPreview() const { return mKeyPreview; }
    void setKeyPreview(bool preview) { mKeyPreview = preview; }

    /// Centres the window on the screen: (screen − window) \ 2, moved up by `raise` twips.
    void centreOnScreen(int raise = 0);

    /// The controls in collection order: design controls, then those created at run time.
    [[nodiscard]] const std::vector<Control *> &Controls();
    /// The same, without loading the form (for the toolkit's own bookkeeping).
    [[nodiscard]] const std::vector<Control *> &controlsWithoutLoading() const { return mControls; }
    /// The control of that name (and array index), or nullptr.
    [[nodiscard]] Control *control(const QString &name, int index = -1);
    /// The control of that name as a given kind; error 730 when missing, 13 of another kind.
    template<class Kind>
    [[nodiscard]] Kind &controlAs(const QString &name, int index = -1);
    /// Creates a control at run time by kind name ("VB.TextBox", "VB.Label", "VB.CheckBox",
    /// "VB.ComboBox"), hidden, on the form. Error 727 when the name is taken, 711 for another kind.
    Control &Add(const QString &kindName, const QString &name);

    [[nodiscard]] Control *ActiveControl() const { return mActiveControl; }
    void setActiveControl(Control *control) { mActiveControl = control; }
    /// Moves the focus to the next visible, enabled control that takes the focus, in tab-index
    /// order, as a Tab keystroke does.
    void sendTab();
    /// Tab (forward) or Shift+Tab: the focus goes to the next or previous control in tab-index
    /// order, wherever it sits (on the form, in a picture box, on a tab control's page); false
    /// when no control can take it.
    bool moveFocus(bool forward);

    /// The button Enter presses when the focused control leaves the key alone (a focused
    /// command button takes Enter itself), and the one Escape presses; null for none.
    void setDefaultButton(CommandButton *button);
    void setCancelButton(CommandButton *button);

    /// Shows the window modally through the Desktop; returns when it has closed.
    void ShowModal(Form *owner = nullptr);
    /// Closes the window: runs Form_Unload and ends its modal show.
    void Unload();
    /// What the window's close box does.
    void closeBox();

    /// Runs an event handler; an Error it raises is shown in a message box instead of leaving
    /// the event loop, and the window stays open.
    void dispatch(const std::function<void()> &handler);

    /// Connects a control's event to a handler of this form, through dispatch().
    template<class Sender, class Owner, class... SignalArgs, class Receiver, class... HandlerArgs>
    void on(Sender *sender, void (Owner::*signal)(SignalArgs...), Receiver *receiver,
            void (Receiver::*handler)(HandlerArgs...))
    {
        QObject::connect(sender, signal, this, [this, receiver, handler](SignalArgs... args) {
            dispatch([&] { (receiver->*handler)(args...); });
        });
    }

    /// Delivers a key as the person would type it, through the key preview to `target`
    /// (the active control when null).
    void pressKey(int16_t keyCode, int16_t shift = 0, Control *target = nullptr);

    void tabOrderChanged();
    /// Moves a control to a place in the tab order, numbering the others after it.
    void placeInTabOrder(Control &control, int16_t index);

protected:
    explicit Form(QString className);

    /// Adds a design control on the form, placed as the design gives it; `args` go to the
    /// kind's constructor after the site (a combo box's style, say).
    template<class Kind, class... Args>
    Kind &addControl(const QString &name, const TwipsRect &rect, Args &&...args)
    {
        return place<Kind>(siteFor(name, nullptr, -1), rect, std::forward<Args>(args)...);
    }
    /// The same inside a container control.
    template<class Kind, class... Args>
    Kind &addControlIn(Control &container, const QString &name, const TwipsRect &rect, Args &&...args)
    {
        return place<Kind>(siteFor(name, &container, -1), rect, std::forward<Args>(args)...);
    }
    /// A member of a control array (in `container`, or on the form when it is null).
    template<class Kind, class... Args>
    Kind &addArrayControl(Control *container, const QString &name, int index, const TwipsRect &rect, Args &&...args)
    {
        return place<Kind>(siteFor(name, container, index), rect, std::forward<Args>(args)...);
    }
    void designCaption(const QString &caption);
    void designClientSize(int width, int height);

    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    virtual void Form_Resize() {}
    virtual void Form_KeyDown(int16_t & /*keyCode*/, int16_t /*shift*/) {}
    virtual void Form_KeyPress(int16_t & /*keyAscii*/) {}
    virtual void Form_KeyUp(int16_t & /*keyCode*/, int16_t /*shift*/) {}

private:
    friend class FormWindow;
    template<class Kind, class... Args>
    Kind &place(const ControlSite &site, const TwipsRect &rect, Args &&...args)
    {
        auto control = std::make_unique<Kind>(site, std::forward<Args>(args)...);
        Kind &added = *control;
        adopt(std::move(control));
        added.move(rect);
        return added;
    }
    ControlSite siteFor(const QString &name, Control *container, int index);
    Control &adopt(std::unique_ptr<Control> control);
    void applyTabOrder();
    [[nodiscard]] std::vector<Control *> tabOrder() const;
    /// The same, without the controls the person cannot reach now (hidden or disabled).
    [[nodiscard]] std::vector<Control *> reachableInTabOrder() const;
    /// Every control with a tab index, ordered by it (creation order among equals).
    [[nodiscard]] std::vector<Control *> byTabIndex() const;
    [[nodiscard]] Control *controlOfWidget(QObject *widget) const;
    /// Runs the key preview; true when a handler swallowed the key.
    bool previewKey(QKeyEvent *event);
    void previewKeyRelease(QKeyEvent *event);
    /// Presses the button an unhandled Enter or Escape stands for; false when there is none.
    bool pressButtonForKey(const QKeyEvent &event);
    void applyWindowSize();
    void resized();

    QString mClassName;
    std::unique_ptr<FormWindow> mWindow;
    std::vector<std::unique_ptr<Control>> mOwned;
    std::vector<Control *> mControls;
    Control *mActiveControl = nullptr;
    CommandButton *mDefaultButton = nullptr;
    CommandButton *mCancelButton = nullptr;
    QString mTag;
    bool mKeyPreview = false;
    bool mLoaded = false;
    bool mShowing = false;
    bool mUnloaded = false;
    int mLeft = 0;
    int mTop = 0;
    int mClientWidth = 0;
    int mClientHeight = 0;
};

/// Error 730 for a control name that is not on the form, 13 for a control of another kind.
[[noreturn]] void throwNoSuchControl(const QString &name);
[[noreturn]] void throwWrongKind(const QString &name);

template<class Kind>
Kind &Form::controlAs(const QString &name, int index)
{
    Control *found = control(name, index);
    if (!found)
        throwNoSuchControl(name);
    auto *typed = qobject_cast<Kind *>(found);
    if (!typed)
        throwWrongKind(name);
    return *typed;
}

} // namespace velmarith::toolkit
