#include "controls/button/ButtonColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace quibo {

int Near(double x) {
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5) return static_cast<int>(down) + 1;
    if (rest < 0.5) return static_cast<int>(down);
    return static_cast<int>(std::fmod(down, 2.0) == 0.0 ? down : down + 1);
}

QRgb ToQRgb(ButtonColor rgb) {
    return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

ButtonColor FromQRgb(QRgb rgb) {
    return qRed(rgb) + 256 * qGreen(rgb) + 65536 * qBlue(rgb);
}

namespace {

ButtonColor ShiftOnce(ButtonColor colour, int amount, bool proportionalBlue, bool invert) {
    const int r = colour & 0xFF;
    const int g = (colour >> 8) & 0xFF;
    const int b = (colour >> 16) & 0xFF;
    int channels[3] = {r + amount, g + amount, proportionalBlue ? b + (amount * b) / 192 : b + amount};
    for (int& c : channels) {
        c = std::clamp(c, 0, 255);
        if (invert) c = 255 - c;
    }
    return channels[0] + 256 * channels[1] + 65536 * channels[2];
}

} // namespace

ButtonColor ShiftColor(ButtonColor colour, std::int16_t& amount, bool proportionalBlue, bool avoidExtremes,
                       bool invert) {
    ButtonColor result = ShiftOnce(colour, amount, proportionalBlue, invert);
    // An amount and its negation (or 0, 64 and -64) are all there is to try; a colour that is extreme
    // both ways would otherwise retry for ever.
    for (int tries = 1; avoidExtremes && (result == 0 || result == 0xFFFFFF) && tries < 3; ++tries) {
        amount = amount == 0 ? std::int16_t{64} : static_cast<std::int16_t>(-amount);
        result = ShiftOnce(colour, amount, proportionalBlue, invert);
    }
    return result;
}

ButtonColor ShiftColor(ButtonColor colour, int amount, bool proportionalBlue) {
    std::int16_t kept = static_cast<std::int16_t>(amount);
    return ShiftColor(colour, kept, proportionalBlue, false, false);
}

void CalcGradientSteps(std::vector<ButtonColor>& bands, ButtonColor start, ButtonColor end) {
    if (bands.empty()) return;
    const int n = static_cast<int>(bands.size()) - 1;
    double channel[3];
    double step[3];
    for (int k = 0; k < 3; ++k) {
        channel[k] = (start >> (8 * k)) & 0xFF;
        step[k] = n > 0 ? (((end >> (8 * k)) & 0xFF) - channel[k]) / n : 0.0;
    }
    bands[0] = start;
    for (int j = 1; j <= n; ++j) {
        ButtonColor colour = 0;
        for (int k = 0; k < 3; ++k) {
            channel[k] = std::clamp(channel[k] + step[k], 0.0, 255.0);
            colour += static_cast<ButtonColor>(std::floor(channel[k])) << (8 * k);
        }
        bands[j] = colour;
    }
}

namespace {

struct SysColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colour indices 0-30 and the palette entries that play their part.
constexpr SysColor kSysColors[] = {
    {QPalette::Active, QPalette::Button},            // 0 scroll bar
    {QPalette::Active, QPalette::Dark},              // 1 desktop
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::Text},              // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},              // 12 application workspace
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlighted text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 info background
    {QPalette::Active, QPalette::NoRole},            // 25 not a system colour
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 gradient of the active caption
    {QPalette::Inactive, QPalette::Highlight},       // 28 gradient of the inactive caption
    {QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    {QPalette::Active, QPalette::Window},            // 30 menu bar
};

} // namespace

ButtonColor TranslateSysColor(ButtonColor colour, const QPalette& palette) {
    if (colour >= 0) return colour;
    const int index = colour & 0xFF;
    if (index >= static_cast<int>(std::size(kSysColors)) || kSysColors[index].role == QPalette::NoRole)
        return 0;
    return FromQRgb(palette.color(kSysColors[index].group, kSysColors[index].role).rgb());
}

ButtonColor TranslateSysColor(ButtonColor colour) {
    return colour >= 0 ? colour : TranslateSysColor(colour, QGuiApplication::palette());
}

DerivedColors CalcDerivedColors(int buttonStyle, ButtonColor backRgb, ButtonColor hoverBackRgb) {
    DerivedColors d{backRgb, hoverBackRgb, backRgb, 0};
    switch (buttonStyle) {
    case 7:
        d.workingBack = ShiftColor(d.workingBack, 31);
        d.workingHoverBack = ShiftColor(d.workingHoverBack, 31);
        d.shadow = ShiftColor(0x808080, -16);
        d.highlight = ShiftColor(0x808080, 16, true);
        break;
    case 2:
        d.workingBack = ShiftColor(d.workingBack, 48, true);
        d.workingHoverBack = ShiftColor(d.workingHoverBack, 48, true);
        d.shadow = ShiftColor(d.workingBack, -32, true);
        d.highlight = ShiftColor(0xFFFFFF, -32, true);
        break;
    case 3:
        d.shadow = ShiftColor(0x808080, 12);
        d.highlight = ShiftColor(d.shadow, 31);
        break;
    default:
        d.highlight = ShiftColor(0xFFFFFF, -32);
        break;
    }
    return d;
}

int GradientBandWidth(int size, int screenSize) {
    return size > 0 && screenSize / size < 4 ? 2 : 1;
}

} // namespace quibo
