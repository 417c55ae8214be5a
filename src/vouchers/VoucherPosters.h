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

// "TDSTRANSACTIONS", "SERVICETAXTRANSACTIONS", "QUICKTRANSACTIONS", "BANKSTMT".
// TDS: one ledger line per row, each with one bill carrying the TDS details, and a cost centre.
void PostTDSTransaction(FormModel& form, TallyLink& link); // F01-0023A
VoucherKind TDSTransactionKind(const VoucherRun& run);
// Service tax: one ledger line per row; a line with an assessable amount carries its tax bill, any
// other line a plain bill naming the service-tax ledger.
void PostServTaxTransaction(FormModel& form, TallyLink& link); // F01-0023B
VoucherKind ServTaxTransactionKind(const VoucherRun& run);
// Quick: a debit and a credit line per row for one amount, each with the row's bill, bank
// instrument and cost centre; "FirstSide" Cr puts the credit line first.
void PostQuickTransaction(FormModel& form, TallyLink& link); // F01-0023C
VoucherKind QuickTransactionKind(const VoucherRun& run);
// Bank statement: a withdrawal debits the other side's ledger, a deposit the bank; two lines per
// row; a voucher without an amount on any row is not sent.
void PostBankStmt(FormModel& form, TallyLink& link); // F01-0023D
VoucherKind BankStmtKind(const VoucherRun& run);

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
