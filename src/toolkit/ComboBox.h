#pragma once

#include "toolkit/Control.h"

class QComboBox;
class QLineEdit;

namespace velmarith::toolkit {

/// A combo box: an editable drop-down combo, or a drop-down list the person can only pick from.
/// List positions count from 0; ListIndex −1 means no entry is selected.
class ComboBox final : public Control
{
    Q_OBJECT

public:
    enum class Style { DropDownCombo, DropDownList };

    ComboBox(const ControlSite &site, Style style = Style::DropDownCombo);
    [[nodiscard]] QString kind() const override { return QStringLiteral("VB.ComboBox"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }
    [[nodiscard]] Style style() const { return mStyle; }

    /// The editable text, or the selected entry of a drop-down list.
    [[nodiscard]] QString Text() const override;
    /// Sets the editable text; a drop-down list selects the entry equal to it (error 383 when none is).
    void setText(const QString &text) override;
    [[nodiscard]] bool hasTypingToUndo() const override;
    [[nodiscard]] int ListIndex() const;
    /// Selects an entry, or none with −1; error 380 outside −1..ListCount−1.
    void setListIndex(int index);
    [[nodiscard]] int ListCount() const;
    /// The entry at a 0-based position; error 381 outside 0..ListCount−1.
    [[nodiscard]] QString List(int index) const;
    void AddItem(const QString &item);
    /// The selection in the editable text; a drop-down list raises error 438.
    [[nodiscard]] int SelStart() const;
    void setSelStart(int start);
    [[nodiscard]] int SelLength() const;
    void setSelLength(int length);
    [[nodiscard]] QString SelText() const;
    /// Names the line edit of an editable combo box too, which takes the focus in its place.
    void setAccessibleName(const QString &name) override;
    /// Empties the list and the text.
    void Clear();

signals:
    /// The editable text changed.
    void Change();
    /// An entry was selected.
    void Click();

private:
    [[nodiscard]] QLineEdit &editor() const;
    QComboBox *mCombo;
    Style mStyle;
};

} // namespace velmarith::toolkit
