#include "vouchers/SignedAmount.h"

#include "vb/CellNumber.h"
#include "vb/Number.h"

#include <algorithm>

namespace quibo {

QString SideAmount(double value, bool debit, const QString& pattern) {
    if (!debit) return vb::FormatNumber(value, pattern);
    if (value < 0) return vb::FormatNumber(-value, pattern);
    const QString amount = vb::FormatNumber(value, pattern);
    // A pattern may write a zero without a digit ("#" gives "", "#.##" "."): no number to sign.
    const bool number = std::any_of(amount.cbegin(), amount.cend(), [](QChar c) { return c.isDigit(); });
    return number ? QLatin1Char('-') + amount : amount;
}

QString DebitAmount(const QString& cell, const QString& pattern) {
    return SideAmount(CellNumber(cell), true, pattern);
}

QString DebitText(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t' || text[at] == u'\n'))
        ++at;
    // Nothing to sign: a sign goes only on a number, never alone.
    if (at == text.size()) return text;
    QString debit = text;
    // A minus already there is the number's own: a negative number loses it, "-0" keeps it.
    if (at < text.size() && text[at] == u'-') return CellNumber(text) < 0 ? debit.remove(at, 1) : debit;
    if (at < text.size() && text[at] == u'+') return debit.replace(at, 1, QLatin1Char('-'));
    return debit.insert(at, QLatin1Char('-'));
}

} // namespace quibo
