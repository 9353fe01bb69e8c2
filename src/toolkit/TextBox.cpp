#include "toolkit/TextBox.h"

#include "toolkit/LineSelection.h"

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

bool TextBox::Locked() const
{
    return mEdit->isReadOnly();
}

void TextBox::setLocked(bool locked)
{
    mEdit->setReadOnly(locked);
}

} // namespace velmarith::toolkit
