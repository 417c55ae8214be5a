#include "base/FormModel.h"

#include "base/FormFixture.h"

namespace quibo {
namespace {

using test::FormTest;

TEST_F(FormTest, StatShowsNineFullStopsBeforeTheText) {
    form.stat(QStringLiteral("Wait..."), QStringLiteral("stat"));
    EXPECT_EQ(form.SB.panel(QStringLiteral("stat")), QStringLiteral(".........Wait..."));
    form.stat(QStringLiteral("Reading Records => 3/10"), QStringLiteral("msg"));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QStringLiteral(".........Reading Records => 3/10"));
    form.stat(QString(), QStringLiteral("msg"));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QString());
    EXPECT_EQ(statusLine.changes,
              QStringList({QStringLiteral("stat=.........Wait..."),
                           QStringLiteral("msg=.........Reading Records => 3/10"), QStringLiteral("msg=")}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormTest, StatWithAnUnknownPanelReportsAndChangesNothing) {
    form.stat(QStringLiteral("x"), QStringLiteral("msg"));
    form.stat(QStringLiteral("y"), QStringLiteral("Progress"));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QStringLiteral(".........x"));
    for (const QString& key : StatusBar::Keys) {
        if (key != QStringLiteral("msg")) {
            EXPECT_EQ(form.SB.panel(key), QString()) << key.toStdString();
        }
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(errors.lastReport().endsWith(QStringLiteral("=> LOCATION CODE: F01-0040() \r\n")));
}

TEST_F(FormTest, IsEmptyRowLooksAtEveryColumnOfTheWorkingGrid) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PARENT"), QStringLiteral("PROCESSSTATUS")},
             {{QString(), QString(), QString()},
              {QStringLiteral("   "), QStringLiteral(" "), QString()},
              {QString(), QString(), QStringLiteral("CREATED ")},
              {QStringLiteral("Cash"), QString(), QString()},
              {QStringLiteral("\t"), QString(), QString()}});
    const bool expected[] = {true, true, false, false, false};
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(form.IsEmptyRow(row), expected[row - 1]) << row;
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormTest, IsEmptyRowOfARowThatDoesNotExistReportsAndSaysEmpty) {
    loadWork({QStringLiteral("NAME")}, {{QStringLiteral("x")}});
    EXPECT_TRUE(form.IsEmptyRow(7));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0046()")));
}

TEST_F(FormTest, IsEmptyRowExLooksAtTheSourceGrid) {
    loadSource({QStringLiteral("Name"), QStringLiteral("Parent")},
               {{QStringLiteral("  "), QString()}, {QString(), QStringLiteral("Sundry Debtors")}});
    EXPECT_TRUE(form.IsEmptyRowEx(1));
    EXPECT_FALSE(form.IsEmptyRowEx(2));
    EXPECT_FALSE(form.IsEmptyRowEx(0)); // the field names
    EXPECT_TRUE(form.IsEmptyRowEx(9));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0046A()")));
}

TEST_F(FormTest, IsEmptyRowExFollowsChangedCellsAndANewlyBoundTable) {
    const QString x = QStringLiteral("x"), spaces = QStringLiteral("  ");
    loadSource({QStringLiteral("A"), QStringLiteral("B")}, {{x, QString()}, {spaces, QString()}});
    EXPECT_FALSE(form.IsEmptyRowEx(1));
    EXPECT_TRUE(form.IsEmptyRowEx(2));
    form.lstLedgerTree.SetTextMatrix(2, 1, x);
    form.lstLedgerTree.SetTextMatrix(1, 0, spaces);
    EXPECT_TRUE(form.IsEmptyRowEx(1));
    EXPECT_FALSE(form.IsEmptyRowEx(2));
    // A new table's texts are numbered afresh: "  " now has the number "x" had.
    loadSource({QStringLiteral("A")}, {{spaces}, {x}});
    EXPECT_TRUE(form.IsEmptyRowEx(1));
    EXPECT_FALSE(form.IsEmptyRowEx(2));
}

TEST_F(FormTest, HeaderExistsComparesHeadersNotKeys) {
    form.GR1.AddColumn(QStringLiteral("AMOUNT"), QStringLiteral("Amount"));
    form.GR1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    const struct {
        const char* name;
        bool exists;
    } cases[] = {{"process status", true}, {"PROCESS STATUS", true}, {"PROCESSSTATUS", false},
                 {"amount", true},         {" amount", false},       {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(form.HeaderExists(QString::fromLatin1(c.name)), c.exists) << c.name;
}

TEST_F(FormTest, ValidHeaderAllowsLettersDigitsParenthesesHyphensPointsAndBackspace) {
    const struct {
        QString text;
        bool valid;
    } cases[] = {
        {QString(), true},
        {QStringLiteral("Sales(18%)"), false},
        {QStringLiteral("Sales(18)"), true},
        {QStringLiteral("Output-CGST.9"), true},
        {QStringLiteral("Output CGST"), false},
        {QStringLiteral("Output_CGST"), false},
        {QStringLiteral("Dr") + QChar(8), true},
        {QStringLiteral("Café"), false},
        {QStringLiteral("A\tB"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(form.ValidHeader(c.text), c.valid) << c.text.toStdString();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormTest, VoucherKeyUsesTheSourcesOwnIdColumn) {
    loadSource({QStringLiteral("ID"), QStringLiteral("VchType")},
               {{QStringLiteral("7"), QStringLiteral("Sales")}});
    loadWork({QStringLiteral("ID"), QStringLiteral("VCHTYPE"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("7"), QStringLiteral("Sales"), QString()}});
    EXPECT_EQ(form.VoucherKey(1), QStringLiteral("7"));
}

TEST_F(FormTest, VoucherKeyIgnoresAnIdColumnThatOnlyTheWorkingGridHas) {
    loadSource({QStringLiteral("VchType"), QStringLiteral("VchNo"), QStringLiteral("VchDate")},
               {{QStringLiteral("Sales"), QStringLiteral("12"), QStringLiteral("08-Dec-2026")}});
    loadWork(
        {QStringLiteral("VCHTYPE"), QStringLiteral("VCHNO"), QStringLiteral("VCHDATE"), QStringLiteral("ID")},
        {{QStringLiteral("Sales"), QStringLiteral("12"), QStringLiteral("08-Dec-2026"),
          QStringLiteral("Sales-12-08-Dec-2026-R1")}});
    EXPECT_EQ(form.VoucherKey(1), QStringLiteral("Sales-12-08-Dec-2026"));
}

TEST_F(FormTest, RunGuardRefusesASecondCommandUntilTheFirstEnds) {
    {
        auto post = form.BeginCommand(QStringLiteral("Post"));
        ASSERT_TRUE(post);
        EXPECT_TRUE(form.IsBusy());
        EXPECT_EQ(form.RunningCommand(), QStringLiteral("Post"));
        auto refresh = form.BeginCommand(QStringLiteral("Refresh"));
        EXPECT_FALSE(refresh);
        EXPECT_EQ(form.RunningCommand(), QStringLiteral("Post"));
    }
    EXPECT_FALSE(form.IsBusy());
    EXPECT_TRUE(form.BeginCommand(QStringLiteral("Refresh")));
}

TEST_F(FormTest, ARefusalShowsUntilTheRunningCommandEndsUnlessItWasWrittenOver) {
    const QString stat = QStringLiteral("stat");
    form.stat(QStringLiteral("Banner"), stat);
    {
        auto post = form.BeginCommand(QStringLiteral("Post"));
        form.SayRefused(QStringLiteral("Close refused."));
        form.SayRefused(QStringLiteral("Post refused."));
        EXPECT_EQ(form.SB.panel(stat), QStringLiteral(".........Post refused."));
    }
    EXPECT_EQ(form.SB.panel(stat), QStringLiteral(".........Banner"));
    {
        auto refresh = form.BeginCommand(QStringLiteral("Refresh"));
        form.SayRefused(QStringLiteral("Close refused."));
        form.stat(QStringLiteral("New banner"), stat);
    }
    EXPECT_EQ(form.SB.panel(stat), QStringLiteral(".........New banner"));
}

TEST_F(FormTest, ComboTextIsTheSelectedEntry) {
    ComboBox& combo = form.cmbTableName;
    combo.AddItem(QStringLiteral(">>Select Import Type<<"));
    combo.AddItem(QStringLiteral("LEDGERS"));
    EXPECT_EQ(combo.Text(), QString());
    combo.SetListIndex(1);
    EXPECT_EQ(combo.Text(), QStringLiteral("LEDGERS"));
    combo.SetListIndex(5);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_TRUE(combo.SelectText(QStringLiteral(">>Select Import Type<<")));
    EXPECT_FALSE(combo.SelectText(QStringLiteral("ledgers")));
    combo.Clear();
    EXPECT_EQ(combo.ListCount(), 0);
}

} // namespace
} // namespace quibo
