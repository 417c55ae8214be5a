// What PostSTTDSTransaction stages for "STTDSTRANSACTIONS" rows: all-ledger lines with their
// service-tax or TDS bills and cost allocations.

#include "vouchers/PostingFixture.h"
#include "vouchers/ScriptedServer.h"
#include "vouchers/VoucherPosters.h"

#include "tally/TallyLink.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quibo {
namespace {

const QStringList Plain = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};
const QStringList Tax =
    Plain + QStringList{"ASSESSABLEAMT", "SERVICETAX",   "CESS",          "SECCESS",   "SERVICETAXLEDGER",
                        "TDSLEDGER",     "TDSRATE",      "ISSPECIALRATE", "ADJNAME",   "ADJMETHOD",
                        "ADJAMOUNT",     "COSTCATEGORY", "COSTCENTRE",    "COSTAMOUNT"};
// The same columns, "ADJAMOUNT" renamed away.
const QStringList NoAdjAmount =
    QStringList(Tax).replaceInStrings(QStringLiteral("ADJAMOUNT"), QStringLiteral("OTHER"));

using Cells = std::vector<std::pair<const char*, const char*>>;
// A row of voucher Journal/1/d with the cells given, the others blank.
QStringList R(Cells cells) {
    QStringList row(Tax.size());
    row[0] = QStringLiteral("Journal");
    row[1] = QStringLiteral("1");
    row[2] = QStringLiteral("d");
    for (const auto& [column, value] : cells)
        row[Tax.indexOf(QString::fromLatin1(column))] = QString::fromLatin1(value);
    return row;
}

const QString Lines =
    QStringLiteral("Select FK_VchID, LdEID, LedgerName_, Amount_, IsDeemedPositive_, "
                   "IsPartyLedger_, TDSPartyName_ from AllLedgerEntry order by FK_VchID, LdEID");
const QString TaxBills = QStringLiteral(
    "Select FK_LdEID, TBiAID, Name_, BillType_, IsInputAvail_, TDSTaxRate_, TDSSurcharge_, "
    "TDSAddlSurcharge_, "
    "STSecondaryCessRate_, Amount_, SurchargeAmount_, AddlSurchargeAmount_, STSecondaryCessAmount_, "
    "AssessableAmount_, ExpenseAmount_ from TaxBillAllocation order by FK_LdEID");
const QString TdsBills = QStringLiteral(
    "Select FK_LdEID, BiAID, Name_, BillType_, Amount_, TDSDeducteeSectionNumber_, TDSLedgerNC_, "
    "TDSDeducteeIsSpecialRate_, TDSDeducteeSpecialRate_, ServiceTaxLedger_ from BillAllocation order by "
    "FK_LdEID");
const QString Costs = QStringLiteral("Select FK_VchID, FK_LdEID, CAID, Category_, Name_, Amount_ from "
                                     "CategoryAllocations order by FK_VchID, CAID");

const QList<QStringList> Bills = {
    R({{"LEDGER", "Contractor"},
       {"DEBIT", "1000"},
       {"ASSESSABLEAMT", "1000"},
       {"SERVICETAX", "120"},
       {"CESS", "2.4"},
       {"SECCESS", "-1.2"},
       {"SERVICETAXLEDGER", "Service Tax"},
       {"TDSLEDGER", "TDS"},
       {"ADJNAME", "B-1"},
       {"ADJMETHOD", "New Ref"},
       {"ADJAMOUNT", "1122.4"}}),
    R({{"LEDGER", "TDS 194C"},
       {"CREDIT", "20"},
       {"TDSLEDGER", "TDS 194C"},
       {"TDSRATE", "1"},
       {"ISSPECIALRATE", "Yes"},
       {"SERVICETAXLEDGER", "Service Tax"},
       {"ADJNAME", "T-1"},
       {"ADJAMOUNT", "20"}}),
    R({{"LEDGER", "Zero"}, {"CREDIT", "-5"}, {"TDSLEDGER", "TDS 194J"}, {"ISSPECIALRATE", "yes"}}),
    R({{"LEDGER", "Cash"}, {"CREDIT", "1,102.40"}, {"ASSESSABLEAMT", " "}})};

struct TaxCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

const TaxCase TaxCases[] = {
    {"LinesCountUpAndAZeroRowHasNone",
     Plain,
     {R({{"LEDGER", "A"}, {"DEBIT", "100"}}).mid(0, 8), R({{"LEDGER", "B"}, {"CREDIT", "100"}}).mid(0, 8),
      R({{"LEDGER", "C"}, {"CREDIT", "0"}}).mid(0, 8), R({{"LEDGER", "D"}, {"DEBIT", "-7.5"}}).mid(0, 8)},
     Lines,
     {"1|1|A|-100|Yes|Yes|", "1|2|B|100.000|No|No|", "1|4|D|7.5|Yes|No|"}},
    {"ATaxBillWinsOverATdsBill",
     Tax,
     Bills,
     TaxBills,
     {"1|1|B-1|New Ref|No|12|2||1|-1122.400|-120.000|-2.400|1.200|-1000.000|"}},
    {"TdsBillsTakeTheSignOfTheRowBefore",
     Tax,
     Bills,
     TdsBills,
     {"2|1|T-1||20.000|197|TDS 194C|Yes|1.000|Service Tax", "3|1|||0.000||TDS 194J|yes|0.000|"}},
    {"TheTaxLedgerNamesTheTaxedLine",
     Tax,
     Bills,
     Lines,
     {"1|1|Contractor|-1000|Yes|Yes|Service Tax", "1|2|TDS 194C|20.000|No|No|", "1|4|Cash|1102.400|No|No|"}},
    {"WithoutAdjAmountBillsAreASignedZero",
     NoAdjAmount,
     {R({{"LEDGER", "A"}, {"DEBIT", "5"}, {"ASSESSABLEAMT", "5"}}),
      R({{"LEDGER", "B"}, {"CREDIT", "5"}, {"TDSLEDGER", "TDS"}})},
     QStringLiteral("Select Amount_ from TaxBillAllocation union all Select Amount_ from BillAllocation"),
     {"-0.000", "0.000"}},
    {"CostAllocationsCountPerVoucher",
     Tax,
     {R({{"LEDGER", "A"},
         {"DEBIT", "100"},
         {"COSTCENTRE", "X"},
         {"COSTAMOUNT", "60"},
         {"COSTCATEGORY", "Jobs"}}),
      R({{"COSTCENTRE", "Y"}, {"COSTAMOUNT", "-40"}}),
      R({{"LEDGER", "B"}, {"VCHNO", "2"}, {"CREDIT", "100"}, {"COSTCENTRE", "Z"}, {"COSTAMOUNT", "100"}})},
     Costs,
     {"1|1|1|Jobs|X|-60.000", "1|1|2|Primary Cost Category|Y|40.000",
      "2|1|1|Primary Cost Category|Z|100.000"}},
};

struct TaxTransactions : test::PostingFixture, ::testing::WithParamInterface<TaxCase> {};

TEST_P(TaxTransactions, StageWhatTheRowsSay) {
    const TaxCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(STTDSTransactionKind(run), Recorder());
    EXPECT_FALSE(sent.isEmpty());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(STTDSTransactions, TaxTransactions, ::testing::ValuesIn(TaxCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TaxTransactions, ARowWithoutLedgerOnlyAddsACostAllocation) {
    const QString carries = QStringLiteral("ERROR: a row without LEDGER carries an amount or a bill");
    const std::pair<Cells, QString> cases[] = {
        {{{"DEBIT", "5"}}, carries},
        {{{"ASSESSABLEAMT", "5"}}, carries},
        {{{"TDSLEDGER", "TDS"}}, carries},
        {{{"COSTCENTRE", "X"}},
         QStringLiteral("ERROR: an allocation row comes before the first ledger line")},
    };
    for (const auto& [cells, status] : cases) {
        const QStringList line = R({{"LEDGER", "A"}, {"DEBIT", "5"}});
        const bool before = status != carries;
        Load(Tax, before ? QList<QStringList>{R(cells), line} : QList<QStringList>{line, R(cells)});
        sent.clear();
        VoucherRun run(form, db);
        run.Run(STTDSTransactionKind(run), Recorder());
        EXPECT_EQ(Status(2), status);
        EXPECT_TRUE(sent.isEmpty());
    }
}

TEST_F(TaxTransactions, TheVoucherGoesOutWithItsBillsUnderItsLines) {
    test::ScriptedServer server;
    TallyLink link{settings, errors, server};
    Load(Tax, Bills);
    PostSTTDSTransaction(form, link);
    ASSERT_EQ(server.imports.size(), 1u);
    test::ExpectGolden(server.imports[0], QStringLiteral("sttdstransaction.xml"));
}

} // namespace
} // namespace quibo
