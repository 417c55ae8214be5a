// PostLedgers: a ledger per run of rows sharing a NAME, its own columns from the first row, a bank
// entry and a bill entry from every row of the run.

#include "masters/MasterFixture.h"
#include "masters/MasterPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Fields = {"NAME",
                            "PARENT",
                            "BANKNAME",
                            "ACCOUNTNUMBER",
                            "IFSCCODE",
                            "PAYMENTFAVOURING",
                            "TRANSACTIONNAME",
                            "CHEQUECROSSCOMMENT",
                            "SETASDEFAULT",
                            "DEFAULTTRANSACTIONTYPE",
                            "OPENINGBILLDATE",
                            "OPENINGNAME",
                            "OPENINGCREDITPERIOD",
                            "OPENINGBALANCE"};

QStringList Row(const QString& name, const QString& parent, const QStringList& bank,
                const QStringList& bill) {
    QStringList row = {name, parent};
    row << (bank.isEmpty() ? QStringList(8, QString()) : bank);
    row << (bill.isEmpty() ? QStringList(4, QString()) : bill);
    return row;
}

const QStringList HdfcBank = {"HDFC Bank", "50200012345678", "HDFC0000123", "Gupta Agencies",
                              "NEFT",      "A/c Payee",      "Yes",         "NEFT"};

struct Ledgers : test::MasterFixture {};

TEST_F(Ledgers, TheSampleMaster) {
    Load(Fields,
         {Row("Gupta Agencies", "Sundry Debtors", HdfcBank, {"1-Apr-2024", "GA/101", "30 Days", "1,500"}),
          Row("", "", {}, {"15-Apr-2024", "GA/102", "45 Days", "2500.50"}),
          Row("Verma & Co", "Sundry Creditors", {}, {})});
    PostLedgers(form, link);

    EXPECT_EQ(Requests(), QStringList({"LEDGER Gupta Agencies -> Sharma Traders",
                                       "LEDGER Verma & Co -> Sharma Traders"}));
    EXPECT_EQ(Message(0), QStringLiteral(R"(<LEDGER NAME="Gupta Agencies" ACTION="Create">
  <ADDITIONALNAME>Gupta Agencies</ADDITIONALNAME>
  <PARENT>Sundry Debtors</PARENT>
  <ISBILLWISEON>Yes</ISBILLWISEON>
  <ISCOSTCENTRESON>No</ISCOSTCENTRESON>
  <ISINTERESTON>No</ISINTERESTON>
  <ALLOWINMOBILE>No</ALLOWINMOBILE>
  <ISCONDENSED>No</ISCONDENSED>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <FORPAYROLL>No</FORPAYROLL>
  <INTERESTONBILLWISE>No</INTERESTONBILLWISE>
  <OVERRIDEINTEREST>No</OVERRIDEINTEREST>
  <OVERRIDEADVINTEREST>No</OVERRIDEADVINTEREST>
  <USEFORVAT>No</USEFORVAT>
  <IGNORETDSEXEMPT>No</IGNORETDSEXEMPT>
  <ISTCSAPPLICABLE>No</ISTCSAPPLICABLE>
  <ISTDSAPPLICABLE>No</ISTDSAPPLICABLE>
  <ISFBTAPPLICABLE>No</ISFBTAPPLICABLE>
  <ISGSTAPPLICABLE>No</ISGSTAPPLICABLE>
  <PAYMENTDETAILS.LIST>
    <BANKNAME>HDFC Bank</BANKNAME>
    <ACCOUNTNUMBER>50200012345678</ACCOUNTNUMBER>
    <IFSCODE>HDFC0000123</IFSCODE>
    <PAYMENTFAVOURING>Gupta Agencies</PAYMENTFAVOURING>
    <TRANSACTIONNAME>NEFT</TRANSACTIONNAME>
    <CHEQUECROSSCOMMENT>A/c Payee</CHEQUECROSSCOMMENT>
    <SETASDEFAULT>Yes</SETASDEFAULT>
    <DEFAULTTRANSACTIONTYPE>NEFT</DEFAULTTRANSACTIONTYPE>
  </PAYMENTDETAILS.LIST>
  <BILLALLOCATIONS.LIST>
    <BILLDATE>1-Apr-2024</BILLDATE>
    <NAME>GA/101</NAME>
    <BILLCREDITPERIOD>30 Days</BILLCREDITPERIOD>
    <ISADVANCE>No</ISADVANCE>
    <OPENINGBALANCE>1,500</OPENINGBALANCE>
  </BILLALLOCATIONS.LIST>
  <BILLALLOCATIONS.LIST>
    <BILLDATE>15-Apr-2024</BILLDATE>
    <NAME>GA/102</NAME>
    <BILLCREDITPERIOD>45 Days</BILLCREDITPERIOD>
    <ISADVANCE>No</ISADVANCE>
    <OPENINGBALANCE>2500.50</OPENINGBALANCE>
  </BILLALLOCATIONS.LIST>
  <OPENINGBALANCE> 4000.5</OPENINGBALANCE>
  <NAME.LIST>
    <NAME>Gupta Agencies</NAME>
  </NAME.LIST>
</LEDGER>)"));
    // Verma's own opening balance cell is empty: its numeric text is 0.
    EXPECT_EQ(Message(1), QStringLiteral(R"(<LEDGER NAME="Verma &amp; Co" ACTION="Create">
  <ADDITIONALNAME>Verma &amp; Co</ADDITIONALNAME>
  <PARENT>Sundry Creditors</PARENT>
  <ISBILLWISEON>Yes</ISBILLWISEON>
  <ISCOSTCENTRESON>No</ISCOSTCENTRESON>
  <ISINTERESTON>No</ISINTERESTON>
  <ALLOWINMOBILE>No</ALLOWINMOBILE>
  <ISCONDENSED>No</ISCONDENSED>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <FORPAYROLL>No</FORPAYROLL>
  <INTERESTONBILLWISE>No</INTERESTONBILLWISE>
  <OVERRIDEINTEREST>No</OVERRIDEINTEREST>
  <OVERRIDEADVINTEREST>No</OVERRIDEADVINTEREST>
  <USEFORVAT>No</USEFORVAT>
  <IGNORETDSEXEMPT>No</IGNORETDSEXEMPT>
  <ISTCSAPPLICABLE>No</ISTCSAPPLICABLE>
  <ISTDSAPPLICABLE>No</ISTDSAPPLICABLE>
  <ISFBTAPPLICABLE>No</ISFBTAPPLICABLE>
  <ISGSTAPPLICABLE>No</ISGSTAPPLICABLE>
  <OPENINGBALANCE>0</OPENINGBALANCE>
  <NAME.LIST>
    <NAME>Verma &amp; Co</NAME>
  </NAME.LIST>
</LEDGER>)"));

    EXPECT_EQ(Status(1), QString());
    EXPECT_EQ(Status(2), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(3), QStringLiteral("CREATED "));
    EXPECT_EQ(Colour(2), 16711680);
    EXPECT_EQ(Icon(2), 0);
    EXPECT_TRUE(Bold(2));
    // Each progress text shows the row that ended the ledger.
    EXPECT_EQ(Progress(), QStringList({"Processed Ledgers: 3", "Processed Ledgers: 4"}));
    EXPECT_EQ(form.GR1.SelectedRow(), 3);
    EXPECT_EQ(yield.count, 2);
    EXPECT_TRUE(InStore("LEDGER", "Gupta Agencies"));
}

TEST_F(Ledgers, EveryRowMayAddABankEntryAndABillInRowOrder) {
    QStringList sbi = HdfcBank;
    sbi[0] = QStringLiteral("State Bank of India");
    QStringList payeeOnly = HdfcBank;
    payeeOnly[0].clear();
    Load(Fields, {Row("Gupta Agencies", "Sundry Debtors", {}, {"1-Apr-2024", "GA/1", "30", "100"}),
                  Row("", "", HdfcBank, {}), Row("", "", payeeOnly, {"2-Apr-2024", "GA/2", "30", "250"}),
                  Row("", "", sbi, {"3-Apr-2024", "", "30", "999"})});
    PostLedgers(form, link);
    const QString message = Message(0);
    // Two bank entries (the one without a bank leaves no trace), two bills; the incomplete bill adds none.
    EXPECT_EQ(message.count(QLatin1String("<PAYMENTDETAILS.LIST>")), 2) << message.toStdString();
    EXPECT_LT(message.indexOf(QLatin1String("HDFC Bank")),
              message.indexOf(QLatin1String("State Bank of India")));
    EXPECT_EQ(message.count(QLatin1String("<BILLALLOCATIONS.LIST>")), 2);
    EXPECT_LT(message.indexOf(QLatin1String("GA/1")), message.indexOf(QLatin1String("GA/2")));
    EXPECT_EQ(message.indexOf(QLatin1String("999")), -1);
    // The bills decide the opening balance.
    EXPECT_NE(message.indexOf(QLatin1String("<OPENINGBALANCE> 350</OPENINGBALANCE>")), -1);
    EXPECT_EQ(Status(4), QStringLiteral("CREATED "));
}

TEST_F(Ledgers, ARowWithOnlySomeBillCellsAddsNoBill) {
    Load(Fields, {Row("Gupta Agencies", "Sundry Debtors", {}, {"1-Apr-2024", "GA/1", "", ""})});
    PostLedgers(form, link);
    EXPECT_EQ(Message(0).indexOf(QLatin1String("BILLALLOCATIONS")), -1);
}

TEST_F(Ledgers, WithoutAllFourBillColumnsNoBillIsRead) {
    Load({"NAME", "PARENT", "OPENINGBILLDATE", "OPENINGNAME", "OPENINGBALANCE"},
         {{"Gupta Agencies", "Sundry Debtors", "1-Apr-2024", "GA/1", "100"}});
    PostLedgers(form, link);
    EXPECT_EQ(Message(0).indexOf(QLatin1String("BILLALLOCATIONS")), -1);
    EXPECT_NE(Message(0).indexOf(QLatin1String("<OPENINGBALANCE>100</OPENINGBALANCE>")), -1);
}

struct OwnBalanceCase {
    const char* name;
    const char* cell;
    const char* sent;
};

struct OwnOpeningBalance : test::MasterFixture, ::testing::WithParamInterface<OwnBalanceCase> {};

TEST_P(OwnOpeningBalance, IsTheNumericTextOfItsCell) {
    Load({"NAME", "PARENT", "OPENINGBALANCE"},
         {{"Rent", "Indirect Expenses", QString::fromUtf8(GetParam().cell)}});
    PostLedgers(form, link);
    EXPECT_NE(Message(0).indexOf(QStringLiteral("<OPENINGBALANCE>%1</OPENINGBALANCE>").arg(GetParam().sent)),
              -1)
        << Message(0).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ledgers, OwnOpeningBalance,
                         ::testing::Values(OwnBalanceCase{"Plain", "1234.50", "1234.5"},
                                           OwnBalanceCase{"WithText", "2500 Cr", "2500"},
                                           OwnBalanceCase{"ThousandsSeparators", "1,500", "1500"},
                                           OwnBalanceCase{"IndianGrouping", "1,50,000.75", "150000.75"},
                                           OwnBalanceCase{"Negative", "-12,000", "-12000"},
                                           OwnBalanceCase{"BlanksInside", " 1 000", "1000"},
                                           OwnBalanceCase{"Empty", "", "0"},
                                           OwnBalanceCase{"NotANumber", "Dr", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ledgers, FlagsTakeTheirDefaultsOnlyWhenTheColumnIsAbsent) {
    Load({"NAME", "PARENT", "BILLWISEON"}, {{"Rent", "Indirect Expenses", ""}});
    PostLedgers(form, link);
    Load({"NAME", "PARENT", "BILLWISEON", "COSTCENTRESON", "AFFECTINVENTORY"},
         {{"Freight", "Indirect Expenses", "No", "Yes", "Yes"}});
    PostLedgers(form, link);
    // An empty BILLWISEON cell leaves the element out; no COSTCENTRESON column keeps "No".
    EXPECT_EQ(Message(0).indexOf(QLatin1String("ISBILLWISEON")), -1);
    EXPECT_NE(Message(0).indexOf(QLatin1String("<ISCOSTCENTRESON>No</ISCOSTCENTRESON>")), -1);
    EXPECT_NE(Message(1).indexOf(QLatin1String("<ISBILLWISEON>No</ISBILLWISEON>")), -1);
    EXPECT_NE(Message(1).indexOf(QLatin1String("<ISCOSTCENTRESON>Yes</ISCOSTCENTRESON>")), -1);
    EXPECT_NE(Message(1).indexOf(QLatin1String("<AFFECTSSTOCK>Yes</AFFECTSSTOCK>")), -1);
}

TEST_F(Ledgers, TdsApplicabilityFollowsTheDeducteeTypeOfEachLedger) {
    Load({"NAME", "PARENT", "TDSDEDUCTEETYPE"},
         {{"Sharma Consultants", "Sundry Creditors", "Company - Resident"},
          {"Office Rent", "Indirect Expenses", ""}});
    PostLedgers(form, link);
    EXPECT_NE(Message(0).indexOf(QLatin1String("<TDSDEDUCTEETYPE>Company - Resident</TDSDEDUCTEETYPE>")), -1);
    EXPECT_NE(Message(0).indexOf(QLatin1String("<ISTDSAPPLICABLE>Yes</ISTDSAPPLICABLE>")), -1);
    EXPECT_EQ(Message(1).indexOf(QLatin1String("TDSDEDUCTEETYPE")), -1);
    EXPECT_NE(Message(1).indexOf(QLatin1String("<ISTDSAPPLICABLE>No</ISTDSAPPLICABLE>")), -1);
}

TEST_F(Ledgers, EveryLedgerColumnReachesItsElement) {
    Load({"NAME",
          "NAMEALIAS",
          "PARENT",
          "EMAIL",
          "STATE",
          "COUNTRY",
          "PINCODE",
          "INCOMETAXNUMBER",
          "SALESTAXNUMBER",
          "VATTINNUMBER",
          "EXCISEREGNO",
          "EXCISEREGDATE",
          "EXCISERANGE",
          "EXCISEDIVISION",
          "EXCISECOMMISSIONERATE",
          "EXCISENATUREOFPURCHASE",
          "PHONE",
          "MOBILE",
          "FAX",
          "CONTACTPERSON",
          "ADDRESS1",
          "ADDRESS2",
          "ADDRESS3",
          "ADDRESS4",
          "FORSERVICETAX"},
         {{"Kapoor Stores",
           "Kapoor",
           "Sundry Debtors",
           "accounts@kapoor.in",
           "Maharashtra",
           "India",
           "411001",
           "AAACK1234F",
           "ST-1",
           "27AAACK1234F1Z5",
           "EX-9",
           "2017-07-01",
           "Range 3",
           "Pune II",
           "Pune",
           "Trader",
           "020-2612345",
           "9822012345",
           "020-2612346",
           "R. Kapoor",
           "12 MG Road",
           "",
           "Camp",
           "Pune",
           "No"}});
    PostLedgers(form, link);
    EXPECT_EQ(Message(0), QStringLiteral(R"(<LEDGER NAME="Kapoor Stores" ACTION="Create">
  <ADDITIONALNAME>Kapoor Stores</ADDITIONALNAME>
  <ADDRESS.LIST>
    <ADDRESS>12 MG Road</ADDRESS>
    <ADDRESS/>
    <ADDRESS>Camp</ADDRESS>
    <ADDRESS>Pune</ADDRESS>
  </ADDRESS.LIST>
  <STATENAME>Maharashtra</STATENAME>
  <LEDSTATENAME>Maharashtra</LEDSTATENAME>
  <COUNTRYOFRESIDENCE>India</COUNTRYOFRESIDENCE>
  <PINCODE>411001</PINCODE>
  <LEDGERCONTACT>R. Kapoor</LEDGERCONTACT>
  <LEDGERPHONE>020-2612345</LEDGERPHONE>
  <LEDGERMOBILE>9822012345</LEDGERMOBILE>
  <LEDGERFAX>020-2612346</LEDGERFAX>
  <EMAIL>accounts@kapoor.in</EMAIL>
  <VATTINNUMBER>27AAACK1234F1Z5</VATTINNUMBER>
  <INCOMETAXNUMBER>AAACK1234F</INCOMETAXNUMBER>
  <SALESTAXNUMBER>ST-1</SALESTAXNUMBER>
  <PARENT>Sundry Debtors</PARENT>
  <ISBILLWISEON>Yes</ISBILLWISEON>
  <ISCOSTCENTRESON>No</ISCOSTCENTRESON>
  <ISINTERESTON>No</ISINTERESTON>
  <ALLOWINMOBILE>No</ALLOWINMOBILE>
  <ISCONDENSED>No</ISCONDENSED>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <FORPAYROLL>No</FORPAYROLL>
  <INTERESTONBILLWISE>No</INTERESTONBILLWISE>
  <OVERRIDEINTEREST>No</OVERRIDEINTEREST>
  <OVERRIDEADVINTEREST>No</OVERRIDEADVINTEREST>
  <USEFORVAT>No</USEFORVAT>
  <IGNORETDSEXEMPT>No</IGNORETDSEXEMPT>
  <ISTCSAPPLICABLE>No</ISTCSAPPLICABLE>
  <ISTDSAPPLICABLE>No</ISTDSAPPLICABLE>
  <ISFBTAPPLICABLE>No</ISFBTAPPLICABLE>
  <ISGSTAPPLICABLE>No</ISGSTAPPLICABLE>
  <FORSERVICETAX>No</FORSERVICETAX>
  <EXCISEREGNO>EX-9</EXCISEREGNO>
  <EXCISEREGISTRATIONDATE>2017-07-01</EXCISEREGISTRATIONDATE>
  <EXCISERANGE>Range 3</EXCISERANGE>
  <EXCISEDIVISION>Pune II</EXCISEDIVISION>
  <EXCISECOMMISSIONERATE>Pune</EXCISECOMMISSIONERATE>
  <EXCISENATUREOFPURCHASE>Trader</EXCISENATUREOFPURCHASE>
  <NAME.LIST>
    <NAME>Kapoor Stores</NAME>
    <NAME>Kapoor</NAME>
  </NAME.LIST>
</LEDGER>)"));
}

TEST_F(Ledgers, AnExistingLedgerBetweenTwoOthersAddsNothingToThem) {
    Seed("LEDGER", "Verma & Co", "<PARENT>Sundry Creditors</PARENT>");
    Load(Fields, {Row("Gupta Agencies", "Sundry Debtors", {}, {"1-Apr-2024", "GA/1", "30", "100"}),
                  Row("Verma & Co", "Sundry Creditors", HdfcBank, {"1-Apr-2024", "VC/1", "30", "700"}),
                  Row("", "", {}, {"2-Apr-2024", "VC/2", "30", "800"}),
                  Row("Kapoor Stores", "Sundry Debtors", {}, {})});
    form.chkSkipMst.value = 1;
    PostLedgers(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists LEDGER: Gupta Agencies", "exists LEDGER: Verma & Co",
                           "LEDGER Gupta Agencies -> Sharma Traders", "exists LEDGER: Verma & Co",
                           "exists LEDGER: Kapoor Stores", "LEDGER Kapoor Stores -> Sharma Traders"}));
    EXPECT_EQ(Message(0).count(QLatin1String("<BILLALLOCATIONS.LIST>")), 1);
    EXPECT_EQ(Message(0).indexOf(QLatin1String("HDFC")), -1);
    EXPECT_EQ(Message(1).indexOf(QLatin1String("VC/2")), -1);
    EXPECT_EQ(Status(2), QStringLiteral("SKIPED"));
    EXPECT_EQ(Status(3), QStringLiteral("SKIPED"));
    EXPECT_EQ(Icon(3), 1);
    EXPECT_EQ(Progress(), QStringList({"Processed Ledgers: 2", "Processed Ledgers: 5"}));
}

TEST_F(Ledgers, ARefusedLedgerIsMarkedOnItsLastRow) {
    Load(Fields, {Row("Mystery Ledger", "No Such Group", {}, {"1-Apr-2024", "M/1", "30", "100"}),
                  Row("", "", {}, {"2-Apr-2024", "M/2", "30", "100"})});
    PostLedgers(form, link);
    EXPECT_EQ(Status(2), QStringLiteral("ERRORS Group 'No Such Group' does not exist! - "));
    EXPECT_EQ(Colour(2), 255);
    EXPECT_EQ(Icon(2), 1);
    EXPECT_EQ(Status(1), QString());
}

TEST_F(Ledgers, PayeesWithoutTheOtherBankColumnsEndTheRunBeforeTheFirstLedger) {
    Load({"NAME", "PARENT", "PAYMENTFAVOURING", "BANKNAME"},
         {{"Gupta Agencies", "Sundry Debtors", "Gupta Agencies", "HDFC Bank"}});
    form.chkSkipMst.value = 1;
    PostLedgers(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"F01-0017"}));
}

} // namespace
} // namespace quibo
