#include <velmarith/Error.h>
#include <velmarith/WinInput.h>

#include "support/QtPrinting.h"
#include "support/ScriptedDesktop.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

std::shared_ptr<Collection> entries(const QStringList &texts)
{
    auto collection = std::make_shared<Collection>();
    for (const QString &text : texts)
        collection->Add(text);
    return collection;
}

} // namespace

TEST(InputDialog, freeTextIsTheDefaultModeWithAnEmptyBox)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_EQ(user.caption(), u"名称");
        EXPECT_EQ(user.text(u"lab提示"_s), u"请输入名称");
        EXPECT_TRUE(user.isVisible(u"txt内容"_s));
        EXPECT_FALSE(user.isVisible(u"cbo内容"_s));
        EXPECT_FALSE(user.isVisible(u"cbo选择"_s));
        EXPECT_EQ(user.text(u"txt内容"_s), u"");
        user.setText(u"txt内容"_s, u"  张三 "_s);
        user.click(u"cmd确定"_s);
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"请输入名称"_s, u"名称"_s), u"  张三 ") << "the text comes back untrimmed";
    EXPECT_TRUE(input.inputAccepted());
}

TEST(InputDialog, inputModeShowsTheFirstItemAsDefaultText)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_EQ(user.text(u"txt内容"_s), u"甲");
        user.click(u"cmd确定"_s);
    });
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_EQ(user.text(u"txt内容"_s), u"");
        user.click(u"cmd确定"_s);
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"Input"_s, entries({u"甲"_s, u"乙"_s, u"丙"_s})), u"甲");
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"Input"_s, entries({})), u"");
}

TEST(InputDialog, selectModesListTheItemsInOrderWithNothingPreselected)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_TRUE(user.isVisible(u"cbo内容"_s));
        EXPECT_FALSE(user.isVisible(u"txt内容"_s));
        EXPECT_EQ(user.activeControl(), u"cbo内容") << "the shown entry has the focus";
        EXPECT_EQ(user.items(u"cbo内容"_s), (QStringList{u"乙"_s, u"甲"_s, u"乙"_s}));
        EXPECT_EQ(user.text(u"cbo内容"_s), u"");
        user.setText(u"cbo内容"_s, u"丁"_s);
        user.click(u"cmd确定"_s);
    });
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_TRUE(user.isVisible(u"cbo选择"_s));
        EXPECT_EQ(user.text(u"cbo选择"_s), u"");
        user.pick(u"cbo选择"_s, u"女"_s);
        user.click(u"cmd确定"_s);
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"Select"_s, entries({u"乙"_s, u"甲"_s, u"乙"_s})), u"丁");
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"OnlySelect"_s, entries({u"男"_s, u"女"_s})), u"女");
}

TEST(InputDialog, pickOnlyWithoutAListConfirmsTheEmptyText)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_TRUE(user.items(u"cbo选择"_s).isEmpty());
        user.click(u"cmd确定"_s);
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"OnlySelect"_s), u"");
    EXPECT_TRUE(input.inputAccepted());
}

TEST(InputDialog, cancelOrCloseBoxKeepsThePreviousResult)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) { user.click(u"cmd取消"_s); });
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        user.setText(u"txt内容"_s, u"第一次"_s);
        user.click(u"cmd确定"_s);
    });
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        user.setText(u"txt内容"_s, u"不要"_s);
        user.close();
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s), u"");
    EXPECT_FALSE(input.inputAccepted());
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s), u"第一次");
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s), u"第一次");
    EXPECT_FALSE(input.inputAccepted());
}

TEST(InputDialog, anUnknownModeShowsAllThreeEntriesAndConfirmsNothing)
{
    test::ScriptedDesktop desktop;
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_TRUE(user.isVisible(u"txt内容"_s));
        EXPECT_TRUE(user.isVisible(u"cbo内容"_s));
        EXPECT_TRUE(user.isVisible(u"cbo选择"_s));
        user.setText(u"txt内容"_s, u"x"_s);
        user.click(u"cmd确定"_s);
    });
    WinInput input;
    EXPECT_EQ(input.InputAny(u"p"_s, u"t"_s, u"input"_s, entries({u"默认"_s})), u"");
    EXPECT_FALSE(input.inputAccepted());
}

TEST(InputDialog, entriesThatAreNotTextEndTheCallWithAnError)
{
    test::ScriptedDesktop desktop;
    auto list = entries({u"甲"_s});
    list->Add(std::make_shared<Collection>());
    WinInput input;
    try {
        (void)input.InputAny(u"p"_s, u"t"_s, u"Select"_s, list);
        ADD_FAILURE() << "an object entry was accepted";
    } catch (const Error &error) {
        EXPECT_EQ(error.number(), ErrorNumber::TypeMismatch);
    }
    EXPECT_TRUE(desktop.modals().empty()) << "the window is not shown";
}

TEST(InputDialog, opensCentredNineHundredTwipsAboveTheMiddleOfTheScreen)
{
    test::ScriptedDesktop desktop;
    desktop.setScreenSize(19200, 14400);
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        const QWidget *window = user.widget(u"txt内容"_s)->window();
        EXPECT_EQ(window->x(), (19200 - 4590) / 2 / 15);
        EXPECT_EQ(window->y(), ((14400 - 2370) / 2 - 900) / 15);
    });
    WinInput input;
    (void)input.InputAny(u"p"_s, u"t"_s);
}

TEST(InputDialog, aLongPromptWrapsInsideTheWindowWhichGrowsToShowIt)
{
    test::ScriptedDesktop desktop;
    const QString prompt = u"请输入这一项的名称，"_s.repeated(12);
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        const QWidget *label = user.widget(u"lab提示"_s);
        const QWidget *entry = user.widget(u"txt内容"_s);
        const QWidget *confirm = user.widget(u"cmd确定"_s);
        const QWidget *window = label->window();
        EXPECT_LE(label->geometry().right(), window->width()) << "the prompt is not cut at the window's edge";
        EXPECT_GT(label->height(), 2 * label->fontMetrics().height()) << "it wraps over several lines";
        EXPECT_GT(entry->y(), label->geometry().bottom()) << "the entry stays below the prompt";
        EXPECT_GT(confirm->y(), entry->geometry().bottom());
        EXPECT_LE(confirm->geometry().bottom(), window->height()) << "the window grows to keep its buttons";
    });
    desktop.expectModal(u"frmInputAny"_s, [](FormDriver &user) {
        EXPECT_EQ(user.widget(u"txt内容"_s)->y(), 720 / 15) << "a short prompt keeps the designed layout";
    });
    WinInput input;
    (void)input.InputAny(prompt, u"t"_s);
    (void)input.InputAny(u"p"_s, u"t"_s);
}
