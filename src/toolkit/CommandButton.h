#pragma once

#include "toolkit/Control.h"

#include <QIcon>

class QAbstractButton;

namespace velmarith::toolkit {

/// A push button; its caption marks the access key with "&" ("确定(&Y)"). A graphical button
/// shows an icon above its caption.
class CommandButton final : public Control
{
    Q_OBJECT

public:
    enum class Style { Standard, Graphical };

    CommandButton(const ControlSite &site, Style style = Style::Standard);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.CommandButton"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Caption() const;
    void setCaption(const QString &caption);
    void setPicture(const QIcon &icon, int sizePixels);
    /// Draws the button as the one Enter presses (the form decides which one that is).
    void showAsDefault(bool isDefault);
    /// Presses the button as a click of the person would.
    void click();

signals:
    void Click();

private:
    QAbstractButton *mButton;
};

} // namespace velmarith::toolkit
