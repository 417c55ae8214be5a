// The posting loop every master poster shares: which rows are posted, to which company, the skip
// test, the marking of each row, progress and yield. Godowns stand for the row-by-row shape and
// ledgers for the grouped one.

#include "masters/MasterRun.h"
#include "masters/MasterFixture.h"
#include "masters/MasterPosters.h"

#include <QFile>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::Mehta;
using test::Sharma;

const QStringList GodownFields = {"NAME", "PARENT", "HASNOSTOCK"};

struct RowByRow : test::MasterFixture {};

TEST_F(RowByRow, AGridWithOnlyTheEmptyRowPostsAndWritesNothing) {
    Load(GodownFields, {});
    form.chkSkipMst.value = 1;
    form.tabDataIndex = 2;
    PostGodowns(form, link);
    EXPECT_EQ(form.tabDataIndex, 1); // the first data tab is selected all the same
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Status(1), QString());
    EXPECT_EQ(Icon(1), -1);
    EXPECT_EQ(Progress(), QStringList());
    EXPECT_EQ(yield.count, 0);
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(RowByRow, RowsWithoutANameAreNeverAskedAboutAndSaySo) {
    // A NAME of blanks alone names no master either: it is not asked about and not posted.
    Load(GodownFields, {{"Bhiwandi Depot", "Primary", "No"},
                        {"", "Primary", "No"},
                        {"   ", "Primary", "No"},
                        {"Okhla Store", "Primary", "No"}});
    form.chkSkipMst.value = 1;
    PostGodowns(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists GODOWNS: Bhiwandi Depot", "GODOWN Bhiwandi Depot -> Sharma Traders",
                           "exists GODOWNS: Okhla Store", "GODOWN Okhla Store -> Sharma Traders"}));
    for (int row : {2, 3}) {
        EXPECT_EQ(Status(row), QStringLiteral("ERROR: no NAME")) << row;
        EXPECT_EQ(Colour(row), 255) << row;
        EXPECT_EQ(Icon(row), 1) << row;
        EXPECT_TRUE(Bold(row)) << row;
    }
    // The closing empty row holds nothing to tell of.
    EXPECT_EQ(Status(5), QString());
    EXPECT_EQ(Icon(5), -1);
    EXPECT_EQ(Progress(), QStringList({"Processed Godowns: 1", "Processed Godowns: 4"}));
    EXPECT_EQ(yield.count, 2);
    EXPECT_EQ(form.GR1.SelectedRow(), 4);
}

// A text with a NUL character in it, which a request would cut there.
QString WithNul(const char* before, const char* after) {
    return QString::fromLatin1(before) + QChar(u'\0') + QString::fromLatin1(after);
}

TEST_F(RowByRow, ARowWithACellHoldingANulIsNeitherAskedAboutNorSentAndSaysWhy) {
    Load(GodownFields, {{"Bhiwandi Depot", "Primary", "No"},
                        {WithNul("Bad", "Depot"), "Primary", "No"},
                        {"Okhla Store", WithNul("Pri", "mary"), "No"}});
    form.chkSkipMst.value = 1;
    PostGodowns(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists GODOWNS: Bhiwandi Depot", "GODOWN Bhiwandi Depot -> Sharma Traders"}));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: column NAME holds a NUL character"));
    EXPECT_EQ(Status(3), QStringLiteral("ERROR: column PARENT holds a NUL character"));
    for (int row : {2, 3})
        EXPECT_TRUE(Colour(row) == 255 && Icon(row) == 1 && Bold(row)) << row;
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(RowByRow, EachRowGoesToItsOwnCompany) {
    Load({"NAME", "COMPANYNAME", "PARENT", "HASNOSTOCK"},
         {{"Bhiwandi Depot", " Mehta Exports ", "Primary", "No"},
          {"Okhla Store", "   ", "Primary", "No"},
          {"Surat Yard", "Mehta Exports", "Primary", "No"}});
    PostGodowns(form, link);
    // The cell goes as it stands, blanks and all; a blank one leaves the company box's choice.
    EXPECT_EQ(Requests(),
              QStringList({"GODOWN Bhiwandi Depot ->  Mehta Exports ", "GODOWN Okhla Store -> Sharma Traders",
                           "GODOWN Surat Yard -> Mehta Exports"}));
    EXPECT_TRUE(InStore("GODOWN", "Okhla Store", Sharma));
    EXPECT_TRUE(InStore("GODOWN", "Surat Yard", Mehta));
    // The empty row was the last one read: it names no company.
    EXPECT_EQ(form.CurrentCompany, Sharma);
}

TEST_F(RowByRow, ACompanyColumnThatComesFirstCountsLikeAnyOther) {
    Load({"COMPANYNAME", "NAME", "PARENT", "HASNOSTOCK"}, {{"Mehta Exports", "Surat Yard", "Primary", "No"}});
    form.GR1.AddRow(); // the Excel loader's second closing row
    PostGodowns(form, link);
    EXPECT_EQ(Requests(), QStringList({"GODOWN Surat Yard -> Mehta Exports"}));
}

TEST_F(RowByRow, WithoutACompanyColumnTheCompanyBoxDecides) {
    Load(GodownFields, {{"Surat Yard", "Primary", "No"}});
    form.cmbCurrentCompanyList.SetListIndex(1);
    PostGodowns(form, link);
    EXPECT_EQ(Requests(), QStringList({"GODOWN Surat Yard -> Mehta Exports"}));
    EXPECT_EQ(form.CurrentCompany, Mehta);
}

TEST_F(RowByRow, WithTheSkipBoxClearNothingIsAsked) {
    Seed("GODOWN", "Bhiwandi Depot");
    Load(GodownFields, {{"Bhiwandi Depot", "Primary", "No"}});
    PostGodowns(form, link);
    EXPECT_EQ(Requests(), QStringList({"GODOWN Bhiwandi Depot -> Sharma Traders"}));
    EXPECT_EQ(Status(1), QStringLiteral("ALTERED "));
    EXPECT_EQ(Colour(1), 0);
    EXPECT_EQ(Icon(1), 0);
}

TEST_F(RowByRow, AnExistingMasterIsMarkedSkipedAndNotSent) {
    Seed("GODOWN", "Bhiwandi Depot");
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}, {"Bhiwandi Depot", "Primary", "No"}});
    form.chkSkipMst.value = 1;
    PostGodowns(form, link);
    EXPECT_EQ(Requests(), QStringList({"exists GODOWNS: Okhla Store", "GODOWN Okhla Store -> Sharma Traders",
                                       "exists GODOWNS: Bhiwandi Depot"}));
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(2), QStringLiteral("SKIPED"));
    EXPECT_EQ(Colour(2), 0); // black, although the row before was blue
    EXPECT_EQ(Icon(2), 1);
    EXPECT_FALSE(Bold(2));
    EXPECT_EQ(form.GR1.SelectedRow(), 2);
    // No progress and no yield for a skipped row.
    EXPECT_EQ(Progress(), QStringList({"Processed Godowns: 1"}));
    EXPECT_EQ(yield.count, 1);
}

TEST_F(RowByRow, NoReplyIsAFailureNotTheColourOfTheRowBefore) {
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}, {"Surat Yard", "Primary", "No"}});
    yield.hook = [&](int count) {
        if (count == 1) server.stop();
    };
    PostGodowns(form, link);
    EXPECT_EQ(Colour(1), 16711680);
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no reply from the Tally server"));
    EXPECT_EQ(Colour(2), 255);
    EXPECT_EQ(Icon(2), 1);
    EXPECT_TRUE(Bold(2));
    // The failed exchange was reported by the link; the run went on to its end.
    EXPECT_EQ(Locations(), QStringList({"C02-0001"}));
    EXPECT_EQ(Progress(), QStringList({"Processed Godowns: 1", "Processed Godowns: 2"}));
}

TEST_F(RowByRow, AnImportTheServerDropsUnansweredGoesOutOnceAndFailsItsRow) {
    // The second import goes on the connection the questions kept alive; the server reads it through,
    // then drops the connection without a word. It may have stored the master: sent again, it would be
    // stored twice while the row read CREATED.
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}, {"Surat Yard", "Primary", "No"}});
    form.chkSkipMst.value = 1;
    server.setFaults({sim::FaultKind::Close, 4});
    PostGodowns(form, link);
    EXPECT_EQ(Requests(), QStringList({"exists GODOWNS: Okhla Store", "GODOWN Okhla Store -> Sharma Traders",
                                       "exists GODOWNS: Surat Yard", "GODOWN Surat Yard -> Sharma Traders"}));
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no reply from the Tally server"));
    EXPECT_EQ(Locations(), QStringList({"C02-0001"}));
    EXPECT_TRUE(errors.lastReport().startsWith(QStringLiteral(
        "The connection was lost before the server answered; the request was not sent again \r\n")))
        << errors.lastReport().toStdString();
}

TEST_F(RowByRow, AnEmptyReplyFailsItsRowAndIsInTheErrorLog) {
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}, {"Surat Yard", "Primary", "No"}});
    server.setFaults({sim::FaultKind::Empty, 2});
    PostGodowns(form, link);
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no reply from the Tally server"));
    QFile log(folder.file(QStringLiteral("Quibo20Errors.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray entry = log.readAll();
    EXPECT_TRUE(entry.startsWith("The Tally server sent an empty reply (HTTP status 200) \r\n"))
        << entry.data();
    EXPECT_EQ(entry.count("=> LOCATION CODE: C02-0001() \r\n"), 1);
}

TEST_F(RowByRow, WithTheServerDownTheSkipTestLetsTheMasterBePostedAndFail) {
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}});
    form.chkSkipMst.value = 1;
    server.stop();
    PostGodowns(form, link);
    EXPECT_EQ(Status(1), QStringLiteral("ERROR: no reply from the Tally server"));
    EXPECT_EQ(Locations(), QStringList({"C02-0001", "C02-0001"})); // the question, then the post
}

// --- The marking of one posted row.

struct MarkCase {
    const char* name;
    const char* outcome;
    const char* status;
    int32_t colour;
    int icon;
    bool sent = true;
};

struct Marking : test::MasterFixture, ::testing::WithParamInterface<MarkCase> {};

TEST_P(Marking, OutcomeDecidesStatusColourAndIcon) {
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}, {"Surat Yard", "Primary", "No"}});
    MasterRun run(form, link, {QStringLiteral("GODOWNS"), QStringLiteral("Processed Godowns: ")});
    // The row before was an error: nothing of it may carry over.
    run.MarkPosted(1, {QStringLiteral("ERRORS "), true});
    run.MarkPosted(2, {QString::fromUtf8(GetParam().outcome), GetParam().sent});
    EXPECT_EQ(Status(2), QString::fromUtf8(GetParam().status));
    EXPECT_EQ(Colour(2), GetParam().colour);
    EXPECT_EQ(Icon(2), GetParam().icon);
    EXPECT_TRUE(Bold(2));
    EXPECT_EQ(Colour(1), 255);
}

INSTANTIATE_TEST_SUITE_P(
    MasterRun, Marking,
    ::testing::Values(MarkCase{"Created", "CREATED ", "CREATED ", 16711680, 0},
                      MarkCase{"CreatedInAnyCase", "created", "created", 16711680, 0},
                      MarkCase{"Errors", "ERRORS Ledger 'X' does not exist! - ",
                               "ERRORS Ledger 'X' does not exist! - ", 255, 1},
                      MarkCase{"CreatedWithAnErrorIsAnError", "CREATED ERRORS ", "CREATED ERRORS ", 255, 1},
                      MarkCase{"Altered", "ALTERED ", "ALTERED ", 0, 0},
                      MarkCase{"Combined", "COMBINED ", "COMBINED ", 0, 0},
                      MarkCase{"NoReply", "", "ERROR: no reply from the Tally server", 255, 1},
                      MarkCase{"ABlankReply", "  \r\n ", "ERROR: no reply from the Tally server", 255, 1},
                      MarkCase{"NotSent", "", "ERROR: not sent, see the error log", 255, 1, false},
                      MarkCase{"AnAnswerNoTestKnowsIsBlackWithoutIcon",
                               "Unknown Request, cannot be processed", "Unknown Request, cannot be processed",
                               0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RowByRow, ANewOutcomeLeavesNoIconOfAnEarlierMark) {
    Load(GodownFields, {{"Okhla Store", "Primary", "No"}});
    MasterRun run(form, link, {QStringLiteral("GODOWNS"), QStringLiteral("Processed Godowns: ")});
    run.MarkSkipped(1);
    run.MarkPosted(1, {QStringLiteral("Unknown"), true});
    EXPECT_EQ(Icon(1), -1); // a new outcome leaves no icon of the old one
}

TEST_F(RowByRow, AMissingRequiredColumnEndsTheRunBeforeAnythingIsSent) {
    Load({"NAME", "PARENT"}, {{"Okhla Store", "Primary"}});
    form.chkSkipMst.value = 1;
    form.tabDataIndex = 2;
    PostGodowns(form, link);
    EXPECT_EQ(form.tabDataIndex, 1); // selected before the check, as at the start of every run
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"F01-0019"}));
    EXPECT_NE(errors.lastReport().indexOf(QLatin1String("HASNOSTOCK")), -1)
        << errors.lastReport().toStdString();
    EXPECT_EQ(Status(1), QString());
}

// --- Grouped shape.

const QStringList LedgerFields = {
    "NAME", "PARENT", "OPENINGBILLDATE", "OPENINGNAME", "OPENINGCREDITPERIOD", "OPENINGBALANCE"};

struct Grouped : test::MasterFixture {};

TEST_F(Grouped, NamesAreComparedExactly) {
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "", "", ""},
                        {"GUPTA AGENCIES", "Sundry Debtors", "", "", "", ""},
                        {"GUPTA AGENCIES ", "Sundry Debtors", "", "", "", ""}});
    PostLedgers(form, link);
    EXPECT_EQ(Requests(), QStringList({"LEDGER Gupta Agencies -> Sharma Traders",
                                       "LEDGER GUPTA AGENCIES -> Sharma Traders",
                                       "LEDGER GUPTA AGENCIES  -> Sharma Traders"}));
}

TEST_F(Grouped, AMasterNamed00IsPostedLikeAnyOther) {
    Load(LedgerFields, {{"00", "Sundry Debtors", "", "", "", ""}, {"00", "", "1-Apr-2024", "A", "30", "5"}});
    PostLedgers(form, link);
    EXPECT_EQ(Requests(), QStringList({"LEDGER 00 -> Sharma Traders"}));
    EXPECT_EQ(Status(2), QStringLiteral("CREATED "));
    EXPECT_TRUE(InStore("LEDGER", "00"));
}

TEST_F(Grouped, RowsWithoutANameBeforeTheFirstNamedRowAddNothingAndSaySo) {
    Load(LedgerFields, {{"", "Sundry Debtors", "1-Apr-2024", "Stray", "30", "999"},
                        {"   ", "", "1-Apr-2024", "Stray 2", "30", "999"},
                        {"Gupta Agencies", "Sundry Debtors", "", "", "", ""}});
    form.chkSkipMst.value = 1;
    PostLedgers(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists LEDGER: Gupta Agencies", "LEDGER Gupta Agencies -> Sharma Traders"}));
    EXPECT_EQ(Message(0).indexOf(QLatin1String("Stray")), -1) << Message(0).toStdString();
    EXPECT_EQ(Status(1), QStringLiteral("ERROR: no NAME"));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no NAME"));
}

TEST_F(Grouped, AnEmptyRowInsideTheDataEndsTheMasterAndNeverStartsOne) {
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "", "", ""},
                        {"", "", "", "", "", ""},
                        {"", "", "1-Apr-2024", "Orphan", "30", "50"},
                        {"Verma & Co", "Sundry Creditors", "", "", "", ""}});
    form.chkSkipMst.value = 1;
    PostLedgers(form, link);
    // No exists query for the empty name, and the orphan bill joins no ledger.
    EXPECT_EQ(Requests(),
              QStringList({"exists LEDGER: Gupta Agencies", "LEDGER Gupta Agencies -> Sharma Traders",
                           "exists LEDGER: Verma & Co", "LEDGER Verma & Co -> Sharma Traders"}));
    EXPECT_EQ(Message(1).indexOf(QLatin1String("Orphan")), -1);
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(2), QString());
    EXPECT_EQ(Status(3), QStringLiteral("ERROR: no NAME")); // the empty row left it in no master
    EXPECT_EQ(Status(4), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(5), QString()); // the closing empty row is never marked
}

TEST_F(Grouped, AMasterWithACellHoldingANulOnAnyRowIsNotSentAndItsLastRowSaysWhy) {
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "", "", ""},
                        {"Gupta Agencies", "", "1-Apr-2024", WithNul("A", ""), "30", "5"},
                        {"Verma & Co", "Sundry Creditors", "", "", "", ""},
                        {WithNul("Bad", "Name"), "Sundry Creditors", "", "", "", ""}});
    form.chkSkipMst.value = 1;
    PostLedgers(form, link);
    // The refused names are never asked about.
    EXPECT_EQ(Requests(), QStringList({"exists LEDGER: Gupta Agencies", "exists LEDGER: Verma & Co",
                                       "LEDGER Verma & Co -> Sharma Traders"}));
    const QString statuses[] = {"", "ERROR: column OPENINGNAME holds a NUL character", "CREATED ",
                                "ERROR: column NAME holds a NUL character", ""};
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(Status(row), statuses[row - 1]) << row;
    EXPECT_EQ(Colour(4), 255);
}

TEST_F(Grouped, EachMasterGoesToTheCompanyOfItsLastRow) {
    Load({"NAME", "COMPANYNAME", "PARENT", "PAYMENTFAVOURING", "BANKNAME", "ACCOUNTNUMBER", "IFSCCODE",
          "TRANSACTIONNAME", "CHEQUECROSSCOMMENT", "SETASDEFAULT", "DEFAULTTRANSACTIONTYPE"},
         {{"HDFC Current A/c", "", "Bank Accounts", "", "", "", "", "", "", "", ""},
          {"", "Mehta Exports", "", "", "", "", "", "", "", "", ""},
          {"ICICI Current A/c", "Mehta Exports", "Bank Accounts", "", "", "", "", "", "", "", ""}});
    PostLedgers(form, link);
    // The last ledger ends on the empty row, which names no company: it goes to its own row's company.
    EXPECT_EQ(Requests(), QStringList({"LEDGER HDFC Current A/c -> Mehta Exports",
                                       "LEDGER ICICI Current A/c -> Mehta Exports"}));
    EXPECT_EQ(form.CurrentCompany, Sharma);
}

} // namespace
} // namespace quibo
