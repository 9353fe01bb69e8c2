#pragma once

#include "toolkit/Control.h"

#include <cstdint>

class QCheckBox;

namespace velmarith::toolkit {

/// A check box whose Value is 0 (clear) or 1 (ticked).
class CheckBox final : public Control
{
    Q_OBJECT

public:
    explicit CheckBox(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.CheckBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] int16_t Value() const;
    /// 0 clears, 1 ticks; other values raise error 380.
    void setValue(int16_t value);
    [[nodiscard]] QString Caption() const;
    void setCaption(const QString &caption);

signals:
    void Click();

private:
    QCheckBox *mBox;
};

} // namespace velmarith::toolkit
