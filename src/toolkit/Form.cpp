#include "toolkit/Form.h"

#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Desktop.h"
#include "toolkit/FormWindow.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/Label.h"
#include "toolkit/TextBox.h"

#include "common/Numbers.h"

#include <velmarith/Error.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>

namespace velmarith::toolkit {

void throwNoSuchControl(const QString &name)
{
    throw Error(ErrorNumber::NoSuchControl, QStringLiteral("窗体上没有控件 %1").arg(name));
}

void throwWrongKind(const QString &name)
{
    throw Error(ErrorNumber::TypeMismatch, QStringLiteral("控件 %1 不是所需的类型").arg(name));
}

Form::Form(QString className) : mClassName(std::move(className)), mWindow(std::make_unique<FormWindow>(*this)) {}

Form::~Form()
{
    // Controls go first: they refer to their widgets, which the window owns.
    mActiveControl = nullptr;
    mControls.clear();
    mOwned.clear();
}

QDialog *Form::window() const
{
    return mWindow.get();
}

void Form::ensureLoaded()
{
    if (mLoaded || mUnloaded)
        return;
    mLoaded = true;
    Form_Load();
}

QString Form::Caption()
{
    ensureLoaded();
    return mWindow->windowTitle();
}

void Form::setCaption(const QString &caption)
{
    ensureLoaded();
    mWindow->setWindowTitle(caption);
}

void Form::designCaption(const QString &caption)
{
    mWindow->setWindowTitle(caption);
}

void Form::designClientSize(int width, int height)
{
    mClientWidth = width;
    mClientHeight = height;
    applyWindowSize();
}

int Form::Left()
{
    ensureLoaded();
    return mLeft;
}

int Form::Top()
{
    ensureLoaded();
    return mTop;
}

int Form::Width()
{
    ensureLoaded();
    return mClientWidth + kFrameWidth;
}

int Form::Height()
{
    ensureLoaded();
    return mClientHeight + kFrameHeight;
}

int Form::ScaleWidth()
{
    ensureLoaded();
    return mClientWidth;
}

int Form::ScaleHeight()
{
    ensureLoaded();
    return mClientHeight;
}

void Form::setLeft(int twips)
{
    ensureLoaded();
    mLeft = twips;
    mWindow->move(toPixels(mLeft), toPixels(mTop));
}

void Form::setTop(int twips)
{
    ensureLoaded();
    mTop = twips;
    mWindow->move(toPixels(mLeft), toPixels(mTop));
}

void Form::setWidth(int twips)
{
    ensureLoaded();
    mClientWidth = std::max(0, twips - kFrameWidth);
    applyWindowSize();
    resized();
}

void Form::setHeight(int twips)
{
    ensureLoaded();
    mClientHeight = std::max(0, twips - kFrameHeight);
    applyWindowSize();
    resized();
}

void Form::applyWindowSize()
{
    mWindow->setFixedSize(toPixels(mClientWidth), toPixels(mClientHeight));
}

void Form::resized()
{
    if (mShowing)
        dispatch([this] { Form_Resize(); });
}

void Form::centreOnScreen(int raise)
{
    const QSize screen = Desktop::current().screenSize();
    // Each difference is rounded to a whole number first; "\" then truncates toward zero.
    setLeft(toInt32(double(screen.width()) - Width()) / 2);
    setTop(toInt32(double(screen.height()) - Height()) / 2 - raise);
}

const std::vector<Control *> &Form::Controls()
{
    ensureLoaded();
    return mControls;
}

Control *Form::control(const QString &name, int index)
{
    ensureLoaded();
    const auto found = std::find_if(mControls.begin(), mControls.end(), [&](const Control *c) {
        return c->Name().compare(name, Qt::CaseInsensitive) == 0 && c->Index() == index;
    });
    return found == mControls.end() ? nullptr : *found;
}

ControlSite Form::siteFor(const QString &name, Control *container, int index)
{
    for (const Control *existing : mControls) {
        if (existing->Name().compare(name, Qt::CaseInsensitive) == 0 && existing->Index() == index)
            throw Error(ErrorNumber::ControlNameInUse, QStringLiteral("已经有一个名为 %1 的控件").arg(name));
    }
    return ControlSite{*this, name, index, container, container ? container->childArea() : mWindow.get()};
}

Control &Form::adopt(std::unique_ptr<Control> control)
{
    Control &added = *control;
    if (added.canTakeFocus())
        mWindow->watch(added.keyTarget());
    mControls.push_back(&added);
    mOwned.push_back(std::move(control));
    return added;
}

Control &Form::Add(const QString &kindName, const QString &name)
{
    ensureLoaded();
    const ControlSite site = siteFor(name, nullptr, -1);
    std::unique_ptr<Control> created;
    if (kindName.compare(u"VB.Label", Qt::CaseInsensitive) == 0)
        created = std::make_unique<Label>(site);
    else if (kindName.compare(u"VB.TextBox", Qt::CaseInsensitive) == 0)
        created = std::make_unique<TextBox>(site);
    else if (kindName.compare(u"VB.CheckBox", Qt::CaseInsensitive) == 0)
        created = std::make_unique<CheckBox>(site);
    else if (kindName.compare(u"VB.ComboBox", Qt::CaseInsensitive) == 0)
        created = std::make_unique<ComboBox>(site, ComboBox::Style::DropDownCombo);
    else
        throw Error(ErrorNumber::InvalidClassString, QStringLiteral("无效的控件类型 %1").arg(kindName));
    // Controls made at run time start hidden, until the caller places and shows them, and
    // come last in the tab order.
    created->setVisible(false);
    created->mTabIndex = int16_t(byTabIndex().size());
    return adopt(std::move(created));
}

std::vector<Control *> Form::byTabIndex() const
{
    std::vector<Control *> order;
    std::copy_if(mControls.begin(), mControls.end(), std::back_inserter(order),
                 [](const Control *c) { return c->hasTabIndex(); });
    std::stable_sort(order.begin(), order.end(),
                     [](const Control *a, const Control *b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

std::vector<Control *> Form::tabOrder() const
{
    std::vector<Control *> order = byTabIndex();
    std::erase_if(order, [](const Control *c) { return !c->canTakeFocus(); });
    return order;
}

void Form::placeInTabOrder(Control &control, int16_t index)
{
    std::vector<Control *> order = byTabIndex();
    std::erase(order, &control);
    order.insert(order.begin() + std::clamp<ptrdiff_t>(index, 0, ptrdiff_t(order.size())), &control);
    for (size_t i = 0; i < order.size(); ++i)
        order[i]->mTabIndex = int16_t(i);
}

void Form::tabOrderChanged()
{
    if (mShowing)
        applyTabOrder();
}

void Form::applyTabOrder()
{
    const std::vector<Control *> order = tabOrder();
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

std::vector<Control *> Form::reachableInTabOrder() const
{
    std::vector<Control *> order = tabOrder();
    std::erase_if(order, [](const Control *c) { return !c->isShown() || !c->Enabled(); });
    return order;
}

void Form::sendTab()
{
    moveFocus(true);
}

bool Form::moveFocus(bool forward)
{
    const std::vector<Control *> order = reachableInTabOrder();
    if (order.empty())
        return false;
    Control *current = mActiveControl;
    for (QWidget *focus = QApplication::focusWidget(); focus && focus != window(); focus = focus->parentWidget()) {
        if (Control *control = controlOfWidget(focus); control && control->canTakeFocus()) {
            current = control;
            break;
        }
    }
    const auto at = std::find(order.begin(), order.end(), current);
    const ptrdiff_t count = ptrdiff_t(order.size());
    const ptrdiff_t index = at == order.end() ? (forward ? -1 : 0) : at - order.begin();
    order[size_t(((index + (forward ? 1 : -1)) % count + count) % count)]->focusBy(forward ? Qt::TabFocusReason
                                                                                            : Qt::BacktabFocusReason);
    return true;
}

Control *Form::controlOfWidget(QObject *widget) const
{
    for (Control *control : mControls) {
        if (control->widget() == widget || control->keyTarget() == widget)
            return control;
    }
    return nullptr;
}

void Form::ShowModal(Form *owner)
{
    ensureLoaded();
    if (mUnloaded)
        return;
    applyTabOrder();
    // As on any form, the focus starts on the first control in tab order unless one has it.
    if (const std::vector<Control *> order = reachableInTabOrder(); !mActiveControl && !order.empty())
        order.front()->SetFocus();
    mShowing = true;
    dispatch([this] { Form_Resize(); });
    QPointer<Form> alive(this);
    // The window is off the screen when the modal run ends, however it ends.
    const auto hidden = qScopeGuard([&] {
        if (alive)
            mShowing = false;
    });
    Desktop::current().runModal(*this, owner);
}

void Form::Unload()
{
    if (mUnloaded)
        return;
    if (mLoaded)
        Form_Unload();
    mUnloaded = true;
    mShowing = false;
    mWindow->done(0);
}

void Form::setDefaultButton(CommandButton *button)
{
    if (mDefaultButton)
        mDefaultButton->showAsDefault(false);
    mDefaultButton = button;
    if (button)
        button->showAsDefault(true);
}

void Form::setCancelButton(CommandButton *button)
{
    mCancelButton = button;
}

bool Form::pressButtonForKey(const QKeyEvent &event)
{
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    CommandButton *button = nullptr;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        auto *focused = dynamic_cast<CommandButton *>(controlOfWidget(QApplication::focusWidget()));
        button = focused ? focused : mDefaultButton;
    } else if (event.key() == Qt::Key_Escape) {
        button = mCancelButton;
    }
    if (!button || !button->Visible() || !button->Enabled())
        return false;
    button->click();
    return true;
}

void Form::closeBox()
{
    dispatch([this] { Unload(); });
}

void Form::dispatch(const std::function<void()> &handler)
{
    auto report = [](int number, const QString &message) {
        Desktop::current().message(QStringLiteral("运行时错误 '%1':\n\n%2").arg(number).arg(message),
                                   Desktop::defaultTitle(), MessageIcon::Critical, MessageButtons::Ok);
    };
    try {
        handler();
    } catch (const Error &error) {
        // The database speaks for itself (a lock, a read-only file): a message, not a fault.
        if (error.number() == ErrorNumber::Database)
            Desktop::current().inform(error.message());
        else
            report(error.number(), error.message());
    } catch (const std::exception &error) {
        report(0, QString::fromLocal8Bit(error.what()));
    }
}

bool Form::previewKey(QKeyEvent *event)
{
    if (!mKeyPreview)
        return false;
    QPointer<Form> alive(this);
    int16_t keyCode = keyCodeOf(event->key());
    const int16_t shift = shiftStateOf(event->modifiers());
    if (keyCode != 0)
        dispatch([&] { Form_KeyDown(keyCode, shift); });
    if (!alive || mUnloaded)
        return true;
    if (keyCode == 0 && keyCodeOf(event->key()) != 0)
        return true; // the handler took the key
    const QString text = event->text();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter && text.isEmpty())
        return false;
    int16_t keyAscii = enter ? int16_t(13) : int16_t(text.at(0).unicode());
    dispatch([&] { Form_KeyPress(keyAscii); });
    return !alive || mUnloaded || keyAscii == 0;
}

void Form::previewKeyRelease(QKeyEvent *event)
{
    if (!mKeyPreview || event->isAutoRepeat())
        return;
    int16_t keyCode = keyCodeOf(event->key());
    if (keyCode != 0)
        dispatch([&] { Form_KeyUp(keyCode, shiftStateOf(event->modifiers())); });
}

void Form::pressKey(int16_t keyCode, int16_t shift, Control *target)
{
    Control *receiver = target ? target : mActiveControl;
    QWidget *widget = receiver ? receiver->keyTarget() : mWindow.get();
    const Qt::Key key = qtKeyOf(keyCode);
    const Qt::KeyboardModifiers modifiers = modifiersOf(shift);
    // Qt reports a modifier key's own modifier as toggled by the key: a press of Alt is made
    // without Alt and its release with it, as the platforms send them.
    const Qt::KeyboardModifiers own = key == Qt::Key_Alt       ? Qt::AltModifier
                                      : key == Qt::Key_Shift   ? Qt::ShiftModifier
                                      : key == Qt::Key_Control ? Qt::ControlModifier
                                                               : Qt::NoModifier;
    const QString text = keyCode == KeyCode::Return   ? QStringLiteral("\r")
                         : keyCode == KeyCode::Escape ? QString(QChar(27))
                         : keyCode == KeyCode::Space  ? QStringLiteral(" ")
                                                      : QString();
    QPointer<QWidget> guard(widget);
    QKeyEvent press(QEvent::KeyPress, key, modifiers & ~own, text);
    QApplication::sendEvent(widget, &press);
    if (!guard)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers | own, text);
    QApplication::sendEvent(widget, &release);
}

} // namespace velmarith::toolkit
