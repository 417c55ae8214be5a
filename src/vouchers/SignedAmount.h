#pragma once

#include <QString>

namespace quibo {

// The amount text of one side of a voucher line, formatted by the main form's number pattern. On the
// debit side the "-" goes with the number, not before its text: 500 gives "-500.000", 0 "-0.000",
// and -500 "500.000"; no text ever starts with "--", and a text without a digit (a zero under the
// pattern "#") stays unsigned. The credit side is the number as it stands.
QString SideAmount(double value, bool debit, const QString& pattern);
// The debit side of an amount kept as its text stands (a bank amount, a formatted amount): the sign
// goes before the number, after any leading blanks; "500" gives "-500", "-500" "500". A text without
// a digit stays as it is: "" gives "", "." (a zero under "#.##") ".".
QString DebitText(const QString& text);

} // namespace quibo
