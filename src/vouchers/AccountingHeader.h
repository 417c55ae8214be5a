#pragma once

#include "staging/StagingRows.h"

#include <QString>

namespace quibo {

class VoucherRun;

// The header of an accounting voucher as the TDS, service-tax, quick and bank-statement posters
// stage it: its date (also the effective date), key (GUID_), type, number, party ledger (party, base
// party and buyer), narration, the accounting view, cash flow "Yes" and every other flag "No".
VoucherRow AccountingHeader(const QString& date, const QString& key, const QString& type,
                            const QString& number, const QString& party, const QString& narration);

// An amount cell in the main form's number pattern, read as CellNumber reads it.
QString FormattedAmount(const VoucherRun& run, const QString& cell);
// The same of an optional column, "" when the source lacks it.
QString FormattedAmountIfPresent(const VoucherRun& run, int row, const QString& column);

// The bank details of a row (each column optional, "" when the source lacks it), dated `date` and
// for `amount`.
BankAllocationRow RowBankAllocation(const VoucherRun& run, int row, const QString& date,
                                    const QString& amount);

// A cost category cell, "Primary Cost Category" when it is blank.
QString CostCategory(const QString& cell);

} // namespace quibo
