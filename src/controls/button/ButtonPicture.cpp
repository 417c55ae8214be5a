#include "controls/button/ButtonPicture.h"

#include "controls/button/ButtonColors.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cstdlib>

namespace quibo {

QByteArray PictureToBytes(const std::optional<ButtonPicture>& picture) {
    QByteArray bytes;
    if (!picture || picture->image.isNull()) return bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << static_cast<quint8>(picture->kind) << picture->image;
    return bytes;
}

std::optional<ButtonPicture> PictureFromBytes(const QByteArray& bytes) {
    if (bytes.isEmpty()) return std::nullopt;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint8 kind = 0;
    ButtonPicture picture;
    in >> kind >> picture.image;
    if (in.status() != QDataStream::Ok || picture.image.isNull() || kind > 2) return std::nullopt;
    picture.kind = static_cast<ButtonPicture::Kind>(kind);
    return picture;
}

QImage DerivePictureBitmap(const QImage& picture, int w, int h) {
    if (picture.isNull() || w <= 0 || h <= 0) return {};
    QImage bitmap = picture.convertToFormat(QImage::Format_RGB32)
                        .scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QRgb key = bitmap.pixel(0, 0);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - qRed(key)) <= 3 && std::abs(qGreen(p) - qGreen(key)) <= 3 &&
                std::abs(qBlue(p) - qBlue(key)) <= 3)
                line[x] = key;
        }
    }
    return bitmap;
}

void DrawPictureTransparent(QImage& dest, QPoint at, QSize box, const QImage& bitmap, int& w, int& h) {
    if (bitmap.isNull() || w <= 0 || h <= 0) return;
    if (h > box.height() || w > box.width()) {
        const double f = std::min(double(box.width()) / w, double(box.height()) / h);
        w = Near(w * f);
        h = Near(h * f);
    }
    const QRgb key = bitmap.pixel(0, 0) | 0xFF000000;
    const int sw = bitmap.width();
    const int sh = bitmap.height();
    for (int y = 0; y < h; ++y) {
        const int dy = at.y() + y;
        if (dy < 0 || dy >= dest.height()) continue;
        for (int x = 0; x < w; ++x) {
            const int dx = at.x() + x;
            if (dx < 0 || dx >= dest.width()) continue;
            const QRgb p = bitmap.pixel(x * sw / w, y * sh / h) | 0xFF000000;
            if (p != key) dest.setPixel(dx, dy, p);
        }
    }
}

void DrawGreySilhouette(QImage& dest, QPoint at, const QImage& silhouette, QRgb grey) {
    for (int y = 0; y < silhouette.height(); ++y) {
        const int dy = at.y() + y;
        if (dy < 0 || dy >= dest.height()) continue;
        for (int x = 0; x < silhouette.width(); ++x) {
            const int dx = at.x() + x;
            if (dx < 0 || dx >= dest.width()) continue;
            const QRgb s = silhouette.pixel(x, y);
            const QRgb d = dest.pixel(dx, dy);
            dest.setPixel(dx, dy, ((((d ^ grey) & s) ^ grey) & 0xFFFFFF) | 0xFF000000);
        }
    }
}

} // namespace quibo
