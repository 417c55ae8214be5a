#pragma once

#include "vouchers/VoucherRun.h"

#include <QString>

#include <vector>

namespace quibo {

class ErrorReporter;
class FormModel;
class LocalDatabase;
class TallyLink;

// The voucher posting procedures of the main form, one per voucher import type, each on the staged
// voucher loop (VoucherRun): rows of one voucher key are staged in the local database and sent as
// one VOUCHER message, the outcome in the voucher's last row. A run-time error is reported under the
// procedure's location code and ends the run; the caller goes on. User-interface thread.

// "TRANSACTIONS": plain accounting vouchers, one ledger line per row, with bill-wise references and
// bank-instrument details hung under the most recent ledger line.
void PostTransaction(FormModel& form, TallyLink& link); // F01-0023
// How PostTransaction stages its rows, on a run over the form's grid.
VoucherKind TransactionKind(const VoucherRun& run);

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

// Every procedure above under the name the Post command's routing table gives it.
struct VoucherPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<VoucherPoster>& VoucherPosters();

} // namespace quibo
