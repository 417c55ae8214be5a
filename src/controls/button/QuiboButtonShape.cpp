// The outlines of the button: the window region, the face and inner regions inside it, the clipping
// and rings at the start of every background, and the press effect of picture shapes.
#include "controls/button/QuiboButton.h"

#include <QPolygon>

#include <cstdlib>

namespace quibo {

namespace {

QRegion Triangle(QPoint a, QPoint b, QPoint c) {
    return QRegion(QPolygon({a, b, c}), Qt::WindingFill);
}

// The press effect's displacement by CustomClick 1-8.
QPoint ClickMove(int customClick) {
    static constexpr int kMoves[8][2] = {{0, -1}, {1, -1}, {-1, -1}, {1, 1},
                                         {-1, 1}, {1, 0},  {0, 1},   {-1, 0}};
    return {kMoves[customClick - 1][0], kMoves[customClick - 1][1]};
}

} // namespace

void QuiboButton::FrameRegion(QImage& image, const QRegion& region, ButtonColor colour) {
    if (image.isNull() || region.isEmpty() || colour < 0) return;
    const QRegion inside = region & region.translated(1, 0) & region.translated(-1, 0) &
                           region.translated(0, 1) & region.translated(0, -1);
    const QRgb rgb = ToQRgb(colour);
    for (const QRect& r : region - inside)
        for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), image.height() - 1); ++y)
            for (int x = std::max(r.left(), 0); x <= std::min(r.right(), image.width() - 1); ++x)
                image.setPixel(x, y, rgb);
}

void QuiboButton::CreateShapeRegion() {
    m_shapeLeft = 0;
    m_shapeRight = width();
    m_clip = QRegion();
    m_faceRegion = QRegion();
    m_innerRegion = QRegion();
    const int W = width();
    const int H = height();
    const int shape = m_buttonShape;
    QRegion region;
    if (shape <= 3) {
        region = shape == 0 ? QRegion(0, 0, W + 1, H + 1) : SlantedOutline(W, H);
        TrimCorners(region, H);
    } else if (shape <= 6) {
        region = EllipseOutline(W, H);
    } else if (!PictureOutline(W, H, region)) {
        // A picture without area keeps the window as it was cut before.
        return;
    }
    m_windowRegion = region;
    setMask(region);
    if (m_shapeRight == 0) m_shapeRight = width();
}

QRegion QuiboButton::SlantedOutline(int W, int H) {
    const int shape = m_buttonShape;
    // The diagonals run at 45 degrees; a face narrower than 5 pixels between them is widened.
    const int d = Near(4 * static_cast<float>((H + 1) / 4.0f));
    int X = W;
    while (X - d < 5)
        X += 5;
    if (X != W) {
        DelayDrawing(true);
        resize(X, H);
        CreateBackBuffer(true);
        m_shapeRight = width();
        m_drawingDelayed = false;
    }
    const int w = width();
    const QPoint points[] = {
        {0, 0}, {shape != 2 ? d : 0, H + 1}, {w + 1, H + 1}, {shape != 1 ? w - d + 1 : w + 1, 0}};
    if (shape != 2) m_shapeLeft = d;
    if (shape != 1) m_shapeRight = w - d;
    return QRegion(QPolygon(QList<QPoint>(std::begin(points), std::end(points))), Qt::WindingFill);
}

void QuiboButton::TrimCorners(QRegion& region, int H) const {
    const int shape = m_buttonShape;
    const int w = width();
    const bool trimLeft = shape == 0 || shape == 2;
    const bool trimRight = shape == 0 || shape == 1;
    const int style = m_buttonStyle;
    if (style == 1 || (style == 3 && Enabled())) {
        // A and B: single corner pixels; style 3 keeps the top-left and bottom-right ones.
        if (trimLeft) {
            if (style != 3) region -= QRegion(0, 0, 1, 1);
            region -= QRegion(0, H - 1, 1, 1);
        }
        if (trimRight) {
            if (style != 3) region -= QRegion(w - 1, H - 1, 1, 1);
            region -= QRegion(w - 1, 0, 1, 1);
        }
    } else if (style == 2 || style == 7) {
        if (trimLeft) {
            region -= Triangle({0, 0}, {2, 0}, {0, 2});
            region -= Triangle({0, H}, {3, H}, {0, H - 3});
        }
        if (trimRight) {
            region -= Triangle({w, 0}, {w - 2, 0}, {w, 2});
            region -= Triangle({w, H}, {w - 3, H}, {w, H - 3});
        }
    }
}

QRegion QuiboButton::EllipseOutline(int W, int H) {
    QRegion region(0, 0, W, H, QRegion::Ellipse);
    if (m_buttonStyle != 5) {
        if (m_buttonShape == 6)
            FrameRegion(m_buffer, region, 0);
        else
            PaintRaisedRing();
    }
    m_faceRegion = QRegion(1, 1, W - 2, H - 2, QRegion::Ellipse);
    m_innerRegion = QRegion(2, 2, W - 4, H - 4, QRegion::Ellipse);
    return region;
}

bool QuiboButton::PictureOutline(int W, int H, QRegion& region) {
    if (m_pictureWidth == 0 || m_pictureHeight == 0) return false;
    DelayDrawing(true);
    const QSize size = ScalePicture(W, H, m_pictureWidth, m_pictureHeight);
    resize(size);
    CreateBackBuffer(true);
    m_shapeRight = width();
    region = QRegion(0, 0, width(), height());
    CreateRegionFromBitmap(width(), height(), &region);
    const QPoint box = region.boundingRect().topLeft();
    m_faceRegion.translate(box + QPoint(1, 1) - m_faceRegion.boundingRect().topLeft());
    m_innerRegion.translate(box + QPoint(2, 2) - m_innerRegion.boundingRect().topLeft());
    if (m_buttonShape == 8)
        PaintRaisedRing();
    else
        FrameRegion(m_buffer, region, TranslateSysColor(m_backColor, palette()));
    m_clip = m_faceRegion;
    return true;
}

void QuiboButton::PaintRaisedRing() {
    const int saved = m_gradientMode;
    m_gradientMode = 3;
    DrawGradient(0xFFFFFF, 0x808080);
    m_gradientMode = saved;
}

void QuiboButton::CreateRegionFromBitmap(int w, int h, QRegion* region) {
    if (!m_picture) return;
    m_derivedPicture = QImage();
    // Icons keep their own transparency and never shape a button.
    if (m_picture->isIcon()) return;
    m_derivedPicture = DerivePictureBitmap(m_picture->image, w, h);
    if (region == nullptr || m_derivedPicture.isNull()) return;
    m_faceRegion = QRegion(0, 0, width(), height());
    m_innerRegion = m_faceRegion;
    // Every pixel near the key colour is the key colour now.
    const QRgb key = m_derivedPicture.pixel(0, 0);
    const auto cut = [&](int x0, int x1, int y) {
        *region -= QRegion(x0, y, x1 - x0, 1);
        m_faceRegion -= QRegion(x0 - 1, y - 1, x1 - x0 + 2, 3);
        m_innerRegion -= QRegion(x0 - 2, y - 2, x1 - x0 + 4, 5);
    };
    for (int y = 0; y < h; ++y) {
        int start = -1;
        for (int x = 0; x < w; ++x) {
            const bool transparent = m_derivedPicture.pixel(x, y) == key;
            if (transparent && start < 0) start = x;
            if (!transparent && start >= 0) {
                cut(start, x, y);
                start = -1;
            }
        }
        if (start >= 0) cut(start, w, y);
    }
}

bool QuiboButton::MoveForCustomClick() {
    if (m_buttonShape < 7 || m_customClick < 1 || m_customClick > 8 || m_mode != 0) return false;
    const QPoint d = ClickMove(m_customClick);
    const bool moved = (m_stateFlags & kMovedFlag) != 0;
    if (Pressed() && !moved) {
        move(pos() + d);
        m_stateFlags |= kMovedFlag;
        CreateBackBuffer(false);
        return true;
    }
    if (moved && !Pressed()) {
        move(pos() - d);
        m_stateFlags &= ~kMovedFlag;
    }
    return false;
}

void QuiboButton::FrameShapeRegion(std::int16_t& proceed) {
    if (MoveForCustomClick()) {
        proceed = 0;
        return;
    }
    proceed = 1;
    const bool pressed = Pressed();
    if (m_buttonStyle == 5 && !m_hover && !pressed && !m_value) {
        m_clip = QRegion();
        return;
    }
    const int saved = m_gradientMode;
    m_clip = QRegion();
    const bool ringed = m_buttonShape != 6 && m_buttonShape != 7;
    if (m_buttonStyle == 5 && (m_value || ringed)) {
        m_gradientMode = 3;
        DrawGradient(0xFFFFFF, 0x808080);
        m_clip = m_innerRegion;
        proceed = 4;
    } else if ((pressed || m_value) && ringed) {
        m_clip = m_faceRegion;
        m_gradientMode = 3;
        DrawGradient(0x808080, 0xFFFFFF);
        m_clip = m_innerRegion;
        proceed = 4;
    } else if (ringed) {
        m_clip = m_faceRegion;
        proceed = 3;
    } else if (m_buttonShape == 7 || m_hover) {
        FrameRegion(m_buffer, m_windowRegion,
                    m_buttonShape == 6 ? 0 : TranslateSysColor(m_backColor, palette()));
        m_clip = m_faceRegion;
        proceed = 3;
    }
    m_gradientMode = saved;
}

} // namespace quibo
