#include "controls/button/ButtonColors.h"

#include <QPalette>

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(ButtonColorsTest, NearRoundsHalvesToEven) {
    EXPECT_EQ(Near(2.5), 2);
    EXPECT_EQ(Near(3.5), 4);
    EXPECT_EQ(Near(-24.5), -24);
    EXPECT_EQ(Near(1.6), 2);
    EXPECT_EQ(Near(-13.33), -13);
}

TEST(ButtonColorsTest, ShiftColor) {
    struct Case {
        const char* name;
        ButtonColor colour;
        std::int16_t amount;
        bool proportionalBlue, avoidExtremes, invert;
        ButtonColor expected;
        std::int16_t amountAfter;
    };
    const Case cases[] = {
        {"lightens", 0x808080, 40, false, false, false, 0xA8A8A8, 40},
        {"clamps", 0xF0F0F0, 40, false, false, false, 0xFFFFFF, 40},
        {"retries the other way", 0xF0F0F0, 40, false, true, false, 0xC8C8C8, -40},
        {"retries 0 as 64", 0x000000, 0, false, true, false, 0x404040, 64},
        {"proportional blue", 0x606464, -25, true, false, false, 0x544B4B, -25},
        {"inverts", 0x000000, 0, false, false, true, 0xFFFFFF, 0},
        {"gives up when both ways are extreme", 0xFFFFFF, 300, false, true, false, 0xFFFFFF, 300},
    };
    for (const Case& c : cases) {
        std::int16_t amount = c.amount;
        EXPECT_EQ(ShiftColor(c.colour, amount, c.proportionalBlue, c.avoidExtremes, c.invert), c.expected)
            << c.name;
        EXPECT_EQ(amount, c.amountAfter) << c.name;
    }
}

TEST(ButtonColorsTest, CalcGradientSteps) {
    std::vector<ButtonColor> bands(256);
    CalcGradientSteps(bands, 0x000000, 0x0000FF);
    for (int j = 0; j < 256; ++j)
        ASSERT_EQ(bands[j], j) << j;
    std::vector<ButtonColor> three(3);
    CalcGradientSteps(three, 0x0A0000, 0x000A0A);
    EXPECT_EQ(three, (std::vector<ButtonColor>{0x0A0000, 0x050505, 0x000A0A}));
    std::vector<ButtonColor> one(1);
    CalcGradientSteps(one, 0x123456, 0xFFFFFF);
    EXPECT_EQ(one[0], 0x123456);
}

TEST(ButtonColorsTest, TranslateSysColorReadsThePaletteRoleOfEachSystemColour) {
    QPalette palette;
    palette.setColor(QPalette::Button, qRgb(1, 2, 3));
    palette.setColor(QPalette::ButtonText, qRgb(4, 5, 6));
    palette.setColor(QPalette::Dark, qRgb(7, 8, 9));
    palette.setColor(QPalette::Light, qRgb(10, 11, 12));
    palette.setColor(QPalette::Base, qRgb(13, 14, 15));
    const std::pair<ButtonColor, ButtonColor> cases[] = {
        {kSysButtonFace, 0x030201},
        {kSysButtonText, 0x060504},
        {static_cast<ButtonColor>(0x80000010), 0x090807}, // button shadow
        {static_cast<ButtonColor>(0x80000014), 0x0C0B0A}, // button highlight
        {static_cast<ButtonColor>(0x80000005), 0x0F0E0D}, // window
        {static_cast<ButtonColor>(0x80000019), 0},        // no such system colour
        {0x00FF0000, 0x00FF0000},
    };
    for (const auto& [colour, rgb] : cases)
        EXPECT_EQ(TranslateSysColor(colour, palette), rgb) << colour;
}

TEST(ButtonColorsTest, DerivedColorsOfEachStyle) {
    const std::pair<int, DerivedColors> cases[] = {
        {0, {0x808080, 0x404040, 0x808080, 0xDFDFDF}}, {1, {0x808080, 0x404040, 0x808080, 0xDFDFDF}},
        {2, {0xA0B0B0, 0x507070, 0x869090, 0xD5DFDF}}, {3, {0x808080, 0x404040, 0x8C8C8C, 0xABABAB}},
        {7, {0x9F9F9F, 0x5F5F5F, 0x707070, 0x8A9090}},
    };
    for (const auto& [style, expected] : cases)
        EXPECT_EQ(CalcDerivedColors(style, 0x808080, 0x404040), expected) << style;
}

TEST(ButtonColorsTest, GradientBandsWidenOnButtonsOverAQuarterOfTheScreen) {
    EXPECT_EQ(GradientBandWidth(300, 1024), 2);
    EXPECT_EQ(GradientBandWidth(200, 1024), 1);
    EXPECT_EQ(GradientBandWidth(0, 1024), 1);
}

} // namespace
} // namespace quibo
