// The input box driven by real key clicks on the production desktop: the focus starts in the
// shown entry, Enter confirms and Escape cancels, in every mode.
#include <velmarith/WinInput.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    QString focusedAtStart;
    QString text;
    bool accepted = false;
};

// The named control that holds the focus (an editable combo's line edit has no name).
QString focusedControl()
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty())
            return widget->objectName();
    }
    return u"(nothing)"_s;
}

Outcome answer(const QString &mode, const QStringList &items, const std::function<void()> &keys)
{
    auto entries = std::make_shared<Collection>();
    for (const QString &item : items)
        entries->Add(item);
    WinInput input;
    Outcome outcome;
    QTimer::singleShot(0, &input, [&outcome, keys] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box || !QTest::qWaitForWindowExposed(box)) {
            ADD_FAILURE() << "the input box was not shown";
            return;
        }
        box->activateWindow();
        outcome.focusedAtStart = focusedControl();
        keys();
    });
    QTimer::singleShot(10000, &input, [] {
        ADD_FAILURE() << "the input box did not close";
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    outcome.text = input.InputAny(u"p"_s, u"t"_s, mode, entries);
    outcome.accepted = input.inputAccepted();
    return outcome;
}

void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

void type(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

TEST(InputRealKeys, theFocusStartsInTheShownEntryEnterConfirmsAndEscapeCancelsInEveryMode)
{
    const Outcome typed = answer(u"Input"_s, {}, [] {
        type(u"abc"_s);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(typed.focusedAtStart, u"txt内容");
    EXPECT_TRUE(typed.accepted);
    EXPECT_EQ(typed.text, u"abc");

    const Outcome chosenOrTyped = answer(u"Select"_s, {u"x"_s, u"y"_s}, [] {
        type(u"zz"_s);
        press(Qt::Key_Enter);
    });
    EXPECT_EQ(chosenOrTyped.focusedAtStart, u"cbo内容");
    EXPECT_TRUE(chosenOrTyped.accepted);
    EXPECT_EQ(chosenOrTyped.text, u"zz");

    const Outcome picked = answer(u"OnlySelect"_s, {u"x"_s, u"y"_s}, [] {
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    EXPECT_EQ(picked.focusedAtStart, u"cbo选择");
    EXPECT_TRUE(picked.accepted);
    EXPECT_EQ(picked.text, u"x") << "nothing is picked at first, so Down picks the first entry";

    for (const QString &mode : {u"Input"_s, u"Select"_s, u"OnlySelect"_s}) {
        const Outcome cancelled = answer(mode, {u"x"_s}, [] {
            type(u"q"_s);
            press(Qt::Key_Escape);
        });
        EXPECT_FALSE(cancelled.accepted) << mode.toStdString();
        EXPECT_EQ(cancelled.text, u"") << mode.toStdString();
    }
}

TEST(InputRealKeys, enterOnAFocusedButtonPressesThatButton)
{
    const Outcome outcome = answer(u"Input"_s, {u"kept"_s}, [] {
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        ASSERT_EQ(focusedControl(), u"cmd取消");
        press(Qt::Key_Return);
    });
    EXPECT_FALSE(outcome.accepted) << "Enter on 取消 cancels rather than confirming";
}
