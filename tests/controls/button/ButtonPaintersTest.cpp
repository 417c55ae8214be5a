#include "controls/button/ButtonTestKit.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

constexpr std::int16_t kPressed = QuiboButton::kDownFlag | QuiboButton::kOverFlag;
constexpr ButtonColor F = -2;    // the side is not drawn: the face shows
constexpr ButtonColor Skip = -3; // not probed
constexpr ButtonColor G = 0x808080, W = 0xFFFFFF, K = 0, L = 0xE9E9E9, D = 0x666666, P = 0xE7E7E7;

struct State {
    int mode = 0;
    bool value = false;
    std::int16_t flags = 0;
    bool hover = false;
    bool enabled = true;
};

void Arrange(ProbeButton& button, int style, const State& s) {
    button.SetCaption({});
    button.SetBackColor(0xC0C0C0);
    button.SetButtonStyle(style);
    button.SetMode(s.mode);
    if (s.value) button.SetValue(true);
    button.SetEnabled(s.enabled);
    button.SetHover(s.hover);
    button.SetStateFlags(s.flags);
    button.Refresh();
}

TEST(ButtonPaintersTest, EdgeRingsOfEachStyleByLevel) {
    struct Case {
        const char* name;
        int style;
        State state;
        std::array<ButtonColor, 12> ring; // inner, middle, outer ring; left, top, right, bottom
    };
    const ButtonColor E2 = ShiftColor(0xC0C0C0, 48, true); // style 2's working back colour
    const auto s2 = [E2](int n) { return ShiftColor(E2, n, true); };
    const ButtonColor R = 0x733C00;
    const ButtonColor X7 = 0xDFDFDF; // style 7's working back colour
    const Case cases[] = {
        {"0 normal", 0, {}, {F, F, F, F, L, L, G, G, W, W, K, K}},
        {"0 default", 0, {.flags = 1}, {L, L, G, G, W, W, K, K, K, K, K, K}},
        {"0 pressed", 0, {.flags = kPressed, .hover = true}, {F, F, F, F, F, F, G, G, W, W, K, K}},
        {"0 checked", 0, {.mode = 1, .value = true}, {F, F, F, F, F, F, L, L, K, K, W, W}},
        {"1 normal", 1, {}, {W, W, G, G, W, W, G, G, K, K, K, K}},
        {"1 pressed", 1, {.flags = kPressed}, {G, G, W, W, G, G, W, W, K, K, K, K}},
        {"3 normal", 3, {}, {F, F, F, F, W, W, D, D, D, D, W, W}},
        {"3 pressed", 3, {.flags = kPressed}, {F, F, F, F, F, F, D, D, D, D, W, W}},
        {"3 checked", 3, {.mode = 1, .value = true}, {F, F, F, F, F, F, D, D, D, D, W, W}},
        {"3 unchecked toggle", 3, {.mode = 1}, {F, F, F, F, W, W, D, D, D, D, W, W}},
        {"3 disabled", 3, {.enabled = false}, {F, F, F, F, F, F, F, F, D, D, D, D}},
        {"4 normal", 4, {}, {F, F, F, F, F, F, F, F, W, W, G, G}},
        {"4 default looks normal", 4, {.flags = 1}, {F, F, F, F, F, F, F, F, W, W, G, G}},
        {"4 pressed", 4, {.flags = kPressed}, {F, F, F, F, F, F, F, F, G, G, W, W}},
        {"4 checked", 4, {.mode = 1, .value = true}, {F, F, F, F, F, F, F, F, G, G, W, W}},
        {"6 normal", 6, {}, {F, F, F, F, P, P, G, G, P, P, G, G}},
        {"6 pressed", 6, {.flags = kPressed}, {F, F, F, F, G, G, P, P, G, G, P, P}},
        {"2 normal",
         2,
         {},
         {s2(-10), s2(10), s2(-24), s2(-32), s2(-5), s2(16), s2(-36), s2(-48), R, R, R, R}},
        {"2 default",
         2,
         {.flags = 1},
         {0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xE7AE8C, 0xFFDFBF, 0xE7AE8C, 0xEF826B, R, R, R, R}},
        {"2 cursor over",
         2,
         {.flags = QuiboButton::kOverFlag, .hover = true},
         {0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x31B2FF, 0xA6E9FF, 0x31B2FF, 0x0096E7, R, R, R, R}},
        {"2 pressed",
         2,
         {.flags = kPressed},
         {s2(-22), s2(-24), E2, s2(10), s2(-32), s2(-32), s2(5), s2(16), R, R, R, R}},
        {"2 disabled",
         2,
         {.enabled = false},
         {Skip, Skip, Skip, Skip, Skip, Skip, Skip, Skip, s2(-84), s2(-84), s2(-84), s2(-84)}},
        {"5 flat", 5, {}, {F, F, F, F, F, F, F, F, F, F, F, Skip}},
        {"5 hovered",
         5,
         {.flags = QuiboButton::kOverFlag, .hover = true},
         {F, F, F, F, F, F, F, F, W, W, G, G}},
        {"5 pressed", 5, {.flags = kPressed, .hover = true}, {F, F, F, F, F, F, F, F, G, G, W, W}},
        {"7 normal",
         7,
         {},
         {W, W, X7, X7, ShiftColor(X7, 31, true), ShiftColor(X7, 31, true), ShiftColor(X7, -64, true),
          ShiftColor(X7, -64, true), K, K, K, K}},
        {"7 pressed",
         7,
         {.flags = kPressed},
         {0x606060, 0x606060, G, G, 0x404040, 0x404040, 0x707070, 0x707070, K, K, K, K}},
    };
    // Left, top, right and bottom of the inner, middle and outer ring.
    const QPoint probes[12] = {{2, 20},  {50, 2},  {97, 20}, {50, 37}, {1, 20},  {50, 1},
                               {98, 20}, {50, 38}, {0, 20},  {50, 0},  {99, 20}, {50, 39}};
    for (const Case& c : cases) {
        TestHost host;
        host.userMode = true;
        ProbeButton button(host);
        Arrange(button, c.style, c.state);
        for (int i = 0; i < 12; ++i) {
            if (c.ring[i] == Skip) continue;
            const QPoint p = probes[i];
            const QRgb expected = c.ring[i] == F ? button.At(50, p.y() == 20  ? 20
                                                                 : p.y() < 20 ? 10
                                                                              : 30)
                                                 : ToQRgb(c.ring[i]) & 0xFFFFFF;
            EXPECT_EQ(button.At(p.x(), p.y()), expected) << c.name << " slot " << i + 1;
        }
    }
}

TEST(ButtonPaintersTest, DelayedDrawingDrawsNothingUntilRefresh) {
    TestHost host;
    ProbeButton button(host);
    button.SetBackColor(0x0000FF);
    button.DelayDrawing(true);
    button.SetBackColor(0x00FF00);
    EXPECT_EQ(button.At(50, 20), 0xFF0000u);
    button.Refresh();
    EXPECT_EQ(button.At(50, 20), 0x00FF00u);
    EXPECT_EQ(button.Shown(50, 20), 0x00FF00u);
}

TEST(ButtonPaintersTest, RegionFramesOfShapedButtons) {
    struct Case {
        const char* name;
        int style, shape;
        State state;
        ButtonColor colour;
        bool framed;
    };
    const Case cases[] = {
        {"ellipse, style 0", 0, 6, {}, 0, false},
        {"outlined ellipse hovered", 0, 6, {.hover = true}, 0, true},
        {"style 2 default outlined ellipse", 2, 6, {.flags = 1}, 0xEF826B, true},
        {"style 2 hovered ellipse", 2, 4, {.hover = true}, 0x0096E7, true},
        {"picture, default", 0, 7, {.flags = 1}, 0, true},
        {"picture, default and checked", 0, 7, {.mode = 1, .value = true, .flags = 1}, 0xA0A0A0, true},
        {"raised picture hovered in its own back colour", 0, 8, {.hover = true}, 0xC0C0C0, false},
    };
    for (const Case& c : cases) {
        TestHost host;
        host.userMode = true;
        ProbeButton button(host);
        button.SetPicture(SquarePicture());
        button.SetButtonShape(c.shape);
        Arrange(button, c.style, c.state);
        // The frame runs along the face region (style 2, shape 7) or the window region.
        const QRegion& region = c.shape == 7 || c.style == 2 ? button.FaceRegion() : button.WindowRegion();
        const QRect box = region.boundingRect();
        const QRgb shown = button.Shown(box.center().x(), box.top());
        EXPECT_EQ(shown == (ToQRgb(c.colour) & 0xFFFFFF), c.framed) << c.name;
    }
}

TEST(ButtonPaintersTest, Style5OutlinesItsEllipseForTheDesigner) {
    TestHost host;
    ProbeButton button(host);
    button.SetButtonShape(5);
    button.SetButtonStyle(5);
    const QRgb shade = ToQRgb(ShiftColor(0xC0C0C0, -32)) & 0xFFFFFF;
    int dots = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            dots += button.At(x, y) == shade;
    EXPECT_GT(dots, 40);
    EXPECT_NE(button.At(50, 20), shade);
    EXPECT_NE(button.At(1, 20), shade); // no edge lines
}

TEST(ButtonPaintersTest, Style7CaptionTakesTheFaceColourAndKeepsTheHoverColour) {
    TestHost host;
    host.userMode = true;
    host.parentFont = QFont(QStringLiteral("Sans"), 14, QFont::Bold);
    ProbeButton button(host);
    Arrange(button, 7, {.mode = 1, .value = true, .hover = true});
    button.SetCaption(QStringLiteral("HI"));
    const ButtonColor hoverFore = button.HoverForeColor();
    EXPECT_EQ(hoverFore, button.ForeColor());
    int inBack = 0;
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 96; ++x)
            inBack += button.At(x, y) == (ToQRgb(button.Colors().workingBack) & 0xFFFFFF);
    EXPECT_GT(inBack, 10);
    EXPECT_EQ(button.HoverForeColor(), hoverFore);
}

TEST(ButtonPaintersTest, ADisabledCheckButtonGreysItsCaptionOnce) {
    TestHost host;
    host.parentFont = QFont(QStringLiteral("Sans"), 14, QFont::Bold);
    ProbeButton button(host);
    Arrange(button, 0, {.mode = 1, .enabled = false});
    button.SetCaption(QStringLiteral("HI"));
    int grey = 0, white = 0;
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 96; ++x) {
            grey += button.At(x, y) == 0x808080;
            white += button.At(x, y) == 0xFFFFFF;
        }
    EXPECT_GT(grey, 10);
    EXPECT_EQ(white, 0);
}

TEST(ButtonPaintersTest, TheFaceOfEachStyleInEachState) {
    enum Face { Back, Hover, Shadow, Highlight, Dimmed }; // Dimmed: style 2's disabled face
    const State states[] = {{},
                            {.flags = 1},
                            {.flags = QuiboButton::kOverFlag, .hover = true},
                            {.flags = kPressed, .hover = true},
                            {.mode = 1, .value = true},
                            {.enabled = false}};
    // By style: resting, default, hovered, pressed, checked, disabled.
    const Face skeleton[] = {Back, Back, Hover, Back, Highlight, Back};
    const Face pressedInShadow[] = {Back, Back, Hover, Shadow, Highlight, Back};
    const Face style2[] = {Back, Back, Hover, Shadow, Highlight, Dimmed};
    const Face* faces[] = {skeleton, skeleton, style2,   pressedInShadow,
                           skeleton, skeleton, skeleton, pressedInShadow};
    for (int style = 0; style < 8; ++style) {
        for (int i = 0; i < 6; ++i) {
            TestHost host;
            host.userMode = true;
            ProbeButton button(host);
            Arrange(button, style, states[i]);
            button.SetHoverBackColor(0x40C040);
            button.Refresh();
            const DerivedColors c = button.Colors();
            const Face face = faces[style][i];
            ButtonColor expected = face == Back     ? c.workingBack
                                   : face == Hover  ? c.workingHoverBack
                                   : face == Shadow ? c.shadow
                                   : face == Dimmed ? ShiftColor(c.workingBack, -24, true)
                                                    : c.highlight;
            // Style 2 darkens an enabled face by near(-25 / 40 x 20) = -12 at the middle row.
            if (style == 2 && face != Dimmed) expected = ShiftColor(expected, -12, true);
            EXPECT_EQ(button.At(50, 20), ToQRgb(expected) & 0xFFFFFF) << "style " << style << " state " << i;
        }
    }
}

} // namespace
} // namespace quibo
