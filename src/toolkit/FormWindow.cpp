#include "toolkit/FormWindow.h"

#include "toolkit/Accessibility.h"
#include "toolkit/Form.h"
#include "toolkit/QtTranslation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

namespace velmarith::toolkit {

FormWindow::FormWindow(Form &form) : mForm(form)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName(form.className());
    installAccessibility();
    installQtChineseTranslation();
}

void FormWindow::watch(QWidget *keyTarget)
{
    keyTarget->installEventFilter(this);
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key the focused control left alone travels on to its container (a list inside a
        // tab control); the form has already previewed it there.
        if (isPropagatedKey(watched))
            return false;
        if (event->type() == QEvent::KeyRelease) {
            mForm.previewKeyRelease(static_cast<QKeyEvent *>(event));
            return false;
        }
        return mForm.previewKey(static_cast<QKeyEvent *>(event));
    case QEvent::FocusIn:
        mForm.setActiveControl(mForm.controlOfWidget(watched));
        return false;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

bool FormWindow::isPropagatedKey(QObject *watched)
{
    QWidget *focus = QApplication::focusWidget();
    auto *receiver = qobject_cast<QWidget *>(watched);
    return focus && receiver && focus != receiver && receiver->isAncestorOf(focus);
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    // QDialog would close on Escape and press its own default button on Enter; a form presses
    // only the buttons it names for those keys.
    if (mForm.pressButtonForKey(*event))
        return;
    QWidget::keyPressEvent(event);
}

// Qt chains the focus by widget, and a control inside a container (a tab control's page) falls
// out of that chain; Tab and Shift+Tab follow the form's tab indexes instead.
bool FormWindow::focusNextPrevChild(bool next)
{
    return mForm.moveFocus(next) || QDialog::focusNextPrevChild(next);
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    if (mForm.isShowing())
        mForm.closeBox();
    if (mForm.isShowing())
        event->ignore();
    else
        event->accept();
}

} // namespace velmarith::toolkit
