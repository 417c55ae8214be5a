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

} // namespace

CaptionLayout CalcCaptionLayout(const CaptionLayoutInput& in, bool rebuildPicture,
                                const MeasureText& measure) {
    const double W = in.width;
    const double H = in.height;
    const int SL = in.shapeLeft;
    const int SR = in.shapeRight;
    const int PS = in.pictureSize;
    const int PA = in.pictureAlign;

    // The content area: left edge L, right edge E, width R.
    int L = 0, E = Near(W), R = SR;
    switch (in.buttonShape) {
    case 1:
        L = SL - SL / 3 + 3;
        R = Near(W - L);
        break;
    case 2:
        E = Near(W - SR) / 3 + SR;
        R = E;
        break;
    case 3:
        L = SL - SL / 3 + 3;
        E = Near(W - SR) / 3 + SR;
        R = E - L;
        break;
    case 7:
    case 8:
        L = 3;
        E = SR - 3;
        R = SR - 3;
        break;
    default:
        break;
    }

    // Room beside the caption for a picture of 16 to 32 pixels; larger ones are placed on the face.
    const bool hasPicture = in.pictureWidth + in.pictureHeight > 0;
    int lp = 0, rp = 0, tp = 0, bp = 0;
    if (hasPicture && PS < 33) {
        if (PA == 0 || PA == 1) lp = PS;
        if (PA == 2 || PA == 3) rp = PS;
        if (PA == 4) tp = PS;
        if (PA == 5) bp = PS;
    }

    const bool hasCaption = !in.caption.isEmpty();
    int tw = 0, th = 0;
    if (hasCaption) {
        const QSize size = measure(CaptionText(in.caption), R - 8 - (lp + rp), Near(H - 8 - (tp + bp)));
        tw = size.width();
        th = size.height();
        if (in.captionStyle != 0) {
            tw += 2;
            th += 2;
        }
    }

    CaptionLayout out;
    out.caption = {0, 0, tw, th};
    if (hasCaption) {
        int dx = 0;
        if (in.captionAlign == 0) {
            dx = L + 4 + lp + (lp > 0 ? 4 : 0);
        } else if (in.captionAlign == 1) {
            dx = E - 4 - rp - tw - (rp > 0 ? 4 : 0);
        } else if (lp > 0 && PA == 1) {
            dx = (R - (tw + lp + 4)) / 2 + L + 4 + lp;
        } else if (rp > 0 && PA == 3) {
            dx = (R - (tw + rp + 4)) / 2 + L;
        } else {
            dx = (R - (lp + rp) - tw) / 2 + L + lp;
        }
        out.caption = out.caption.moved(dx, 0);
    }

    if (hasPicture) {
        int px = 0, py = 0;
        switch (PA) {
        case 0:
            px = L + 4;
            break;
        case 1:
            px = hasCaption ? out.caption.left - 4 - lp : L + 4;
            break;
        case 2:
            px = E - 4 - rp;
            break;
        case 3:
            px = hasCaption ? out.caption.right + 4 : E - 4 - rp;
            break;
        default:
            px = (R - PS) / 2 + L;
            break;
        }
        if (PA == 4) {
            py = Near(H - (th + tp)) / 2;
            out.caption = out.caption.moved(0, py + 2 + tp);
        } else if (PA == 5) {
            py = Near(H - (th + bp)) / 2 + th + 4;
            out.caption = out.caption.moved(0, py - 2 - th);
        } else {
            out.caption = out.caption.moved(0, Near(H - th) / 2);
            py = Near(H - PS) / 2;
        }
        out.picture = {px, py, px + PS, py + PS};
    } else {
        out.caption = out.caption.moved(0, Near(H - th) / 2);
    }

    Clamp(out.caption, L, E, H);

    if (PS < 33) {
        Clamp(out.picture, L, E, H);
    } else if (PS == 40) {
        out.picture = in.buttonShape == 6 ? EdgeRect{1, 1, Near(W - 1), Near(H - 1)}
                                          : EdgeRect{3, 3, Near(W - 3), Near(H - 3)};
        rebuildPicture = true;
    } else if (in.buttonShape == 7 || in.buttonShape == 8) {
        out.picture = {0, 0, Near(W), Near(H)};
    } else if (hasPicture) {
        const QSize size = ScalePicture(R - 12, Near(H - 12), in.pictureWidth, in.pictureHeight);
        const int x = (R - size.width()) / 2 + L;
        const int y = Near(H - size.height()) / 2;
        out.picture = {x, y, x + size.width(), y + size.height()};
        rebuildPicture = true;
    }
    out.rebuildPicture = rebuildPicture;
    return out;
}

} // namespace quibo
