#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"

#include <sstream>

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

    // Minimised, the window keeps its layout.
    const FormLayout before = s.layout;
    commands->Form_Resize(100, 100, true);
    EXPECT_EQ(s.layout, before);
}

TEST_F(MainWindowCommandsTest, ATabOfAnotherCaptionShowsNoFrameAndKeepsTheHeight) {
    form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Other")};
    commands->SwitchSourceFrame(0);
    const int height = commands->state.layout.TabSource.Height;
    commands->SwitchSourceFrame(1);
    EXPECT_EQ(commands->state.frSourceVisible, (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(commands->state.layout.TabSource.Height, height);
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
    // Cancelled with nothing stored: the refresh that follows opens the dialog again.
    commands->mnuOptions_Click();
    EXPECT_EQ(dialogs.optionsShown, 2);

    StartServer();
    commands->mnuOptions_Click(); // cancelled again: nothing stored, the refresh still runs
    EXPECT_EQ(dialogs.optionsShown, 3);
    EXPECT_EQ(Requests(), 4u);
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
}

TEST_F(MainWindowCommandsTest, EveryCommandIsRefusedWhileAnotherRuns) {
    StartServer();
    int loads = 0;
    int posts = 0;
    commands->tableLoader = [&] { ++loads; };
    commands->posters.Register(QStringLiteral("PostLedgers"), [&] { ++posts; });
    form.cmbCurrentCompanyList.AddItem(QStringLiteral("Acme Traders"));
    form.cmbCurrentCompanyList.SetListIndex(0);
    form.cmbTableName.AddItem(QStringLiteral("LEDGERS"));
    form.cmbTableName.SetListIndex(0);
    files.answerNext(QStringLiteral("/nowhere/book.xls"));
    form.stat(QStringLiteral("Tally Server 9"), QStringLiteral("stat"));
    {
        const FormModel::Command running = form.BeginCommand(QStringLiteral("Post"));
        struct Refused {
            void (MainCommands::*handler)();
            const char* says;
        };
        const Refused refused[] = {
            {&MainCommands::cmdRefresh_Click, "Refresh is not possible while a post is running."},
            {&MainCommands::cmdPost_Click, "Post is not possible while a post is running."},
            {&MainCommands::cmdClose_Click, "Close is not possible while a post is running."},
            {&MainCommands::mnuExit_Click, "Exit is not possible while a post is running."},
            {&MainCommands::mnuOptions_Click, "Options is not possible while a post is running."},
            {&MainCommands::mnuSaveR_Click, "Save Report is not possible while a post is running."},
            {&MainCommands::cmbTableName_Click, "Load is not possible while a post is running."},
            {&MainCommands::cmdFilePath_Click, "Load is not possible while a post is running."},
        };
        for (const Refused& r : refused) {
            (commands.get()->*r.handler)();
            EXPECT_EQ(form.SB.panel(QStringLiteral("stat")),
                      QStringLiteral(".........") + QString::fromUtf8(r.says));
        }
        EXPECT_FALSE(commands->QueryUnload());
        EXPECT_FALSE(commands->Form_QueryUnload());
        EXPECT_EQ(form.SB.panel(QStringLiteral("stat")),
                  QStringLiteral(".........Close is not possible while a post is running."));
    }
    // The post over, the panel shows what it showed before the refusals.
    EXPECT_EQ(form.SB.panel(QStringLiteral("stat")), QStringLiteral(".........Tally Server 9"));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QString());
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(dialogs.optionsShown, 0);
    EXPECT_TRUE(files.asked.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(commands->state.unloaded);

    // Idle again, they run.
    EXPECT_TRUE(commands->QueryUnload());
    commands->cmbTableName_Click();
    EXPECT_EQ(loads, 1);
}

TEST(ExitStatusTest, TwoWithTheReasonForARunThatDidNotFinishOnItsOwn) {
    struct Case {
        const char* name;
        FormLoadResult result;
        int status;
        const char* err;
    };
    const auto result = [](bool closed, bool failed, bool postRequested) {
        FormLoadResult r;
        r.closed = closed;
        r.failed = failed;
        r.postRequested = postRequested;
        r.reason = QStringLiteral("the reason");
        return r;
    };
    const Case cases[] = {
        {"posted and closed", result(true, false, true), 0, ""},
        {"closed after a failure", result(true, true, true), 2, "quibo: the reason\n"},
        {"a post left open, then closed", result(false, false, true), 2, "quibo: the reason\n"},
        {"a window without a post", result(false, false, false), 0, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream err;
        EXPECT_EQ(ExitStatus(c.result, err), c.status) << c.name;
        EXPECT_EQ(err.str(), c.err) << c.name;
    }
}

} // namespace
} // namespace quibo
