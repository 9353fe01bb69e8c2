#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string_view>

namespace velmarith {

/// The number at the start of a text: leading blanks, an optional sign, digits with at most
/// one decimal point. 0 when the text does not start with a number. Used for metadata values.
[[nodiscard]] double leadingNumber(QStringView text);

/// The number of a text, read the way an editor's value becomes an SQL number: blanks anywhere
/// inside are ignored, an exponent is allowed, the first other character ends the number.
/// " 1 5" is 15, "1,000" is 1, "12abc" is 12, a text without a number is 0.
[[nodiscard]] double numberOfText(QStringView text);

/// A number written back as text: up to 15 significant digits, "." as the decimal point,
/// exponent form (1E+16, 1E-05) from 1E+15 up and below 1E-4.
[[nodiscard]] QString numberText(double value);

/// The same writing into a caller's buffer as UTF-8, for readers that copy many values.
using NumberBuffer = char[32];
[[nodiscard]] std::string_view writeNumber(double value, NumberBuffer &buffer);

/// Rounds to the nearest whole number, halves to even; error 6 outside −32768..32767.
[[nodiscard]] int16_t toInt16(double value);
/// The same for 32-bit integers.
[[nodiscard]] int32_t toInt32(double value);

} // namespace velmarith
