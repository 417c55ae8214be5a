#pragma once

#include <QString>
#include <QStringView>

namespace quibo {

// The numeric text of a grid cell, as the master posters send amounts, quantities and rates: the
// number the cell begins with (CellNumber: blanks ignored, thousands separators read, none gives 0),
// written back in its shortest decimal form with at most 15 significant digits. "1234.50" gives
// "1234.5", "1,500" gives "1500", "2500 Cr" gives "2500", "" gives "0".
QString NumericText(QStringView cell);
// The same of the negated number: "3000" gives "-3000", "" gives "0".
QString NegatedNumericText(QStringView cell);

} // namespace quibo
