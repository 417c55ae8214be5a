// What PostCostTransaction stages for "COST TRANSACTIONS" rows, and its check of the ledgers.

#include "vouchers/PostingFixture.h"
#include "vouchers/ScriptedServer.h"
#include "vouchers/VoucherPosters.h"

#include "staging/StagingWriters.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Columns = {"VCHTYPE", "VCHNO",     "VCHDATE",      "REFNO",      "LEDGER",
                             "DEBIT",   "CREDIT",    "NARRATION",    "ADJMETHOD",  "ADJNAME",
                             "ADJDATE", "ADJAMOUNT", "COSTCATEGORY", "COSTCENTRE", "COSTAMOUNT"};
QStringList With(std::initializer_list<const char*> more) {
    QStringList fields = Columns;
    for (const char* field : more)
        fields << QString::fromLatin1(field);
    return fields;
}
// A row of the fifteen columns: ledger, debit, credit, bill name, method, amount, category, centre,
// cost amount, then any further columns.
QStringList Row(const char* ledger, const char* debit, const char* credit, const char* bill = "",
                const char* method = "", const char* billAmount = "", const char* category = "",
                const char* centre = "", const char* costAmount = "", QStringList more = {}) {
    return QStringList{"Payment", "1",  "d", "R",        ledger,   debit,  credit,    "N",
                       method,    bill, "",  billAmount, category, centre, costAmount} +
           more;
}

const QString Lines = QStringLiteral("Select LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_, "
                                     "Narration_ from LedgerEntry order by LdEID");
const QString Costs =
    QStringLiteral("Select FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations "
                   "order by FK_LdEID, CAID");
const QString Bills = QStringLiteral("Select FK_LdEID, BiAID, Name_, BillType_, Amount_ from BillAllocation");
const QString Banks = QStringLiteral(
    "Select FK_LdEID, BaAID, Date_, Amount_, BankName_, TransactionType_, TransferMode_ from BankAllocation");

struct CostCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

const CostCase CostCases[] = {
    {"LedgerRowsAreLinesWithTheirOwnNarration",
     With({"LINENARRATION"}),
     {Row("Rent", "500", "", "", "", "", "", "", "", {"April"}),
      Row("", "", "", "", "", "", "", "", "", {"x"}), Row("Cash", "", "500", "", "", "", "", "", "", {" "})},
     Lines,
     {"1|Rent|-500|Yes|Yes|April", "2|Cash|500.000|No|No|"}},
    {"CentresUnderOneLineTakeItsSign",
     Columns,
     {Row("Rent", "100", "", "", "", "", "Branches", "A", "40"), Row("", "", "", "", "", "", " ", "B", "-60"),
      Row("", "", "", "", "", "", "", "C", ""), Row("Cash", "", "100", "", "", "", "", "D", "100"),
      Row("", "", "", "", "", "", "", " ", "5")},
     Costs,
     {"1|1|Branches|A|-40.000", "1|2|Primary Cost Category|B|60.000", "1|3|Primary Cost Category|C|-0.000",
      "2|1|Primary Cost Category|D|100.000"}},
    {"BillsNeedANameAndDefaultToNewRef",
     Columns,
     {Row("Rent", "100", "", "", "", "70"), Row("", "", "", "B-1", "", "-250"),
      Row("Cash", "", "100", "B-2", "Agst Ref", "250")},
     Bills,
     {"1|1|B-1|New Ref|250.000", "2|2|B-2|Agst Ref|250.000"}},
    {"ABankAllocationNeedsANonZeroAmount",
     With({"BankAmount", "BANKNAME", "InstrumentType", "transfermode"}),
     {Row("Bank", "", "50", "", "", "", "", "", "", {"50", "SBI", "Cheque", "NEFT"}),
      Row("", "", "", "", "", "", "", "", "", {"0", "SBI", "", ""}),
      Row("", "", "", "", "", "", "", "", "", {"", "SBI", "", ""}),
      Row("Cash", "50", "", "", "", "", "", "", "", {"1,200.00", "HDFC", "", ""})},
     Banks,
     {"1|1|d|50|SBI|Cheque|NEFT", "2|2|d|1,200.00|HDFC||"}},
};

struct Cost : test::PostingFixture {
    test::ScriptedServer server;
    TallyLink link{settings, errors, server};
};
struct CostTransactions : Cost, ::testing::WithParamInterface<CostCase> {};

TEST_P(CostTransactions, StageWhatTheRowsSay) {
    const CostCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(CostTransactionKind(run), Recorder());
    EXPECT_EQ(sent.size(), 1);
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(CostTransactions, CostTransactions, ::testing::ValuesIn(CostCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cost, OnlySalesAndPurchaseAsWrittenAreInvoices) {
    QList<QStringList> rows;
    for (const char* type : {"Sales", "Purchase", "sales", "PURCHASE", "Journal"}) {
        rows << Row("Cash", "1", "");
        rows.back()[0] = QString::fromLatin1(type);
    }
    Load(Columns, rows);
    VoucherRun run(form, db);
    run.Run(CostTransactionKind(run), Recorder());
    EXPECT_EQ(Staged(QStringLiteral("Select IsInvoice_ from Voucher order by VchID")),
              QStringList({"Yes", "Yes", "No", "No", "No"}));
}

TEST_F(Cost, AnAllocationBeforeTheFirstLedgerLineFailsItsVoucher) {
    for (const QStringList& first :
         {Row("", "", "", "", "", "", "", "A", "5", {""}), Row("", "", "", "B-1", "", "", "", "", "", {""}),
          Row("", "", "", "", "", "", "", "", "", {"10"})}) {
        Load(With({"BANKAMOUNT"}), {first, Row("Cash", "1", "", "", "", "", "", "", "", {""})});
        sent.clear();
        VoucherRun run(form, db);
        run.Run(CostTransactionKind(run), Recorder());
        EXPECT_TRUE(sent.isEmpty());
        EXPECT_EQ(Status(2), QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    }
}

TEST_F(Cost, TheVoucherGoesOutWithItsAllocations) {
    Load(With({"BANKAMOUNT", "INSTRUMENTNUMBER"}),
         {Row("Office Rent", "1000", "", "", "", "", "Branches", "Mumbai", "600", {"", ""}),
          Row("", "", "", "", "", "", "", "Pune", "400", {"", ""}),
          Row("HDFC Bank", "", "1000", "", "", "", "", "", "", {"1000", "004512"})});
    PostCostTransaction(form, link);
    ASSERT_EQ(server.imports.size(), 1u);
    test::ExpectGolden(server.imports[0], QStringLiteral("costtransaction.xml"));
}

struct LedgerCheck : Cost {
    void Post(bool silent) {
        form.chkChkMst.value = 1;
        form.SilentMode = silent;
        Load(Columns, {Row("Cash & Bank", "5", ""), Row("", "", ""), Row("Rent", "", "5")});
        for (int row = 1; row <= 3; ++row)
            form.GR1.SetCellText(row, QStringLiteral("PROCESSSTATUS"), QStringLiteral("old"));
        PostCostTransaction(form, link);
    }
};

TEST_F(LedgerCheck, AMissingLedgerStopsThePostBeforeAnythingIsEmptied) {
    ASSERT_TRUE(SaveVoucher(errors, db, test::Sharma, {}, QStringLiteral("9")));
    server.missing = {QStringLiteral("Cash &amp; Bank")};
    for (const bool silent : {false, true}) {
        boxes.shown.clear();
        Post(silent);
        EXPECT_EQ(Status(1),
                  QStringLiteral("ERRORS Ledger 'Cash &amp; Bank' does not exist!Ledger 'Cash &amp; "
                                 "Bank' does not exist! - "));
        EXPECT_EQ(Status(2), QStringLiteral("old"));
        EXPECT_EQ(Status(3), QString());
        EXPECT_EQ(boxes.texts(), silent ? QStringList() : QStringList({"Some of the Masters are missing. "}));
    }
    EXPECT_EQ(server.asked, QStringList({"Cash &amp; Bank", "Rent", "Cash &amp; Bank", "Rent"}));
    EXPECT_TRUE(server.imports.empty());
    EXPECT_EQ(Staged(QStringLiteral("Select VchID from Voucher")), QStringList({"9"}));
    EXPECT_TRUE(Progress().isEmpty());
}

TEST_F(LedgerCheck, NoAnswerCountsAsPresent) {
    server.mute = true;
    Post(false);
    EXPECT_EQ(server.imports.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace quibo
