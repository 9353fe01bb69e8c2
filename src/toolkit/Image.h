#pragma once

#include "toolkit/Control.h"

#include <QPixmap>

class QLabel;

namespace velmarith::toolkit {

/// A picture, drawn at its own size or stretched to the control.
class Image final : public Control
{
    Q_OBJECT

public:
    explicit Image(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.Image"); }
    [[nodiscard]] bool hasTabIndex() const override { return false; }

    void setPicture(const QPixmap &picture);
    void setStretch(bool stretch);

private:
    QLabel *mLabel;
};

/// A rectangle drawn with a border colour, as an etched frame is drawn from two of them.
class Shape final : public Control
{
    Q_OBJECT

public:
    explicit Shape(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.Shape"); }
    [[nodiscard]] bool hasTabIndex() const override { return false; }

    [[nodiscard]] QColor BorderColor() const;
    void setBorderColor(const QColor &color);
};

} // namespace velmarith::toolkit
