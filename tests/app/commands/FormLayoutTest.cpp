#include "app/commands/FormLayout.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QString Excel = QStringLiteral("Excel");
const QString Access = QStringLiteral("Access");
const QString Odbc = QStringLiteral("ODBC");

TEST(FormLayoutTest, ATooSmallWindowSnapsBackToTheMinimumAndIsLaidOutForIt) {
    FormLayout start = FormLayout::Design();
    start.Width = 5000;
    start.Height = 5000;
    const FormLayout f = Form_Resize(start, Odbc, false);

    EXPECT_EQ(f.Width, 10110);
    EXPECT_EQ(f.Height, 8460);
    // The design sizes: buttons 1335 x 435, label 1935 x 255, boxes 345 high,
    // check boxes 3600 x 285, status bar 375, ODBC frame 1215 high.
    EXPECT_EQ(f.cmdRefresh, (TwipsRect{8500, 50, 1335, 435}));
    EXPECT_EQ(f.Label17, (TwipsRect{60, 140, 1935, 255}));
    EXPECT_EQ(f.cmbCurrentCompanyList, (TwipsRect{2145, 95, 6205, 345}));
    EXPECT_EQ(f.cmdPost, (TwipsRect{60, 6650, 1335, 435}));
    EXPECT_EQ(f.cmdClose, (TwipsRect{8500, 6650, 1335, 435}));
    EXPECT_EQ(f.cmbTableName, (TwipsRect{1895, 6695, 2505, 345}));
    EXPECT_EQ(f.chkChkMst, (TwipsRect{4900, 6725, 3600, 285}));
    EXPECT_EQ(f.chkSkipMst, f.chkChkMst); // the two share one place
    EXPECT_EQ(f.TabSource, (TwipsRect{60, 540, 9785, 1715}));
    for (const TwipsRect& frame : f.frSource) {
        EXPECT_EQ(frame.Left, 210);
        EXPECT_EQ(frame.Top, 890); // 350 below the tab strip's top
        EXPECT_EQ(frame.Width, 9485);
    }
    EXPECT_EQ(f.TabData, (TwipsRect{60, 2355, 9785, 4095}));
    EXPECT_EQ(f.lstItemTree, (TwipsRect{225, 2805, 9485, 3495}));
    EXPECT_EQ(f.GR1, f.lstItemTree);
    EXPECT_EQ(f.lstLedgerTree, f.lstItemTree);
    EXPECT_EQ(f.lstTransactions, f.lstItemTree);
}

TEST(FormLayoutTest, TheSourceTabStripIsAsHighAsTheSelectedFramePlus500) {
    struct Case {
        QString tab;
        int frameHeight;
    };
    FormLayout start = FormLayout::Design();
    start.frSource[0].Height = 700;
    start.frSource[1].Height = 1100;
    start.frSource[2].Height = 1300;
    for (const Case& c : {Case{Excel, 700}, Case{Access, 1100}, Case{Odbc, 1300}}) {
        const FormLayout f = Form_Resize(start, c.tab, false);
        EXPECT_EQ(f.TabSource.Height, c.frameHeight + 500) << c.tab.toStdString();
        EXPECT_EQ(f.TabData.Top, f.TabSource.Top + f.TabSource.Height + 100) << c.tab.toStdString();
    }
    // A tab of another caption leaves the height as it stood.
    start.TabSource.Height = 4321;
    EXPECT_EQ(Form_Resize(start, QStringLiteral("excel"), false).TabSource.Height, 4321);
}

TEST(FormLayoutTest, ALargerWindowKeepsItsSizeAndPushesTheRightAndBottomControls) {
    FormLayout start = FormLayout::Design();
    start.Width = 15000;
    start.Height = 12000;
    start.SBHeight = 600;
    const FormLayout f = Form_Resize(start, Excel, false);
    EXPECT_EQ(f.Width, 15000);
    EXPECT_EQ(f.Height, 12000);
    EXPECT_EQ(f.cmdRefresh.Left, 15000 - 1335 - 275);
    EXPECT_EQ(f.cmdPost.Top, 12000 - 435 - 600 - 1000);
    EXPECT_EQ(f.cmdClose.Left, f.cmdRefresh.Left);
}

TEST(FormLayoutTest, ThePostButtonTopIsTakenWithItsOwnHeightBeforeItTakesTheRefreshButtons) {
    FormLayout start = FormLayout::Design();
    start.cmdPost.Height = 300;
    const FormLayout f = Form_Resize(start, Excel, false);
    EXPECT_EQ(f.cmdPost.Top, 8460 - 300 - 375 - 1000);
    EXPECT_EQ(f.cmdPost.Height, 435);
}

TEST(FormLayoutTest, AMinimisedWindowKeepsItsLayout) {
    FormLayout start = Form_Resize(FormLayout::Design(), Excel, false);
    FormLayout minimised = start;
    minimised.Width = 2000;
    minimised.Height = 400;
    EXPECT_EQ(Form_Resize(minimised, Excel, true), minimised);
    // Restored, it is laid out again.
    EXPECT_EQ(Form_Resize(minimised, Excel, false), start);
}

} // namespace
} // namespace quibo
