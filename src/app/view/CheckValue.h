#pragma once

#include <Qt>

namespace quibo {

// A check box's value as the form keeps it (0 cleared, 1 ticked, 2 grey) and as Qt shows it.
inline Qt::CheckState CheckStateOf(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

inline int CheckValueOf(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

} // namespace quibo
