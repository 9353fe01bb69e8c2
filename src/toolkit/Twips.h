#pragma once

#include <QtGlobal>

namespace velmarith::toolkit {

/// Positions and sizes are kept in twips; one twip is 1/15 pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;

[[nodiscard]] constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

[[nodiscard]] constexpr int toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

/// A rectangle in twips, as a form's design gives it.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

} // namespace velmarith::toolkit
