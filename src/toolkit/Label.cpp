#include "toolkit/Label.h"

#include <QLabel>

namespace velmarith::toolkit {

Label::Label(const ControlSite &site) : Control(site, new QLabel(site.parentWidget)), mLabel(static_cast<QLabel *>(widget())) {}

QString Label::Caption() const
{
    return mLabel->text();
}

void Label::setCaption(const QString &caption)
{
    mLabel->setText(caption);
    applyGeometry();
}

void Label::applyGeometry()
{
    const QSize hint = mLabel->sizeHint();
    setRectSize(toTwips(hint.width()), toTwips(hint.height()));
    Control::applyGeometry();
}

} // namespace velmarith::toolkit
