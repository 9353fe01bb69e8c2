#include "toolkit/CheckBox.h"

#include <velmarith/Error.h>

#include <QCheckBox>

namespace velmarith::toolkit {

CheckBox::CheckBox(const ControlSite &site)
    : Control(site, new QCheckBox(site.parentWidget)), mBox(static_cast<QCheckBox *>(widget()))
{
    connect(mBox, &QCheckBox::toggled, this, &CheckBox::Click);
}

int16_t CheckBox::Value() const
{
    return mBox->isChecked() ? 1 : 0;
}

void CheckBox::setValue(int16_t value)
{
    if (value != 0 && value != 1)
        throw Error(ErrorNumber::InvalidPropertyValue, QStringLiteral("复选框 %1 的值只能是 0 或 1，不能是 %2").arg(Name()).arg(value));
    mBox->setChecked(value == 1);
}

QString CheckBox::Caption() const
{
    return mBox->text();
}

void CheckBox::setCaption(const QString &caption)
{
    mBox->setText(caption);
}

} // namespace velmarith::toolkit
