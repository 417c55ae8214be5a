// What the TDS, service-tax, quick and bank-statement posters stage for their rows, read back from
// the staging tables after the run, and the bytes one voucher of each accounting poster goes out as.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace quibo {
namespace {

QStringList Fields(const char* base, std::initializer_list<const char*> more = {}) {
    QStringList fields = QString::fromLatin1(base).split(QLatin1Char(' '));
    for (const char* field : more)
        fields << QString::fromLatin1(field);
    return fields;
}
const char* const Tax = "VCHTYPE VCHNO VCHDATE REFNO LEDGER DEBIT CREDIT NARRATION";
const char* const Quick = "VCHTYPE VCHNO VCHDATE REFNO CRLEDGER DRLEDGER AMOUNT NARRATION";
const char* const Bank = "VCHTYPE VCHNO VCHDATE BANKDATE BANK LEDGER WITHDRAWAL DEPOSIT NARRATION";

const QString Header = QStringLiteral(
    "Select VchID, Date_, EffectiveDate_, GUID_, VoucherTypeName_, VoucherNumber_, PartyLedgerName_, "
    "BasePartyName_, BasicBuyerName_, Reference_, BasicBankersDate_, Narration_, HasCashFlow_, IsInvoice_, "
    "Audited_, PersistedView_, RefDate_ from Voucher order by VchID");
// Every line with its one bill.
const QString LinesAndBills = QStringLiteral(
    "Select l.FK_VchID, l.LdEID, l.LedgerName_, l.Amount_, l.IsDeemedPositive_, l.IsPartyLedger_, b.BiAID, "
    "b.Amount_ from LedgerEntry l join BillAllocation b on b.FK_VchID = l.FK_VchID and b.FK_LdEID = l.LdEID "
    "order by l.FK_VchID, l.LdEID");
const QString TdsBills = QStringLiteral(
    "Select FK_LdEID, Name_, BillType_, BillCreditPeriod_, Amount_, TDSDeducteeSectionNumber_, TDSLedgerNC_, "
    "TDSDeducteeIsSpecialRate_, TDSDeducteeSpecialRate_, ServiceTaxLedger_ from BillAllocation order by "
    "FK_LdEID");
const QString Costs = QStringLiteral("Select FK_VchID, FK_LdEID, CAID, Category_, Name_, Amount_ from "
                                     "CategoryAllocations order by FK_VchID, CAID");
// A service-tax line, its plain bill and its tax bill.
const QString TaxLines = QStringLiteral(
    "Select l.LdEID, l.TDSPartyName_, l.BasicRateOfInvoiceTax_, b.Amount_, b.ServiceTaxLedger_, t.TBiAID, "
    "t.Amount_, t.AssessableAmount_ from LedgerEntry l left join BillAllocation b on b.FK_LdEID = l.LdEID "
    "left join TaxBillAllocation t on t.FK_LdEID = l.LdEID order by l.LdEID");
const QString TaxBills = QStringLiteral(
    "Select Name_, BillType_, IsInputAvail_, IsPureAgentBill_, TDSTaxRate_, TDSSurcharge_, "
    "TDSAddlSurcharge_, "
    "STSecondaryCessRate_, Amount_, SurchargeAmount_, AddlSurchargeAmount_, STSecondaryCessAmount_, "
    "AssessableAmount_, ExpenseAmount_ from TaxBillAllocation");
const QString Banks = QStringLiteral("Select FK_VchID, FK_LdEID, BaAID, Date_, Amount_, BankName_, BankDate_ "
                                     "from BankAllocation order by FK_VchID, BaAID");

using KindOf = VoucherKind (*)(const VoucherRun&);

struct MappingCase {
    const char* name;
    KindOf kind;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

const MappingCase MappingCases[] = {
    // TDS
    {"TdsHeaderComesFromTheFirstRow",
     &TDSTransactionKind,
     Fields(Tax),
     {{"Journal", "7", "d1", "R-7", "Contract Charges", "900", "", "Site work"},
      {"Journal", "7", "d1", "R-8", "Ravi Builders", "", "900", "Other"}},
     Header,
     {"1|d1|d1|Journal-7-d1|Journal|7|Contract Charges|Contract Charges|Contract Charges|R-7||Site "
      "work|"
      "Yes|No|No|Accounting Voucher View|"}},
    {"TdsRowsAreLinesOneBillEachSignedByTheirSide",
     &TDSTransactionKind,
     Fields(Tax, {"ADJNAME", "ADJAMOUNT"}),
     {{"J", "1", "d", "", "Contract Charges", "900", "", "", "B-1", "900"},
      {"J", "1", "d", "", "Ravi Builders", "", "880", "", "B-1", "880"},
      {"J", "1", "d", "", "", "0", "20", "", "B-1", "-20"},
      {"J", "1", "d", "", "Refund", "-900", "", "", "B-2", "-900"}},
     LinesAndBills,
     {"1|1|Contract Charges|-900|Yes|Yes|1|-900.000", "1|2|Ravi Builders|880.000|No|No|1|880.000",
      "1|3||20.000|No|No|1|-20.000", "1|4|Refund|900|Yes|No|1|900.000"}},
    {"TdsSection197OnlyForAnExactYes",
     &TDSTransactionKind,
     Fields(Tax, {"ADJMETHOD", "ADJNAME", "ADJDATE", "TDSLEDGER", "TDSRATE", "ISSPECIALRATE"}),
     {{"J", "1", "d", "", "A", "", "1", "", "New Ref", "B-1", "30", "TDS on Contracts", "10", "Yes"},
      {"J", "1", "d", "", "B", "", "1", "", "", "", "", "TDS on Contracts", "", "yes"},
      {"J", "1", "d", "", "C", "", "1", "", "", "", "", "", "", " Yes"}},
     TdsBills,
     {"1|B-1|New Ref|30|0.000|197|TDS on Contracts|Yes|10.000|", "2||||0.000||TDS on Contracts|yes|0.000|",
      "3||||0.000||| Yes|0.000|"}},
    {"TdsWithoutBillOrRateColumns",
     &TDSTransactionKind,
     Fields(Tax),
     {{"J", "1", "d", "", "A", "900", "", ""}},
     TdsBills,
     {"1||||-0.000|||||"}},
    {"TdsCostCentresNumberOnAcrossTheLines",
     &TDSTransactionKind,
     Fields(Tax, {"COSTCATEGORY", "COSTCENTRE", "COSTAMOUNT"}),
     {{"J", "1", "d", "", "A", "500", "", "", " ", "Site A", "500"},
      {"J", "1", "d", "", "B", "", "500", "", "Projects", "Site B", "-300"},
      {"J", "1", "d", "", "C", "", "", "", "Projects", "", "100"}},
     Costs,
     {"1|1|1|Primary Cost Category|Site A|500.000", "1|2|2|Projects|Site B|-300.000"}},
    // Service tax
    {"ServiceTaxLineCarriesItsTaxBill",
     &ServTaxTransactionKind,
     Fields(Tax, {"ADJMETHOD", "ADJNAME", "ADJAMOUNT", "SERVICETAXLEDGER", "ASSESSABLEAMT", "SERVICETAXRATE",
                  "SERVICETAX", "CESS", "SECCESS"}),
     {{"J", "1", "d", "", "Legal Fees", "500", "", "", "New Ref", "L-1", "500", "Service Tax", "10000",
       "12.36", "1000", "20", "10"}},
     TaxBills,
     {"L-1|New Ref|No|No|12.36|2||1|500.000|1000|20|10|10000.000|"}},
    {"ServiceTaxPlainLinesBelowAPositiveAssessableAmount",
     &ServTaxTransactionKind,
     Fields(Tax, {"ADJAMOUNT", "SERVICETAXLEDGER", "ASSESSABLEAMT", "SERVICETAXRATE"}),
     {{"J", "1", "d", "", "A", "500", "", "", "500", "Service Tax", "1,000", "12.36"},
      {"J", "1", "d", "", "B", "500", "", "", "500", "Service Tax", "0", "12.36"},
      {"J", "1", "d", "", "C", "", "500", "", "500", "Service Tax", "", "12.36"},
      {"J", "1", "d", "", "D", "500", "", "", "-500", "Service Tax", "-100", ""}},
     TaxLines,
     {"1|Service Tax|12.36|<null>|<null>|1|500.000|1000.000",
      "2||12.36|-500.000|Service Tax|<null>|<null>|<null>",
      "3||12.36|500.000|Service Tax|<null>|<null>|<null>", "4|||500.000|Service Tax|<null>|<null>|<null>"}},
    {"ServiceTaxWithoutAdjAmount",
     &ServTaxTransactionKind,
     Fields(Tax, {"ASSESSABLEAMT"}),
     {{"J", "1", "d", "", "A", "500", "", "", "100"}, {"J", "1", "d", "", "B", "", "500", "", "0"}},
     TaxLines,
     {"1|||<null>|<null>|1||100.000", "2|||0.000||<null>|<null>|<null>"}},
    {"ServiceTaxWithoutAssessableAmountHasPlainLines",
     &ServTaxTransactionKind,
     Fields(Tax, {"SERVICETAXLEDGER"}),
     {{"J", "1", "d", "", "A", "500", "", "", "Service Tax"}, {"J", "1", "d", "", "B", "", "500", "", ""}},
     TaxLines,
     {"1|||-0.000|Service Tax|<null>|<null>|<null>", "2|||0.000||<null>|<null>|<null>"}},
    // Quick
    {"QuickFirstSideCrPutsTheCreditLineFirst",
     &QuickTransactionKind,
     Fields(Quick, {"FirstSide"}),
     {{"Payment", "1", "d", "", "Cash", "Rent", "900", "", "cr"},
      {"Payment", "2", "d", "", "Cash", "Rent", "900", "", ""},
      {"Payment", "3", "d", "", "Cash", "Rent", "-900", "", " CR"}},
     LinesAndBills,
     {"1|1|Cash|900.000|No|Yes|1|0.000", "1|2|Rent|-900.000|Yes|Yes|1|-0.000",
      "2|1|Rent|-900.000|Yes|Yes|1|-0.000", "2|2|Cash|900.000|No|Yes|1|0.000",
      "3|1|Rent|900.000|Yes|Yes|1|-0.000", "3|2|Cash|-900.000|No|Yes|1|0.000"}},
    {"QuickHeaderNamesTheDebitLedger",
     &QuickTransactionKind,
     Fields(Quick),
     {{"Payment", "1", "d", "R-1", "Cash", "Rent", "900", "April"}},
     Header,
     {"1|d|d|Payment-1-d|Payment|1|Rent|Rent|Rent|R-1||April|Yes|No|No|Accounting Voucher "
      "View|"}},
    {"QuickReceiptsBankOnTheDebitLineOnly",
     &QuickTransactionKind,
     Fields(Quick, {"BankAmount", "BankName"}),
     {{"Receipt", "1", "d", "", "Joshi", "Bank", "500", "", "500", "SBI"},
      {"receipt", "2", "d", "", "Joshi", "Bank", "500", "", "500", "SBI"},
      {"Payment", "3", "d", "", "Bank", "Rent", "50", "", "-50", "SBI"},
      {"Payment", "4", "d", "", "Bank", "Rent", "50", "", "abc", "SBI"}},
     Banks,
     {"1|1|1|d|-500|SBI|", "2|1|1|d|-500|SBI|", "2|2|2|d|500|SBI|", "3|1|1|d|50|SBI|", "3|2|2|d|-50|SBI|"}},
    {"QuickRowsUnderOneKeyAddTheirOwnLines",
     &QuickTransactionKind,
     Fields(Quick, {"ADJNAME", "ADJAMOUNT", "FirstSide"}),
     {{"Payment", "1", "d", "", "Cash", "Rent", "900", "", "B-1", "900", ""},
      {"Payment", "1", "d", "", "Cash", "Tea", "100", "", "B-2", "-100", "Cr"}},
     LinesAndBills,
     {"1|1|Rent|-900.000|Yes|Yes|1|-900.000", "1|2|Cash|900.000|No|Yes|1|900.000",
      "1|3|Cash|100.000|No|Yes|1|-100.000", "1|4|Tea|-100.000|Yes|Yes|1|100.000"}},
    {"QuickCostCentresOnBothLines",
     &QuickTransactionKind,
     Fields(Quick, {"COSTCATEGORY", "COSTCENTRE", "COSTAMOUNT"}),
     {{"Payment", "1", "d", "", "Cash", "Rent", "900", "", "", "Office", "900"},
      {"Payment", "1", "d", "", "Cash", "Tea", "100", "", "Admin", "Pantry", "-100"}},
     Costs,
     {"1|1|1|Primary Cost Category|Office|-900.000", "1|2|2|Primary Cost Category|Office|900.000",
      "1|3|3|Admin|Pantry|100.000", "1|4|4|Admin|Pantry|-100.000"}},
    // Bank statements
    {"BankWithdrawalDebitsTheOtherSideAndADepositTheBank",
     &BankStmtKind,
     Fields(Bank, {"ADJAMOUNT"}),
     {{"Payment", "1", "d", "b", "Canara", "Rent", "900", "", "", "900"},
      {"Payment", "2", "d", "b", "Canara", "Rent", "900", "500", "", "-900"},
      {"Receipt", "3", "d", "b", "Canara", "Joshi", "", "1,500", "", "1500"}},
     LinesAndBills,
     {"1|2|Rent|-900.000|Yes|Yes|1|-900.000", "1|3|Canara|900.000|No|Yes|1|900.000",
      "2|2|Rent|-900.000|Yes|Yes|1|900.000", "2|3|Canara|900.000|No|Yes|1|-900.000",
      "3|2|Canara|-1500.000|Yes|Yes|1|-1500.000", "3|3|Joshi|1500.000|No|Yes|1|1500.000"}},
    {"BankRowsUnderOneKeyTakeLinesTwoToFive",
     &BankStmtKind,
     Fields(Bank),
     {{"Contra", "1", "d", "b", "Canara", "Cash", "100", "", ""},
      {"Contra", "1", "d", "b", "Canara", "Cash", "", "", ""},
      {"Contra", "1", "d", "b", "Canara", "Petty", "", "50", ""}},
     LinesAndBills,
     {"1|2|Cash|-100.000|Yes|Yes|1|-0.000", "1|3|Canara|100.000|No|Yes|1|0.000",
      "1|4|Canara|-50.000|Yes|Yes|1|-0.000", "1|5|Petty|50.000|No|Yes|1|0.000"}},
    {"BankHeaderCarriesTheBankersDate",
     &BankStmtKind,
     Fields(Bank),
     {{"Payment", "1", "d", "b1", "Canara", "Rent", "900", "", "April rent"},
      {"Payment", "1", "d", "b2", "Canara", "Tea", "90", "", "Other"}},
     Header,
     {"1|d|d|Payment-1-d|Payment|1|Rent|Rent|Rent||b1|April rent|Yes|No|No|Accounting Voucher View|"
      ""}},
};

struct PosterMapping : test::PostingFixture, ::testing::WithParamInterface<MappingCase> {};

TEST_P(PosterMapping, StagesWhatTheRowsSay) {
    const MappingCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(c.kind(run), Recorder());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(AccountingPosters, PosterMapping, ::testing::ValuesIn(MappingCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct AccountingPosters : test::PostingFixture {};

TEST_F(AccountingPosters, ABankVoucherWithoutAnAmountIsNotSent) {
    Load(Fields(Bank), {{"Payment", "1", "d", "b", "Canara", "Rent", "0", "", ""},
                        {"Payment", "1", "d", "b", "Canara", "Rent", "-5", "abc", ""},
                        {"Payment", "2", "d", "b", "Canara", "Rent", "5", "", ""}});
    VoucherRun run(form, db);
    run.Run(BankStmtKind(run), Recorder());
    EXPECT_EQ(sent, QStringList({"Sharma Traders/2: Rent, Canara"}));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no WITHDRAWAL or DEPOSIT amount"));
    EXPECT_EQ(Icon(2), 1);
}

// As the server gets it. A quick cost centre without an amount column has no amount to sign.
TEST_F(AccountingPosters, EachSendsOneVoucherAsItsRowsSay) {
    ExpectGoldenRuns({
        {&PostTransaction,
         Fields(Tax, {"ADJNAME", "ADJAMOUNT", "REFDATE"}),
         {{"Sales", "5", "01-Apr-2024", "R-5", "Joshi Electricals", "1180", "", "Invoice 5", "INV-5", "1180",
           "31-Mar-2024"},
          {"Sales", "5", "01-Apr-2024", "", "Sales", "", "1180", "", "", "", ""}},
         "transaction.xml"},
        {&PostTDSTransaction,
         Fields(Tax, {"ADJNAME", "ADJAMOUNT", "TDSLEDGER", "TDSRATE", "ISSPECIALRATE"}),
         {{"Journal", "7", "02-May-2024", "RB/24", "Contract Charges", "50000", "", "Site work", "", "", "",
           "", ""},
          {"Journal", "7", "02-May-2024", "", "Ravi Builders", "", "49000", "", "RB/24", "49000",
           "TDS on Contracts", "2", "Yes"}},
         "tdstransaction.xml"},
        {&PostServTaxTransaction,
         Fields(Tax, {"ASSESSABLEAMT", "SERVICETAXLEDGER", "SERVICETAXRATE", "SERVICETAX", "ADJNAME"}),
         {{"Journal", "11", "02-May-2024", "KA/31", "Legal Charges", "10000", "", "Legal opinion", "", "", "",
           "", ""},
          {"Journal", "11", "02-May-2024", "", "Kapoor Associates", "", "11236", "", "10000",
           "Service Tax Input", "12.36", "1200", "KA/31"}},
         "servtaxtransaction.xml"},
        {&PostQuickTransaction,
         Fields(Quick, {"COSTCENTRE"}),
         {{"Payment", "21", "02-May-2024", "", "Cash", "Conveyance", "450", "Auto fares", "Head Office"}},
         "quicktransaction.xml"},
        {&PostBankStmt,
         Fields(Bank),
         {{"Payment", "31", "02-May-2024", "06-May-2024", "Canara Bank", "Bank Charges", "250", "",
           "Service charges"}},
         "bankstmt.xml"},
    });
}

TEST_F(AccountingPosters, TheAssessableAmountReadsAlikeInEveryLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Load(Fields(Tax, {"ASSESSABLEAMT"}), {{"J", "1", "d", "", "A", "500", "", "", "1.5"}});
    VoucherRun run(form, db);
    run.Run(ServTaxTransactionKind(run), Recorder());
    QLocale::setDefault(before);
    EXPECT_EQ(Staged(QStringLiteral("Select AssessableAmount_ from TaxBillAllocation")),
              QStringList({"1.500"}));
}

} // namespace
} // namespace quibo
