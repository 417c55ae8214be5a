#pragma once

#include <QSize>
#include <QString>

#include <functional>

namespace quibo {

// A rectangle by its edges, right and bottom exclusive, as the layout and the drawing compute them.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    EdgeRect moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const EdgeRect&) const = default;
};

// What the caption and picture layout depends on.
struct CaptionLayoutInput {
    int buttonShape = 0;
    int shapeLeft = 0;
    int shapeRight = 0;
    double width = 0;
    double height = 0;
    int pictureSize = 16; // pixels
    int pictureAlign = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    QString caption;
    int captionAlign = 2;
    int captionStyle = 0;
};

struct CaptionLayout {
    EdgeRect caption;
    EdgeRect picture;
    bool rebuildPicture = false; // the derived picture bitmap must be made at the picture's size
};

// The size of a text wrapped at word breaks into a box of the given width and height.
using MeasureText = std::function<QSize(const QString& text, int maxWidth, int maxHeight)>;

// The caption text as drawn: "||" is a line break.
QString CaptionText(const QString& caption);

// Places the caption and the picture on the face of the button.
CaptionLayout CalcCaptionLayout(const CaptionLayoutInput& in, bool rebuildPicture,
                                const MeasureText& measure);

// Fits a picture into a box keeping its aspect ratio, enlarging or reducing it.
QSize ScalePicture(int maxWidth, int maxHeight, int pictureWidth, int pictureHeight);

} // namespace quibo
