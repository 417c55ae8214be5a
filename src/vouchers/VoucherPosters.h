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

// "VATTRANSACTIONSMC", "ORDERS", "NOTES": invoices, orders and delivery or receipt notes whose rows
// are item lines (an accounting and a batch allocation each) or ledger lines (a bill and a cost
// allocation each).
// Multi-currency invoices: every amount carries its voucher-currency figure, the exchange rate and
// the base-currency figure in one text.
void PostVATTransactionMC(FormModel& form, TallyLink& link); // F01-0024MC
VoucherKind VATTransactionMCKind(const VoucherRun& run);
// Orders, with their delivery-note, order-number, terms and address lists.
void PostOrders(FormModel& form, TallyLink& link); // F01-0047
VoucherKind OrderKind(const VoucherRun& run);
// Delivery and receipt notes: orders with the order-number list alone, numbered across the run.
void PostNotes(FormModel& form, TallyLink& link); // F01-0048
VoucherKind NoteKind(const VoucherRun& run);

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
