#pragma once

#include <QString>

#include <cstdint>

namespace velmarith::ComModule {

/// The next code of the same width: "0012" → "0013", "0099" → "0100". A text with anything but
/// the digits 0–9 comes back unchanged; an empty text, or one already at the largest number of
/// its width ("9999"), comes back unchanged with a beep. Width 0 means the text's own length;
/// at most ten leading zeros are put in front.
[[nodiscard]] QString NextCode(const QString &text, int16_t width);

/// Cuts a text at its last opening bracket, trying "(", "（", "[", "<", "{" in that order:
/// mode −1 gives the part before it ("张三(销售部)" → "张三"), mode 0 the part inside the pair
/// ("销售部"); a text without brackets comes back unchanged; any other mode gives "".
[[nodiscard]] QString BracketText(const QString &text, int16_t mode);

} // namespace velmarith::ComModule
