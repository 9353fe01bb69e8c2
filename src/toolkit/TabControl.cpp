#include "toolkit/TabControl.h"

#include "toolkit/Form.h"

#include <velmarith/Error.h>

#include <QFrame>
#include <QTabBar>

#include <algorithm>

namespace velmarith::toolkit {

TabControl::TabControl(const ControlSite &site)
    : Control(site, new QWidget(site.parentWidget)), mBar(new QTabBar(widget())), mPage(new QFrame(widget()))
{
    mBar->setObjectName(site.name + QStringLiteral("Tabs"));
    mBar->setExpanding(false);
    mPage->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    mPage->lower();
    connect(mBar, &QTabBar::currentChanged, this, [this] { showControlsOfTab(); });
}

void TabControl::setTabs(const QStringList &captions)
{
    while (mBar->count() > 0)
        mBar->removeTab(0);
    for (const QString &caption : captions)
        mBar->addTab(caption);
}

int TabControl::Tabs() const
{
    return mBar->count();
}

int TabControl::Tab() const
{
    return mBar->currentIndex();
}

void TabControl::setTab(int tab)
{
    if (tab < 0 || tab >= Tabs())
        throw Error(ErrorNumber::InvalidPropertyValue, QStringLiteral("选项卡 %1 没有第 %2 页").arg(Name()).arg(tab));
    mBar->setCurrentIndex(tab);
    showControlsOfTab();
}

void TabControl::applyGeometry()
{
    Control::applyGeometry();
    // The designed height, or the font's own where a larger font would cut the captions.
    const int barHeight = std::max(toPixels(kTabHeight), mBar->sizeHint().height());
    mBar->setGeometry(0, 0, widget()->width(), barHeight);
    mPage->setGeometry(0, barHeight - 1, widget()->width(), std::max(0, widget()->height() - barHeight + 1));
}

void TabControl::showControlsOfTab()
{
    for (Control *control : form().controlsWithoutLoading()) {
        if (control->container() == this)
            control->applyVisibility();
    }
}

} // namespace velmarith::toolkit
