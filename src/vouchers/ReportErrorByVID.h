#pragma once

#include <QString>

namespace quibo {

class FormModel;

// Marks the rows of a failed voucher in `GR1`: every row from `fromRow` to `toRow` whose cell in the
// column keyed `column` equals `key` exactly (case and blanks count) gets red text in every column
// and a bold status cell. Only when the source itself has that column; it writes no text and sets no
// icon. The range keeps a later voucher that happens to reuse the key from being painted with this
// one's failure. Errors are reported (F01-0027); the grid's redraw is back on either way.
void ReportErrorByVID(FormModel& form, const QString& key, const QString& column, int fromRow, int toRow);

} // namespace quibo
