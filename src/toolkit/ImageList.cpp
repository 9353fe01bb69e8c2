#include "toolkit/ImageList.h"

#include <velmarith/Error.h>

namespace velmarith::toolkit {

ImageList::ImageList(const ControlSite &site) : Control(site, new QWidget(site.parentWidget))
{
    Control::setVisible(false);
}

void ImageList::add(const QString &key, const QPixmap &picture)
{
    if (mImages.contains(key))
        throw Error(ErrorNumber::KeyNotUnique, QStringLiteral("图像列表 %1 中已有关键字“%2”").arg(Name(), key));
    mImages.insert(key, picture);
}

QPixmap ImageList::image(const QString &key) const
{
    const auto found = mImages.constFind(key);
    if (found == mImages.constEnd())
        throw Error(ErrorNumber::ElementNotFound, QStringLiteral("图像列表 %1 中没有关键字“%2”").arg(Name(), key));
    return *found;
}

} // namespace velmarith::toolkit
