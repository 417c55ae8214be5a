#include "controls/button/CaptionLayout.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// Six pixels a character, ten a line.
QSize Measure(const QString& text, int, int) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype longest = 0;
    for (const QString& line : lines)
        longest = std::max(longest, line.size());
    return QSize(int(6 * longest), int(10 * lines.size()));
}

struct Case {
    const char* name;
    int shape, shapeLeft, shapeRight, pictureSize, pictureAlign, pictureSide;
    const char* caption;
    int captionAlign, captionStyle;
    EdgeRect caption_, picture;
    bool rebuild = false;
};

TEST(CaptionLayoutTest, PlacesCaptionAndPictureOnA100By40Face) {
    const Case cases[] = {
        {"centred", 0, 0, 100, 16, 0, 0, "OK", 2, 0, {44, 15, 56, 25}, {4, 4, 0, 0}, false},
        {"left", 0, 0, 100, 16, 0, 0, "OK", 0, 0, {4, 15, 16, 25}, {4, 4, 0, 0}, false},
        {"right", 0, 0, 100, 16, 0, 0, "OK", 1, 0, {84, 15, 96, 25}, {4, 4, 0, 0}, false},
        {"shaded", 0, 0, 100, 16, 0, 0, "OK", 2, 1, {43, 14, 57, 26}, {4, 4, 0, 0}, false},
        {"pic at left", 0, 0, 100, 16, 0, 16, "OK", 2, 0, {52, 15, 64, 25}, {4, 12, 20, 28}, false},
        {"pic beside left", 0, 0, 100, 16, 1, 16, "OK", 2, 0, {54, 15, 66, 25}, {34, 12, 50, 28}, false},
        {"pic at right", 0, 0, 100, 16, 2, 16, "OK", 2, 0, {36, 15, 48, 25}, {80, 12, 96, 28}, false},
        {"pic beside right", 0, 0, 100, 16, 3, 16, "OK", 2, 0, {34, 15, 46, 25}, {50, 12, 66, 28}, false},
        {"pic above", 0, 0, 100, 16, 4, 16, "OK", 2, 0, {44, 25, 56, 35}, {42, 7, 58, 23}, false},
        {"pic below", 0, 0, 100, 16, 5, 16, "OK", 2, 0, {44, 9, 56, 19}, {42, 21, 58, 35}, false},
        {"size 48 scaled", 0, 0, 100, 48, 0, 32, "", 2, 0, {4, 20, 0, 20}, {36, 6, 64, 34}, true},
        {"size 40 face", 0, 0, 100, 40, 0, 32, "", 2, 0, {4, 20, 0, 20}, {3, 3, 97, 37}, true},
        {"size 40 outlined", 6, 0, 100, 40, 0, 32, "", 2, 0, {4, 20, 0, 20}, {1, 1, 99, 39}, true},
        {"size 48 pic shape", 7, 0, 100, 48, 0, 32, "OK", 2, 0, {45, 15, 57, 25}, {0, 0, 100, 40}, false},
        {"diagonal left", 1, 41, 100, 16, 0, 0, "OK", 2, 0, {59, 15, 71, 25}, {35, 4, 0, 0}, false},
        {"diagonal right", 2, 0, 59, 16, 0, 0, "OK", 2, 0, {30, 15, 42, 25}, {4, 4, 0, 0}, false},
        {"diagonal both", 3, 41, 59, 16, 0, 0, "OK", 2, 0, {45, 15, 57, 25}, {35, 4, 0, 0}, false},
        {"ellipse", 4, 0, 100, 16, 0, 0, "OK", 2, 0, {44, 15, 56, 25}, {4, 4, 0, 0}, false},
        {"clamped", 0, 0, 100, 16, 0, 0, "xxxxxxxxxxxxxxxxxxxx||a||b||c", 0, 0, {4, 4, 96, 35}, {4, 4, 0, 0}},
    };
    for (const Case& c : cases) {
        CaptionLayoutInput in;
        in.buttonShape = c.shape;
        in.shapeLeft = c.shapeLeft;
        in.shapeRight = c.shapeRight;
        in.width = 100;
        in.height = 40;
        in.pictureSize = c.pictureSize;
        in.pictureAlign = c.pictureAlign;
        in.pictureWidth = in.pictureHeight = c.pictureSide;
        in.caption = QString::fromLatin1(c.caption);
        in.captionAlign = c.captionAlign;
        in.captionStyle = c.captionStyle;
        const CaptionLayout out = CalcCaptionLayout(in, false, Measure);
        EXPECT_EQ(out.caption, c.caption_) << c.name;
        EXPECT_EQ(out.picture, c.picture) << c.name;
        EXPECT_EQ(out.rebuildPicture, c.rebuild) << c.name;
    }
}

TEST(CaptionLayoutTest, DoublePipeBreaksTheLineAndScalePictureKeepsTheAspect) {
    EXPECT_EQ(CaptionText(QStringLiteral("One||Two")), QStringLiteral("One\nTwo"));
    EXPECT_EQ(ScalePicture(88, 28, 32, 32), QSize(28, 28));
    EXPECT_EQ(ScalePicture(88, 28, 10, 20), QSize(14, 28));
    EXPECT_EQ(ScalePicture(30, 100, 20, 10), QSize(30, 15));
}

} // namespace
} // namespace quibo
