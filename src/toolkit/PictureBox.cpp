#include "toolkit/PictureBox.h"

#include <QFrame>

namespace velmarith::toolkit {

PictureBox::PictureBox(const ControlSite &site) : Control(site, new QWidget(site.parentWidget)) {}

Frame::Frame(const ControlSite &site) : Control(site, new QFrame(site.parentWidget))
{
    static_cast<QFrame *>(widget())->setFrameStyle(QFrame::Box | QFrame::Sunken);
}

} // namespace velmarith::toolkit
