#include "controls/button/ButtonTestKit.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

constexpr std::int16_t kPressed = QuiboButton::kDownFlag | QuiboButton::kOverFlag;

TEST(ButtonShapeTest, DiagonalShapesWidenUntilTheirFaceIsFivePixelsWide) {
    struct Case {
        int shape, w, h, widened, left, right;
    };
    const Case cases[] = {{1, 23, 20, 28, 21, 28}, {1, 26, 20, 26, 21, 26}, {3, 100, 30, 100, 31, 69}};
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host, c.w, c.h);
        button.SetButtonShape(c.shape);
        EXPECT_EQ(button.width(), c.widened) << c.w;
        EXPECT_EQ(button.ShapeLeft(), c.left) << c.w;
        EXPECT_EQ(button.ShapeRight(), c.right) << c.w;
        EXPECT_EQ(button.BackBuffer().width(), c.widened) << c.w;
    }
    // The parallelogram (0,0), (31,31), (101,31), (70,0).
    TestHost host;
    ProbeButton button(host, 100, 30);
    button.SetButtonShape(3);
    const QRegion& r = button.WindowRegion();
    for (const QPoint p : {QPoint(15, 5), QPoint(60, 29), QPoint(97, 29), QPoint(75, 10)})
        EXPECT_TRUE(r.contains(p)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(5, 15), QPoint(75, 2), QPoint(20, 28)})
        EXPECT_FALSE(r.contains(p)) << p.x() << "," << p.y();
    EXPECT_TRUE(button.FaceRegion().isEmpty());
}

TEST(ButtonShapeTest, CornerTrimsByStyleShapeAndEnabledState) {
    struct Case {
        int style, shape;
        bool enabled;
        bool topLeft, bottomLeft, topRight, bottomRight; // corner pixels kept
    };
    const Case cases[] = {
        {0, 0, true, true, true, true, true},     {1, 0, true, false, false, false, false},
        {1, 1, true, true, true, false, false},   {1, 2, true, false, false, true, true},
        {2, 0, true, false, false, false, false}, {7, 2, true, false, false, true, true},
        {3, 0, true, true, false, false, true},   {3, 0, false, true, true, true, true},
        {1, 3, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host, 100, 30);
        button.SetButtonStyle(c.style);
        button.SetButtonShape(c.shape);
        button.SetEnabled(c.enabled);
        const QRegion& r = button.WindowRegion();
        const int right = button.width() - 1;
        const int left = c.shape == 1 || c.shape == 3 ? 31 : 0;
        EXPECT_EQ(r.contains(QPoint(0, 0)), c.topLeft) << c.style << c.shape;
        EXPECT_EQ(r.contains(QPoint(left, 29)), c.bottomLeft) << c.style << c.shape;
        EXPECT_EQ(r.contains(QPoint(c.shape >= 2 ? 69 : right, 0)), c.topRight) << c.style << c.shape;
        EXPECT_EQ(r.contains(QPoint(c.shape >= 2 ? right - 2 : right, 29)), c.bottomRight)
            << c.style << c.shape;
        EXPECT_TRUE(r.contains(QPoint(50, 15)));
    }
    // Styles 2 and 7 cut triangles: the neighbours of the corner go too.
    TestHost host;
    ProbeButton button(host, 100, 30);
    button.SetButtonStyle(2);
    EXPECT_FALSE(button.WindowRegion().contains(QPoint(1, 0)));
    EXPECT_TRUE(button.WindowRegion().contains(QPoint(3, 0)));
}

TEST(ButtonShapeTest, EllipsesHaveFaceAndInnerRingsOnePixelApart) {
    TestHost host;
    ProbeButton button(host, 100, 40);
    button.SetButtonShape(4);
    const QRegion& window = button.WindowRegion();
    EXPECT_FALSE(window.contains(QPoint(0, 0)));
    EXPECT_TRUE(window.contains(QPoint(50, 0)));
    EXPECT_FALSE(button.FaceRegion().contains(QPoint(50, 0)));
    EXPECT_TRUE(button.FaceRegion().contains(QPoint(50, 1)));
    EXPECT_FALSE(button.InnerRegion().contains(QPoint(50, 1)));
    EXPECT_TRUE(button.InnerRegion().contains(QPoint(50, 2)));
    EXPECT_TRUE((button.InnerRegion() - button.FaceRegion()).isEmpty());
    EXPECT_EQ(button.mask(), window);
}

TEST(ButtonShapeTest, PictureShapesAreCutOutOfTheirPicture) {
    TestHost host;
    ProbeButton button(host, 100, 40);
    button.SetPicture(SquarePicture());
    button.SetButtonShape(7);
    EXPECT_EQ(button.size(), QSize(40, 40));
    const QRegion& r = button.WindowRegion();
    EXPECT_TRUE(r.contains(QPoint(20, 20)));
    EXPECT_FALSE(r.contains(QPoint(5, 5)));
    EXPECT_FALSE(r.contains(QPoint(14, 20)));
    EXPECT_TRUE(button.FaceRegion().boundingRect().contains(QPoint(20, 20)));
    // The near-magenta pixel is exact magenta in the derived bitmap.
    EXPECT_EQ(button.DerivedPicture().pixel(3, 3) & 0xFFFFFF, 0xFF00FFu);

    // Nothing but the key pixel itself near the key colour: only that pixel is cut.
    QImage opaquePicture(16, 16, QImage::Format_RGB32);
    opaquePicture.fill(Qt::black);
    opaquePicture.setPixel(0, 0, qRgb(255, 255, 255));
    ProbeButton opaque(host, 100, 40);
    opaque.SetPicture(ButtonPicture{opaquePicture, ButtonPicture::Kind::Bitmap});
    opaque.SetButtonShape(8);
    EXPECT_EQ(opaque.WindowRegion(), QRegion(0, 0, 40, 40) - QRegion(0, 0, 3, 3));
}

TEST(ButtonShapeTest, FrameShapeRegionCodes) {
    struct Case {
        const char* name;
        int style, shape;
        bool hover;
        std::int16_t flags;
        bool value;
        std::int16_t proceed;
    };
    const Case cases[] = {
        {"rectangle", 0, 0, false, 0, false, 3},       {"pressed rectangle", 0, 0, true, kPressed, false, 4},
        {"flat style 5", 5, 0, false, 0, false, 1},    {"style 5 hovered", 5, 4, true, 0, false, 4},
        {"style 5 checked", 5, 6, false, 0, true, 4},  {"outlined ellipse", 0, 6, false, 0, false, 1},
        {"outlined hovered", 0, 6, true, 0, false, 3}, {"picture", 0, 7, false, 0, false, 3},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host);
        button.SetPicture(SquarePicture());
        button.SetButtonStyle(c.style);
        button.SetButtonShape(c.shape);
        if (c.value) {
            button.SetMode(1);
            button.SetValue(true);
        }
        button.SetHover(c.hover);
        button.SetStateFlags(c.flags);
        EXPECT_EQ(button.Frame(), c.proceed) << c.name;
    }
}

TEST(ButtonShapeTest, CustomClickMovesAPressedPictureButtonAndBack) {
    const QPoint moves[] = {{0, -1}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}, {1, 0}, {0, 1}, {-1, 0}};
    for (int click = 1; click <= 8; ++click) {
        TestHost host;
        ProbeButton button(host);
        button.SetPicture(SquarePicture());
        button.SetButtonShape(7);
        button.SetCustomClick(click);
        button.move(10, 10);
        button.SetStateFlags(kPressed);
        EXPECT_EQ(button.Frame(), 0) << click;
        EXPECT_EQ(button.pos(), QPoint(10, 10) + moves[click - 1]) << click;
        EXPECT_NE(button.Frame(), 0) << click; // already moved
        button.SetStateFlags(QuiboButton::kMovedFlag);
        button.Frame();
        EXPECT_EQ(button.pos(), QPoint(10, 10)) << click;
        EXPECT_EQ(button.size(), QSize(40, 40)) << click;
    }
    struct Still {
        int mode, shape;
    };
    for (const Still s : {Still{1, 7}, Still{0, 4}}) {
        TestHost host;
        ProbeButton button(host);
        button.SetPicture(SquarePicture());
        button.SetButtonShape(s.shape);
        button.SetCustomClick(4);
        button.SetMode(s.mode);
        button.move(10, 10);
        button.SetStateFlags(kPressed);
        EXPECT_NE(button.Frame(), 0);
        EXPECT_EQ(button.pos(), QPoint(10, 10));
    }
}

} // namespace
} // namespace quibo
