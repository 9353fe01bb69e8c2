#include "common/Numbers.h"

#include <velmarith/Error.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace velmarith {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Collects the characters of a number into plain ASCII for std::from_chars.
class NumberScanner
{
public:
    NumberScanner(QStringView text, bool blanksInside) : mText(text), mBlanksInside(blanksInside) {}

    double scan(bool allowExponent)
    {
        skipBlanks();
        if (mPos < mText.size() && (mText[mPos] == u'+' || mText[mPos] == u'-')) {
            if (mText[mPos] == u'-')
                mDigits += '-';
            advance();
        }
        bool anyDigit = false;
        bool seenPoint = false;
        while (mPos < mText.size()) {
            const QChar c = mText[mPos];
            if (isDigit(c)) {
                mDigits += char(c.unicode());
                anyDigit = true;
            } else if (c == u'.' && !seenPoint) {
                mDigits += '.';
                seenPoint = true;
            } else {
                break;
            }
            advance();
        }
        if (!anyDigit)
            return 0.0;
        if (allowExponent)
            scanExponent();
        return parse();
    }

private:
    void skipBlanks()
    {
        while (mPos < mText.size() && isBlank(mText[mPos]))
            ++mPos;
    }
    // Moves past the current character and, where blanks inside count for nothing, past blanks.
    void advance()
    {
        ++mPos;
        if (mBlanksInside)
            skipBlanks();
    }
    // An exponent counts only when digits follow the letter and its optional sign.
    void scanExponent()
    {
        if (mPos >= mText.size() || (mText[mPos] != u'e' && mText[mPos] != u'E'))
            return;
        const qsizetype mark = mPos;
        std::string exponent = "e";
        advance();
        if (mPos < mText.size() && (mText[mPos] == u'+' || mText[mPos] == u'-')) {
            exponent += char(mText[mPos].unicode());
            advance();
        }
        bool anyDigit = false;
        while (mPos < mText.size() && isDigit(mText[mPos])) {
            exponent += char(mText[mPos].unicode());
            anyDigit = true;
            advance();
        }
        if (anyDigit)
            mDigits += exponent;
        else
            mPos = mark;
    }
    double parse() const
    {
        double value = 0.0;
        const char *begin = mDigits.data();
        const auto [end, error] = std::from_chars(begin, begin + mDigits.size(), value);
        if (error != std::errc::result_out_of_range)
            return value;
        const bool negative = mDigits.front() == '-';
        if (magnitude() > 0)
            return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return negative ? -0.0 : 0.0;
    }
    // The power of ten of the first significant digit, exponent included: 2 for 123, −3 for
    // 0.00123, 309 for 1000e306. Only its sign matters, to tell an overflow from an underflow.
    long long magnitude() const
    {
        const size_t exponentAt = std::min(mDigits.find('e'), mDigits.size());
        const std::string_view mantissa = std::string_view(mDigits).substr(0, exponentAt);
        const size_t point = std::min(mantissa.find('.'), mantissa.size());
        const size_t firstSignificant = mantissa.find_first_of("123456789");
        if (firstSignificant == std::string_view::npos)
            return 0;
        const long long power = firstSignificant < point ? (long long)(point - firstSignificant) - 1
                                                   : -(long long)(firstSignificant - point);
        long long exponent = 0;
        constexpr long long kFarBeyondRange = 1'000'000'000;
        for (size_t i = exponentAt + 1; i < mDigits.size(); ++i) {
            if (mDigits[i] >= '0' && mDigits[i] <= '9')
                exponent = std::min(kFarBeyondRange, exponent * 10 + (mDigits[i] - '0'));
        }
        if (exponentAt + 1 < mDigits.size() && mDigits[exponentAt + 1] == '-')
            exponent = -exponent;
        return power + exponent;
    }

    QStringView mText;
    bool mBlanksInside;
    qsizetype mPos = 0;
    std::string mDigits;
};

template<typename Int>
Int roundedChecked(double value)
{
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (!(rounded >= double(std::numeric_limits<Int>::min()) && rounded <= double(std::numeric_limits<Int>::max())))
        throw Error(ErrorNumber::Overflow, QStringLiteral("溢出：%1 超出了整数的范围").arg(numberText(value)));
    return static_cast<Int>(rounded);
}

} // namespace

double leadingNumber(QStringView text)
{
    return NumberScanner(text, false).scan(false);
}

double numberOfText(QStringView text)
{
    return NumberScanner(text, true).scan(true);
}

namespace {

// Most stored numbers are short decimals, amounts in cents say. When the value is the double
// nearest to units / 10^places with at most 15 digits, the general form below writes exactly
// that decimal, so it is written from the integer at a fraction of the cost.
std::optional<std::string_view> writeShortDecimal(double value, NumberBuffer &buffer)
{
    constexpr std::array<double, 5> kScales{1, 10, 100, 1000, 10000};
    constexpr double kFifteenDigits = 1e15;
    for (size_t places = 0; places < kScales.size(); ++places) {
        const double whole = std::nearbyint(value * kScales[places]);
        if (!(std::abs(whole) < kFifteenDigits))
            return std::nullopt; // also NaN and the infinities
        if (whole / kScales[places] != value)
            continue;
        const auto units = uint64_t(std::abs(whole));
        const auto scale = uint64_t(kScales[places]);
        char *end = buffer;
        if (whole < 0)
            *end++ = '-';
        end = std::to_chars(end, buffer + sizeof buffer, units / scale).ptr;
        if (places > 0) {
            *end++ = '.';
            uint64_t fraction = units % scale;
            for (uint64_t digit = scale / 10; digit > 0; digit /= 10) {
                *end++ = char('0' + fraction / digit);
                fraction %= digit;
            }
        }
        return std::string_view(buffer, size_t(end - buffer));
    }
    return std::nullopt;
}

} // namespace

std::string_view writeNumber(double value, NumberBuffer &buffer)
{
    if (value == 0.0) { // also −0
        buffer[0] = '0';
        return {buffer, 1};
    }
    if (const std::optional<std::string_view> decimal = writeShortDecimal(value, buffer))
        return *decimal;
    // "general" with 15 digits switches to the exponent exactly where we want it: from 1E+15 up
    // and below 1E-4, and it drops trailing zeros.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    for (char *c = buffer; c != result.ptr; ++c) {
        if (*c == 'e')
            *c = 'E';
    }
    return {buffer, size_t(result.ptr - buffer)};
}

QString numberText(double value)
{
    NumberBuffer buffer;
    const std::string_view text = writeNumber(value, buffer);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

int16_t toInt16(double value)
{
    return roundedChecked<int16_t>(value);
}

int32_t toInt32(double value)
{
    return roundedChecked<int32_t>(value);
}

} // namespace velmarith
