#include "toolkit/CommandButton.h"

#include "toolkit/SpokenText.h"

#include <QPushButton>
#include <QToolButton>

namespace velmarith::toolkit {
namespace {

QAbstractButton *makeButton(CommandButton::Style style, QWidget *parent)
{
    if (style == CommandButton::Style::Graphical) {
        auto *button = new QToolButton(parent);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        return button;
    }
    auto *button = new QPushButton(parent);
    // Enter belongs to the form's key handling, not to a default button.
    button->setAutoDefault(false);
    return button;
}

} // namespace

CommandButton::CommandButton(const ControlSite &site, Style style)
    : Control(site, makeButton(style, site.parentWidget)), mButton(static_cast<QAbstractButton *>(widget()))
{
    connect(mButton, &QAbstractButton::clicked, this, &CommandButton::Click);
}

QString CommandButton::Caption() const
{
    return mButton->text();
}

void CommandButton::setCaption(const QString &caption)
{
    mButton->setText(caption);
    setAccessibleName(spokenText(caption));
}

void CommandButton::setPicture(const QIcon &icon, int sizePixels)
{
    mButton->setIcon(icon);
    mButton->setIconSize(QSize(sizePixels, sizePixels));
}

void CommandButton::showAsDefault(bool isDefault)
{
    if (auto *push = qobject_cast<QPushButton *>(mButton))
        push->setDefault(isDefault);
}

void CommandButton::click()
{
    mButton->click();
}

} // namespace velmarith::toolkit
