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

// "CRDRNOTES", "COST TRANSACTIONS" (and "C_TRANSACTIONS"), "STTDSTRANSACTIONS".
// Debit and credit notes: a ledger line per row, each with one bill allocation.
void PostCrDrNotes(FormModel& form, TallyLink& link); // F01-0050
VoucherKind CrDrNoteKind(const VoucherRun& run);
// Ledger lines with cost-centre, bill and bank allocations, rows without a ledger continuing the line
// above. With "Check Masters before posting Vouchers" ticked, the server is first asked for the ledger
// of every row that names one: a missing one's row says so in its status ("ERRORS Ledger '...' does
// not exist!..."), a present one's status is emptied (no answer counts as present); when one is
// missing, the box "Some of the Masters are missing. " (none in a silent run) and nothing is posted.
void PostCostTransaction(FormModel& form, TallyLink& link); // F01-0025
VoucherKind CostTransactionKind(const VoucherRun& run);
// All-ledger lines, each with a service-tax bill or a TDS bill and cost allocations.
void PostSTTDSTransaction(FormModel& form, TallyLink& link); // F01-0025A
VoucherKind STTDSTransactionKind(const VoucherRun& run);

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
