#include "toolkit/CheckBox.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Desktop.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/PictureBox.h"
#include "toolkit/TabControl.h"
#include "toolkit/TextBox.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDesktop.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::toolkit;
using velmarith::test::errorNumberOf;
using namespace Qt::StringLiterals;

namespace {

// A small form with one of each focusable kind, on the form, in a container and on two tabs.
class SampleForm final : public Form
{
public:
    SampleForm() : Form(QStringLiteral("frmSample"))
    {
        designCaption(QStringLiteral("样例"));
        designClientSize(6000, 4000);
        label = &addControl<Label>(QStringLiteral("lab名称"), {120, 120, 600, 180});
        label->setCaption(QStringLiteral("名称"));
        label->setTabIndex(0);
        second = &addControl<TextBox>(QStringLiteral("txt第二"), {1200, 480, 1500, 300});
        second->setTabIndex(2);
        first = &addControl<TextBox>(QStringLiteral("txt第一"), {1200, 60, 1500, 300});
        first->setTabIndex(1);
        box = &addControl<PictureBox>(QStringLiteral("picBox"), {120, 900, 3000, 450});
        box->setTabIndex(7);
        button = &addControlIn<CommandButton>(*box, QStringLiteral("cmdGo"), {0, 0, 990, 330});
        button->setTabIndex(3);
        tabs = &addControl<TabControl>(QStringLiteral("stbTabs"), {3300, 60, 2600, 2000});
        tabs->setTabs({QStringLiteral("甲"), QStringLiteral("乙")});
        tabs->setTab(0);
        tabs->setTabIndex(6);
        onFirstTab = &addControlIn<TextBox>(*tabs, QStringLiteral("txt甲"), {90, 420, 1500, 300});
        onFirstTab->setTabPage(0);
        onFirstTab->setTabIndex(4);
        onSecondTab = &addControlIn<TextBox>(*tabs, QStringLiteral("txt乙"), {90, 420, 1500, 300});
        onSecondTab->setTabPage(1);
        onSecondTab->setTabIndex(5);
        on(button, &CommandButton::Click, this, &SampleForm::cmdGo_Click);
    }

    int loads = 0;
    std::vector<std::pair<int16_t, int16_t>> keysDown;
    std::vector<int16_t> keysPressed;
    std::vector<int16_t> keysUp;
    bool swallowEnter = false;
    bool failOnClick = false;

    Label *label;
    TextBox *first;
    TextBox *second;
    PictureBox *box;
    CommandButton *button;
    TabControl *tabs;
    TextBox *onFirstTab;
    TextBox *onSecondTab;

protected:
    void Form_Load() override { ++loads; }
    void Form_KeyDown(int16_t &keyCode, int16_t shift) override { keysDown.emplace_back(keyCode, shift); }
    void Form_KeyPress(int16_t &keyAscii) override
    {
        keysPressed.push_back(keyAscii);
        if (swallowEnter && keyAscii == 13)
            keyAscii = 0;
    }
    void Form_KeyUp(int16_t &keyCode, int16_t) override { keysUp.push_back(keyCode); }

private:
    void cmdGo_Click()
    {
        if (failOnClick)
            throw Error(ErrorNumber::Overflow, QStringLiteral("溢出"));
        Unload();
    }
};

QStringList namesOf(const std::vector<Control *> &controls)
{
    QStringList names;
    for (const Control *control : controls)
        names.append(control->Name());
    return names;
}

} // namespace

TEST(Form, loadsOnceOnFirstUseAndNotWhileItIsBuilt)
{
    SampleForm form;
    EXPECT_EQ(form.loads, 0);
    (void)form.Caption();
    (void)form.control(QStringLiteral("txt第一"));
    EXPECT_EQ(form.loads, 1);
}

TEST(Form, keepsDesignControlsInOrderThenRunTimeControlsAndNamesWidgetsAlike)
{
    SampleForm form;
    Control &added = form.Add(QStringLiteral("VB.TextBox"), QStringLiteral("txt新"));
    form.Add(QStringLiteral("VB.Label"), QStringLiteral("lab新"));
    EXPECT_EQ(namesOf(form.Controls()),
              (QStringList{u"lab名称"_s, u"txt第二"_s, u"txt第一"_s, u"picBox"_s, u"cmdGo"_s, u"stbTabs"_s, u"txt甲"_s,
                           u"txt乙"_s, u"txt新"_s, u"lab新"_s}));
    EXPECT_FALSE(added.Visible()) << "controls made at run time start hidden";
    EXPECT_EQ(form.window()->findChild<QLineEdit *>(QStringLiteral("txt新")), added.widget());
    EXPECT_EQ(form.control(QStringLiteral("TXT新")), &added) << "names are found in any letter case";
    EXPECT_EQ(errorNumberOf([&] { form.Add(QStringLiteral("VB.CheckBox"), QStringLiteral("txt新")); }),
              ErrorNumber::ControlNameInUse);
    EXPECT_EQ(errorNumberOf([&] { form.Add(QStringLiteral("VB.Grid"), QStringLiteral("grd")); }),
              ErrorNumber::InvalidClassString);
    EXPECT_EQ(errorNumberOf([&] { (void)form.controlAs<CheckBox>(QStringLiteral("txt新")); }), ErrorNumber::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { (void)form.controlAs<CheckBox>(QStringLiteral("chk无")); }), ErrorNumber::NoSuchControl);
}

TEST(Form, placingAControlInTheTabOrderAtRunTimeNumbersTheOthersAfterIt)
{
    SampleForm form;
    Control &added = form.Add(QStringLiteral("VB.TextBox"), QStringLiteral("txt新"));
    EXPECT_EQ(added.TabIndex(), 8) << "a control made at run time comes last";
    added.setTabIndex(1);
    EXPECT_EQ(added.TabIndex(), 1);
    EXPECT_EQ(form.first->TabIndex(), 2);
    EXPECT_EQ(form.second->TabIndex(), 3);
    EXPECT_EQ(form.label->TabIndex(), 0);
    form.first->SetFocus();
    form.sendTab();
    EXPECT_EQ(form.ActiveControl()->Name(), u"txt第二");
}

TEST(Form, keepsGeometryInTwipsAndAutoSizesLabels)
{
    SampleForm form;
    EXPECT_EQ(form.Width(), 6000 + Form::kFrameWidth);
    EXPECT_EQ(form.ScaleHeight(), 4000);
    EXPECT_EQ(form.window()->width(), 400);
    EXPECT_EQ(form.first->widget()->geometry(), QRect(80, 4, 100, 20));
    form.setHeight(3000 + Form::kFrameHeight);
    EXPECT_EQ(form.ScaleHeight(), 3000);
    EXPECT_EQ(form.window()->height(), 200);
    EXPECT_EQ(form.label->Width(), form.label->widget()->sizeHint().width() * 15);
    const int before = form.label->Width();
    form.label->setCaption(QStringLiteral("一个长得多的名称"));
    EXPECT_GT(form.label->Width(), before);
}

TEST(Form, centresByTheScreenMinusTheWindowHalvedTowardZero)
{
    test::ScriptedDesktop desktop;
    desktop.setScreenSize(15360, 11520);
    SampleForm form;
    form.centreOnScreen();
    EXPECT_EQ(form.Left(), (15360 - 6090) / 2);
    EXPECT_EQ(form.Top(), (11520 - 4405) / 2);
    desktop.setScreenSize(4000, 3001);
    form.centreOnScreen(900);
    EXPECT_EQ(form.Left(), -1045) << "(4000 − 6090) \\ 2 truncates toward zero";
    EXPECT_EQ(form.Top(), (3001 - 4405) / 2 - 900);
}

TEST(Form, tabMovesByTabIndexPastLabelsHiddenDisabledAndOtherTabs)
{
    SampleForm form;
    form.first->SetFocus();
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        form.sendTab();
        visited.append(form.ActiveControl()->Name());
    }
    EXPECT_EQ(visited, (QStringList{u"txt第二"_s, u"cmdGo"_s, u"txt甲"_s, u"stbTabs"_s, u"txt第一"_s}));

    form.tabs->setTab(1);
    form.second->setEnabled(false);
    form.button->setVisible(false);
    form.first->SetFocus();
    form.sendTab();
    EXPECT_EQ(form.ActiveControl()->Name(), u"txt乙") << "disabled, hidden and other-tab controls are passed over";
    form.box->setVisible(true);
    form.box->setVisible(false);
    form.button->setVisible(true);
    form.first->SetFocus();
    form.sendTab();
    EXPECT_EQ(form.ActiveControl()->Name(), u"txt乙") << "a control in a hidden container is hidden too";
}

TEST(Form, previewsKeysInClassicCodesAndSwallowsAKeyPressSetToZero)
{
    SampleForm form;
    form.setKeyPreview(true);
    form.first->SetFocus();
    form.pressKey(13, 4);
    ASSERT_EQ(form.keysDown.size(), 1u);
    EXPECT_EQ(form.keysDown[0], (std::pair<int16_t, int16_t>{13, 4}));
    EXPECT_EQ(form.keysPressed, std::vector<int16_t>{13});
    EXPECT_EQ(form.keysUp, std::vector<int16_t>{13});

    form.pressKey(27);
    form.pressKey(18, 4);
    EXPECT_EQ(form.keysDown.back(), (std::pair<int16_t, int16_t>{18, 4}));
    EXPECT_EQ(form.keysDown[1].first, 27);

    form.first->setText(QStringLiteral("ab"));
    form.swallowEnter = true;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_TRUE(static_cast<QObject *>(form.window())->eventFilter(form.first->keyTarget(), &enter)) << "a swallowed key never reaches the box";
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_FALSE(static_cast<QObject *>(form.window())->eventFilter(form.first->keyTarget(), &letter));
}

TEST(Form, aTextBoxSeesItsCharactersAfterThePreviewAndCanKeepThemOut)
{
    SampleForm form;
    form.setKeyPreview(true);
    std::vector<int16_t> seen;
    QObject::connect(form.first, &TextBox::KeyPress, [&](int16_t &keyAscii) {
        seen.push_back(keyAscii);
        if (keyAscii == 'x')
            keyAscii = 0;
    });
    form.first->SetFocus();
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(form.first->keyTarget(), &x);
    QKeyEvent y(QEvent::KeyPress, Qt::Key_Y, Qt::NoModifier, QStringLiteral("y"));
    QApplication::sendEvent(form.first->keyTarget(), &y);
    EXPECT_EQ(seen, (std::vector<int16_t>{'x', 'y'}));
    EXPECT_EQ(form.keysPressed, (std::vector<int16_t>{'x', 'y'})) << "the form saw them first";
    EXPECT_EQ(form.first->Text(), u"y");
}

TEST(Form, anErrorInAnEventHandlerIsShownAndTheWindowStaysOpen)
{
    test::ScriptedDesktop desktop;
    SampleForm form;
    form.failOnClick = true;
    desktop.expectModal(QStringLiteral("frmSample"), [&](velmarith::testing::FormDriver &user) {
        desktop.answer(MessageAnswer::Ok);
        user.click(QStringLiteral("cmdGo"));
        EXPECT_TRUE(form.isShowing());
        form.failOnClick = false;
        user.click(QStringLiteral("cmdGo"));
        EXPECT_FALSE(form.isShowing());
    });
    form.ShowModal();
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(desktop.messages()[0].text.contains(u"'6'"));
    EXPECT_EQ(desktop.messages()[0].icon, MessageIcon::Critical);
}

TEST(TestDesktop, reportsUnscriptedWindowsAndUnansweredMessagesWithoutHanging)
{
    velmarith::testing::TestDesktop desktop;
    QStringList problems;
    desktop.setFailureHandler([&](const QString &problem) { problems.append(problem); });

    SampleForm unexpected;
    unexpected.ShowModal();
    EXPECT_FALSE(unexpected.isShowing());
    EXPECT_EQ(toolkit::Desktop::current().message(u"还好吗？"_s, u"提示"_s, MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::No);
    desktop.expectModal(QStringLiteral("frmNever"));
    desktop.answer(MessageAnswer::Yes);
    desktop.verify();

    ASSERT_EQ(problems.size(), 4);
    EXPECT_TRUE(problems[0].contains(u"frmSample")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains(u"还好吗？"));
    EXPECT_TRUE(problems[2].contains(u"frmNever"));
    EXPECT_TRUE(problems[3].contains(u"Yes"));
}

TEST(TestDesktop, scriptsNestedWindowsByClassOrCaptionInOrder)
{
    test::ScriptedDesktop desktop;
    SampleForm outer;
    SampleForm inner;
    inner.setCaption(QStringLiteral("内层"));
    desktop.expectModal(QStringLiteral("frmSample"), [&](velmarith::testing::FormDriver &user) {
        EXPECT_EQ(user.caption(), u"样例");
        inner.ShowModal(&outer);
        user.setText(QStringLiteral("txt第一"), QStringLiteral("外"));
    });
    desktop.expectModal(QStringLiteral("内层"), [](velmarith::testing::FormDriver &user) { user.close(); });
    outer.ShowModal();
    ASSERT_EQ(desktop.modals().size(), 2u);
    EXPECT_EQ(desktop.modals()[1].caption, u"内层");
    EXPECT_EQ(outer.first->Text(), u"外");
    EXPECT_FALSE(outer.isShowing()) << "a window left open by its script is closed";
}
