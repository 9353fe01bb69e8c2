#include "common/Int16.h"
#include "common/Numbers.h"

#include "support/QtPrinting.h"

#include "support/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmarith;
using velmarith::test::errorNumberOf;

TEST(Numbers, leadingNumberReadsSignDigitsAndOnePointOnly)
{
    EXPECT_DOUBLE_EQ(leadingNumber(u"8000.5"), 8000.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"  12abc"), 12);
    EXPECT_DOUBLE_EQ(leadingNumber(u"-3.5x"), -3.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"+7"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1 5"), 1);   // a blank ends it
    EXPECT_DOUBLE_EQ(leadingNumber(u"1e3"), 1);   // no exponent here
    EXPECT_DOUBLE_EQ(leadingNumber(u""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"abc"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"-"), 0);
}

TEST(Numbers, numberOfTextIgnoresInnerBlanksAndReadsExponents)
{
    EXPECT_DOUBLE_EQ(numberOfText(u" 1 5"), 15);
    EXPECT_DOUBLE_EQ(numberOfText(u"1,000"), 1);
    EXPECT_DOUBLE_EQ(numberOfText(u"12abc"), 12);
    EXPECT_DOUBLE_EQ(numberOfText(u"1(男)"), 1);
    EXPECT_DOUBLE_EQ(numberOfText(u"01(一)(二)"), 1);
    EXPECT_DOUBLE_EQ(numberOfText(u"- 2 . 5"), -2.5);
    EXPECT_DOUBLE_EQ(numberOfText(u"1e3"), 1000);
    EXPECT_DOUBLE_EQ(numberOfText(u"2 E - 2"), 0.02);
    EXPECT_DOUBLE_EQ(numberOfText(u"7e"), 7);    // a letter without digits is no exponent
    EXPECT_DOUBLE_EQ(numberOfText(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(numberOfText(u""), 0);
    EXPECT_DOUBLE_EQ(numberOfText(u"张三"), 0);
}

TEST(Numbers, numbersBeyondADoubleAreInfiniteOrZeroByTheirValue)
{
    EXPECT_EQ(numberOfText(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberOfText(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberOfText(u"1e-999"), 0.0);
    // A tiny number spelled without an exponent, and a huge one whose exponent is "e-0".
    EXPECT_EQ(numberOfText(QStringLiteral("0.") + QString(323, u'0') + QStringLiteral("1")), 0.0);
    EXPECT_EQ(numberOfText(QStringLiteral("1") + QString(309, u'0') + QStringLiteral("e-0")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberOfText(u"0.001e312"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(numberOfText(u"1000e-330"), 0.0);
    EXPECT_EQ(numberOfText(u"1e99999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(Numbers, numberTextWritesFifteenDigitsAndSwitchesToExponentAtTheLimits)
{
    EXPECT_EQ(numberText(0), u"0");
    EXPECT_EQ(numberText(-0.0), u"0");
    EXPECT_EQ(numberText(12), u"12");
    EXPECT_EQ(numberText(-1.5), u"-1.5");
    EXPECT_EQ(numberText(0.1 + 0.2), u"0.3");
    EXPECT_EQ(numberText(1.0 / 3), u"0.333333333333333");
    EXPECT_EQ(numberText(999999999999999), u"999999999999999");
    EXPECT_EQ(numberText(1e15), u"1E+15");
    EXPECT_EQ(numberText(1e16), u"1E+16");
    EXPECT_EQ(numberText(-2.5e20), u"-2.5E+20");
    EXPECT_EQ(numberText(0.0001), u"0.0001");
    EXPECT_EQ(numberText(0.00001), u"1E-05");
    EXPECT_EQ(numberText(1.5e-7), u"1.5E-07");
}

TEST(Numbers, toInt16RoundsHalvesToEvenAndRaisesOverflowOutsideRange)
{
    EXPECT_EQ(toInt16(8000.5), 8000);
    EXPECT_EQ(toInt16(8001.5), 8002);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(0.5), 0);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_EQ(errorNumberOf([] { (void)toInt16(32767.5); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)toInt16(-32768.6); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)toInt16(std::nan("")); }), ErrorNumber::Overflow);
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(errorNumberOf([] { (void)toInt32(2147483647.5); }), ErrorNumber::Overflow);
}

TEST(Numbers, int16ArithmeticRaisesOverflowInsteadOfWrapping)
{
    EXPECT_EQ(Int16(32766) + Int16(1), Int16(32767));
    EXPECT_EQ(errorNumberOf([] { (void)(Int16(32767) + Int16(1)); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)(Int16(-32768) - Int16(1)); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)(Int16(200) * Int16(200)); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)(Int16(-32768) / Int16(-1)); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorNumberOf([] { (void)(Int16(1) / Int16(0)); }), ErrorNumber::DivisionByZero);
    EXPECT_EQ(Int16(-7) / Int16(2), Int16(-3)); // truncates toward zero
    Int16 counter(32766);
    ++counter;
    EXPECT_EQ(counter.value(), 32767);
    EXPECT_EQ(errorNumberOf([&] { ++counter; }), ErrorNumber::Overflow);
    EXPECT_EQ(counter.value(), 32767); // unchanged by the failed step
}
