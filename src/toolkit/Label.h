#pragma once

#include "toolkit/Control.h"

class QLabel;

namespace velmarith::toolkit {

/// A caption that sizes itself to its text; given a wrap width, a longer text wraps at it and the
/// label grows downwards instead.
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
    /// The widest the label may grow, in twips; 0 (the default) for no limit.
    void setWrapWidth(int twips);
    /// The height of one line of its text, in twips.
    [[nodiscard]] int lineHeight() const;

protected:
    void applyGeometry() override;

private:
    QLabel *mLabel;
    int mWrapWidth = 0;
};

} // namespace velmarith::toolkit
