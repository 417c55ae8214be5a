#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace quibo {

// A picture object of the button: a bitmap, a JPEG or an icon (an icon keeps its alpha channel and
// is drawn as it is, never keyed by a transparent colour).
struct ButtonPicture {
    enum class Kind { Bitmap, Jpeg, Icon };
    QImage image;
    Kind kind = Kind::Bitmap;
    bool isIcon() const { return kind == Kind::Icon; }
    bool operator==(const ButtonPicture&) const = default;
};

// The picture as the property bag stores it; an empty array for none.
QByteArray PictureToBytes(const std::optional<ButtonPicture>& picture);
// None for an empty or unreadable array.
std::optional<ButtonPicture> PictureFromBytes(const QByteArray& bytes);

// The picture as a bitmap of w x h, every pixel within 3 of the top-left pixel on each channel set
// exactly to it, so that keying on that colour catches the whole background.
QImage DerivePictureBitmap(const QImage& picture, int w, int h);

// Draws `bitmap` stretched to w x h with its top-left colour transparent, its top-left corner at
// `at` of `dest`, no further than `box` (whose size also bounds w and h, which shrink to fit).
void DrawPictureTransparent(QImage& dest, QPoint at, QSize box, const QImage& bitmap, int& w, int& h);

// The grey look of a disabled picture: where `silhouette` is white the surface stays, where it is
// black `grey` is painted, bit by bit in between.
void DrawGreySilhouette(QImage& dest, QPoint at, const QImage& silhouette, QRgb grey);

} // namespace quibo
