// The drawing surface of the button and the routines the style painters compose a button of.
#include "controls/button/QuiboButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace quibo {

namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

// On and off runs of the pen styles in pixels: solid, dash, dot, dash-dot, dash-dot-dot, none, inside frame.
const std::vector<int>& PenPattern(int style) {
    static const std::vector<int> kPatterns[] = {{},     {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3},
                                                 {0, 1}, {}};
    return kPatterns[std::clamp(style, 0, 6)];
}

} // namespace

int QuiboButton::DrawingFontHeight(double pointSize, int dotsPerInch) {
    return Near(-20 * pointSize / (1440.0 / dotsPerInch));
}

int QuiboButton::ScreenExtent(bool horizontal) const {
    const QScreen* s = screen();
    if (s == nullptr) return 0;
    return horizontal ? s->size().width() : s->size().height();
}

void QuiboButton::CreateBackBuffer(bool create) {
    if (!create) {
        m_surface = m_buffer.copy();
        // While the paint event runs it shows the surface itself.
        if (!m_painting) update();
        return;
    }
    SetupFontAndPicture(QStringLiteral("Font"));
    const QSize size(width(), height());
    if (m_buffer.size() == size) return;
    // A control without area has no surface and draws nothing.
    if (size.isEmpty()) {
        m_buffer = QImage();
        m_surface = QImage();
        return;
    }
    m_buffer = QImage(size, QImage::Format_RGB32);
    m_buffer.fill(Qt::black);
}

void QuiboButton::SetupFontAndPicture(const QString& which) {
    if (which.compare(QLatin1String("Font"), Qt::CaseInsensitive) == 0) {
        QFont f = font();
        // Shades and etched copies of the caption lie one pixel apart: smoothing would blur them.
        f.setStyleStrategy(QFont::NoAntialias);
        if (f.pointSizeF() > 0) {
            const int pixels = -DrawingFontHeight(f.pointSizeF(), logicalDpiY());
            if (pixels > 0) f.setPixelSize(pixels);
        }
        m_drawingFont = f;
    } else if (which.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        if (!m_picture) {
            m_derivedPicture = QImage();
            m_pictureWidth = m_pictureHeight = 0;
            return;
        }
        m_pictureIsIcon = m_picture->isIcon() ? 1 : 0;
        m_pictureWidth = m_picture->image.width();
        m_pictureHeight = m_picture->image.height();
    } else if (which.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
        m_colors = CalcDerivedColors(m_buttonStyle, TranslateSysColor(m_backColor, palette()),
                                     TranslateSysColor(m_hoverBackColor, palette()));
    }
}

void QuiboButton::CalcCaptionLayout(bool rebuildPicture) {
    CaptionLayoutInput in;
    in.buttonShape = m_buttonShape;
    in.shapeLeft = m_shapeLeft;
    in.shapeRight = m_shapeRight;
    in.width = width();
    in.height = height();
    in.pictureSize = m_pictureSizePixels == 0 ? 16 : m_pictureSizePixels;
    in.pictureAlign = m_pictureAlign;
    in.pictureWidth = m_pictureWidth;
    in.pictureHeight = m_pictureHeight;
    in.caption = m_caption;
    in.captionAlign = m_captionAlign;
    in.captionStyle = m_captionStyle;
    const QFontMetrics metrics(m_drawingFont);
    const auto measure = [&metrics](const QString& text, int maxWidth, int maxHeight) {
        return metrics
            .boundingRect(QRect(0, 0, std::max(maxWidth, 0), std::max(maxHeight, 0)), kTextFlags, text)
            .size();
    };
    const CaptionLayout out = quibo::CalcCaptionLayout(in, rebuildPicture, measure);
    m_captionRect = out.caption;
    m_pictureRect = out.picture;
    if (out.rebuildPicture) CreateRegionFromBitmap(m_pictureRect.width(), m_pictureRect.height());
}

void QuiboButton::paintEvent(QPaintEvent*) {
    m_painting = true;
    m_drawingDelayed = false;
    RedrawButton();
    m_painting = false;
    if (!Usable() || m_surface.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}

void QuiboButton::SetDrawColors(bool select, int kind, ButtonColor colour, bool alsoPen, int width,
                                int style) {
    if (!select) {
        // The surface's own stock brush and pen.
        m_brushColor = 0xFFFFFF;
        m_penColor = 0;
        m_penWidth = 1;
        m_penStyle = 0;
        return;
    }
    if (kind == 0) {
        m_brushColor = colour;
        if (!alsoPen) return;
    }
    if (kind == 0 || kind == 1) {
        m_penColor = colour;
        m_penWidth = width;
        m_penStyle = style;
    } else if (kind == 2) {
        m_textColor = TranslateSysColor(colour, palette());
    }
}

void QuiboButton::Plot(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= m_buffer.width() || y >= m_buffer.height()) return;
    if (!m_clip.isEmpty() && !m_clip.contains(QPoint(x, y))) return;
    m_buffer.setPixel(x, y, colour);
}

void QuiboButton::Polyline(const QPoint* points, int count) {
    const std::vector<int>& pattern = PenPattern(m_penStyle);
    const QRgb colour = ToQRgb(m_penColor);
    int run = 0;
    int inRun = 0;
    // Each segment leaves out its end point, which the next one starts from.
    for (int i = 0; i + 1 < count; ++i) {
        int x = points[i].x(), y = points[i].y();
        const int x1 = points[i + 1].x(), y1 = points[i + 1].y();
        const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
        const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
        int err = dx + dy;
        while (x != x1 || y != y1) {
            if (pattern.empty() || run % 2 == 0) {
                if (pattern.empty() || pattern[run] > 0) Plot(x, y, colour);
            }
            if (!pattern.empty() && ++inRun >= std::max(pattern[run], 1)) {
                inRun = 0;
                run = (run + 1) % static_cast<int>(pattern.size());
            }
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
}

void QuiboButton::DrawRectangle(int left, int top, int right, int bottom, ButtonColor fill, ButtonColor frame,
                                int frameWidth, int frameStyle) {
    if (frame != -1) SetDrawColors(true, 1, frame, false, frameWidth, frameStyle);
    SetDrawColors(true, 0, fill, frame == -1, 1, 0);
    if (!Usable() || right <= left || bottom <= top) return;
    {
        QPainter painter(&m_buffer);
        if (!m_clip.isEmpty()) painter.setClipRegion(m_clip);
        painter.fillRect(QRect(left, top, right - left, bottom - top), QColor(ToQRgb(m_brushColor)));
    }
    if (m_penColor != m_brushColor || m_penStyle != 0) {
        const QPoint ring[] = {
            {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}};
        Polyline(ring, 5);
    }
}

void QuiboButton::DrawGradient(ButtonColor start, ButtonColor end) {
    if (!Usable()) return;
    const int W = width();
    const int H = height();
    const bool vertical = m_gradientMode == 3 || m_gradientMode == 4;
    const int size = vertical ? H : W;
    const int bandWidth = GradientBandWidth(size, ScreenExtent(!vertical));
    const int count = bandWidth == 2 ? size / 2 : size;
    if (count <= 0) return;
    std::vector<ButtonColor> bands(count);
    CalcGradientSteps(bands, start, end);
    const bool fromStart = m_gradientMode == 1 || m_gradientMode == 3 || m_gradientMode == 0;
    EdgeRect band{0, 0, vertical ? W : bandWidth, vertical ? bandWidth : H};
    for (int i = 0; i < count; ++i) {
        DrawRectangle(band.left, band.top, band.right, band.bottom, bands[fromStart ? i : count - 1 - i]);
        band = band.moved(vertical ? 0 : bandWidth, vertical ? bandWidth : 0);
    }
}

void QuiboButton::DrawBackground(ButtonColor face, std::int16_t& level, std::int16_t& proceed,
                                 ButtonColor& gradient, ButtonColor& hover) {
    FrameShapeRegion(proceed);
    if (proceed == 0) return;
    const bool pressed = Pressed();
    level = pressed ? 2 : (m_stateFlags & kDefaultFlag) ? 1 : 0;
    if (hover < 0) hover = face;
    const bool hoverLook = m_hover && ((m_mode == 0 && !pressed) || (m_mode > 0 && !m_value));
    const ButtonColor fill = hoverLook ? hover : face;
    const int W = width();
    const int H = height();
    if (m_gradientMode != 0 && !m_value && m_buttonShape < 7) {
        if (m_hover && !pressed && m_gradientColor != m_hoverBackColor) {
            DrawRectangle(0, 0, W, H, hover);
        } else {
            if (gradient < 0) gradient = face;
            DrawGradient(face, gradient);
        }
    } else if (m_buttonStyle == 2 && (Enabled() || m_mode > 0)) {
        // The face darkens by up to 25 steps from top to bottom; a control without height has no rows.
        if (H <= 0) return;
        for (int y = 0; y <= H; ++y) {
            std::int16_t amount = static_cast<std::int16_t>(Near(-(25.0 / H) * y));
            DrawRectangle(0, y, W, y + 1, ShiftColor(fill, amount, true));
        }
    } else {
        DrawRectangle(0, 0, W, H, fill);
    }
}

QuiboButton::EdgePoints QuiboButton::CalcEdgePoints(int buttonShape, int shapeLeft, int shapeRight,
                                                    double width, double height) {
    const int f1 = buttonShape == 1 || buttonShape == 3 ? 1 : 0;
    const int f2 = buttonShape == 2 || buttonShape == 3 ? 1 : 0;
    const int L = shapeLeft;
    const int R = shapeRight;
    const double W = width;
    const double H = height;
    EdgePoints p;
    p[0] = {L + 2 - 4 * f1, Near(H - 3)};
    p[1] = {2 * f1 + 2, 2};
    p[2] = {R - 3 + 3 * f2, 2};
    p[3] = {Near(W - 3 - 3 * f2), Near(H - 3)};
    p[4] = {L + 1 - 4 * f1, Near(H - 3)};
    p[5] = {p[0].x() + f1 - 1, p[0].y() + 1};
    p[6] = {p[1].x() - f1 - 1, p[1].y() - 1};
    p[7] = {p[2].x() + 1 - f2, p[2].y() - 1};
    p[8] = {p[3].x() + f2 + 1, p[3].y() + 1};
    p[9] = {p[4].x() - 1, p[4].y() + 1};
    p[10] = {L - f1, Near(H - 1 + f1)};
    p[11] = {0, 0};
    p[12] = {R - 1 + f2, 0};
    p[13] = {Near(W - 1), Near(H - 1 + f2)};
    p[14] = {L - 1 - 2 * f1, Near(H - 1)};
    p[15] = {Near(W - 1), Near(H - 1)};
    return p;
}

void QuiboButton::DrawEdgeLines(EdgePoints& points, const EdgeColors& colors, int outerPenStyle) {
    points = CalcEdgePoints(m_buttonShape, m_shapeLeft, m_shapeRight, width(), height());
    bool anyDrawn = false;
    ButtonColor last = 0;
    int slot = 1;
    for (const int first : {0, 5, 10}) {
        for (int i = first; i < first + 4; ++i, ++slot) {
            const ButtonColor colour = colors[slot];
            if (colour < 0) continue;
            // A pen is made only when the colour changes, so the outer ring's style starts at its first
            // segment of a new colour.
            if (!anyDrawn || colour != last) {
                SetDrawColors(true, 1, colour, false, 1,
                              first == 10 && outerPenStyle >= 0 ? outerPenStyle : 0);
                last = colour;
                anyDrawn = true;
            }
            Polyline(&points[i], 2);
        }
    }
    Polyline(&points[14], 2);
}

void QuiboButton::DrawFocusRectangle(ButtonColor& penColor, bool asLines, bool& aroundCaption,
                                     EdgePoints& points) {
    if (!(m_stateFlags & kDefaultFlag) || !Usable()) return;
    if (m_buttonShape > 6) return;
    if (m_buttonShape >= 4) {
        if (m_buttonStyle == 2) return;
        aroundCaption = true;
    }
    const int W = width();
    const int H = height();
    const int L = m_shapeLeft;
    const int R = m_shapeRight;
    if (m_buttonShape >= 1 && m_buttonShape <= 3) {
        const int A = L != 0 ? 1 : 0;
        const int B = W > R ? 1 : 0;
        points[0] = {L + 4 - 6 * A, Near(H - 5)};
        points[1] = {4 * A + 4, 4};
        points[2] = {R - 5 + 4 * B, 4};
        points[3] = {Near(W - 5 - 6 * B), Near(H - 5)};
        points[4] = {L + 3 - 4 * A, Near(H - 5)};
        SetDrawColors(true, 1, penColor, false, 1, 0);
        Polyline(points.data(), 5);
        return;
    }
    if (penColor < 0) penColor = 0;
    SetDrawColors(true, 1, penColor, false, 1, 0);
    EdgeRect r{L + 4, 4, R - 4, Near(H - 8) + 4};
    if (aroundCaption) {
        if (!m_caption.isEmpty()) {
            r = m_captionRect;
        } else {
            r = m_pictureRect;
            r.right = std::min(r.right, Near(W - 4));
            r.bottom = std::min(r.bottom, Near(H - 4));
        }
        const int m = m_captionRect.right >= R - 4 || m_captionRect.left <= L + 4 ? 1 : 2;
        const int P = (m_value || Pressed()) && m_buttonStyle != 3 ? 1 : 0;
        const int s = m_buttonShape <= 3 ? 1 : 0;
        r = r.moved(s * P - m, P - m);
        r.right += 2 * m + s * P;
        r.bottom += 2 * m + P;
    }
    if (!asLines) {
        // The dotted system focus rectangle, drawn by inverting every other pixel of its border.
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const bool border = y == r.top || y == r.bottom - 1 || x == r.left || x == r.right - 1;
                if (!border || (x + y) % 2 != 0 || x < 0 || y < 0 || x >= W || y >= H) continue;
                Plot(x, y, m_buffer.pixel(x, y) ^ 0xFFFFFF);
            }
        }
        return;
    }
    if (aroundCaption) {
        const QPoint ring[] = {{r.left, r.top},
                               {r.right - 1, r.top},
                               {r.right - 1, r.bottom - 1},
                               {r.left, r.bottom - 1},
                               {r.left, r.top}};
        Polyline(ring, 5);
    } else {
        const QPoint ring[] = {
            {r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        Polyline(ring, 5);
    }
}

void QuiboButton::DrawText(const EdgeRect& rect, const QString& text, int align, ButtonColor colour) {
    SetDrawColors(true, 2, colour);
    if (rect.width() <= 0 || rect.height() <= 0) return;
    QPainter painter(&m_buffer);
    if (!m_clip.isEmpty()) painter.setClipRegion(m_clip);
    painter.setFont(m_drawingFont);
    painter.setPen(QColor(ToQRgb(m_textColor)));
    painter.drawText(QRect(rect.left, rect.top, rect.width(), rect.height()),
                     kTextFlags | align | Qt::AlignTop, text);
}

void QuiboButton::DrawCaption(ButtonColor face, ButtonColor altCaption, bool shiftPressed,
                              bool& singleDisabledDraw) {
    if (!Usable()) return;
    const bool pressed = Pressed();
    EdgeRect caption = m_captionRect;
    EdgeRect picture = m_pictureRect;
    if ((shiftPressed || pressed) && m_buttonStyle != 3) {
        const int dx = m_buttonShape <= 3 ? 1 : 0;
        caption = caption.moved(dx, 1);
        picture = picture.moved(dx, 1);
    }
    if (!(m_value && m_buttonShape >= 7)) DrawPictureIcon(picture);
    if (m_caption.isEmpty() || (m_buttonShape >= 5 && !m_value)) return;

    const QString text = CaptionText(m_caption);
    const int align = m_captionAlign == 0   ? Qt::AlignLeft
                      : m_captionAlign == 1 ? Qt::AlignRight
                                            : Qt::AlignHCenter;
    ButtonColor colour = 0;
    if (Enabled()) {
        if (m_hover && !pressed)
            colour = TranslateSysColor(m_hoverForeColor, palette());
        else if (!m_value && m_gradientMode != 0)
            colour = TranslateSysColor(m_foreColor, palette());
        else if (m_buttonStyle == 7)
            colour = altCaption;
        else
            colour = TranslateSysColor(m_foreColor, palette());
        if (m_captionStyle == 1 || m_captionStyle == 2) {
            // Two shades one pixel up-left and down-right of the caption: raised for 2, sunken for 1.
            const int s = m_captionStyle == 2 ? 40 : -40;
            caption = caption.moved(-1, 0);
            DrawText(caption, text, align, ShiftColor(face, s));
            caption = caption.moved(2, 2);
            DrawText(caption, text, align, ShiftColor(face, -s));
            caption = caption.moved(-1, -1);
        }
    } else if (altCaption < 0 || m_gradientMode != 0) {
        colour = 0xFFFFFF;
        caption = caption.moved(1, 1);
        singleDisabledDraw = false;
    } else {
        colour = altCaption;
    }
    DrawText(caption, text, align, colour);
    // White one pixel down-right of grey: the etched look of a disabled caption.
    if (!Enabled() && !singleDisabledDraw) DrawText(caption.moved(-1, -1), text, align, 0x808080);
}

void QuiboButton::DrawPictureIcon(EdgeRect& rect) {
    if (m_pictureWidth + m_pictureHeight == 0 || !m_picture || !Usable()) return;
    if (m_derivedPicture.isNull()) CreateRegionFromBitmap(rect.width(), rect.height());
    if (m_buttonShape >= 7) {
        rect = {0, 0, width(), height()};
        if (Pressed()) rect = {1, 1, rect.right - 1, rect.bottom - 1};
    }
    int w = rect.width();
    int h = rect.height();
    if (w <= 0 || h <= 0) return;
    const bool enabled = Enabled();
    QImage silhouette;
    if (!enabled) {
        silhouette = QImage(w, h, QImage::Format_RGB32);
        silhouette.fill(Qt::white);
    }
    QImage& target = enabled ? m_buffer : silhouette;
    const QPoint at = enabled ? QPoint(rect.left, rect.top) : QPoint(0, 0);
    if (m_pictureIsIcon != 1) {
        DrawPictureTransparent(target, at, QSize(w, h), m_derivedPicture, w, h);
    } else {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(at, QSize(w, h)), m_picture->image);
    }
    if (!enabled) DrawGreySilhouette(m_buffer, QPoint(rect.left, rect.top), silhouette, qRgb(128, 128, 128));
}

} // namespace quibo
