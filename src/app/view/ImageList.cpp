#include "app/view/ImageList.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace quibo {

namespace {

constexpr int IconSize = 16;

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return pixmap;
}

// A rounded tile with one or two letters on it.
void Tile(QPainter& p, const QColor& colour, const QString& letters) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1, 1, IconSize - 2, IconSize - 2), 3, 3);
    QFont font;
    font.setPixelSize(letters.size() > 1 ? 8 : 11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, IconSize, IconSize), Qt::AlignCenter, letters);
}

} // namespace

QIcon ImageList::Icon(int index) {
    switch (index) {
    case 0:
        return QIcon(Draw(IconSize, [](QPainter& p) {
            p.setPen(QPen(QColor(0x1e, 0x8e, 0x3e), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPainterPath tick;
            tick.moveTo(3, 8.5);
            tick.lineTo(6.5, 12);
            tick.lineTo(13, 4);
            p.drawPath(tick);
        }));
    case 1:
        return QIcon(Draw(IconSize, [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xd0, 0x2b, 0x2b));
            p.drawEllipse(QRectF(1, 1, 14, 14));
            p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(11, 11));
            p.drawLine(QPointF(11, 5), QPointF(5, 11));
        }));
    case 5:
        return QIcon(
            Draw(IconSize, [](QPainter& p) { Tile(p, QColor(0x1d, 0x6f, 0x42), QStringLiteral("X")); }));
    case 6:
        return QIcon(
            Draw(IconSize, [](QPainter& p) { Tile(p, QColor(0xa4, 0x37, 0x3a), QStringLiteral("A")); }));
    case 7:
        return QIcon(Draw(IconSize, [](QPainter& p) {
            // A database drum.
            const QColor blue(0x2b, 0x57, 0x9a);
            p.setPen(QPen(blue.darker(130), 1));
            p.setBrush(blue);
            p.drawRect(QRectF(3, 4, 10, 8));
            p.drawEllipse(QRectF(3, 9.5, 10, 5));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(3.5, 4, 9, 8));
            p.setPen(QPen(blue.darker(130), 1));
            p.setBrush(blue.lighter(140));
            p.drawEllipse(QRectF(3, 1.5, 10, 5));
        }));
    default:
        return {};
    }
}

QPixmap ImageList::ProductPicture(int size) {
    return Draw(size, [size](QPainter& p) {
        const qreal s = size;
        QLinearGradient gradient(0, 0, 0, s);
        gradient.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
        gradient.setColorAt(1, QColor(0x1c, 0x3f, 0x7a));
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawRoundedRect(QRectF(0, 0, s, s), s / 6, s / 6);
        // A sheet feeding an arrow: rows become records.
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(s * 0.14, s * 0.2, s * 0.36, s * 0.6), s * 0.04, s * 0.04);
        p.setPen(QPen(QColor(0x1c, 0x3f, 0x7a), qMax<qreal>(1, s / 40)));
        for (int i = 1; i <= 4; ++i)
            p.drawLine(QPointF(s * 0.19, s * (0.2 + 0.12 * i)), QPointF(s * 0.45, s * (0.2 + 0.12 * i)));
        QPainterPath arrow;
        arrow.moveTo(s * 0.56, s * 0.42);
        arrow.lineTo(s * 0.7, s * 0.42);
        arrow.lineTo(s * 0.7, s * 0.32);
        arrow.lineTo(s * 0.88, s * 0.5);
        arrow.lineTo(s * 0.7, s * 0.68);
        arrow.lineTo(s * 0.7, s * 0.58);
        arrow.lineTo(s * 0.56, s * 0.58);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xc1, 0x07));
        p.drawPath(arrow);
    });
}

} // namespace quibo
