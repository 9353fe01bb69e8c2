#pragma once

#include "toolkit/Control.h"

class QLabel;

namespace velmarith::toolkit {

/// A caption that sizes itself to its text.
class Label final : public Control
{
    Q_OBJECT

public:
    explicit Label(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.Label"); }

    [[nodiscard]] QString Caption() const;
    void setCaption(const QString &caption);
    /// A label's text is its caption.
    [[nodiscard]] QString Text() const override { return Caption(); }
    void setText(const QString &text) override { setCaption(text); }

protected:
    void applyGeometry() override;

private:
    QLabel *mLabel;
};

} // namespace velmarith::toolkit
