#pragma once

#include <QString>

#include <vector>

namespace quibo {

class FormModel;
class TallyLink;
class VoucherRun;
struct VoucherKind;

// The voucher posting procedures of the main form, one per voucher import type, each on the staged
// voucher loop (VoucherRun): rows of one voucher key are staged in the local database and sent as
// one VOUCHER message, the outcome in the voucher's last row. A run-time error is reported under the
// procedure's location code and ends the run; the caller goes on. User-interface thread.

// "TRANSACTIONS": plain accounting vouchers, one ledger line per row, with bill-wise references and
// bank-instrument details hung under the most recent ledger line.
void PostTransaction(FormModel& form, TallyLink& link); // F01-0023
// How PostTransaction stages its rows, on a run over the form's grid.
VoucherKind TransactionKind(const VoucherRun& run);

// "ITEM TRANSACTIONS", "I_TRANSACTIONS", "VATTRANSACTIONS": itemised and VAT invoices; and two invoice
// operations of the main form that no import type reaches (not in the table below).
// Itemised invoices: item rows are inventory entries with their ledger and batch, other rows ledger
// lines with at most one bill.
void PostItemizedTransaction(FormModel& form, TallyLink& link); // F01-0024
VoucherKind ItemizedTransactionKind(const VoucherRun& run);
// VAT invoices: header with dispatch, order, consignee and buyer details and lists; all-ledger lines
// with item allocations, descriptions, batches, bills, service-tax bills, bank and cost allocations.
void PostVATTransaction(FormModel& form, TallyLink& link); // F01-0024A
VoucherKind VATTransactionKind(const VoucherRun& run);
// Accounting vouchers whose lines carry a tax classification, one bill per line. Not routed.
void PostVATTransactionOOO(FormModel& form, TallyLink& link); // F01-0023000
VoucherKind TaxClassifiedTransactionKind(const VoucherRun& run);
// Reduced VAT invoices: items as inventory entries with their own ledger, whole address cells. Not
// routed.
void PostVATTransactionXX(FormModel& form, TallyLink& link); // F01-0024A
VoucherKind ReducedVATTransactionKind(const VoucherRun& run);

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
