#pragma once

#include "staging/StagingRows.h"

#include <QString>
#include <QVariant>

namespace quibo {

class ErrorReporter;
class LocalDatabase;

// The staging writers: each stores one row of one voucher in its staging table, replacing the row
// staged under the same company and keys (removal and addition as one unit). Arguments follow one
// form: company, the value or row record, voucher id, [parent line id,] own id. Every value reaches
// the database as a bound parameter.
//
// A poster stages all rows of one voucher inside one LocalTransaction that it opens on `db`; the
// writers work inside it (or, without one, each writer's replace is a unit of its own). A writer
// that fails reports the error with its location code (C01--<id>), keeps the earlier row of its key
// and returns false: the poster then drops its transaction, so nothing of that voucher stays.

bool SaveVoucher(ErrorReporter& errors, LocalDatabase& db, const QString& company, const VoucherRow& row,
                 const QString& voucherId); // C01--0019

// The lists of the voucher.
bool SaveAddress(ErrorReporter& errors, LocalDatabase& db, const QString& company, const QString& address,
                 const QString& voucherId, const QString& addressId); // C01--0002
bool SaveBasicBuyerAddress(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const QString& address, const QString& voucherId,
                           const QString& addressId); // C01--0003
bool SaveBasicOrderTerms(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                         const QString& terms, const QString& voucherId, const QString& termsId); // C01--0004
bool SaveInvoiceDelNote(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const InvoiceDelNotesRow& row, const QString& voucherId,
                        const QString& noteId); // C01--0005
bool SaveInvoiceOrder(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                      const InvoiceOrderListRow& row, const QString& voucherId,
                      const QString& orderId); // C01--0006
bool SaveAttendance(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                    const AttendanceRow& row, const QString& voucherId,
                    const QString& attendanceId); // C01--0025

// Ledger lines (LdEID) and what hangs under them (FK_LdEID).
bool SaveLedgerEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                     const LedgerEntryRow& row, const QString& voucherId, const QString& lineId); // C01--0011
bool SaveAllLedgerEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const AllLedgerEntryRow& row, const QString& voucherId,
                        const QString& lineId); // C01--0011A
bool SaveBillAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const BillAllocationRow& row, const QString& voucherId, const QString& lineId,
                        const QString& billId); // C01--0010
bool SaveBankAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const BankAllocationRow& row, const QString& voucherId, const QString& lineId,
                        const QString& bankId); // C01--0010B
bool SaveTaxBillAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const TaxBillAllocationRow& row, const QString& voucherId, const QString& lineId,
                           const QString& taxBillId); // C01--0010A
bool SaveCategoryAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                            const CategoryAllocationsRow& row, const QString& voucherId,
                            const QString& lineId, const QString& allocationId); // C01--0018
// An item allocation of an all-ledger line, keyed by that line's LdEID and its own InAID.
bool SaveInventoryAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                             const InventoryAllocationRow& row, const QString& voucherId,
                             const QString& lineId, const QString& allocationId); // C01--0026

// Item lines (InEID) and what hangs under them or under an item allocation (FK_InEID).
bool SaveInventoryEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const InventoryEntryRow& row, const QString& voucherId,
                        const QString& itemId); // C01--0009
bool SaveInventoryEntryIn(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                          const InventoryEntryInRow& row, const QString& voucherId,
                          const QString& itemId); // C01--0009A
bool SaveInventoryEntryOut(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const InventoryEntryInRow& row, const QString& voucherId,
                           const QString& itemId); // C01--0009B
bool SaveAllInventoryEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const InventoryEntryRow& row, const QString& voucherId,
                           const QString& itemId); // C01--0009C
bool SaveAccountingAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                              const AccountingAllocationRow& row, const QString& voucherId,
                              const QString& itemId, const QString& allocationId); // C01--0008
bool SaveBatchAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                         const BatchAllocationRow& row, const QString& voucherId, const QString& itemId,
                         const QString& batchId); // C01--0007
// An item line or item allocation has at most one description: storing one removes every earlier
// description of that item, whatever its id.
bool SaveBasicUserDescription(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                              const QString& description, const QString& voucherId, const QString& itemId,
                              const QString& descriptionId); // C01--0012

// The greatest voucher id staged for the company, compared as numbers ("10" after "9"), as it is
// stored; "1" when the company has none staged; "" after a failure (reported, C01--0022).
QString GetMaxVoucherId(ErrorReporter& errors, LocalDatabase& db, const QString& company);

// Runs one statement of the caller's (the emptying of a staging table) with its bound values;
// false after a failure (reported, C01--0023).
bool ExecuteStagingSql(ErrorReporter& errors, LocalDatabase& db, const QString& sql,
                       const QVariantList& params = {});

} // namespace quibo
