#pragma once

#include "vouchers/VoucherRun.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quibo {

class ErrorReporter;
class FormModel;
class LocalDatabase;
class TallyLink;
class VoucherRun;
class WorkGrid;
struct VoucherKind;

// The voucher posting procedures of the main form, one per voucher import type, most on the staged
// voucher loop (VoucherRun): rows of one voucher key are staged in the local database and sent as
// one VOUCHER message, the outcome in the voucher's last row. A run-time error is reported under the
// procedure's location code and ends the run; the caller goes on. User-interface thread.

// "TRANSACTIONS": plain accounting vouchers, one ledger line per row, with bill-wise references and
// bank-instrument details hung under the most recent ledger line.
void PostTransaction(FormModel& form, TallyLink& link); // F01-0023
// How PostTransaction stages its rows, on a run over the form's grid.
VoucherKind TransactionKind(const VoucherRun& run);

// "TRANSACTIONSGST", "H_TRANSACTIONSGST" and the users' own voucher formats (a format whose object
// kind is "VOUCHER"): not staged. Each voucher is built row by row from the format named by the
// import-type box's text as shown (blanks kept) and posted as it stands: the first row gives the
// voucher element's attributes and header tags, every row its nested groups. Rows are grouped, their
// companies taken and their outcomes marked as on the staged loop. An import type without a format
// ends the run before anything is sent.
void PostTransactionGST(FormModel& form, TallyLink& link); // F01-0023: key VCHTYPE-VCHNO-VCHDATE
void PostCustomFormat(FormModel& form, TallyLink& link);   // F01-0023: key from the format's tags
// The value the format gives the tag of the group for one row of the grid: the first matching
// detail row's DefValue as stored (blank included), else its fieldName's cell ("{#k}" the cell in
// grid column k, a plain name the cell of that upper-cased key), "" when there is no row or neither.
// Names are compared as the database compares them (letter case aside); no trap: a column the grid
// lacks raises in the caller.
QString GetFieldValue(LocalDatabase& db, const WorkGrid& grid, const QString& groupName,
                      const QString& tagName, int32_t formatNumber, int row);

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
// "STOCKJV", "PHYSICALSTOCK", "ATTENDANCE" and the voucher registers ("SALE REGISTER", "SALEREGISTER",
// "V_TRANSACTIONS", "VOUCHERREGISTER", "VOUCHER REGISTER").
// Stock journals: items going in ("DIRECTION" "IN") and out ("OUT"), each with its godown and batch
// lines; an item row of another direction fails its voucher.
void PostStockJV(FormModel& form, TallyLink& link); // F01-0049
VoucherKind StockJVKind(const VoucherRun& run);
// Physical stock: counted quantities by item, godown and batch. With an "ID" column a blank ID on a
// row with content continues the voucher above it.
void PostPhysicalStock(FormModel& form, TallyLink& link); // F01-0051
VoucherKind PhysicalStockKind(const VoucherRun& run);
// Attendance: one attendance line per row with an employee. The first voucher id follows the greatest
// one staged for the company box's company.
void PostAttendance(FormModel& form, TallyLink& link); // F01-0055
VoucherKind AttendanceKind(const VoucherRun& run, FormModel& form, LocalDatabase& db);
// The id after the greatest voucher id staged for the company; 1 when none is, or when it cannot be
// read (reported).
int FirstAttendanceVoucher(ErrorReporter& errors, LocalDatabase& db, const QString& company);
// Voucher registers: each row with an "ID" and a "LEDGER" is one voucher, sent at the end of its row;
// each mapped column (a tag of the register's map) one ledger entry with its bill, tax bill or VAT
// details. Not on the shared loop: nothing is grouped, and the row shows its outcome in its own
// colours (blue created, red failed, black otherwise).
void PostVoucherRegister(FormModel& form, TallyLink& link); // F01-0026
// The register's row walk over the form's grid; run-time errors leave by exception.
void PostVoucherRegister(FormModel& form, LocalDatabase& db, const VoucherSender& send);
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
// "CRDRNOTES", "COST TRANSACTIONS" (and "C_TRANSACTIONS"), "STTDSTRANSACTIONS".
// Debit and credit notes: a ledger line per row, each with one bill allocation.
void PostCrDrNotes(FormModel& form, TallyLink& link); // F01-0050
VoucherKind CrDrNoteKind(const VoucherRun& run);
// Ledger lines with cost-centre, bill and bank allocations, rows without a ledger continuing the line
// above. With "Check Masters before posting Vouchers" ticked, the server is first asked for the ledger
// of every row that names one: a missing one's row says so in its status ("ERRORS Ledger '...' does
// not exist!..."), a present one's status is emptied (no answer counts as present), and either row
// loses the marks of an earlier post; when one is missing, the box "Some of the Masters are missing. "
// (in a silent run too) and nothing is posted.
void PostCostTransaction(FormModel& form, TallyLink& link); // F01-0025
VoucherKind CostTransactionKind(const VoucherRun& run);
// All-ledger lines, each with a service-tax bill or a TDS bill and cost allocations. A row with a zero
// amount stages no line: one that carries a bill or a cost allocation fails its voucher.
void PostSTTDSTransaction(FormModel& form, TallyLink& link); // F01-0025A
VoucherKind STTDSTransactionKind(const VoucherRun& run);

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
