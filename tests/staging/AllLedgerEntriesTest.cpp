// ALLLEDGERENTRIES.LIST lines: their values, stock-item allocations and bills.

#include "staging/FilledRow.h"

namespace quibo {
namespace {

struct AllLedgerEntries : test::VoucherTest {
    void Line(const char* id, const QVariant& vat, const QVariant& rate) {
        Stage("AllLedgerEntry", {{"FK_VchID", "1"},
                                 {"LdEID", id},
                                 {"VATAssessableValue_", vat},
                                 {"BasicRateOfInvoiceTax_", rate}});
    }
};

TEST_F(AllLedgerEntries, LinesComeInIdOrderWithZeroAssessableValuesAndPositiveRates) {
    test::StageFilled(*this, "AllLedgerEntry", {{"FK_VchID", "1"}, {"LdEID", "10"}},
                      {{"VATAssessableValue_", "0"},
                       {"BasicRateOfInvoiceTax_", "12.5%"},
                       {"TDSPartyName_", "Tom & Jerry <Retail>"}});
    Line("9", QVariant(), "0");
    Line("11", "", "-5");
    Line("2", "-250", "abc");
    Line("12", QVariant(), "%");
    Stage("AllLedgerEntry", {{"FK_VchID", "2"}, {"LdEID", "1"}, {"LedgerName_", "Other voucher"}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("all-ledger-values.xml"));
}

TEST_F(AllLedgerEntries, EachItemAllocationCarriesOnlyItsOwnDescriptionsAndBatches) {
    Line("1", QVariant(), QVariant());
    for (const char* id : {"10", "9"})
        test::StageFilled(*this, "InventoryAllocations",
                          {{"FK_VchID", "1"}, {"FK_LeID", "1"}, {"InAID", id}});
    for (const char* id : {"10", "9"})
        test::StageFilled(*this, "BatchAllocation", {{"FK_VchID", "1"}, {"FK_InEID", "9"}, {"BaAID", id}});
    Stage("BatchAllocation", {{"FK_VchID", "1"}, {"FK_InEID", "3"}, {"BaAID", "1"}, {"BatchName_", "Stray"}});
    Stage("BASICUSERDESCRIPTION", {{"FK_VchID", "1"},
                                   {"FK_InEID", "9"},
                                   {"BUDID", "1"},
                                   {"BasicDescription_", "Blue#Cotton##Large #"}});
    Stage("BASICUSERDESCRIPTION",
          {{"FK_VchID", "1"}, {"FK_InEID", "10"}, {"BUDID", "1"}, {"BasicDescription_", "##"}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("all-ledger-allocations.xml"));
}

TEST_F(AllLedgerEntries, EveryBillGoesOutWhateverItsAmountWithItsTdsDetails) {
    Line("1", QVariant(), QVariant());
    test::StageFilled(*this, "BillAllocation", {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BiAID", "10"}});
    for (const auto& [id, amount] : {std::pair{"9", QVariant("")}, {"2", QVariant("0")}, {"11", QVariant()}})
        Stage("BillAllocation", {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BiAID", id}, {"Amount_", amount}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("all-ledger-bills.xml"));
}

// What ledger lines and all-ledger lines share goes out under the all-ledger line too, after its bills:
// its cost-centre split, then its bank rows (a zero amount left out) and its tax bills.
TEST_F(AllLedgerEntries, CategoriesBankRowsAndTaxBillsGoUnderTheirLine) {
    Line("1", QVariant(), QVariant());
    Stage("CategoryAllocations", {{"FK_VchID", "1"},
                                  {"FK_LdEID", "1"},
                                  {"CAID", "1"},
                                  {"Category_", "Primary Cost Category"},
                                  {"Name_", "Sales Team"},
                                  {"Amount_", "100"}});
    Stage("BillAllocation",
          {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BiAID", "1"}, {"Name_", "INV-7"}, {"Amount_", "100"}});
    Stage("BankAllocation", {{"FK_VchID", "1"},
                             {"FK_LdEID", "1"},
                             {"BaAID", "1"},
                             {"BankName_", "HDFC"},
                             {"Date_", "20240401"},
                             {"Amount_", "100"}});
    Stage("BankAllocation",
          {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BaAID", "2"}, {"BankName_", "SBI"}, {"Amount_", "0"}});
    Stage("TaxBillAllocation",
          {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"TBiAID", "1"}, {"Name_", "ST-1"}, {"Amount_", "12.36"}});
    Stage("Voucher", {{"VchID", "1"}, {"GUID_", "guid-1"}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("all-ledger-shared-allocations.xml"));
}

} // namespace
} // namespace quibo
