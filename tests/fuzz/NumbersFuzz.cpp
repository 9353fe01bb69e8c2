// The number reading agrees with strtod on every plain decimal number, and writing a number
// reads back as the same number to 15 significant digits.
#include "Property.h"

#include "common/Numbers.h"

#include <velmarith/Error.h>

#include <QRegularExpression>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <locale.h>

using namespace velmarith;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    static const QRegularExpression plainNumber(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString text = fuzz::textOf(data, size);

    const double read = numberOfText(text);
    (void)leadingNumber(text);
    if (plainNumber.match(text).hasMatch()) {
        const QByteArray ascii = text.toLatin1();
        const double expected = strtod_l(ascii.constData(), nullptr, cLocale);
        fuzz::require(read == expected, "numberOfText agrees with strtod", text);
    }

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        // Fifteen digits round the largest doubles up past the largest one; those read back as
        // infinite, every other number as itself to fifteen digits.
        constexpr double kLargestWrittenWithin = 1.79769313486231e308;
        if (std::isfinite(value) && std::abs(value) <= kLargestWrittenWithin) {
            const QString written = numberText(value);
            const double back = numberOfText(written);
            fuzz::require(std::abs(back - value) <= std::abs(value) * 1e-14, "numberText reads back", written);
        }
        try {
            (void)toInt16(value);
        } catch (const Error &error) {
            fuzz::require(error.number() == ErrorNumber::Overflow, "toInt16 fails only by overflow");
        }
    }
    return 0;
}
