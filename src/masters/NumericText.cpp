#include "masters/NumericText.h"

#include "vb/CellNumber.h"
#include "vb/Number.h"

namespace quibo {

QString NumericText(QStringView cell) {
    return vb::NumberText(CellNumber(cell));
}

QString NegatedNumericText(QStringView cell) {
    return vb::NumberText(-CellNumber(cell));
}

} // namespace quibo
