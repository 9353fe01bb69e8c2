#include "toolkit/TextBox.h"

#include <QLineEdit>

namespace velmarith::toolkit {

TextBox::TextBox(const ControlSite &site)
    : Control(site, new QLineEdit(site.parentWidget)), mEdit(static_cast<QLineEdit *>(widget()))
{
    connect(mEdit, &QLineEdit::textChanged, this, &TextBox::Change);
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
    return mEdit->hasSelectedText() ? mEdit->selectionStart() : mEdit->cursorPosition();
}

void TextBox::setSelStart(int start)
{
    mEdit->setCursorPosition(std::clamp(start, 0, int(mEdit->text().size())));
}

int TextBox::SelLength() const
{
    return mEdit->hasSelectedText() ? int(mEdit->selectedText().size()) : 0;
}

void TextBox::setSelLength(int length)
{
    const int start = SelStart();
    mEdit->setSelection(start, std::clamp(length, 0, int(mEdit->text().size()) - start));
}

QString TextBox::SelText() const
{
    return mEdit->selectedText();
}

void TextBox::setSelText(const QString &text)
{
    mEdit->insert(text);
}

bool TextBox::Locked() const
{
    return mEdit->isReadOnly();
}

void TextBox::setLocked(bool locked)
{
    mEdit->setReadOnly(locked);
}

} // namespace velmarith::toolkit
