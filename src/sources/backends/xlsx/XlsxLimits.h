#pragma once

#include <QtGlobal>

namespace quibo {

// How far a part of the package may unpack: never past `maxPartSize`, and past `ratioFloor` only
// up to `maxRatio` times its packed size. A part beyond is refused, not read.
struct XlsxLimits {
    qint64 maxPartSize = qint64(1) << 30;
    qint64 ratioFloor = qint64(64) << 20;
    qint64 maxRatio = 200;
};

} // namespace quibo
