#pragma once

#include <velmarith/Error.h>

#include <QString>

#include <compare>
#include <cstdint>

namespace velmarith {

/// A 16-bit signed integer whose arithmetic raises error 6 instead of wrapping, for every
/// counter, position and size the dialogs compute (twips overflow at 32767, about 55 cm).
class Int16
{
public:
    constexpr Int16() = default;
    constexpr Int16(int16_t value) : mValue(value) {}
    /// Error 6 when the value does not fit.
    static Int16 checked(long long value)
    {
        if (value < -32768 || value > 32767)
            throw Error(ErrorNumber::Overflow, QStringLiteral("溢出：%1 超出了 16 位整数的范围").arg(value));
        return Int16(static_cast<int16_t>(value));
    }

    [[nodiscard]] constexpr int16_t value() const { return mValue; }
    constexpr operator int16_t() const { return mValue; }

    friend Int16 operator+(Int16 a, Int16 b) { return checked(long(a.mValue) + b.mValue); }
    friend Int16 operator-(Int16 a, Int16 b) { return checked(long(a.mValue) - b.mValue); }
    friend Int16 operator*(Int16 a, Int16 b) { return checked(long(a.mValue) * b.mValue); }
    /// Integer division truncating toward zero (the classic "\" operator).
    friend Int16 operator/(Int16 a, Int16 b)
    {
        if (b.mValue == 0)
            throw Error(ErrorNumber::DivisionByZero, QStringLiteral("除数为零"));
        return checked(long(a.mValue) / b.mValue);
    }
    Int16 &operator+=(Int16 b) { return *this = *this + b; }
    Int16 &operator-=(Int16 b) { return *this = *this - b; }
    Int16 &operator++() { return *this += Int16(1); }

    friend constexpr bool operator==(Int16 a, Int16 b) = default;
    friend constexpr auto operator<=>(Int16 a, Int16 b) = default;

private:
    int16_t mValue = 0;
};

} // namespace velmarith
