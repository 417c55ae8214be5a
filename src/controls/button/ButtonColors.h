#pragma once

#include <QRgb>

#include <cstdint>
#include <vector>

class QPalette;

namespace quibo {

// A colour of the button: 0x00BBGGRR (red in the low byte), or a system colour 0x800000nn.
using ButtonColor = std::int32_t;

constexpr ButtonColor kSysButtonFace = static_cast<ButtonColor>(0x8000000F);
constexpr ButtonColor kSysButtonText = static_cast<ButtonColor>(0x80000012);

// Rounds to the nearest integer, halves to even.
int Near(double x);

QRgb ToQRgb(ButtonColor rgb);
ButtonColor FromQRgb(QRgb rgb);

// Lightens (positive amount) or darkens a colour channel by channel. With avoidExtremes a result of
// pure black or white is retried with the amount negated (0 becomes 64); the amount tried last is
// written back.
ButtonColor ShiftColor(ButtonColor colour, std::int16_t& amount, bool proportionalBlue = false,
                       bool avoidExtremes = false, bool invert = false);
// The same with an amount the caller does not keep.
ButtonColor ShiftColor(ButtonColor colour, int amount, bool proportionalBlue = false);

// Fills every band from the start colour to the end colour in equal channel steps.
void CalcGradientSteps(std::vector<ButtonColor>& bands, ButtonColor start, ButtonColor end);

// The RGB of a colour: a system colour is looked up in the palette role that plays its part.
ButtonColor TranslateSysColor(ButtonColor colour, const QPalette& palette);
// The same over the application's palette.
ButtonColor TranslateSysColor(ButtonColor colour);

// The colours each style draws with, derived from the back and hover back colours (both RGB).
struct DerivedColors {
    ButtonColor workingBack = 0;
    ButtonColor workingHoverBack = 0;
    ButtonColor shadow = 0;
    ButtonColor highlight = 0;
    bool operator==(const DerivedColors&) const = default;
};
DerivedColors CalcDerivedColors(int buttonStyle, ButtonColor backRgb, ButtonColor hoverBackRgb);

// Band width of a gradient over `size` pixels on a screen of `screenSize` pixels in that direction:
// 2 once the button spans more than about a quarter of the screen.
int GradientBandWidth(int size, int screenSize);

} // namespace quibo
