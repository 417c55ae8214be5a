#include "controls/button/CaptionLayout.h"

#include "controls/button/ButtonColors.h"

#include <algorithm>

namespace quibo {

QString CaptionText(const QString& caption) {
    QString text = caption;
    return text.replace(QStringLiteral("||"), QStringLiteral("\n"));
}

QSize ScalePicture(int maxWidth, int maxHeight, int pictureWidth, int pictureHeight) {
    const double f = std::min(double(maxWidth) / pictureWidth, double(maxHeight) / pictureHeight);
    return {Near(pictureWidth * f), Near(pictureHeight * f)};
}

namespace {

void Clamp(EdgeRect& r, int faceLeft, int faceEnd, double height) {
    r.top = std::max(r.top, 4);
    r.left = std::max(r.left, faceLeft + 4);
    r.right = std::min(r.right, faceEnd - 4);
    r.bottom = std::min(r.bottom, Near(height - 5));
}

// The content area of the face: left edge L, right edge E, width R.
struct FaceArea {
    int L = 0;
    int E = 0;
    int R = 0;
};

// Room beside the caption for a picture of 16 to 32 pixels, one figure a side.
struct PictureRoom {
    int lp = 0;
    int rp = 0;
    int tp = 0;
    int bp = 0;
};

// Slanted ends (shapes 1-3) stay outside the content area; picture shapes (7, 8) keep a margin of 3.
FaceArea ContentArea(const CaptionLayoutInput& in) {
    const double W = in.width;
    const int SL = in.shapeLeft;
    const int SR = in.shapeRight;
    FaceArea a{0, Near(W), SR};
    switch (in.buttonShape) {
    case 1:
        a.L = SL - SL / 3 + 3;
        a.R = Near(W - a.L);
        break;
    case 2:
        a.E = Near(W - SR) / 3 + SR;
        a.R = a.E;
        break;
    case 3:
        a.L = SL - SL / 3 + 3;
        a.E = Near(W - SR) / 3 + SR;
        a.R = a.E - a.L;
        break;
    case 7:
    case 8:
        a.L = 3;
        a.E = SR - 3;
        a.R = SR - 3;
        break;
    default:
        break;
    }
    return a;
}

// Larger pictures are placed on the face, not beside the caption.
PictureRoom RoomForPicture(const CaptionLayoutInput& in, bool hasPicture) {
    const int PS = in.pictureSize;
    const int PA = in.pictureAlign;
    PictureRoom room;
    if (hasPicture && PS < 33) {
        if (PA == 0 || PA == 1) room.lp = PS;
        if (PA == 2 || PA == 3) room.rp = PS;
        if (PA == 4) room.tp = PS;
        if (PA == 5) room.bp = PS;
    }
    return room;
}

// The caption wrapped into what the picture leaves of the face; a styled caption takes a pixel more
// each way for its shadow.
QSize CaptionSize(const CaptionLayoutInput& in, const FaceArea& a, const PictureRoom& room,
                  const MeasureText& measure) {
    if (in.caption.isEmpty()) return {0, 0};
    QSize size = measure(CaptionText(in.caption), a.R - 8 - (room.lp + room.rp),
                         Near(in.height - 8 - (room.tp + room.bp)));
    if (in.captionStyle != 0) size += QSize(2, 2);
    return size;
}

// The caption's left edge: at its side for left or right alignment, otherwise centred together with a
// picture that sits next to it.
int CaptionLeft(const CaptionLayoutInput& in, const FaceArea& a, const PictureRoom& room, int tw) {
    const int PA = in.pictureAlign;
    const auto [L, E, R] = a;
    const int lp = room.lp;
    const int rp = room.rp;
    if (in.captionAlign == 0) return L + 4 + lp + (lp > 0 ? 4 : 0);
    if (in.captionAlign == 1) return E - 4 - rp - tw - (rp > 0 ? 4 : 0);
    if (lp > 0 && PA == 1) return (R - (tw + lp + 4)) / 2 + L + 4 + lp;
    if (rp > 0 && PA == 3) return (R - (tw + rp + 4)) / 2 + L;
    return (R - (lp + rp) - tw) / 2 + L + lp;
}

// The picture's left edge: at the face's side, against the caption, or centred.
int PictureLeft(const CaptionLayoutInput& in, const FaceArea& a, const PictureRoom& room,
                const EdgeRect& caption) {
    const bool hasCaption = !in.caption.isEmpty();
    switch (in.pictureAlign) {
    case 0:
        return a.L + 4;
    case 1:
        return hasCaption ? caption.left - 4 - room.lp : a.L + 4;
    case 2:
        return a.E - 4 - room.rp;
    case 3:
        return hasCaption ? caption.right + 4 : a.E - 4 - room.rp;
    default:
        return (a.R - in.pictureSize) / 2 + a.L;
    }
}

// Places the picture and moves the caption down to its row: above or below the picture, or both
// centred on the face's height.
void PlacePicture(const CaptionLayoutInput& in, const FaceArea& a, const PictureRoom& room, int th,
                  CaptionLayout& out) {
    const double H = in.height;
    const int PS = in.pictureSize;
    const int px = PictureLeft(in, a, room, out.caption);
    int py = 0;
    if (in.pictureAlign == 4) {
        py = Near(H - (th + room.tp)) / 2;
        out.caption = out.caption.moved(0, py + 2 + room.tp);
    } else if (in.pictureAlign == 5) {
        py = Near(H - (th + room.bp)) / 2 + th + 4;
        out.caption = out.caption.moved(0, py - 2 - th);
    } else {
        out.caption = out.caption.moved(0, Near(H - th) / 2);
        py = Near(H - PS) / 2;
    }
    out.picture = {px, py, px + PS, py + PS};
}

// A small picture stays inside the face's margins; size 40 fills the face, a picture shape shows the
// picture whole, and any other large picture is scaled into the content area. Answers whether the
// derived picture must be made at the new size.
bool FitPicture(const CaptionLayoutInput& in, const FaceArea& a, CaptionLayout& out) {
    const double W = in.width;
    const double H = in.height;
    const int PS = in.pictureSize;
    if (PS < 33) {
        Clamp(out.picture, a.L, a.E, H);
    } else if (PS == 40) {
        out.picture = in.buttonShape == 6 ? EdgeRect{1, 1, Near(W - 1), Near(H - 1)}
                                          : EdgeRect{3, 3, Near(W - 3), Near(H - 3)};
        return true;
    } else if (in.buttonShape == 7 || in.buttonShape == 8) {
        out.picture = {0, 0, Near(W), Near(H)};
    } else if (in.pictureWidth + in.pictureHeight > 0) {
        const QSize size = ScalePicture(a.R - 12, Near(H - 12), in.pictureWidth, in.pictureHeight);
        const int x = (a.R - size.width()) / 2 + a.L;
        const int y = Near(H - size.height()) / 2;
        out.picture = {x, y, x + size.width(), y + size.height()};
        return true;
    }
    return false;
}

} // namespace

CaptionLayout CalcCaptionLayout(const CaptionLayoutInput& in, bool rebuildPicture,
                                const MeasureText& measure) {
    const FaceArea area = ContentArea(in);
    const bool hasPicture = in.pictureWidth + in.pictureHeight > 0;
    const PictureRoom room = RoomForPicture(in, hasPicture);
    const QSize text = CaptionSize(in, area, room, measure);

    CaptionLayout out;
    out.caption = {0, 0, text.width(), text.height()};
    if (!in.caption.isEmpty()) out.caption = out.caption.moved(CaptionLeft(in, area, room, text.width()), 0);

    if (hasPicture)
        PlacePicture(in, area, room, text.height(), out);
    else
        out.caption = out.caption.moved(0, Near(in.height - text.height()) / 2);

    Clamp(out.caption, area.L, area.E, in.height);
    const bool refit = FitPicture(in, area, out);
    out.rebuildPicture = rebuildPicture || refit;
    return out;
}

} // namespace quibo
