// What PostVATTransactionMC stages for the rows of "VATTRANSACTIONSMC": item lines with their
// allocations, ledger lines with their bills and cost centres, every figure in its currency text.

#include "vouchers/ItemVoucherFixture.h"
#include "vouchers/VoucherPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Required = {"VCHTYPE", "VCHNO",     "VCHDATE",   "REFNO",   "LEDGER",  "DEBIT",
                              "CREDIT",  "NARRATION", "ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT"};
const QString Dollars = QStringLiteral("VCHCURRENCY=$|BASECURRENCY=Rs|EXCHANGERATE=45");

const QString Header =
    QStringLiteral("Select VchID, PartyLedgerName_, BasicBuyerName_, IsInvoice_, AsOriginal_, HasCashFlow_, "
                   "PersistedView_ from Voucher order by val(VchID)");
const QString Items =
    QStringLiteral("Select InEID, StockItemName_, IsDeemedPositive_, Rate_, Amount_, ActualQty_ "
                   "from InventoryEntry order by val(InEID)");
const QString Allocations =
    QStringLiteral("Select FK_InEID, AcAID, LedgerName_, Amount_, VATAssessableValue_, "
                   "BasicRateOfInvoiceTax_ from AccountingAllocation order by FK_InEID");
const QString Batches = QStringLiteral("Select FK_InEID, BAaID, GodownName_, BatchName_, Amount_, BilledQty_ "
                                       "from BatchAllocation order by FK_InEID");
const QString Lines =
    QStringLiteral("Select FK_VchID, LdEID, LedgerName_, IsDeemedPositive_, IsPartyLedger_, "
                   "Amount_, BasicRateOfInvoiceTax_ from LedgerEntry order by FK_VchID, val(LdEID)");
const QString Bills = QStringLiteral(
    "Select FK_LdEID, BiAID, Name_, BillType_, Amount_ from BillAllocation order by val(BiAID)");
const QString Costs = QStringLiteral(
    "Select FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations order by val(CAID)");

// $10 at Rs 45 a dollar, 5 Nos: a credit and a debit item line, then ledger lines in dollars and rupees.
const QStringList Example = {
    "ITEMNAME=Bolt|LEDGER=Export Sales|RATE=10|QUANTITY=5|CREDIT=50|UNIT=Nos|ASSESSABLEAMT=40|TAXRATE=12.5%|"
    "ADJNAME=Ignored|GODOWNNAME=",
    "ITEMNAME=Nut|LEDGER=Export Sales|RATE=10|QUANTITY=5|DEBIT=50|UNIT=Nos|GODOWNNAME=Store|BATCHNAME=B-7|"
    "COSTCENTRE=Ignored",
    "LEDGER=Party|DEBIT=50|ADJNAME=INV-1|ADJMETHOD=New Ref|ADJAMOUNT=50|COSTCENTRE=North|COSTAMOUNT=50",
    "LEDGER=Freight|CREDIT=50|VCHCURRENCY=Rs",
    "LEDGER=Discount|DEBIT=50|VCHCURRENCY=",
    "LEDGER=Round Off",
};

struct InvoiceCase {
    const char* name;
    QString every;
    QStringList rows;
    QList<test::StagedRows> staged;
    int vouchers = 1;
};

const InvoiceCase Cases[] = {
    {"TheHeaderIsAnInvoiceFromTheFirstRowWhateverItsKind",
     Dollars,
     Example,
     {{Header, {"1|Export Sales|Export Sales|Yes|Yes|No|Accounting Voucher View"}}}},
    {"ItemLinesCarryTheCurrencyRateAmountAndQuantity",
     Dollars,
     Example,
     {{Items,
       {"1|Bolt|No|$10.000 = Rs 450/Nos|$50.000 @ Rs 45.000/$ = Rs 2250|5.000 Nos",
        "2|Nut|Yes|$10.000 = Rs 450/Nos|- $50.000 @ Rs 45.000/$ = -Rs 2250|5.000 Nos"}},
      {Allocations,
       {"1|1|Export Sales|$50.000 @ Rs 45.000/$ = Rs 2250|$40.000 @ Rs 45.000/$ = Rs 1800|12.500",
        "2|1|Export Sales|-$50.000 @ Rs 45.000/$ = -Rs 2250|$0.000 @ Rs 45.000/$ = Rs 0|0.000"}},
      {Batches,
       {"1|1|Main Location|Primary Batch|$50.000 @ Rs 45.000/$ = Rs 2250|5.000 Nos",
        "2|1|Store|B-7|-$50.000 @ Rs 45.000/$ = -Rs 2250|5.000 Nos"}}}},
    {"LedgerLinesStartAtTwoAndAllocationsTakeTheLineSign",
     Dollars,
     Example,
     {{Lines,
       {"1|2|Party|Yes|Yes|- $50.000 @ Rs 45.000/$ = -Rs 2250|0.000", "1|3|Freight|No|No|50|0.000",
        "1|4|Discount|Yes|No|- 50|0.000", "1|5|Round Off|No|No|$0.000 @ Rs 45.000/$ = Rs 0|0.000"}},
      {Bills, {"2|1|INV-1|New Ref|-$50.000 @ Rs 45.000/$ = -Rs 2250"}},
      {Costs, {"2|1|Primary Cost Category|North|-2250"}}}},
    {"ANegativeDebitTakesTheCreditFormsOfItsMagnitude",
     Dollars,
     {"ITEMNAME=Bolt|LEDGER=Sales|DEBIT=-50",
      "LEDGER=Party|DEBIT=-50|ADJNAME=A|ADJAMOUNT=-50|COSTCENTRE=North|COSTAMOUNT=-50",
      "LEDGER=Cash|DEBIT=-50|VCHCURRENCY=Rs", "LEDGER=Refund|CREDIT=-50|ADJNAME=B|ADJAMOUNT=-50"},
     {{Items, {"1|Bolt|Yes|$ = Rs 0/|$50.000 @ Rs 45.000/$ = Rs 2250| "}},
      {Allocations, {"1|1|Sales|$50.000 @ Rs 45.000/$ = Rs 2250|$0.000 @ Rs 45.000/$ = Rs 0|0.000"}},
      {Lines,
       {"1|2|Party|Yes|Yes|$50.000 @ Rs 45.000/$ = Rs 2250|0.000", "1|3|Cash|Yes|No|50|0.000",
        "1|4|Refund|No|No|$-50.000 @ Rs 45.000/$ = Rs -2250|0.000"}},
      {Bills, {"2|1|A||$50.000 @ Rs 45.000/$ = Rs 2250", "4|2|B||$-50.000 @ Rs 45.000/$ = Rs -2250"}},
      {Costs, {"2|1|Primary Cost Category|North|2250"}}}},
    {"WithoutAnExchangeRateEveryBaseFigureIsZero",
     "VCHCURRENCY=$|BASECURRENCY=Rs",
     {"LEDGER=Party|DEBIT=50|COSTCENTRE=North|COSTAMOUNT=50",
      "LEDGER=Sales|CREDIT=50|COSTCENTRE=South|COSTCATEGORY=Regions|COSTAMOUNT=50"},
     {{Lines,
       {"1|2|Party|Yes|Yes|- $50.000 @ Rs 0.000/$ = -Rs 0|0.000",
        "1|3|Sales|No|No|$50.000 @ Rs 0.000/$ = Rs 0|0.000"}},
      {Costs, {"2|1|Primary Cost Category|North|-0", "3|2|Regions|South|0"}}}},
    {"WithoutAnItemColumnEveryRowIsALedgerLineOfAnInvoice",
     Dollars,
     {"LEDGER=Party|DEBIT=50|VCHVIEWTYPE=AS INVOICE", "VCHNO=2|LEDGER=Party|VCHVIEWTYPE=invoice voucher view",
      "VCHNO=3|LEDGER=Party|VCHVIEWTYPE=Invoice", "VCHNO=4|LEDGER=Party|VCHVIEWTYPE=AsInvoice",
      "VCHNO=5|LEDGER=Party|VCHVIEWTYPE=In voice"},
     {{Header,
       {"1|Party|Party|Yes|Yes|No|Invoice Voucher View", "2|Party|Party|Yes|Yes|No|Invoice Voucher View",
        "3|Party|Party|Yes|Yes|No|Invoice Voucher View", "4|Party|Party|Yes|Yes|No|Invoice Voucher View",
        "5|Party|Party|Yes|Yes|No|Accounting Voucher View"}},
      {QStringLiteral("Select FK_VchID, LdEID, IsPartyLedger_ from LedgerEntry order by val(FK_VchID)"),
       {"1|2|Yes", "2|2|Yes", "3|2|Yes", "4|2|Yes", "5|2|Yes"}}},
     5},
};

struct Invoice : test::ItemVoucherFixture, ::testing::WithParamInterface<InvoiceCase> {};

TEST_P(Invoice, StagesWhatTheRowsSay) {
    const InvoiceCase& c = GetParam();
    LoadCells(Required, c.every, c.rows);
    VoucherRun run(form, db);
    run.Run(VATTransactionMCKind(run), Recorder());
    EXPECT_EQ(sent.size(), c.vouchers);
    ExpectStaged(c.staged);
}

INSTANTIATE_TEST_SUITE_P(VATTransactionsMC, Invoice, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Invoices : test::ItemVoucherFixture {};

TEST_F(Invoices, TheWorkedExampleGoesOutAsOneVoucherMessage) {
    LoadCells(Required, Dollars, Example);
    VoucherRun run(form, db);
    run.Run(VATTransactionMCKind(run), Messages());
    ASSERT_EQ(messages.size(), 1);
    test::ExpectGolden(messages[0], QStringLiteral("currency-invoice.xml"));
}

TEST_F(Invoices, AnAllocationRowBeforeTheFirstLedgerLineFailsItsVoucher) {
    const QString failed = QStringLiteral("ERROR: an allocation row comes before the first ledger line");
    LoadCells(QStringList{"ID"} + Required, Dollars,
              {"ID=A|ADJNAME=INV-1|ADJAMOUNT=50", "ID=A|LEDGER=Party|DEBIT=50", "ID=B|LEDGER=Party|DEBIT=50",
               "ID=C|ITEMNAME=Bolt|LEDGER=Sales|CREDIT=50|COSTCENTRE=", "ID=C|COSTCENTRE=North"});
    VoucherRun run(form, db);
    run.Run(VATTransactionMCKind(run), Recorder());
    EXPECT_EQ(sent, QStringList({"Sharma Traders/2: Party"}));
    EXPECT_EQ(Status(2), failed);
    EXPECT_EQ(Status(5), failed);
    for (int row : {1, 2, 4, 5})
        EXPECT_TRUE(Red(row)) << row;
    EXPECT_EQ(Staged(QStringLiteral("Select count(*) from BillAllocation")), QStringList({"0"}));
}

} // namespace
} // namespace quibo
