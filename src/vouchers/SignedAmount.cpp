#include "vouchers/SignedAmount.h"

#include "vb/CellNumber.h"
#include "vb/Number.h"

#include <algorithm>

namespace quibo {

namespace {

// Whether an amount text holds a number to sign: a pattern may write a zero without a digit ("#"
// gives "", "#.##" "."), and a text of blanks or letters holds none.
bool HoldsDigit(const QString& amount) {
    return std::any_of(amount.cbegin(), amount.cend(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QString SideAmount(double value, bool debit, const QString& pattern) {
    if (!debit) return vb::FormatNumber(value, pattern);
    if (value < 0) return vb::FormatNumber(-value, pattern);
    const QString amount = vb::FormatNumber(value, pattern);
    return HoldsDigit(amount) ? QLatin1Char('-') + amount : amount;
}

QString DebitText(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t' || text[at] == u'\n'))
        ++at;
    // Nothing to sign: a sign goes only on a number, never alone nor before a text without one.
    if (!HoldsDigit(text)) return text;
    QString debit = text;
    // A minus already there is the number's own: a negative number loses it, "-0" keeps it.
    if (text[at] == u'-') return CellNumber(text) < 0 ? debit.remove(at, 1) : debit;
    if (text[at] == u'+') return debit.replace(at, 1, QLatin1Char('-'));
    return debit.insert(at, QLatin1Char('-'));
}

} // namespace quibo
