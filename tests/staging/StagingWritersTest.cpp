// The staging writers: where each stores its row, replacement by key, "" and Null, failures that
// fail their voucher, and the staging queries.

#include "staging/StagingWriters.h"

#include "localdb/LocalTransaction.h"
#include "localdb/QtPrinters.h"
#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace quibo {
namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QStringList Words(const char* text) {
    return S(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const QString Company = S("D'Souza & Sons");
const QString VoucherId = S("7");
const QString ParentId = S("3");

// A record whose every field holds its own name followed by `tag`.
template <class Row> Row Filled(const QString& tag) {
    Row row;
    for (const auto& field : RowFields<Row>())
        row.*field.member = QString::fromLatin1(field.name) + tag;
    return row;
}

struct StagingWriters : test::VoucherTest {
    using Save = std::function<bool(StagingWriters&, const QString& tag, const QString& id)>;
    int count(const char* table) {
        return db.query(S("Select Count(*) from ") + S(table)).value(0, 0).toInt();
    }
};

#define RECORD(Fn, Row)                                                                                      \
    [](StagingWriters& t, const QString& tag, const QString& id) {                                           \
        return Fn(t.errors, t.db, Company, Filled<Row>(tag), VoucherId, id);                                 \
    }
#define CHILD_RECORD(Fn, Row)                                                                                \
    [](StagingWriters& t, const QString& tag, const QString& id) {                                           \
        return Fn(t.errors, t.db, Company, Filled<Row>(tag), VoucherId, ParentId, id);                       \
    }
#define TEXT(Fn, Column)                                                                                     \
    [](StagingWriters& t, const QString& tag, const QString& id) {                                           \
        return Fn(t.errors, t.db, Company, S(Column) + tag, VoucherId, id);                                  \
    }

struct Writer {
    const char* table;
    const char* keys;      // after CompanyName: the voucher id, the parent's id, the row's own id
    const char* data;      // in table order, each filled with its own name
    const char* unwritten; // no writer fills them: Null
    const char* location;
    StagingWriters::Save save;
};

const char* const LedgerLine = "LedgerName_ Narration_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ "
                               "RemoveZeroEntries_ IsPartyLedger_ Amount_ TaxClassificationName_ "
                               "VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_";
const char* const ItemLine =
    "StockItemName_ IsDeemedPositive_ IsAutoNigate_ Rate_ Amount_ ActualQty_ BilledQty_";

const Writer Writers[] = {
    {"Voucher", "VchID",
     "Date_ GUID_ MIRONo_ MIRODt_ Narration_ VoucherTypeName_ VoucherNumber_ Reference_ RefDate_ "
     "PartyLedgerName_ BasePartyName_ BasicBankersDate_ PartyName_ BasicShippedBy_ BasicBuyerName_ "
     "DiffActualQty_ Audited_ ForJobCosting_ IsOptional_ EffectiveDate_ UseForInterest_ UseForGainLoss_ "
     "UseForGodownTransfer_ UseForCompound_ AlterID_ IsCancelled_ HasCashFlow_ IsPostDated_ "
     "UseTrackingNumber_ IsInvoice_ MFGJournal_ HasDiscounts_ AsPayslip_ IsDeleted_ AsOriginal_ "
     "BasicShipDocumentNo_ BasicFinalDestination_ BasicDueDateOfPymt_ BasicOrderRef_ "
     "BasicBuyersSalesTaxNo_ ClassName_ TaxAdjustment_ PersistedView_",
     "BasicDateTimeOfInvoice_ BasicDateTimeOfRemoval_", "C01--0019",
     [](StagingWriters& t, const QString& tag, const QString& id) {
         return SaveVoucher(t.errors, t.db, Company, Filled<VoucherRow>(tag), id);
     }},
    {"Address", "FK_VchID AdID", "Address_", "", "C01--0002", TEXT(SaveAddress, "Address_")},
    {"BasicBuyerAddress", "FK_VchID BBAID", "BasicBuyerAddress_", "", "C01--0003",
     TEXT(SaveBasicBuyerAddress, "BasicBuyerAddress_")},
    {"BasicOrderTerms", "FK_VchID BOTID", "BasicOrderTerms_", "", "C01--0004",
     TEXT(SaveBasicOrderTerms, "BasicOrderTerms_")},
    {"InvoiceDelNotes", "FK_VchID IDNID", "BasicShippingDate_ BasicShipDeliveryNote_", "", "C01--0005",
     RECORD(SaveInvoiceDelNote, InvoiceDelNotesRow)},
    {"InvoiceOrderList", "FK_VchID IOLID", "BasicOrderDate_ BasicPurchaseOrderNo_", "", "C01--0006",
     RECORD(SaveInvoiceOrder, InvoiceOrderListRow)},
    {"Attendance", "FK_VchID AttID", "Employee_ AttendanceType_ Value_", "", "C01--0025",
     RECORD(SaveAttendance, AttendanceRow)},
    {"LedgerEntry", "FK_VchID LdEID", LedgerLine, "", "C01--0011", RECORD(SaveLedgerEntry, LedgerEntryRow)},
    {"AllLedgerEntry", "FK_VchID LdEID", LedgerLine, "", "C01--0011A",
     RECORD(SaveAllLedgerEntry, AllLedgerEntryRow)},
    {"BillAllocation", "FK_VchID FK_LdEID BiAID",
     "Name_ BillCreditPeriod_ BillType_ Amount_ TDSDeducteeSectionNumber_ TDSLedgerNC_ "
     "TDSDeducteeIsSpecialRate_ TDSDeducteeSpecialRate_ ServiceTaxLedger_",
     "", "C01--0010", CHILD_RECORD(SaveBillAllocation, BillAllocationRow)},
    {"BankAllocation", "FK_VchID FK_LdEID BaAID",
     "Date_ InstrumentDate_ TransactionType_ PaymentFavouring_ BankName_ BranchName_ Status_ "
     "ChequeCrossComment_ InstrumentNumber_ UniqueRefNo_ IFSCCode_ TransactionName_ PaymentMode_ "
     "AccountNumber_ BankPartyName_ TransferMode_ Amount_ BankDate_",
     "", "C01--0010B", CHILD_RECORD(SaveBankAllocation, BankAllocationRow)},
    {"TaxBillAllocation", "FK_VchID FK_LdEID TBiAID",
     "Name_ BillType_ IsPureAgentBill_ IsInputAvail_ TDSTaxRate_ TDSSurcharge_ TDSAddlSurcharge_ "
     "STSecondaryCessRate_ Amount_ SurchargeAmount_ AddlSurchargeAmount_ STSecondaryCessAmount_ "
     "AssessableAmount_ ExpenseAmount_ AbatementAmount_ AbatementNotificationNo_",
     "", "C01--0010A", CHILD_RECORD(SaveTaxBillAllocation, TaxBillAllocationRow)},
    {"CategoryAllocations", "FK_VchID FK_LdEID CAID", "Category_ Name_ Amount_", "", "C01--0018",
     CHILD_RECORD(SaveCategoryAllocation, CategoryAllocationsRow)},
    {"InventoryAllocations", "FK_VchID FK_LeID InAID", ItemLine, "", "C01--0026",
     CHILD_RECORD(SaveInventoryAllocation, InventoryAllocationRow)},
    {"InventoryEntry", "FK_VchID InEID", ItemLine, "", "C01--0009",
     RECORD(SaveInventoryEntry, InventoryEntryRow)},
    {"InventoryEntryIN", "FK_VchID InEID", ItemLine, "", "C01--0009A",
     RECORD(SaveInventoryEntryIn, InventoryEntryInRow)},
    {"InventoryEntryOut", "FK_VchID InEID", ItemLine, "", "C01--0009B",
     RECORD(SaveInventoryEntryOut, InventoryEntryInRow)},
    {"AllInventoryEntry", "FK_VchID InEID", ItemLine, "", "C01--0009C",
     RECORD(SaveAllInventoryEntry, InventoryEntryRow)},
    {"AccountingAllocation", "FK_VchID FK_InEID AcAID",
     "LedgerName_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ RemoveZeroEntries_ IsPartyLedger_ Amount_ "
     "TaxClassificationName_ VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_",
     "Narration_", "C01--0008", CHILD_RECORD(SaveAccountingAllocation, AccountingAllocationRow)},
    {"BatchAllocation", "FK_VchID FK_InEID BaAID",
     "MFDOn_ GodownName_ BatchName_ IndentNo_ OrderNo_ TrackingNo_ Amount_ ActualQty_ BilledQty_ "
     "DestinationGodownName_ OrderDueDate_ ExpiryPeriod_",
     "", "C01--0007", CHILD_RECORD(SaveBatchAllocation, BatchAllocationRow)},
    {"BASICUSERDESCRIPTION", "FK_VchID FK_InEID BUDID", "BasicDescription_", "", "C01--0012",
     [](StagingWriters& t, const QString& tag, const QString& id) {
         return SaveBasicUserDescription(t.errors, t.db, Company, S("BasicDescription_") + tag, VoucherId,
                                         ParentId, id);
     }},
};

// The company holds an apostrophe: it stages and reads back like any other.
TEST_F(StagingWriters, EachWriterFillsItsTableInColumnOrderFromTheFieldsOfTheSameName) {
    for (const Writer& w : Writers) {
        SCOPED_TRACE(w.table);
        ASSERT_TRUE(w.save(*this, S("!"), S("5")));
        const RecordSet rows = db.query(S("Select * from ") + S(w.table));
        ASSERT_EQ(rows.rowCount(), 1);
        const QStringList keys = Words(w.keys), data = Words(w.data), unwritten = Words(w.unwritten);
        EXPECT_EQ(rows.columnNames(), QStringList{S("CompanyName")} + keys + data + unwritten);
        EXPECT_EQ(rows.value(0, u"CompanyName"), QVariant(Company));
        const QStringList keyValues = QStringList{VoucherId, ParentId}.first(keys.size() - 1) << S("5");
        for (qsizetype i = 0; i < keys.size(); ++i)
            EXPECT_EQ(rows.value(0, keys[i]), QVariant(keyValues[i])) << keys[i].toStdString();
        for (const QString& column : data)
            EXPECT_EQ(rows.value(0, column), QVariant(column + S("!")));
        for (const QString& column : unwritten)
            EXPECT_EQ(rows.value(0, column), QVariant()) << column.toStdString();
    }
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(StagingWriters, StoringAKeyAgainReplacesItsRow) {
    for (const Writer& w : Writers) {
        SCOPED_TRACE(w.table);
        ASSERT_TRUE(w.save(*this, S("first"), S("5")));
        ASSERT_TRUE(w.save(*this, S("second"), S("5")));
        const RecordSet rows = db.query(S("Select * from ") + S(w.table));
        ASSERT_EQ(rows.rowCount(), 1);
        const QString column = Words(w.data).first();
        EXPECT_EQ(rows.value(0, column), QVariant(column + S("second")));
    }
}

TEST_F(StagingWriters, AnItemLineKeepsOnlyItsLastDescription) {
    const struct {
        const char* item;
        const char* id;
        const char* text;
    } descriptions[] = {{"1", "1", "first"}, {"1", "2", "second"}, {"2", "1", "other item"}};
    for (const auto& d : descriptions)
        ASSERT_TRUE(SaveBasicUserDescription(errors, db, Company, S(d.text), VoucherId, S(d.item), S(d.id)));
    const RecordSet rows = db.query(S("Select FK_InEID, BUDID, BasicDescription_ from BASICUSERDESCRIPTION "
                                      "Order By FK_InEID"));
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(
        QStringList({rows.value(0, 0).toString(), rows.value(0, 1).toString(), rows.value(0, 2).toString()}),
        Words("1 2 second"));
    EXPECT_EQ(rows.value(1, 2), QVariant(S("other item")));
}

TEST_F(StagingWriters, AnItemAllocationIsKeyedByItsLedgerLineToo) {
    for (const char* line : {"1", "2"})
        ASSERT_TRUE(SaveInventoryAllocation(errors, db, Company, InventoryAllocationRow{}, VoucherId, S(line),
                                            S("1")));
    EXPECT_EQ(count("InventoryAllocations"), 2);
}

// A record starts with every field "": what a poster never fills reads back as "", not Null; only
// the columns no writer fills stay Null.
TEST_F(StagingWriters, AFieldNeverFilledStoresAnEmptyText) {
    VoucherRow header;
    header.Date_ = S("01-Apr-2009");
    ASSERT_TRUE(SaveVoucher(errors, db, Company, header, VoucherId));
    const RecordSet rows = db.query(S("Select * from Voucher"));
    const Writer& voucher = Writers[0];
    for (const QString& column : Words(voucher.data))
        EXPECT_EQ(rows.value(0, column), QVariant(column == S("Date_") ? header.Date_ : S("")))
            << column.toStdString();
    for (const QString& column : Words(voucher.unwritten))
        EXPECT_EQ(rows.value(0, column), QVariant()) << column.toStdString();
}

// The poster stages a voucher in one batch and drops it when a writer fails.
TEST_F(StagingWriters, AWriterThatFailsReportsItsCodeAndItsVoucherLeavesNothing) {
    for (const Writer& w : Writers) {
        SCOPED_TRACE(w.table);
        db.execute(S("CREATE TRIGGER Refuse BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                       .arg(S(w.table)));
        const qsizetype reported = locations().size();
        {
            LocalTransaction batch(db);
            if (S(w.table) != S("Voucher")) {
                ASSERT_TRUE(SaveVoucher(errors, db, Company, VoucherRow{}, VoucherId));
            }
            EXPECT_FALSE(w.save(*this, S(""), S("5")));
        }
        EXPECT_EQ(locations().mid(reported), QStringList{S(w.location)});
        EXPECT_EQ(count("Voucher") + count(w.table), 0);
        db.execute(S("DROP TRIGGER Refuse"));
    }
}

TEST_F(StagingWriters, AFailedReplaceKeepsTheEarlierRow) {
    LedgerEntryRow row;
    row.LedgerName_ = S("Cash");
    ASSERT_TRUE(SaveLedgerEntry(errors, db, Company, row, VoucherId, S("1")));
    db.execute(S("Alter Table LedgerEntry Rename Column Amount_ to Amount"));
    row.LedgerName_ = S("Bank");
    EXPECT_FALSE(SaveLedgerEntry(errors, db, Company, row, VoucherId, S("1")));
    EXPECT_EQ(locations(), QStringList{S("C01--0011")});
    EXPECT_EQ(db.query(S("Select LedgerName_ from LedgerEntry")).value(0, 0), QVariant(S("Cash")));
}

TEST_F(StagingWriters, TheGreatestVoucherIdIsTakenByNumber) {
    const struct {
        const char* staged;
        const char* expected;
    } cases[] = {{"", "1"}, {"9", "9"}, {"9 10", "10"}, {"9 10 2", "10"}};
    for (const auto& c : cases) {
        db.execute(S("Delete from Voucher"));
        for (const QString& id : Words(c.staged))
            Stage("Voucher", {{"VchID", id}}, Company);
        Stage("Voucher", {{"VchID", S("99")}}, S("Other Company"));
        EXPECT_EQ(GetMaxVoucherId(errors, db, Company), S(c.expected)) << c.staged;
    }
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(StagingWriters, TheStagingQueriesReportTheirFailures) {
    Stage("Voucher", {{"VchID", S("1")}}, Company);
    EXPECT_TRUE(ExecuteStagingSql(errors, db, S("Delete from Voucher ")));
    EXPECT_EQ(count("Voucher"), 0);
    EXPECT_FALSE(ExecuteStagingSql(errors, db, S("Delete from NoSuchTable")));
    db.execute(S("Drop Table Voucher"));
    EXPECT_EQ(GetMaxVoucherId(errors, db, Company), S(""));
    EXPECT_EQ(locations(), Words("C01--0023 C01--0022"));
}

} // namespace
} // namespace quibo
