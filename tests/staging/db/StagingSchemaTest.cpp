#include "staging/db/StagingSchema.h"

#include "staging/db/QtPrinters.h"

#include <gtest/gtest.h>

namespace quibo::staging {
namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QStringList Words(const char* text) {
    return S(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(StagingSchema, TablesInTheOrderTheDesignListsThem) {
    QStringList names;
    for (const TableSchema& t : StagingTables())
        names << t.name;
    EXPECT_EQ(
        names,
        Words("Voucher Address BasicBuyerAddress BasicOrderTerms InvoiceDelNotes InvoiceOrderList "
              "LedgerEntry AllLedgerEntry CategoryAllocations BillAllocation BankAllocation "
              "TaxBillAllocation InventoryAllocations InventoryEntry InventoryEntryIN InventoryEntryOut "
              "AllInventoryEntry AccountingAllocation BatchAllocation BASICUSERDESCRIPTION Attendance "
              "EXCISEITEMGODOWN"));
    for (const TableSchema& t : StagingTables()) {
        EXPECT_EQ(t.keyColumns.value(0), S("CompanyName")) << t.name.toStdString();
        EXPECT_TRUE(t.integerColumns.isEmpty()) << t.name.toStdString();
    }
}

TEST(StagingSchema, KeysAndDataColumnsAsTheWritersFillThem) {
    const struct {
        const char* table;
        const char* keys;
        const char* data;
        const char* unwritten;
    } cases[] = {
        {"Address", "CompanyName FK_VchID AdID", "Address_", ""},
        {"InvoiceDelNotes", "CompanyName FK_VchID IDNID", "BasicShippingDate_ BasicShipDeliveryNote_", ""},
        {"CategoryAllocations", "CompanyName FK_VchID FK_LdEID CAID", "Category_ Name_ Amount_", ""},
        {"BillAllocation", "CompanyName FK_VchID FK_LdEID BiAID",
         "Name_ BillCreditPeriod_ BillType_ Amount_ TDSDeducteeSectionNumber_ TDSLedgerNC_ "
         "TDSDeducteeIsSpecialRate_ "
         "TDSDeducteeSpecialRate_ ServiceTaxLedger_",
         ""},
        {"InventoryEntryOut", "CompanyName FK_VchID InEID",
         "StockItemName_ IsDeemedPositive_ IsAutoNigate_ Rate_ Amount_ ActualQty_ BilledQty_", ""},
        {"BatchAllocation", "CompanyName FK_VchID FK_InEID BaAID",
         "MFDOn_ GodownName_ BatchName_ IndentNo_ OrderNo_ TrackingNo_ Amount_ ActualQty_ BilledQty_ "
         "DestinationGodownName_ OrderDueDate_ ExpiryPeriod_",
         ""},
        {"AccountingAllocation", "CompanyName FK_VchID FK_InEID AcAID",
         "LedgerName_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ RemoveZeroEntries_ IsPartyLedger_ Amount_ "
         "TaxClassificationName_ VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_",
         "Narration_"},
        {"Voucher", "CompanyName VchID", nullptr, "BasicDateTimeOfInvoice_ BasicDateTimeOfRemoval_"},
    };
    for (const auto& c : cases) {
        const TableSchema* t = FindTable(S(c.table));
        ASSERT_NE(t, nullptr) << c.table;
        EXPECT_EQ(t->keyColumns, Words(c.keys)) << c.table;
        if (c.data) {
            EXPECT_EQ(t->dataColumns, Words(c.data)) << c.table;
        }
        EXPECT_EQ(t->unwrittenColumns, Words(c.unwritten)) << c.table;
    }
    // The same twelve columns on both kinds of ledger line, and the same seven on every item line.
    EXPECT_EQ(FindTable(u"AllLedgerEntry")->dataColumns, FindTable(u"LedgerEntry")->dataColumns);
    for (const char* items :
         {"InventoryEntry", "InventoryEntryIN", "AllInventoryEntry", "InventoryAllocations"})
        EXPECT_EQ(FindTable(S(items))->dataColumns, FindTable(u"InventoryEntryOut")->dataColumns) << items;
}

TEST(StagingSchema, NamesAreFoundWithoutRegardToCase) {
    const struct {
        const char* asked;
        const char* table;
    } cases[] = {{"ALLLedgerEntry", "AllLedgerEntry"},
                 {"InventoryEntryIn", "InventoryEntryIN"},
                 {"InventoryEntryOUT", "InventoryEntryOut"},
                 {"basicuserdescription", "BASICUSERDESCRIPTION"},
                 {"quibomst_", "QuiboMst_"},
                 {"ExciseItemGodown", "EXCISEITEMGODOWN"}};
    for (const auto& c : cases) {
        const TableSchema* t = FindTable(S(c.asked));
        ASSERT_NE(t, nullptr) << c.asked;
        EXPECT_EQ(t->name, S(c.table));
    }
    EXPECT_EQ(FindTable(u"Vouchers"), nullptr);
    EXPECT_EQ(FindTable(u""), nullptr);

    const TableSchema* batch = FindTable(u"BatchAllocation");
    EXPECT_EQ(batch->column(u"BAaID"), S("BaAID"));
    EXPECT_EQ(FindTable(u"InventoryAllocations")->column(u"FK_LEID"), S("FK_LeID"));
    EXPECT_FALSE(FindTable(u"InventoryAllocations")->hasColumn(u"FK_LdEID"));
    EXPECT_TRUE(FindTable(u"Voucher")->hasColumn(u"basicdatetimeofremoval_"));
}

TEST(StagingSchema, FormatTablesAndTheirWholeNumberColumns) {
    const struct {
        const char* table;
        const char* columns;
        const char* integers;
    } cases[] = {
        {"QuiboMst_", "TName TType TNo TSource", "TNo"},
        {"QuiboDet_", "TNo SetNo SrNo GroupName TagName TagType ValFormat DefValue fieldName",
         "TNo SetNo SrNo"},
        {"QuiboGrp_", "TNo ParentName SetNo GroupName SetOn", "TNo SetNo"},
    };
    ASSERT_EQ(FormatTables().size(), 3u);
    for (const auto& c : cases) {
        const TableSchema* t = FindTable(S(c.table));
        ASSERT_NE(t, nullptr) << c.table;
        EXPECT_EQ(t->columns(), Words(c.columns)) << c.table;
        EXPECT_EQ(t->integerColumns, Words(c.integers)) << c.table;
        EXPECT_TRUE(t->keyColumns.isEmpty()) << c.table;
        EXPECT_TRUE(t->isInteger(u"tno")) << c.table;
        EXPECT_FALSE(t->isInteger(u"GroupName")) << c.table;
    }
}

} // namespace
} // namespace quibo::staging
