#pragma once

#include "toolkit/Form.h"

#include <velmarith/Collection.h>

#include <memory>

namespace velmarith {

namespace toolkit {
class ComboBox;
class CommandButton;
class Image;
class Label;
class TextBox;
} // namespace toolkit

/// The input box: a prompt and one entry control, chosen by the mode — a free text box
/// ("Input"), an editable drop-down list of suggestions ("Select") or a pick-only list
/// ("OnlySelect"). Confirming raises InputSuccess with the entered text.
class frmInputAny final : public toolkit::Form
{
    Q_OBJECT

public:
    frmInputAny();

    /// Prepares the window for a mode; it does not show it. `InDefColl` may be null. Raises
    /// error 6 for more than 32767 entries and 13 for an entry that is not text-convertible.
    void InputAny(const QString &InPrmmpt, const QString &InTitle, const QString &InMode,
                  const std::shared_ptr<Collection> &InDefColl);

    /// The mode given to InputAny, read again when the person confirms.
    QString InputMode;

signals:
    void InputSuccess(const QString &InputText);

protected:
    void Form_Load() override;

private:
    void showPrompt(const QString &prompt);
    void fillList(toolkit::ComboBox &list, const std::shared_ptr<Collection> &entries);
    void showOnly(toolkit::Control &entry);
    void cmd确定_Click();
    void cmd取消_Click();

    toolkit::Image *imgBackGround;
    toolkit::Image *imgIcon;
    toolkit::Label *lab提示;
    toolkit::TextBox *txt内容;
    toolkit::ComboBox *cbo内容;
    toolkit::ComboBox *cbo选择;
    toolkit::CommandButton *cmd确定;
    toolkit::CommandButton *cmd取消;
};

} // namespace velmarith
