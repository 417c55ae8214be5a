#include "tally/MasterSenders.h"

#include "tally/SenderTestSupport.h"

#include <ostream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::Crlf;
using test::ExpectGolden;

const QString Create = QStringLiteral("Create");

LedgerBill Bill(const char* date, const char* amount, const char* name = "A", const char* creditPeriod = "") {
    return {date, name, creditPeriod, amount};
}

LedgerPayment Payment(const char* bank, const char* account) {
    return {bank, account, "SBIN0001234", "Cash & Co", "Primary", "A/c Payee", "Yes", "Cheque"};
}

LedgerPayment BankOnly(const char* bank) {
    LedgerPayment p;
    p.bankName = QString::fromUtf8(bank);
    return p;
}

// Every value field holds its own member name, so the golden file shows which field went where.
LedgerMaster FullLedger() {
    LedgerMaster r;
    r.currentName = QStringLiteral("Old Ledger");
    r.name = QStringLiteral("Cash & Co");
    r.alias = QStringLiteral("CC");
    r.addressLines = {QStringLiteral("12 Harbour Road"), QString(), QStringLiteral("Mumbai"), QString()};
    r.currencyName = QStringLiteral("currencyName");
    r.state = QStringLiteral("state");
    r.countryOfResidence = QStringLiteral("countryOfResidence");
    r.pincode = QStringLiteral("pincode");
    r.ledgerContact = QStringLiteral("ledgerContact");
    r.ledgerPhone = QStringLiteral("ledgerPhone");
    r.ledgerMobile = QStringLiteral("ledgerMobile");
    r.ledgerFax = QStringLiteral("ledgerFax");
    r.email = QStringLiteral("email");
    r.narration = QStringLiteral("narration");
    r.vatTinNumber = QStringLiteral("vatTinNumber");
    r.incomeTaxNumber = QStringLiteral("incomeTaxNumber");
    r.salesTaxNumber = QStringLiteral("salesTaxNumber");
    r.priceLevel = QStringLiteral("priceLevel");
    r.parent = QStringLiteral("parent");
    r.taxClassificationName = QStringLiteral("taxClassificationName");
    r.taxType = QStringLiteral("taxType");
    r.gstType = QStringLiteral("gstType");
    r.serviceCategory = QStringLiteral("serviceCategory");
    r.tdsDeducteeType = QStringLiteral("tdsDeducteeType");
    r.tdsRateName = QStringLiteral("tdsRateName");
    r.ledgerFbtCategory = QStringLiteral("ledgerFbtCategory");
    r.isBillWiseOn = QStringLiteral("isBillWiseOn");
    r.isCostCentresOn = QStringLiteral("isCostCentresOn");
    r.isInterestOn = QStringLiteral("isInterestOn");
    r.allowInMobile = QStringLiteral("allowInMobile");
    r.isCondensed = QStringLiteral("isCondensed");
    r.affectsStock = QStringLiteral("affectsStock");
    r.forPayroll = QStringLiteral("forPayroll");
    r.interestOnBillWise = QStringLiteral("interestOnBillWise");
    r.overrideInterest = QStringLiteral("overrideInterest");
    r.overrideAdvInterest = QStringLiteral("overrideAdvInterest");
    r.useForVat = QStringLiteral("useForVat");
    r.ignoreTdsExempt = QStringLiteral("ignoreTdsExempt");
    r.isTcsApplicable = QStringLiteral("isTcsApplicable");
    r.isTdsApplicable = QStringLiteral("isTdsApplicable");
    r.isFbtApplicable = QStringLiteral("isFbtApplicable");
    r.isGstApplicable = QStringLiteral("isGstApplicable");
    r.showInPaySlip = QStringLiteral("showInPaySlip");
    r.useForGratuity = QStringLiteral("useForGratuity");
    r.forServiceTax = QStringLiteral("forServiceTax");
    r.isInputCredit = QStringLiteral("isInputCredit");
    r.isExempted = QStringLiteral("isExempted");
    r.tdsDeducteeIsSpecialRate = QStringLiteral("tdsDeducteeIsSpecialRate");
    r.audited = QStringLiteral("audited");
    r.sortPosition = QStringLiteral("sortPosition");
    r.exciseRegNo = QStringLiteral("exciseRegNo");
    r.exciseRegistrationDate = QStringLiteral("exciseRegistrationDate");
    r.exciseRange = QStringLiteral("exciseRange");
    r.exciseDivision = QStringLiteral("exciseDivision");
    r.exciseCommissionerate = QStringLiteral("exciseCommissionerate");
    r.exciseNatureOfPurchase = QStringLiteral("exciseNatureOfPurchase");
    // The bank entry without a bank name is the kind the poster makes for a row that names only
    // whom to pay: it is not sent.
    r.paymentDetails = {Payment("State Bank", "001122"), Payment("", "999"), Payment("City Bank", "")};
    r.bills = {Bill("1-Apr-2024", "1500.50", "INV/1", "30"), Bill("", "99", "INV/X"),
               Bill("2-Apr-2024", "250", "INV/2")};
    r.openingBalance = QStringLiteral("openingBalance");
    return r;
}

struct Ledger : test::LinkTest {
    LedgerMaster ledger;
    Ledger() { ledger.name = QStringLiteral("Rent"); }
    std::string Send() {
        EXPECT_EQ(SendLedger(link, QStringLiteral("Acme"), ledger, Create), QStringLiteral("CREATED "));
        return Master();
    }
};

// The ledger "Rent" as sent: its start tag and ADDITIONALNAME, the lines given, then its NAME.LIST.
std::string Rent(const char* lines, const char* startTag = R"(<LEDGER NAME="Rent" ACTION="Create">)") {
    return Crlf(std::string("\n") + startTag + "\n  <ADDITIONALNAME>Rent</ADDITIONALNAME>" + lines + R"(
  <NAME.LIST>
    <NAME>Rent</NAME>
  </NAME.LIST>
</LEDGER>)");
}

TEST_F(Ledger, Request) {
    EXPECT_EQ(SendLedger(link, QStringLiteral("Acme & Sons"), FullLedger(), Create),
              QStringLiteral("CREATED "));
    ExpectGolden(Body(), QStringLiteral("ledger-full-request.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(Ledger, TheNameGoesThreeTimesAndTheStateTwice) {
    ledger.state = QStringLiteral("Maharashtra");
    EXPECT_EQ(Send(), Rent(R"(
  <STATENAME>Maharashtra</STATENAME>
  <LEDSTATENAME>Maharashtra</LEDSTATENAME>)"));
}

TEST_F(Ledger, AlterNamesTheCurrentLedgerButKeepsTheNewNameElsewhere) {
    ledger.currentName = QStringLiteral("House Rent");
    SendLedger(link, QString(), ledger, QStringLiteral("Alter"));
    EXPECT_EQ(Master(), Rent("", R"(<LEDGER NAME="House Rent" ACTION="Alter">)"));
}

struct AddressCase {
    const char* name;
    std::vector<QString> lines;
    const char* sent;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.name;
}

struct AddressSlots : Ledger, ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressSlots, AreAllSentWhenOneIsFilled) {
    ledger.addressLines = GetParam().lines;
    EXPECT_EQ(Send(), Rent(GetParam().sent));
}

INSTANTIATE_TEST_SUITE_P(SendLedger, AddressSlots,
                         ::testing::Values(AddressCase{"GapsKeepTheirPlace",
                                                       {"12 Harbour Road", "", "Mumbai", ""},
                                                       R"(
  <ADDRESS.LIST>
    <ADDRESS>12 Harbour Road</ADDRESS>
    <ADDRESS/>
    <ADDRESS>Mumbai</ADDRESS>
    <ADDRESS/>
  </ADDRESS.LIST>)"},
                                           AddressCase{"OnlyTheLast", {"", "", "", "India"}, R"(
  <ADDRESS.LIST>
    <ADDRESS/>
    <ADDRESS/>
    <ADDRESS/>
    <ADDRESS>India</ADDRESS>
  </ADDRESS.LIST>)"},
                                           AddressCase{"AllEmpty", {"", "", "", ""}, ""},
                                           AddressCase{"None", {}, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ledger, PaymentDetailsSendEveryCellAndSkipEntriesWithoutABank) {
    ledger.paymentDetails = {Payment("", "1"), BankOnly("HDFC")};
    EXPECT_EQ(Send(), Rent(R"(
  <PAYMENTDETAILS.LIST>
    <BANKNAME>HDFC</BANKNAME>
    <ACCOUNTNUMBER/>
    <IFSCODE/>
    <PAYMENTFAVOURING/>
    <TRANSACTIONNAME/>
    <CHEQUECROSSCOMMENT/>
    <SETASDEFAULT/>
    <DEFAULTTRANSACTIONTYPE/>
  </PAYMENTDETAILS.LIST>)"));
}

// The opening balance sent: the bills' total in Str form, or the ledger's own when they add up to 0.
struct OpeningCase {
    const char* name;
    std::vector<LedgerBill> bills;
    const char* ownBalance;
    const char* sent; // nullptr: no OPENINGBALANCE after the bills
};

void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << c.name;
}

struct OpeningBalance : Ledger, ::testing::WithParamInterface<OpeningCase> {};

TEST_P(OpeningBalance, FollowsTheBills) {
    ledger.bills = GetParam().bills;
    ledger.openingBalance = QString::fromUtf8(GetParam().ownBalance);
    const std::string master = Send();
    // The ledger's own element, two blanks in; a bill's amount stands deeper.
    const auto at = master.find("\r\n  <OPENINGBALANCE>");
    if (!GetParam().sent) {
        EXPECT_EQ(at, std::string::npos) << master;
        return;
    }
    ASSERT_NE(at, std::string::npos) << master;
    EXPECT_EQ(master.substr(at + 4, master.find("\r\n", at + 2) - at - 4),
              std::string("<OPENINGBALANCE>") + GetParam().sent + "</OPENINGBALANCE>");
    EXPECT_EQ(master.find("\r\n  <OPENINGBALANCE>", at + 2), std::string::npos) << "sent once";
}

INSTANTIATE_TEST_SUITE_P(
    SendLedger, OpeningBalance,
    ::testing::Values(
        OpeningCase{"NoBillsTakesTheLedgersOwn", {}, "2500", "2500"},
        OpeningCase{"NoBillsAndNoneOfItsOwn", {}, "", nullptr},
        OpeningCase{"BillsGiveTheirTotalWithTheLeadingBlank",
                    {Bill("1-Apr-2024", "1500.50"), Bill("2-Apr-2024", "250")},
                    "9999",
                    " 1750.5"},
        OpeningCase{"ANegativeTotal", {Bill("1-Apr-2024", "-250")}, "", "-250"},
        OpeningCase{"BillsThatCancelOutLeaveTheLedgersOwn",
                    {Bill("1-Apr-2024", "1000"), Bill("2-Apr-2024", "-1000")},
                    "75",
                    "75"},
        OpeningCase{"BillsThatCancelOutAndNoneOfItsOwn",
                    {Bill("1-Apr-2024", "1000"), Bill("2-Apr-2024", "-1000")},
                    "",
                    nullptr},
        OpeningCase{"ThousandsSeparatorsGroupDigits", {Bill("1-Apr-2024", "1,500")}, "", " 1500"},
        OpeningCase{"IndianGroupingWithAFraction", {Bill("1-Apr-2024", "1,50,000.50")}, "", " 150000.5"},
        OpeningCase{"ACommaNotBetweenDigitsEndsTheNumber", {Bill("1-Apr-2024", "1,,500")}, "", " 1"},
        OpeningCase{"ACommaAfterTheFractionEndsTheNumber", {Bill("1-Apr-2024", "2.5,5")}, "", " 2.5"},
        OpeningCase{"ANegativeGroupedAmountWithText", {Bill("1-Apr-2024", " -2,500 Cr")}, "", "-2500"},
        OpeningCase{"AnAmountWithTextCountsItsNumber", {Bill("1-Apr-2024", "2500 Dr")}, "", " 2500"},
        OpeningCase{"ABillWithoutDateIsNotCounted", {Bill("", "700"), Bill("1-Apr-2024", "50")}, "", " 50"},
        OpeningCase{"AFractionBelowOne", {Bill("1-Apr-2024", "0.25")}, "", " 0.25"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ledger, PaymentDetailsThenBillsInOrderWithTheirCellsAsGiven) {
    ledger.paymentDetails = {BankOnly("SBI")};
    ledger.bills = {Bill("1-Apr-2024", "1,500", "INV/1", "30 Days"), Bill("", "10", "Lost"),
                    Bill("2-Apr-2024", "", "")};
    EXPECT_EQ(Send(), Rent(R"(
  <PAYMENTDETAILS.LIST>
    <BANKNAME>SBI</BANKNAME>
    <ACCOUNTNUMBER/>
    <IFSCODE/>
    <PAYMENTFAVOURING/>
    <TRANSACTIONNAME/>
    <CHEQUECROSSCOMMENT/>
    <SETASDEFAULT/>
    <DEFAULTTRANSACTIONTYPE/>
  </PAYMENTDETAILS.LIST>
  <BILLALLOCATIONS.LIST>
    <BILLDATE>1-Apr-2024</BILLDATE>
    <NAME>INV/1</NAME>
    <BILLCREDITPERIOD>30 Days</BILLCREDITPERIOD>
    <ISADVANCE>No</ISADVANCE>
    <OPENINGBALANCE>1,500</OPENINGBALANCE>
  </BILLALLOCATIONS.LIST>
  <BILLALLOCATIONS.LIST>
    <BILLDATE>2-Apr-2024</BILLDATE>
    <NAME/>
    <BILLCREDITPERIOD/>
    <ISADVANCE>No</ISADVANCE>
    <OPENINGBALANCE/>
  </BILLALLOCATIONS.LIST>
  <OPENINGBALANCE> 1500</OPENINGBALANCE>)"));
}

TEST_F(Ledger, ABillTotalPastTheRangeOfANumberIsReportedAndNothingIsSent) {
    ledger.bills = {Bill("1-Apr-2024", "1E308"), Bill("2-Apr-2024", "1E308")};
    EXPECT_EQ(SendLedger(link, QStringLiteral("Acme"), ledger, Create), QString());
    EXPECT_EQ(locations(), QStringList({"C03--0004"}));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("Overflow")));
    EXPECT_TRUE(server.received().empty());
}

} // namespace
} // namespace quibo
