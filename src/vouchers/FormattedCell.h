#pragma once

#include "vb/Number.h"

#include <QString>

namespace quibo {

// A quantity or rate cell as the item lines carry it: a number in the main form's number pattern,
// any other text as it stands ("5 Box" stays, and so does "1/2", which is no day to count).
inline QString FormattedCell(const QString& cell, const QString& pattern) {
    const std::optional<double> number = vb::ToNumber(cell);
    return number ? vb::FormatNumber(*number, pattern) : cell;
}

} // namespace quibo
