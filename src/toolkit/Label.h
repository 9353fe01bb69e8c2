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

    /// Makes it the label of `editor` for assistive technology: the editor is named by the
    /// label's accessible name, or else by its caption as spoken, and follows later changes.
    void setBuddy(Control &editor);
    void setAccessibleName(const QString &name) override;

protected:
    void applyGeometry() override;

private:
    void nameBuddy();

    QLabel *mLabel;
    QPointer<Control> mBuddy;
    int mWrapWidth = 0;
};

} // namespace velmarith::toolkit
