#pragma once

#include <QIcon>
#include <QPixmap>

namespace quibo {

// The image list `ilsIcons` and the product picture, drawn with QPainter so
// the program ships no image files. Indexes as the form uses them: 0 a row
// posted, 1 a row failed or skipped, 5 Excel, 6 Access, 7 ODBC.
class ImageList {
public:
    // A null icon for an index the list does not hold.
    static QIcon Icon(int index);
    // The logo of the splash and the about box, `size` pixels square.
    static QPixmap ProductPicture(int size);
};

} // namespace quibo
