#include "toolkit/Label.h"

#include "toolkit/SpokenText.h"

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
    nameBuddy();
}

void Label::setWrapWidth(int twips)
{
    mWrapWidth = twips;
    applyGeometry();
}

int Label::lineHeight() const
{
    return toTwips(mLabel->fontMetrics().height());
}

void Label::setBuddy(Control &editor)
{
    mBuddy = &editor;
    mLabel->setBuddy(editor.widget()); // the labelled-by relation
    nameBuddy();
}

void Label::setAccessibleName(const QString &name)
{
    Control::setAccessibleName(name);
    nameBuddy();
}

void Label::nameBuddy()
{
    if (mBuddy)
        mBuddy->setAccessibleName(accessibleName().isEmpty() ? spokenText(Caption()) : accessibleName());
}

void Label::applyGeometry()
{
    mLabel->setWordWrap(false);
    QSize size = mLabel->sizeHint();
    if (mWrapWidth > 0 && toTwips(size.width()) > mWrapWidth) {
        mLabel->setWordWrap(true);
        const int width = toPixels(mWrapWidth);
        size = QSize(width, mLabel->heightForWidth(width));
    }
    setRectSize(toTwips(size.width()), toTwips(size.height()));
    Control::applyGeometry();
}

} // namespace velmarith::toolkit
