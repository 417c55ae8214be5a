#include "controls/button/ButtonTestKit.h"

#include <set>

#include <gtest/gtest.h>

namespace quibo {
namespace {

constexpr QRgb kMagenta = 0xFF00FF;

struct Pixels {
    std::set<std::pair<int, int>> at;
    int minX() const { return at.empty() ? -1 : std::min_element(at.begin(), at.end())->first; }
    int maxY() const {
        int y = -1;
        for (const auto& p : at)
            y = std::max(y, p.second);
        return y;
    }
};

// Inside the three rings of edge lines.
Pixels PixelsOf(const ProbeButton& button, QRgb colour) {
    Pixels p;
    for (int y = 3; y < button.height() - 3; ++y)
        for (int x = 3; x < button.width() - 3; ++x)
            if (button.At(x, y) == colour) p.at.insert({x, y});
    return p;
}

TEST(ButtonDrawingTest, GradientBandsRunInTheModesDirection) {
    TestHost host;
    ProbeButton button(host, 256, 10);
    button.SetGradientMode(1);
    button.DrawGradient(0x000000, 0x0000FF);
    for (const int x : {0, 1, 128, 255})
        EXPECT_EQ(button.At(x, 5), QRgb(x << 16)) << x;
    button.SetGradientMode(2);
    button.DrawGradient(0x000000, 0x0000FF);
    EXPECT_EQ(button.At(0, 5), 0xFF0000u);
    EXPECT_EQ(button.At(255, 5), 0u);

    // 1024 / 301 < 4: bands of 2 pixels, and the odd last row is left as it was.
    ProbeButton tall(host, 10, 301);
    tall.SetGradientMode(4);
    tall.DrawRectangle(0, 0, 10, 301, ButtonColor(0xFF00FF));
    tall.DrawGradient(0x000000, 0x0000FF);
    EXPECT_EQ(tall.At(5, 0), 0xFF0000u);
    EXPECT_EQ(tall.At(5, 1), 0xFF0000u);
    EXPECT_EQ(tall.At(5, 299), 0u);
    EXPECT_EQ(tall.At(5, 300), kMagenta);
}

TEST(ButtonDrawingTest, StripedFaceDarkensTowardsTheBottom) {
    TestHost host;
    ProbeButton button(host, 100, 50);
    button.SetBackColor(0x808080);
    button.SetButtonStyle(2);
    const ButtonColor face = button.Colors().workingBack;
    // Inside the rings: near(-1.5) is -2, near(-23) is -23.
    EXPECT_EQ(button.At(10, 3), ToQRgb(ShiftColor(face, -2, true)) & 0xFFFFFF);
    EXPECT_EQ(button.At(10, 46), ToQRgb(ShiftColor(face, -23, true)) & 0xFFFFFF);
}

TEST(ButtonDrawingTest, TheFaceFollowsHoverPressAndValue) {
    struct Case {
        const char* name;
        bool hover;
        std::int16_t flags;
        int mode;
        bool value;
        int gradientMode;
        QRgb left, right;
    };
    const std::int16_t pressed = QuiboButton::kDownFlag | QuiboButton::kOverFlag;
    const Case cases[] = {
        {"resting", false, 0, 0, false, 0, 0xFF0000, 0xFF0000},
        {"hovered", true, 0, 0, false, 0, 0x00FF00, 0x00FF00},
        {"hovered and pressed", true, pressed, 0, false, 0, 0xFF0000, 0xFF0000},
        {"hovered check box", true, 0, 1, false, 0, 0x00FF00, 0x00FF00},
        {"hovered and checked (highlight face)", true, 0, 1, true, 0, 0xDFDFDF, 0xDFDFDF},
        {"gradient (steps floor)", false, 0, 0, false, 1, 0xFC0002, 0x0200FC},
        {"hovered gradient", true, 0, 0, false, 1, 0x00FF00, 0x00FF00},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host);
        button.SetButtonStyle(4); // edge lines on the outer ring only
        button.SetBackColor(0x0000FF);
        button.SetHoverBackColor(0x00FF00);
        button.SetGradientColor(0xFF0000);
        button.SetGradientMode(c.gradientMode);
        button.SetMode(c.mode);
        button.SetValue(c.value);
        button.SetHover(c.hover);
        button.SetStateFlags(c.flags);
        button.Refresh();
        EXPECT_EQ(button.At(1, 2), c.left) << c.name;
        EXPECT_EQ(button.At(98, 2), c.right) << c.name;
    }
}

TEST(ButtonDrawingTest, EdgeLinesDrawThreeRingsSlotBySlot) {
    TestHost host;
    ProbeButton button(host);
    button.DrawRectangle(0, 0, 100, 40, 0xFFFFFF);
    QuiboButton::EdgeColors colors;
    for (int slot = 1; slot <= 12; ++slot)
        colors[slot] = slot;
    colors[2] = -1;
    QuiboButton::EdgePoints points{};
    button.DrawEdgeLines(points, colors, -1);
    const std::pair<QPoint, QRgb> probes[] = {
        {{2, 20}, 0x010000},  {{50, 2}, 0xFFFFFF}, {{97, 20}, 0x030000}, {{50, 37}, 0x040000},
        {{1, 20}, 0x050000},  {{50, 1}, 0x060000}, {{98, 20}, 0x070000}, {{50, 38}, 0x080000},
        {{0, 20}, 0x090000},  {{50, 0}, 0x0A0000}, {{99, 20}, 0x0B0000}, {{50, 39}, 0x0C0000},
        {{99, 39}, 0x0C0000}, {{3, 20}, 0xFFFFFF},
    };
    for (const auto& [p, rgb] : probes)
        EXPECT_EQ(button.At(p.x(), p.y()), rgb) << p.x() << "," << p.y();
    // The closing stroke of the bottom edge keeps the last pen when its own slot is not drawn.
    colors[12] = -1;
    button.DrawEdgeLines(points, colors, -1);
    EXPECT_EQ(button.At(50, 39), 0x0B0000u);
    const QuiboButton::EdgePoints slanted = QuiboButton::CalcEdgePoints(3, 31, 69, 100, 30);
    EXPECT_EQ(slanted[0], QPoint(29, 27));
    EXPECT_EQ(slanted[3], QPoint(94, 27));
    EXPECT_EQ(slanted[10], QPoint(30, 30));
    EXPECT_EQ(slanted[14], QPoint(28, 29));
}

TEST(ButtonDrawingTest, FocusRectangleOnlyOnTheDefaultButton) {
    TestHost host;
    ProbeButton button(host);
    QuiboButton::EdgePoints points{};
    bool around = false;
    ButtonColor pen = -1;
    button.DrawRectangle(0, 0, 100, 40, 0xFFFFFF);
    button.DrawFocusRectangle(pen, true, around, points);
    EXPECT_EQ(button.At(4, 20), 0xFFFFFFu);

    button.SetStateFlags(QuiboButton::kDefaultFlag);
    button.DrawFocusRectangle(pen, true, around, points);
    EXPECT_EQ(pen, 0);
    for (const QPoint p : {QPoint(4, 20), QPoint(96, 20), QPoint(50, 4), QPoint(50, 36)})
        EXPECT_EQ(button.At(p.x(), p.y()), 0u) << p.x() << "," << p.y();
    EXPECT_EQ(button.At(5, 20), 0xFFFFFFu);

    button.DrawRectangle(0, 0, 100, 40, 0xFFFFFF);
    button.DrawFocusRectangle(pen, false, around, points);
    EXPECT_EQ(button.At(4, 4), 0u);
    EXPECT_EQ(button.At(5, 4), 0xFFFFFFu);
    EXPECT_EQ(button.At(95, 35), 0u);

    // Ellipses ring the caption, two pixels out; style 2 shows no focus on them.
    button.SetButtonShape(4);
    button.SetCaption(QStringLiteral("OK"));
    const EdgeRect c = button.CaptionRect();
    button.DrawRectangle(0, 0, 100, 40, 0xFFFFFF);
    around = false;
    button.DrawFocusRectangle(pen, true, around, points);
    EXPECT_TRUE(around);
    EXPECT_EQ(button.At(c.left - 2, c.top), 0u);
    EXPECT_EQ(button.At(c.right + 1, c.bottom + 1), 0u);
    EXPECT_EQ(button.At(c.left - 3, c.top), 0xFFFFFFu);
    button.SetButtonStyle(2);
    button.DrawRectangle(0, 0, 100, 40, 0xFFFFFF);
    button.DrawFocusRectangle(pen, true, around, points);
    EXPECT_EQ(button.At(c.left - 2, c.top), 0xFFFFFFu);
}

TEST(ButtonDrawingTest, PicturesKeyOutTheirCornerColourAndGreyWhenDisabled) {
    TestHost host;
    ProbeButton button(host);
    button.SetBackColor(0xFFFFFF);
    button.SetCaption({});
    button.SetPicture(SquarePicture());
    EXPECT_EQ(button.PictureRect(), (EdgeRect{4, 12, 20, 28}));
    EXPECT_EQ(button.At(5, 13), 0xFFFFFFu); // near the key colour
    EXPECT_EQ(button.At(4, 12), 0xFFFFFFu);
    EXPECT_EQ(button.At(4 + 7, 12 + 7), 0u);
    button.SetEnabled(false);
    EXPECT_EQ(button.At(5, 13), 0xFFFFFFu);
    EXPECT_EQ(button.At(4 + 7, 12 + 7), 0x808080u);
}

TEST(ButtonDrawingTest, CaptionsEtchedWhenDisabledAndShadedWhenStyled) {
    TestHost host;
    host.parentFont = QFont(QStringLiteral("Sans"), 14, QFont::Bold);
    ProbeButton button(host, 100, 40);
    button.SetBackColor(0);
    button.SetCaption(QStringLiteral("HI"));
    button.SetForeColor(0xFFFFFF);
    button.SetEnabled(false);
    const Pixels white = PixelsOf(button, 0xFFFFFF);
    const Pixels grey = PixelsOf(button, 0x808080);
    ASSERT_FALSE(grey.at.empty());
    EXPECT_EQ(white.minX(), grey.minX() + 1);
    EXPECT_EQ(white.maxY(), grey.maxY() + 1);

    // Pressed, the caption moves one pixel right and down; style 3 keeps it in place.
    button.SetEnabled(true);
    const int restingX = PixelsOf(button, 0xFFFFFF).minX();
    button.SetStateFlags(QuiboButton::kDownFlag | QuiboButton::kOverFlag);
    button.Refresh();
    EXPECT_EQ(PixelsOf(button, 0xFFFFFF).minX(), restingX + 1);
    button.SetButtonStyle(3);
    EXPECT_EQ(PixelsOf(button, 0xFFFFFF).minX(), restingX);
    button.SetStateFlags(0);
    button.SetButtonStyle(0);
    button.SetEnabled(false);

    bool single = true;
    button.DrawRectangle(0, 0, 100, 40, 0);
    button.DrawCaption(0, 0x0000FF, false, single);
    EXPECT_TRUE(PixelsOf(button, 0x808080).at.empty());
    EXPECT_FALSE(PixelsOf(button, 0xFF0000).at.empty());

    button.SetEnabled(true);
    button.SetBackColor(0x808080);
    button.SetCaptionStyle(2);
    const Pixels light = PixelsOf(button, 0xA8A8A8);
    const Pixels dark = PixelsOf(button, 0x585858);
    ASSERT_FALSE(light.at.empty());
    EXPECT_EQ(dark.minX(), light.minX() + 2);
    EXPECT_EQ(dark.maxY(), light.maxY() + 2);
}

TEST(ButtonDrawingTest, TheDrawingFontTakesItsPixelHeightFromPointsAndResolution) {
    EXPECT_EQ(QuiboButton::DrawingFontHeight(8.25, 96), -11);
    EXPECT_EQ(QuiboButton::DrawingFontHeight(10, 96), -13);
    EXPECT_EQ(QuiboButton::DrawingFontHeight(8.25, 120), -14);

    TestHost host;
    ProbeButton button(host);
    button.SetCaption(QStringLiteral("One"));
    const int oneLine = button.CaptionRect().height();
    button.SetCaption(QStringLiteral("One||Two"));
    EXPECT_GE(button.CaptionRect().height(), 2 * oneLine - 2);
}

TEST(ButtonDrawingTest, AButtonWithoutAreaDrawsNothing) {
    TestHost host;
    ProbeButton button(host, 0, 40);
    button.SetButtonStyle(2);
    button.SetGradientMode(3);
    button.SetCaption(QStringLiteral("Zero"));
    button.resize(100, 0);
    button.UserControl_Resize();
    button.SetGradientMode(0);
    EXPECT_TRUE(button.BackBuffer().isNull());
    EXPECT_TRUE(button.grab().isNull());
}

} // namespace
} // namespace quibo
