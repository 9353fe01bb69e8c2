// Real Qt events through the production desktop: a modal exec(), key clicks and mouse clicks
// on the shown widgets, so the key preview and the focus work on real widgets too.
#include "toolkit/CommandButton.h"
#include "toolkit/Form.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/Label.h"
#include "toolkit/TextBox.h"

#include "support/QtPrinting.h"
#include "support/ShownWindow.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::toolkit;

namespace {

// Enter moves on like Tab, Escape closes, as the dialogs' key handlers do.
class KeyForm final : public Form
{
public:
    KeyForm() : Form(QStringLiteral("frmKeys"))
    {
        designCaption(QStringLiteral("键盘"));
        designClientSize(4000, 2000);
        setKeyPreview(true);
        addControl<Label>(QStringLiteral("lab说明"), {60, 60, 900, 180}).setTabIndex(1);
        third = &addControl<TextBox>(QStringLiteral("txt三"), {1200, 900, 1500, 300});
        third->setTabIndex(3);
        first = &addControl<TextBox>(QStringLiteral("txt一"), {1200, 60, 1500, 300});
        first->setTabIndex(0);
        second = &addControl<TextBox>(QStringLiteral("txt二"), {1200, 480, 1500, 300});
        second->setTabIndex(2);
        button = &addControl<CommandButton>(QStringLiteral("cmd确定"), {1200, 1400, 990, 330});
        button->setCaption(QStringLiteral("确定(&Y)"));
        button->setTabIndex(4);
        on(button, &CommandButton::Click, this, &KeyForm::cmd确定_Click);
    }

    TextBox *first;
    TextBox *second;
    TextBox *third;
    CommandButton *button;
    int clicks = 0;

protected:
    void Form_KeyDown(int16_t &keyCode, int16_t) override
    {
        if (keyCode == KeyCode::Escape)
            Unload();
        else if (keyCode == KeyCode::Return)
            sendTab();
    }
    void Form_KeyPress(int16_t &keyAscii) override
    {
        if (keyAscii == 13)
            keyAscii = 0;
    }

private:
    void cmd确定_Click() { ++clicks; }
};

} // namespace

TEST(RealEvents, enterMovesTheFocusByTabIndexAndEscapeCloses)
{
    KeyForm form;
    QStringList visited;
    test::runWhileShown(form, [&] {
        form.first->SetFocus();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            visited.append(QApplication::focusWidget()->objectName());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(visited, (QStringList{QStringLiteral("txt二"), QStringLiteral("txt三"), QStringLiteral("cmd确定")}));
    EXPECT_EQ(form.ActiveControl()->Name(), QStringLiteral("cmd确定"));
    EXPECT_FALSE(form.window()->isVisible());
    EXPECT_EQ(form.clicks, 0) << "Enter on the button moved on instead of pressing it";
}

TEST(RealEvents, aMouseClickRaisesTheButtonsEventAndTypingReachesTheBox)
{
    KeyForm form;
    test::runWhileShown(form, [&] {
        form.second->SetFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
        QTest::mouseClick(form.button->widget(), Qt::LeftButton);
        form.Unload();
    });
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.second->Text(), QStringLiteral("abc"));
}
