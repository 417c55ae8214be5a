// Item lines: invoice lines (ALLINVENTORYENTRIES.LIST of InventoryEntry) and the stock-journal and
// physical-stock lines.

#include "staging/FilledRow.h"

namespace quibo {
namespace {

struct InventoryEntries : test::VoucherTest {
    void Batches(const char* itemId, std::initializer_list<const char*> ids) {
        for (const char* id : ids)
            test::StageFilled(*this, "BatchAllocation",
                              {{"FK_VchID", "1"}, {"FK_InEID", itemId}, {"BaAID", id}});
    }
};

TEST_F(InventoryEntries, InvoiceLinesCarryDescriptionAllocationsAndBatchesInIdOrder) {
    Stage("InventoryEntry", {{"FK_VchID", "1"}, {"InEID", "10"}});
    test::StageFilled(*this, "InventoryEntry", {{"FK_VchID", "1"}, {"InEID", "9"}});
    Stage("BASICUSERDESCRIPTION",
          {{"FK_VchID", "1"}, {"FK_InEID", "9"}, {"BUDID", "1"}, {"BasicDescription_", "Zinc#M8##50 mm #"}});
    Stage("BASICUSERDESCRIPTION", {{"FK_VchID", "1"}, {"FK_InEID", "10"}, {"BUDID", "1"}});
    test::StageFilled(
        *this, "AccountingAllocation", {{"FK_VchID", "1"}, {"FK_InEID", "9"}, {"AcAID", "1"}},
        {{"Narration_", "Bolts"}, {"VATAssessableValue_", "400.00"}, {"BasicRateOfInvoiceTax_", "5"}});
    Batches("9", {"10", "9"});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("inventory-entries.xml"));
}

TEST_F(InventoryEntries, AllocationsShowNonZeroAssessableValuesAndPositiveRates) {
    Stage("InventoryEntry", {{"FK_VchID", "1"}, {"InEID", "9"}});
    const std::pair<QVariant, QVariant> cases[] = {{"250", "0"},   {"-250", "-5"},     {"0.00", "%5"},
                                                   {"abc", ""},    {"", QVariant()},   {QVariant(), "abc"},
                                                   {"0", "12.5%"}, {"-1e999", "1e999"}};
    int id = 0;
    for (const auto& [vat, rate] : cases)
        Stage("AccountingAllocation",
              {{"FK_VchID", "1"},
               {"FK_InEID", "9"},
               {"AcAID", QString::number(++id)},
               {"LedgerName_", QStringLiteral("VAT %1, rate %2").arg(vat.toString(), rate.toString())},
               {"VATAssessableValue_", vat},
               {"BasicRateOfInvoiceTax_", rate}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("inventory-tax-tests.xml"));
}

TEST_F(InventoryEntries, StockLinesGoInOutThenPhysicalEachWithTheBatchesOfItsId) {
    test::StageFilled(*this, "AllInventoryEntry", {{"FK_VchID", "1"}, {"InEID", "1"}});
    Batches("1", {"1"});
    Stage("BatchAllocation", {{"FK_VchID", "1"}, {"FK_InEID", "1"}, {"BaAID", "2"}});
    test::StageFilled(*this, "InventoryEntryOut", {{"FK_VchID", "1"}, {"InEID", "10"}});
    test::StageFilled(*this, "InventoryEntryIN", {{"FK_VchID", "1"}, {"InEID", "10"}});
    Stage("InventoryEntryIN", {{"FK_VchID", "1"}, {"InEID", "9"}});
    Batches("10", {"10", "9"});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("stock-journal.xml"));
}

} // namespace
} // namespace quibo
