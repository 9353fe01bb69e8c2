#include "toolkit/ComboBox.h"

#include "toolkit/LineSelection.h"

#include <velmarith/Error.h>

#include <QComboBox>
#include <QLineEdit>

namespace velmarith::toolkit {

ComboBox::ComboBox(const ControlSite &site, Style style)
    : Control(site, new QComboBox(site.parentWidget)), mCombo(static_cast<QComboBox *>(widget())), mStyle(style)
{
    mCombo->setEditable(style == Style::DropDownCombo);
    mCombo->setInsertPolicy(QComboBox::NoInsert);
    mCombo->setMaxVisibleItems(12);
    if (mCombo->lineEdit()) {
        mCombo->lineEdit()->setMaxLength(kUnlimitedLength);
        connect(mCombo->lineEdit(), &QLineEdit::textChanged, this, &ComboBox::Change);
    }
    connect(mCombo, &QComboBox::activated, this, &ComboBox::Click);
}

QString ComboBox::Text() const
{
    return mCombo->currentIndex() < 0 && !mCombo->isEditable() ? QString() : mCombo->currentText();
}

bool ComboBox::hasTypingToUndo() const
{
    return mCombo->isEditable() && editor().isUndoAvailable();
}

void ComboBox::setText(const QString &text)
{
    if (mCombo->isEditable()) {
        mCombo->setEditText(text);
        return;
    }
    const int index = mCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        throw Error(ErrorNumber::NoSuchEntry, QStringLiteral("下拉列表 %1 中没有“%2”").arg(Name(), text));
    mCombo->setCurrentIndex(index);
}

void ComboBox::setAccessibleName(const QString &name)
{
    Control::setAccessibleName(name);
    if (mCombo->lineEdit())
        mCombo->lineEdit()->setAccessibleName(name);
}

int ComboBox::ListIndex() const
{
    if (mCombo->isEditable() && mCombo->currentIndex() >= 0 && mCombo->currentText() != mCombo->itemText(mCombo->currentIndex()))
        return -1; // the person typed something that is not the selected entry
    return mCombo->currentIndex();
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw Error(ErrorNumber::InvalidPropertyValue,
                    QStringLiteral("组合框 %1 没有第 %2 项").arg(Name()).arg(index));
    mCombo->setCurrentIndex(index);
    if (index == -1 && mCombo->isEditable())
        mCombo->setEditText(QString());
}

int ComboBox::ListCount() const
{
    return mCombo->count();
}

QString ComboBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        throw Error(ErrorNumber::InvalidArrayIndex, QStringLiteral("组合框 %1 没有第 %2 项").arg(Name()).arg(index));
    return mCombo->itemText(index);
}

void ComboBox::AddItem(const QString &item)
{
    // Keep what is shown: adding to an empty combo must not select the new entry by itself.
    const QString text = mCombo->isEditable() ? mCombo->currentText() : QString();
    const int index = mCombo->currentIndex();
    mCombo->addItem(item);
    mCombo->setCurrentIndex(index);
    if (mCombo->isEditable())
        mCombo->setEditText(text);
}

QLineEdit &ComboBox::editor() const
{
    if (!mCombo->lineEdit())
        unsupported("SelStart");
    return *mCombo->lineEdit();
}

int ComboBox::SelStart() const
{
    return LineSelection::start(editor());
}

void ComboBox::setSelStart(int start)
{
    LineSelection::setStart(editor(), start);
}

int ComboBox::SelLength() const
{
    return LineSelection::length(editor());
}

void ComboBox::setSelLength(int length)
{
    LineSelection::setLength(editor(), length);
}

QString ComboBox::SelText() const
{
    return editor().selectedText();
}

void ComboBox::Clear()
{
    mCombo->clear();
    if (mCombo->isEditable())
        mCombo->setEditText(QString());
}

} // namespace velmarith::toolkit
