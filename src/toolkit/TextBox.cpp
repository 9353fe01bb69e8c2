#include "toolkit/TextBox.h"

#include "toolkit/LineSelection.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace velmarith::toolkit {

TextBox::TextBox(const ControlSite &site)
    : Control(site, new QLineEdit(site.parentWidget)), mEdit(static_cast<QLineEdit *>(widget()))
{
    mEdit->setMaxLength(kUnlimitedLength);
    connect(mEdit, &QLineEdit::textChanged, this, [this] {
        if (!mHoldingChange)
            announceChange();
    });
    mEdit->installEventFilter(this);
}

bool TextBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mEdit && event->type() == QEvent::InputMethod) {
        handleInputMethod(static_cast<QInputMethodEvent *>(event));
        return true;
    }
    if (watched != mEdit || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter && key->text().isEmpty())
        return false;
    int16_t keyAscii = enter ? int16_t(13) : int16_t(key->text().at(0).unicode());
    emit KeyPress(keyAscii);
    return keyAscii == 0;
}

// The line edit handles the event here, so that a change it makes on the way (a selection
// replaced by the pre-edit text) waits with the others until the composition ends.
void TextBox::handleInputMethod(QInputMethodEvent *event)
{
    mHoldingChange = true;
    static_cast<QObject *>(mEdit)->event(event);
    mHoldingChange = !event->preeditString().isEmpty();
    if (!mHoldingChange && mEdit->text() != mAnnouncedText)
        announceChange();
}

void TextBox::announceChange()
{
    mAnnouncedText = mEdit->text();
    emit Change();
}

bool TextBox::hasTypingToUndo() const
{
    return mEdit->isUndoAvailable();
}

QString TextBox::Text() const
{
    return mEdit->text();
}

void TextBox::setText(const QString &text)
{
    mEdit->setText(text);
}

int TextBox::SelStart() const
{
    return LineSelection::start(*mEdit);
}

void TextBox::setSelStart(int start)
{
    LineSelection::setStart(*mEdit, start);
}

int TextBox::SelLength() const
{
    return LineSelection::length(*mEdit);
}

void TextBox::setSelLength(int length)
{
    LineSelection::setLength(*mEdit, length);
}

QString TextBox::SelText() const
{
    return mEdit->selectedText();
}

void TextBox::setSelText(const QString &text)
{
    mEdit->insert(text);
}

} // namespace velmarith::toolkit
