#include "toolkit/FormWindow.h"

#include "toolkit/Form.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace velmarith::toolkit {

FormWindow::FormWindow(Form &form) : mForm(form)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName(form.className());
}

void FormWindow::watch(QWidget *keyTarget)
{
    keyTarget->installEventFilter(this);
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return mForm.previewKey(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        mForm.previewKeyRelease(static_cast<QKeyEvent *>(event));
        return false;
    case QEvent::FocusIn:
        mForm.setActiveControl(mForm.controlOfWidget(watched));
        return false;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    // QDialog would close on Escape and press a default button on Enter; a form does neither.
    QWidget::keyPressEvent(event);
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
