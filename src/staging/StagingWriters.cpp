#include "staging/StagingWriters.h"

#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "localdb/StagingSchema.h"
#include "vb/RuntimeError.h"

#include <QStringList>

#include <vector>

namespace quibo {

namespace {

// How one writer stores its rows, worked out from the schema once: the removal statement and the
// columns of the addition.
struct WriteShape {
    QString table;
    QString removal;
    qsizetype removalKeys = 0;  // how many of the leading key values the removal names
    QStringList columns;        // CompanyName, the keys, the data columns
    std::vector<size_t> fields; // for each data column, its field in the row record
};

const staging::TableSchema& Table(QStringView name) {
    const staging::TableSchema* table = staging::FindTable(name);
    if (!table) vb::Raise(vb::err::DatabaseError, QStringLiteral("no such table: ") + name.toString());
    return *table;
}

// `namedKeys` keys from the front take part in the removal; the description table's removal stops
// before its own id.
WriteShape Shape(QStringView tableName, qsizetype namedKeys = -1) {
    const staging::TableSchema& table = Table(tableName);
    WriteShape shape;
    shape.table = table.name;
    shape.removalKeys = namedKeys < 0 ? table.keyColumns.size() : namedKeys;
    QStringList clauses;
    for (qsizetype i = 0; i < shape.removalKeys; ++i)
        clauses << table.keyColumns[i] + QStringLiteral("=?");
    shape.removal = QStringLiteral("Delete from ") + table.name + QStringLiteral(" where ") +
                    clauses.join(QStringLiteral(" AND "));
    shape.columns = table.keyColumns + table.dataColumns;
    return shape;
}

template <class Row> WriteShape RecordShape(QStringView tableName) {
    WriteShape shape = Shape(tableName);
    const auto& fields = RowFields<Row>();
    for (const QString& column : Table(tableName).dataColumns) {
        size_t i = 0;
        while (i < fields.size() && column != QLatin1StringView(fields[i].name))
            ++i;
        if (i == fields.size())
            vb::Raise(vb::err::DatabaseError, QStringLiteral("no field for column ") + column);
        shape.fields.push_back(i);
    }
    return shape;
}

// The keys, then the row's values in the order of the addition's columns.
template <class Row> QVariantList RowValues(const WriteShape& shape, const Row& row, QVariantList keys) {
    const auto& fields = RowFields<Row>();
    keys.reserve(keys.size() + static_cast<qsizetype>(shape.fields.size()));
    for (size_t field : shape.fields)
        keys.append(row.*fields[field].member);
    return keys;
}

// Without a batch of the caller's, a savepoint makes the removal and the addition one unit. Inside a
// batch none is needed: a writer that fails fails its voucher, and the whole batch is rolled back.
const QString WriteBegin = QStringLiteral("SAVEPOINT StagingWrite");
const QString WriteEnd = QStringLiteral("RELEASE StagingWrite");
const QString WriteUndo = QStringLiteral("ROLLBACK TO StagingWrite");

// Removes the key's earlier row and adds the new one, as one unit: outside a batch a failure keeps
// the earlier row. `values` holds the keys, then the data.
bool Replace(LocalDatabase& db, const WriteShape& shape, const QVariantList& values) {
    if (db.inTransaction()) {
        db.execute(shape.removal, values.first(shape.removalKeys));
        db.insert(shape.table, shape.columns, values);
        return true;
    }
    db.execute(WriteBegin);
    try {
        db.execute(shape.removal, values.first(shape.removalKeys));
        db.insert(shape.table, shape.columns, values);
        db.execute(WriteEnd);
    } catch (...) {
        try {
            db.execute(WriteUndo);
            db.execute(WriteEnd);
        } catch (...) {
            // The engine already rolled the whole transaction back: nothing is left to undo.
        }
        throw;
    }
    return true;
}

} // namespace

bool SaveVoucher(ErrorReporter& errors, LocalDatabase& db, const QString& company, const VoucherRow& row,
                 const QString& voucherId) {
    bool saved = false;
    Trap(errors, "C01--0019", [&] {
        static const WriteShape shape = RecordShape<VoucherRow>(u"Voucher");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId}));
    });
    return saved;
}

bool SaveAddress(ErrorReporter& errors, LocalDatabase& db, const QString& company, const QString& address,
                 const QString& voucherId, const QString& addressId) {
    bool saved = false;
    Trap(errors, "C01--0002", [&] {
        static const WriteShape shape = Shape(u"Address");
        saved = Replace(db, shape, {company, voucherId, addressId, address});
    });
    return saved;
}

bool SaveBasicBuyerAddress(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const QString& address, const QString& voucherId, const QString& addressId) {
    bool saved = false;
    Trap(errors, "C01--0003", [&] {
        static const WriteShape shape = Shape(u"BasicBuyerAddress");
        saved = Replace(db, shape, {company, voucherId, addressId, address});
    });
    return saved;
}

bool SaveBasicOrderTerms(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                         const QString& terms, const QString& voucherId, const QString& termsId) {
    bool saved = false;
    Trap(errors, "C01--0004", [&] {
        static const WriteShape shape = Shape(u"BasicOrderTerms");
        saved = Replace(db, shape, {company, voucherId, termsId, terms});
    });
    return saved;
}

bool SaveInvoiceDelNote(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const InvoiceDelNotesRow& row, const QString& voucherId, const QString& noteId) {
    bool saved = false;
    Trap(errors, "C01--0005", [&] {
        static const WriteShape shape = RecordShape<InvoiceDelNotesRow>(u"InvoiceDelNotes");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, noteId}));
    });
    return saved;
}

bool SaveInvoiceOrder(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                      const InvoiceOrderListRow& row, const QString& voucherId, const QString& orderId) {
    bool saved = false;
    Trap(errors, "C01--0006", [&] {
        static const WriteShape shape = RecordShape<InvoiceOrderListRow>(u"InvoiceOrderList");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, orderId}));
    });
    return saved;
}

bool SaveAttendance(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                    const AttendanceRow& row, const QString& voucherId, const QString& attendanceId) {
    bool saved = false;
    Trap(errors, "C01--0025", [&] {
        static const WriteShape shape = RecordShape<AttendanceRow>(u"Attendance");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, attendanceId}));
    });
    return saved;
}

bool SaveLedgerEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                     const LedgerEntryRow& row, const QString& voucherId, const QString& lineId) {
    bool saved = false;
    Trap(errors, "C01--0011", [&] {
        static const WriteShape shape = RecordShape<LedgerEntryRow>(u"LedgerEntry");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId}));
    });
    return saved;
}

bool SaveAllLedgerEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const AllLedgerEntryRow& row, const QString& voucherId, const QString& lineId) {
    bool saved = false;
    Trap(errors, "C01--0011A", [&] {
        static const WriteShape shape = RecordShape<AllLedgerEntryRow>(u"AllLedgerEntry");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId}));
    });
    return saved;
}

bool SaveBillAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const BillAllocationRow& row, const QString& voucherId, const QString& lineId,
                        const QString& billId) {
    bool saved = false;
    Trap(errors, "C01--0010", [&] {
        static const WriteShape shape = RecordShape<BillAllocationRow>(u"BillAllocation");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId, billId}));
    });
    return saved;
}

bool SaveBankAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const BankAllocationRow& row, const QString& voucherId, const QString& lineId,
                        const QString& bankId) {
    bool saved = false;
    Trap(errors, "C01--0010B", [&] {
        static const WriteShape shape = RecordShape<BankAllocationRow>(u"BankAllocation");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId, bankId}));
    });
    return saved;
}

bool SaveTaxBillAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const TaxBillAllocationRow& row, const QString& voucherId, const QString& lineId,
                           const QString& taxBillId) {
    bool saved = false;
    Trap(errors, "C01--0010A", [&] {
        static const WriteShape shape = RecordShape<TaxBillAllocationRow>(u"TaxBillAllocation");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId, taxBillId}));
    });
    return saved;
}

bool SaveCategoryAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                            const CategoryAllocationsRow& row, const QString& voucherId,
                            const QString& lineId, const QString& allocationId) {
    bool saved = false;
    Trap(errors, "C01--0018", [&] {
        static const WriteShape shape = RecordShape<CategoryAllocationsRow>(u"CategoryAllocations");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId, allocationId}));
    });
    return saved;
}

bool SaveInventoryAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                             const InventoryAllocationRow& row, const QString& voucherId,
                             const QString& lineId, const QString& allocationId) {
    bool saved = false;
    Trap(errors, "C01--0026", [&] {
        static const WriteShape shape = RecordShape<InventoryAllocationRow>(u"InventoryAllocations");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, lineId, allocationId}));
    });
    return saved;
}

bool SaveInventoryEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                        const InventoryEntryRow& row, const QString& voucherId, const QString& itemId) {
    bool saved = false;
    Trap(errors, "C01--0009", [&] {
        static const WriteShape shape = RecordShape<InventoryEntryRow>(u"InventoryEntry");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId}));
    });
    return saved;
}

bool SaveInventoryEntryIn(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                          const InventoryEntryInRow& row, const QString& voucherId, const QString& itemId) {
    bool saved = false;
    Trap(errors, "C01--0009A", [&] {
        static const WriteShape shape = RecordShape<InventoryEntryInRow>(u"InventoryEntryIN");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId}));
    });
    return saved;
}

bool SaveInventoryEntryOut(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const InventoryEntryInRow& row, const QString& voucherId, const QString& itemId) {
    bool saved = false;
    Trap(errors, "C01--0009B", [&] {
        static const WriteShape shape = RecordShape<InventoryEntryInRow>(u"InventoryEntryOut");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId}));
    });
    return saved;
}

bool SaveAllInventoryEntry(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                           const InventoryEntryRow& row, const QString& voucherId, const QString& itemId) {
    bool saved = false;
    Trap(errors, "C01--0009C", [&] {
        static const WriteShape shape = RecordShape<InventoryEntryRow>(u"AllInventoryEntry");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId}));
    });
    return saved;
}

bool SaveAccountingAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                              const AccountingAllocationRow& row, const QString& voucherId,
                              const QString& itemId, const QString& allocationId) {
    bool saved = false;
    Trap(errors, "C01--0008", [&] {
        static const WriteShape shape = RecordShape<AccountingAllocationRow>(u"AccountingAllocation");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId, allocationId}));
    });
    return saved;
}

bool SaveBatchAllocation(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                         const BatchAllocationRow& row, const QString& voucherId, const QString& itemId,
                         const QString& batchId) {
    bool saved = false;
    Trap(errors, "C01--0007", [&] {
        static const WriteShape shape = RecordShape<BatchAllocationRow>(u"BatchAllocation");
        saved = Replace(db, shape, RowValues(shape, row, {company, voucherId, itemId, batchId}));
    });
    return saved;
}

bool SaveBasicUserDescription(ErrorReporter& errors, LocalDatabase& db, const QString& company,
                              const QString& description, const QString& voucherId, const QString& itemId,
                              const QString& descriptionId) {
    bool saved = false;
    Trap(errors, "C01--0012", [&] {
        // The removal names company, voucher and item, not the description's own id.
        static const WriteShape shape = Shape(u"BASICUSERDESCRIPTION", 3);
        saved = Replace(db, shape, {company, voucherId, itemId, descriptionId, description});
    });
    return saved;
}

QString GetMaxVoucherId(ErrorReporter& errors, LocalDatabase& db, const QString& company) {
    QString maxId;
    Trap(errors, "C01--0022", [&] {
        // Null ids sort last when descending, so a Null comes first only when it is all there is.
        const RecordSet found =
            db.query(QStringLiteral("Select VchID as MaxVchID from Voucher where CompanyName=? "
                                    "Order By val(VchID) Desc, VchID Desc Limit 1"),
                     {company});
        const QVariant value = found.isEmpty() ? QVariant() : found.value(0, u"MaxVchID");
        maxId = value.isValid() ? value.toString() : QStringLiteral("1");
    });
    return maxId;
}

bool ExecuteStagingSql(ErrorReporter& errors, LocalDatabase& db, const QString& sql,
                       const QVariantList& params) {
    bool done = false;
    Trap(errors, "C01--0023", [&] {
        db.execute(sql, params);
        done = true;
    });
    return done;
}

} // namespace quibo
