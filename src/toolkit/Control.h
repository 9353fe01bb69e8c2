#pragma once

#include "toolkit/Twips.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace velmarith::toolkit {

class Form;

/// Everything a control is created with: its form, name, place in a control array (−1 for
/// none) and the control it lies in (nullptr for the form itself).
struct ControlSite {
    Form &form;
    QString name;
    int index = -1;
    class Control *container = nullptr;
    QWidget *parentWidget = nullptr;
};

/// A control of a form, backed by a real Qt widget whose objectName is the control's name.
/// Positions and sizes are twips, relative to the container. The widget is owned by its Qt
/// parent; the control is owned by its form.
class Control : public QObject
{
    Q_OBJECT

public:
    ~Control() override;

    [[nodiscard]] const QString &Name() const { return mName; }
    /// Position in a control array, −1 for a control that is not in one.
    [[nodiscard]] int Index() const { return mIndex; }
    /// The kind's creation name, such as "VB.TextBox".
    [[nodiscard]] virtual QString kind() const = 0;
    [[nodiscard]] Form &form() const { return mForm; }
    [[nodiscard]] Control *container() const { return mContainer; }
    [[nodiscard]] QWidget *widget() const { return mWidget; }
    /// Where controls placed in this one are parented (containers override it).
    [[nodiscard]] virtual QWidget *childArea() const { return mWidget; }
    /// The widget that receives the keys while this control has the focus.
    [[nodiscard]] QWidget *keyTarget() const { return mWidget->focusProxy() ? mWidget->focusProxy() : mWidget.data(); }

    [[nodiscard]] int Left() const { return mRect.left; }
    [[nodiscard]] int Top() const { return mRect.top; }
    [[nodiscard]] int Width() const { return mRect.width; }
    [[nodiscard]] int Height() const { return mRect.height; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void move(const TwipsRect &rect);

    [[nodiscard]] bool Visible() const { return mVisible; }
    void setVisible(bool visible);
    [[nodiscard]] bool Enabled() const { return mEnabled; }
    void setEnabled(bool enabled);
    [[nodiscard]] int16_t TabIndex() const { return mTabIndex; }
    /// At design the index is taken as given; on a loaded form the control moves to that place
    /// in the tab order and the others are numbered after it, so indexes stay unique.
    void setTabIndex(int16_t index);
    /// Whether the kind takes part in the tab order at all (shapes and images do not).
    [[nodiscard]] virtual bool hasTabIndex() const { return true; }
    [[nodiscard]] QString ToolTipText() const { return mWidget->toolTip(); }
    void setToolTipText(const QString &text) { mWidget->setToolTip(text); }
    void setFont(const QStringList &families, double pointSize);
    /// What assistive technology calls it; a label names its editor this way.
    [[nodiscard]] QString accessibleName() const { return mWidget->accessibleName(); }
    virtual void setAccessibleName(const QString &name) { mWidget->setAccessibleName(name); }

    /// The tab of a tab control this control lies on (−1 when not on a tab control).
    [[nodiscard]] int tabPage() const { return mTabPage; }
    void setTabPage(int page);

    /// Whether the person can see it: visible itself, in visible containers, on the shown tab.
    [[nodiscard]] bool isShown() const;
    /// Whether the focus can rest on it (labels, frames, shapes and images cannot).
    [[nodiscard]] virtual bool canTakeFocus() const { return false; }
    /// Gives it the focus and makes it the form's active control.
    void SetFocus();
    /// Brings it in front of the controls it overlaps (a button over a tab control, say).
    void ZOrder();

    /// Whether the person typed into it something its own undo (Ctrl+Z) can take back.
    [[nodiscard]] virtual bool hasTypingToUndo() const { return false; }

    /// The text of kinds that have one; the others raise error 438, as a late-bound call would.
    [[nodiscard]] virtual QString Text() const;
    virtual void setText(const QString &text);

protected:
    Control(const ControlSite &site, QWidget *widget);
    [[noreturn]] void unsupported(const char *member) const;
    /// Applies the twips geometry to the widget; kinds that size themselves override it.
    virtual void applyGeometry();
    /// Changes the size a control gives itself, without applying it yet.
    void setRectSize(int width, int height)
    {
        mRect.width = width;
        mRect.height = height;
    }

private:
    friend class TabControl;
    friend class Form;
    void applyVisibility();
    /// SetFocus as a key moves the focus: a text box entered by Tab selects its text.
    void focusBy(Qt::FocusReason reason);

    Form &mForm;
    QString mName;
    int mIndex;
    Control *mContainer;
    QPointer<QWidget> mWidget;
    TwipsRect mRect;
    bool mVisible = true;
    bool mEnabled = true;
    int16_t mTabIndex = 0;
    int mTabPage = -1;
};

} // namespace velmarith::toolkit
