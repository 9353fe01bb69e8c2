#pragma once

#include "toolkit/Control.h"

class QLineEdit;
class QEvent;
class QInputMethodEvent;

namespace velmarith::toolkit {

/// A one-line text box. Selection positions and lengths count 16-bit characters.
class TextBox final : public Control
{
    Q_OBJECT

public:
    explicit TextBox(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.TextBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    [[nodiscard]] QString Text() const override;
    void setText(const QString &text) override;
    [[nodiscard]] bool hasTypingToUndo() const override;
    [[nodiscard]] int SelStart() const;
    void setSelStart(int start);
    [[nodiscard]] int SelLength() const;
    void setSelLength(int length);
    [[nodiscard]] QString SelText() const;
    void setSelText(const QString &text);

signals:
    /// The text changed, by typing or by the program. While an input method composes, the
    /// changes wait: Change comes once, when it commits its text or gives up.
    void Change();
    /// A character key reached the box (after the form's key preview); a handler that sets
    /// the character to 0 keeps it out of the box.
    void KeyPress(int16_t &keyAscii);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void handleInputMethod(QInputMethodEvent *event);
    void announceChange();

    QLineEdit *mEdit;
    bool mHoldingChange = false; ///< while an input method shows pre-edit text
    QString mAnnouncedText;      ///< the text the last Change told of
};

} // namespace velmarith::toolkit
