#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"

namespace quibo {
namespace {

using test::CommandsTest;

class MainWindowCommandsTest : public CommandsTest {
protected:
    void SetUp() override {
        form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")};
        form.tabSourceIndex = 0;
    }
};

TEST_F(MainWindowCommandsTest, SwitchingTheSourceTabShowsItsFrameAndLaysTheWindowOut) {
    commands->Form_Resize(12000, 9000, false);
    commands->SwitchSourceFrame(2);
    const MainWindowState& s = commands->state;
    EXPECT_EQ(s.frSourceVisible, (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(s.layout.TabSource.Height, s.layout.frSource[2].Height + 500);
    EXPECT_EQ(s.layout.frSource[2].Top, s.layout.TabSource.Top + 350);
    EXPECT_EQ(s.layout.Width, 12000);

    commands->SwitchSourceFrame(0);
    EXPECT_EQ(s.frSourceVisible, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(s.layout.TabSource.Height, s.layout.frSource[0].Height + 500);
}

TEST_F(MainWindowCommandsTest, ATabOfAnotherCaptionShowsNoFrameAndKeepsTheHeight) {
    form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Other")};
    commands->SwitchSourceFrame(0);
    const int height = commands->state.layout.TabSource.Height;
    commands->SwitchSourceFrame(1);
    EXPECT_EQ(commands->state.frSourceVisible, (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(commands->state.layout.TabSource.Height, height);
}

TEST_F(MainWindowCommandsTest, ResizingBelowTheMinimumGrowsTheWindowAndMinimisingKeepsTheLayout) {
    commands->Form_Resize(5000, 5000, false);
    EXPECT_EQ(commands->state.layout.Width, 10110);
    EXPECT_EQ(commands->state.layout.Height, 8460);
    const FormLayout before = commands->state.layout;
    commands->Form_Resize(100, 100, true);
    EXPECT_EQ(commands->state.layout, before);
}

TEST_F(MainWindowCommandsTest, TheDataTabShowsTheSourceListOnly) {
    commands->TabData_Click();
    EXPECT_TRUE(commands->state.lstLedgerTreeVisible);
    EXPECT_FALSE(commands->state.lstItemTreeVisible);
    EXPECT_FALSE(commands->state.lstTransactionsVisible);
    form.tabDataIndex = 2;
    commands->TabData_Click();
    EXPECT_FALSE(commands->state.lstLedgerTreeVisible);
    EXPECT_TRUE(commands->state.lstTransactionsVisible);
}

TEST_F(MainWindowCommandsTest, DoubleClickingARowShowsItsLastCellUnlessEmpty) {
    loadSource({QStringLiteral("Name"), QStringLiteral("Parent"), QStringLiteral("Note")},
               {{QStringLiteral("Cash"), QStringLiteral("Cash-in-hand"), QStringLiteral("Petty cash")},
                {QStringLiteral("Bank"), QStringLiteral("Bank Accounts"), QString()}});
    commands->lstLedgerTree_DblClick(2);
    EXPECT_TRUE(boxes.shown.empty());
    commands->lstLedgerTree_DblClick(1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Petty cash"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);

    // The two further lists hold nothing but their blank design cells.
    commands->lstItemTree_DblClick(1);
    commands->lstTransactions_DblClick(1);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(MainWindowCommandsTest, ARowOutsideTheListIsReportedUnderTheListsCode) {
    commands->lstTransactions_DblClick(9);
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0033()")));
}

TEST_F(MainWindowCommandsTest, OptionsRefreshesWhateverTheUserDidInTheDialog) {
    StartServer();
    commands->mnuOptions_Click(); // cancelled: nothing stored, the refresh still runs
    EXPECT_EQ(dialogs.optionsShown, 1);
    EXPECT_EQ(Requests(), 4u);
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
}

TEST_F(MainWindowCommandsTest, OptionsWithNothingStoredOpensTheDialogTwice) {
    // Cancelled with nothing stored: the refresh that follows opens it again.
    commands->mnuOptions_Click();
    EXPECT_EQ(dialogs.optionsShown, 2);
}

TEST_F(MainWindowCommandsTest, AboutShowsTheBox) {
    commands->mnuAbout_Click();
    EXPECT_EQ(dialogs.aboutShown, 1);
}

TEST_F(MainWindowCommandsTest, CloseAndExitUnloadTheFormButNotWhileACommandRuns) {
    {
        const FormModel::Command running = form.BeginCommand(QStringLiteral("Post"));
        commands->cmdClose_Click();
        commands->mnuExit_Click();
        EXPECT_FALSE(commands->state.unloaded);
        EXPECT_FALSE(commands->QueryUnload());
    }
    EXPECT_TRUE(commands->QueryUnload());
    commands->mnuExit_Click();
    EXPECT_TRUE(commands->state.unloaded);
    commands->state.unloaded = false;
    commands->cmdClose_Click();
    EXPECT_TRUE(commands->state.unloaded);
}

TEST_F(MainWindowCommandsTest, TheBrowseButtonsAndTheTableBoxAreRefusedWhileACommandRuns) {
    int loads = 0;
    commands->tableLoader = [&] { ++loads; };
    files.answerNext(QStringLiteral("/nowhere/book.xls"));
    {
        const FormModel::Command running = form.BeginCommand(QStringLiteral("Post"));
        commands->cmbTableName_Click();
        commands->cmdFilePath_Click();
    }
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(files.asked.empty());
    commands->cmbTableName_Click();
    EXPECT_EQ(loads, 1);
}

} // namespace
} // namespace quibo
