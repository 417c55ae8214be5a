#pragma once

#include <QString>
#include <QStringView>

namespace quibo::vb {

// VB's Format of a cell text. A number is formatted by the pattern (FormatNumber), or, when the
// pattern is made of date tokens only, as a day serial (FormatDate of FromOADate). A date text
// is formatted by a date pattern, or as its day serial by a number pattern. Any other text, and
// any text but a number under an empty pattern, comes back unchanged.
QString Format(QStringView text, QStringView pattern);

} // namespace quibo::vb
