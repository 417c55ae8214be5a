#include "vouchers/SignedAmount.h"

#include "vb/CellNumber.h"
#include "vb/Number.h"

namespace quibo {

QString SideAmount(double value, bool debit, const QString& pattern) {
    if (!debit) return vb::FormatNumber(value, pattern);
    if (value < 0) return vb::FormatNumber(-value, pattern);
    return QLatin1Char('-') + vb::FormatNumber(value, pattern);
}

QString DebitAmount(const QString& cell, const QString& pattern) {
    return SideAmount(CellNumber(cell), true, pattern);
}

} // namespace quibo
