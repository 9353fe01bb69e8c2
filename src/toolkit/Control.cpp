#include "toolkit/Control.h"

#include "toolkit/Form.h"
#include "toolkit/TabControl.h"

#include <velmarith/Error.h>

#include <QFont>

namespace velmarith::toolkit {

Control::Control(const ControlSite &site, QWidget *widget)
    : mForm(site.form), mName(site.name), mIndex(site.index), mContainer(site.container), mWidget(widget)
{
    mWidget->setObjectName(mName);
    if (mIndex >= 0)
        mWidget->setProperty("index", mIndex);
}

Control::~Control() = default;

void Control::setLeft(int twips)
{
    mRect.left = twips;
    applyGeometry();
}

void Control::setTop(int twips)
{
    mRect.top = twips;
    applyGeometry();
}

void Control::setWidth(int twips)
{
    mRect.width = twips;
    applyGeometry();
}

void Control::setHeight(int twips)
{
    mRect.height = twips;
    applyGeometry();
}

void Control::move(const TwipsRect &rect)
{
    mRect = rect;
    applyGeometry();
}

void Control::applyGeometry()
{
    mWidget->setGeometry(toPixels(mRect.left), toPixels(mRect.top), toPixels(mRect.width), toPixels(mRect.height));
}

void Control::setVisible(bool visible)
{
    mVisible = visible;
    applyVisibility();
}

void Control::applyVisibility()
{
    const auto *tabs = qobject_cast<const TabControl *>(mContainer);
    const bool onShownTab = !tabs || mTabPage == tabs->Tab();
    mWidget->setVisible(mVisible && onShownTab);
}

void Control::setEnabled(bool enabled)
{
    mEnabled = enabled;
    mWidget->setEnabled(enabled);
}

void Control::setTabIndex(int16_t index)
{
    if (mForm.isLoaded())
        mForm.placeInTabOrder(*this, index);
    else
        mTabIndex = index;
    mForm.tabOrderChanged();
}

void Control::setFont(const QStringList &families, double pointSize)
{
    QFont font = mWidget->font();
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    mWidget->setFont(font);
    applyGeometry();
}

void Control::setTabPage(int page)
{
    mTabPage = page;
    applyVisibility();
}

bool Control::isShown() const
{
    for (const Control *control = this; control; control = control->mContainer) {
        if (!control->mVisible)
            return false;
        const auto *tabs = qobject_cast<const TabControl *>(control->mContainer);
        if (tabs && control->mTabPage != tabs->Tab())
            return false;
    }
    return true;
}

void Control::SetFocus()
{
    focusBy(Qt::OtherFocusReason);
}

void Control::focusBy(Qt::FocusReason reason)
{
    mForm.setActiveControl(this);
    mWidget->setFocus(reason);
}

void Control::ZOrder()
{
    mWidget->raise();
}

QString Control::Text() const
{
    unsupported("Text");
}

void Control::setText(const QString &)
{
    unsupported("Text");
}

void Control::unsupported(const char *member) const
{
    throw Error(ErrorNumber::UnsupportedMember, QStringLiteral("对象 %1 不支持属性或方法 %2").arg(mName, QLatin1String(member)));
}

} // namespace velmarith::toolkit
