#pragma once

#include "toolkit/Control.h"

namespace velmarith::toolkit {

/// A borderless container that holds other controls.
class PictureBox final : public Control
{
    Q_OBJECT

public:
    explicit PictureBox(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.PictureBox"); }
};

/// A framed container; with a small height it draws a separator line.
class Frame final : public Control
{
    Q_OBJECT

public:
    explicit Frame(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.Frame"); }
};

} // namespace velmarith::toolkit
