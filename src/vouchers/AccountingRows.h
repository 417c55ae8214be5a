#pragma once

#include "staging/StagingRows.h"

#include <QString>

namespace quibo {

class VoucherRun;
struct VoucherPlace;

// The amount text of a cell: its number (CellNumber) in the main form's number pattern.
QString AmountText(const QString& cell, const QString& pattern);

// The header of an accounting voucher from its first row: date and effective date "VCHDATE", the
// voucher key as GUID, type, number, reference and narration, the row's ledger as party, cash flow
// "Yes", every other flag (IsInvoice_ included) "No", the accounting view.
VoucherRow AccountingHeader(const VoucherRun& run, const VoucherPlace& at);

} // namespace quibo
