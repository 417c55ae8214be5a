// The staged voucher loop every voucher poster runs: which rows make a voucher, its id and company,
// the batch it is staged in, the outcome on its rows, progress and yield. A stand-in poster stages a
// header and one ledger line per row ("FAIL" as the ledger makes its writer fail); the recording
// sender shows what was committed when each voucher went.

#include "vouchers/VoucherRun.h"

#include "staging/StagingWriters.h"
#include "vouchers/PostingFixture.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::Mehta;
using test::Sharma;

const QStringList Keyed = {"VCHTYPE", "VCHNO", "VCHDATE", "LEDGER"};
const QStringList ById = {"ID", "VCHNO", "LEDGER"};
const QStringList WithCompany = {"VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "COMPANYNAME"};

struct Loop : test::PostingFixture {
    void Run(const std::function<void(VoucherKind&)>& rules = {}) {
        VoucherRun run(form, db);
        int line = 0;
        VoucherKind kind{
            {QStringLiteral("LEDGER")},
            [&] { line = 0; },
            [&](const VoucherPlace& at) {
                if (run.Cell(at.row, QStringLiteral("LEDGER")) == QLatin1String("REFUSE"))
                    return at.Fail(QStringLiteral("ERROR: refused by the poster"));
                const QString& ledger = run.Cell(at.row, QStringLiteral("LEDGER"));
                VoucherRow header;
                header.GUID_ = at.key;
                LedgerEntryRow entry;
                entry.LedgerName_ = ledger;
                if (ledger == QLatin1String("FAIL")) { // as a writer fails: reported
                    errors.ErrorIn(QStringLiteral("C01--0011"));
                    return false;
                }
                return (!at.firstRow || SaveVoucher(errors, db, at.company, header, at.voucherId)) &&
                       SaveLedgerEntry(errors, db, at.company, entry, at.voucherId, QString::number(++line));
            },
            {},
            {},
            {}};
        if (rules) rules(kind);
        run.Run(kind, Recorder());
    }
    QStringList Statuses() const {
        QStringList out;
        for (int row = 1; row <= form.GR1.RowCount(); ++row)
            out << Status(row);
        return out;
    }
};

struct GroupingCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QStringList sent;
    QStringList statuses; // every grid row's, the closing empty row's last
};

const QString S = Sharma + QLatin1Char('/');
const QString NulIn = QStringLiteral("Ca") + QChar(u'\0') + QStringLiteral("sh");
const QString NulLedger = QStringLiteral("ERROR: column LEDGER holds a NUL character");
const GroupingCase GroupingCases[] = {
    {"AdjacentRowsOfOneKeyAreOneVoucher",
     Keyed,
     {{"Payment", "7", "01-Apr-2009", "Rent"},
      {"Payment", "7", "01-Apr-2009", "Cash"},
      {"Payment", "8", "", "Tea"}},
     {S + "1: Rent, Cash", S + "2: Tea"},
     {"", "CREATED", "CREATED", ""}},
    {"OnlyAdjacentRowsAreGroupedAndCaseCounts",
     Keyed,
     {{"Payment", "7", "d", "Rent"}, {"Receipt", "7", "d", "Cash"}, {"payment", "7", "d", "Tea"}},
     {S + "1: Rent", S + "2: Cash", S + "3: Tea"},
     {"CREATED", "CREATED", "CREATED", ""}},
    {"TheIdAloneGroupsAndAnyIdIsAKey",
     ById,
     {{"00", "1", "Rent"}, {"00", "2", "Cash"}},
     {S + "1: Rent, Cash"},
     {"", "CREATED", ""}},
    {"ABlankIdEndsTheVoucherAndBelongsToNone",
     ById,
     {{"A", "1", "Rent"}, {"", "1", "Cash"}, {" ", "1", "Tea"}, {"B", "2", "Tax"}},
     {S + "1: Rent", S + "2: Tax"},
     {"CREATED", "ERROR: empty ID", "ERROR: empty ID", "CREATED", ""}},
    {"AWriterThatFailsFailsItsVoucherOnly",
     Keyed,
     {{"J", "1", "d", "Rent"}, {"J", "1", "d", "FAIL"}, {"J", "1", "d", "Cash"}, {"J", "2", "d", "Tea"}},
     {S + "2: Tea"},
     {"", "", "ERROR: voucher not staged (C01--0011)", "CREATED", ""}},
    {"APosterThatFailsAVoucherGivesItsOutcome",
     Keyed,
     {{"J", "1", "d", "Rent"}, {"J", "1", "d", "REFUSE"}, {"J", "1", "d", "Cash"}, {"J", "2", "d", "Tea"}},
     {S + "2: Tea"},
     {"", "", "ERROR: refused by the poster", "CREATED", ""}},
    {"ACellHoldingANulRefusesItsVoucherOnWhicheverRow",
     Keyed,
     {{"J", "1", "d", "Rent"},
      {"J", "1", "d", NulIn},
      {"J", "1", "d", "Cash"},
      {"J", "2", "d", "Tea"},
      {"J", "3", "d", NulIn}},
     {S + "2: Tea"},
     {"", "", NulLedger, "CREATED", NulLedger, ""}},
    {"EachVoucherGoesToTheCompanyOfItsFirstRow",
     WithCompany,
     {{"J", "1", "d", "Rent", Mehta},
      {"J", "1", "d", "Cash", ""},
      {"J", "2", "d", "Tea", "  "},
      {"J", "3", "d", "Tax", Mehta}},
     {Mehta + "/1: Rent, Cash", S + "2: Tea", Mehta + "/3: Tax"},
     {"", "CREATED", "CREATED", "CREATED", ""}},
    {"AGridOfOnlyTheEmptyRowSendsNothing", Keyed, {}, {}, {""}},
};

class Grouping : public Loop, public ::testing::WithParamInterface<GroupingCase> {};

TEST_P(Grouping, SendsEachVoucherOnceWithItsCommittedRows) {
    const GroupingCase& c = GetParam();
    Load(c.fields, c.rows);
    Run();
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(Statuses(), c.statuses);
}

INSTANTIATE_TEST_SUITE_P(Loop, Grouping, ::testing::ValuesIn(GroupingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Loop, EmptiesEarlierRunsShowsProgressAndYieldsOncePerRow) {
    ASSERT_TRUE(SaveBankAllocation(errors, db, Sharma, {}, QStringLiteral("1"), QStringLiteral("1"),
                                   QStringLiteral("1")));
    Load(Keyed, {{"J", "1", "d", "Rent"}, {"J", "2", "d", "Cash"}});
    Run();
    EXPECT_EQ(Staged(QStringLiteral("Select count(*) from BankAllocation")), QStringList({"0"}));
    // The closing empty row stages nothing of its own.
    EXPECT_EQ(Staged(QStringLiteral("Select VchID from Voucher order by VchID")), QStringList({"1", "2"}));
    EXPECT_EQ(Progress(), QStringList({"Deleting Previous Data", "", "Processed Document: 1",
                                       "Processed Document: 2", "Finished Posing of Data."}));
    EXPECT_EQ(yield.count, 3);
    EXPECT_EQ(form.GR1.SelectedRow(), 2);
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(Loop, AVoucherStillOpenAfterTheLastRowIsSent) {
    Load(Keyed, {{"J", "1", "d", "Rent"}, {"J", "1", "d", "Cash"}}, false);
    Run();
    EXPECT_EQ(sent, QStringList({S + "1: Rent, Cash"}));
    EXPECT_EQ(Status(2), QStringLiteral("CREATED"));
}

TEST_F(Loop, EachOutcomeMarksItsVouchersLastRowWithoutColourWhenThereIsNoId) {
    struct Mark {
        const char* ledger; // "Rent" is sent, and answered with the outcome
        TallyOutcome outcome;
        QString status;
        int icon;
    };
    const Mark marks[] = {
        {"Rent", {"CREATED", true}, "CREATED", 0},
        {"Rent", {"altered", true}, "altered", 0},
        {"Rent", {"Combined", true}, "Combined", 0},
        {"Rent", {"errors Ledger 'X' does not exist", true}, "errors Ledger 'X' does not exist", 1},
        {"Rent", {"", true}, "ERROR: no reply from the Tally server", 1},
        {"Rent", {"", false}, "ERROR: not sent, see the error log", 1},
        {"Rent", {"<RESPONSE>odd</RESPONSE>", true}, "<RESPONSE>odd</RESPONSE>", -1},
        {"REFUSE", {}, "ERROR: refused by the poster", 1},
        {"FAIL", {}, "ERROR: voucher not staged (C01--0011)", 1},
    };
    QList<QStringList> rows;
    for (const Mark& mark : marks) {
        if (QLatin1String(mark.ledger) == QLatin1String("Rent")) answers.push_back(mark.outcome);
        rows.append({"J", QString::number(rows.size()), "d", mark.ledger});
    }
    Load(Keyed, rows);
    Run();
    for (int row = 1; row <= int(std::size(marks)); ++row) {
        const Mark& mark = marks[row - 1];
        EXPECT_EQ(Status(row), mark.status) << row;
        EXPECT_EQ(Icon(row), mark.icon) << row;
        EXPECT_TRUE(Unmarked(row)) << row;
    }
}

TEST_F(Loop, APostersOwnKeyFirstIdAndEndRuleHold) {
    // Blank IDs continue the open voucher; ids start at 5; a voucher of one line is refused at its end.
    Load(ById, {{"", "1", "Rent"}, {"A", "1", "Rent"}, {"", "1", "Cash"}, {"B", "2", "Tea"}});
    Run([](VoucherKind& kind) {
        kind.key = [](int row, const QString* open) {
            const QString id = row == 1 ? QString() : row == 4 ? QStringLiteral("B") : QStringLiteral("A");
            return row == 3 && open ? *open : id;
        };
        kind.firstVoucherNumber = [] { return 5; };
        kind.endVoucher = [n = 0]() mutable {
            return ++n == 2 ? QStringLiteral("ERROR: one line") : QString();
        };
    });
    EXPECT_EQ(sent, QStringList({S + "5: Rent, Cash"}));
    EXPECT_EQ(Statuses(), QStringList({"ERROR: empty ID", "", "CREATED", "ERROR: one line", ""}));
    EXPECT_EQ(Staged(QStringLiteral("Select count(*) from LedgerEntry where FK_VchID = '6'")),
              QStringList({"0"}));
}

TEST_F(Loop, WithAnIdEveryFailureMarksAllItsVouchersRowsAndNoOthers) {
    answers = {{"ERRORS", true}, {"CREATED", true}, {"CREATED", true}, {"", true}};
    Load(ById, {{"7", "1", "Rent"},
                {"7", "1", "Cash"},
                {"8", "2", "Tea"},
                {"7", "3", "Tax"}, // the same ID again, in a voucher of its own that was taken
                {"9", "4", "REFUSE"},
                {" ", "5", "Rent"},
                {"10", "6", "FAIL"},
                {"11", "7", "Rent"}});
    Run();
    const bool failed[] = {true, true, false, false, true, true, true, true, false};
    ASSERT_EQ(form.GR1.RowCount(), int(std::size(failed)));
    for (int row = 1; row <= form.GR1.RowCount(); ++row) {
        EXPECT_EQ(Red(row), failed[row - 1]) << row;
        EXPECT_EQ(Bold(row), failed[row - 1]) << row;
    }
}

TEST_F(Loop, ASecondPostShowsItsOwnOutcomeAlone) {
    answers = {{"ERRORS", true}};
    Load(ById, {{"7", "1", "Rent"}, {"7", "1", "Cash"}});
    Run();
    ASSERT_TRUE(Red(1) && Red(2) && Bold(2));
    Run();
    EXPECT_EQ(Status(2), QStringLiteral("CREATED"));
    EXPECT_EQ(Icon(2), 0);
    for (int row = 1; row <= 2; ++row)
        EXPECT_TRUE(Unmarked(row)) << row;
}

} // namespace
} // namespace quibo
