#include "common/Int16.h"
#include "common/Numbers.h"

#include "support/QtPrinting.h"

#include "support/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

// Short decimals are written by a quicker path than other numbers; both must give the text of
// the general form with 15 digits, whatever the value.
TEST(Numbers, writeNumberGivesTheGeneralFormForShortDecimalsAndEveryOtherValue)
{
    const auto generalForm = [](double value) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
        std::string written(text, end);
        std::replace(written.begin(), written.end(), 'e', 'E');
        return value == 0.0 ? std::string("0") : written;
    };
    const auto written = [](double value) {
        NumberBuffer buffer;
        return std::string(writeNumber(value, buffer));
    };
    std::vector<double> values{0.05, -0.5, 18500.55, 0.0001, 0.00015, -0.0001, 999999999999999, 99999999999999.9,
                               1e15, 1e14 + 0.5, 0.1 + 0.2, 1.0 / 3, 2.675, 1e-300, 9007199254740993.0,
                               std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), std::nan("")};
    std::mt19937_64 random(15);
    std::uniform_int_distribution<int64_t> units(-999999999999999, 999999999999999);
    std::uniform_int_distribution<int> places(0, 6);
    std::uniform_int_distribution<uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        values.push_back(double(units(random) >> (4 * (i % 12))) / std::pow(10.0, places(random)));
        values.push_back(std::bit_cast<double>(bits(random)));
    }
    for (const double value : values)
        ASSERT_EQ(written(value), generalForm(value)) << std::hexfloat << value;
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
