#include "common/ComModule.h"

#include "support/RecordingFeedback.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::ComModule;
using namespace Qt::StringLiterals;

TEST(NextCode, incrementsWithinTheWidthOfTheCode)
{
    test::RecordingFeedback feedback;
    EXPECT_EQ(NextCode(u"0012"_s, 0), u"0013");
    EXPECT_EQ(NextCode(u"0099"_s, 0), u"0100");
    EXPECT_EQ(NextCode(u"7"_s, 3), u"008");
    EXPECT_EQ(NextCode(u"000000000005"_s, 0), u"00000000006") << "never more than ten zeros in front";
    EXPECT_EQ(feedback.beeps, 0);
}

TEST(NextCode, beepsAndKeepsTheTextWhenItCannotGrow)
{
    test::RecordingFeedback feedback;
    EXPECT_EQ(NextCode(u"99"_s, 0), u"99");
    EXPECT_EQ(NextCode(u"9999"_s, 0), u"9999");
    EXPECT_EQ(NextCode(u"123"_s, 2), u"123");
    EXPECT_EQ(NextCode(QString(), 0), u"");
    EXPECT_EQ(NextCode(u"5"_s, -1), u"5");
    EXPECT_EQ(feedback.beeps, 5);
}

TEST(NextCode, leavesTextsWithOtherCharactersAloneWithoutBeeping)
{
    test::RecordingFeedback feedback;
    EXPECT_EQ(NextCode(u"12A"_s, 0), u"12A");
    EXPECT_EQ(NextCode(u" 12"_s, 0), u" 12");
    EXPECT_EQ(NextCode(u"-1"_s, 0), u"-1");
    EXPECT_EQ(NextCode(u"１２"_s, 0), u"１２"); // full-width digits are not digits here
    EXPECT_EQ(feedback.beeps, 0);
}

TEST(BracketText, cutsAtTheLastBracketOfTheFirstKindThatOccurs)
{
    EXPECT_EQ(BracketText(u"张三(销售部)"_s, -1), u"张三");
    EXPECT_EQ(BracketText(u"张三(销售部)"_s, 0), u"销售部");
    EXPECT_EQ(BracketText(u"a[b](c)"_s, -1), u"a[b]");
    EXPECT_EQ(BracketText(u"a[b](c)"_s, 0), u"c");
    EXPECT_EQ(BracketText(u"01(一)(二)"_s, -1), u"01(一)");
    EXPECT_EQ(BracketText(u"x(y"_s, 0), u"y");
    EXPECT_EQ(BracketText(u"甲（乙）"_s, -1), u"甲");
    EXPECT_EQ(BracketText(u"甲（乙）"_s, 0), u"乙");
    EXPECT_EQ(BracketText(u"a{b}<c>"_s, -1), u"a{b}") << "< comes before { in the order of kinds";
}

TEST(BracketText, returnsTextWithoutBracketsUnchangedAndNothingForOtherModes)
{
    EXPECT_EQ(BracketText(u"abc"_s, -1), u"abc");
    EXPECT_EQ(BracketText(u"abc"_s, 0), u"abc");
    EXPECT_EQ(BracketText(u"abc"_s, 1), u"");
    EXPECT_EQ(BracketText(u"a(b)"_s, 2), u"");
    EXPECT_EQ(BracketText(QString(), -1), u"");
}
