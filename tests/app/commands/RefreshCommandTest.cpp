#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"

namespace quibo {
namespace {

using test::CommandsTest;

const QString Msg = QStringLiteral("msg");
const QString Stat = QStringLiteral("stat");

QString Dots(const QString& text) {
    return QStringLiteral(".........") + text;
}

TEST_F(CommandsTest, WithoutAddressOrPortTheDialogOpensAndNoRequestIsSent) {
    StartServer();
    settings.set(QStringLiteral("PortNo"), QString());
    settings.set(QStringLiteral("DateFormat"), QStringLiteral("dd/MM/yyyy"));
    settings.set(QStringLiteral("DecimalPlaces"), QStringLiteral("0.00"));
    commands->cmdRefresh_Click();
    EXPECT_EQ(dialogs.optionsShown, 1);
    EXPECT_EQ(Requests(), 0u);
    EXPECT_EQ(form.DateFormat, QStringLiteral("dd/MM/yyyy")); // reloaded whatever happens next
    EXPECT_EQ(form.DecimalPlaces, QStringLiteral("0.00"));
    EXPECT_TRUE(statusLine.changes.isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(form.IsBusy());
}

TEST_F(CommandsTest, AServerThatDoesNotAnswerIsReportedInThePanelAndABox) {
    settings.set(QStringLiteral("ServerAddress"), QStringLiteral("127.0.0.1"));
    settings.set(QStringLiteral("PortNo"), QString::number(DeadPort()));
    form.cmbCurrentCompanyList.AddItem(QStringLiteral("Earlier Co"));
    form.cmbCurrentCompanyList.SetListIndex(0);
    commands->cmdRefresh_Click();

    EXPECT_EQ(statusLine.changes,
              QStringList({QStringLiteral("msg=") + Dots(QStringLiteral("Initializing Tally Engine")),
                           QStringLiteral("stat=") + Dots(QStringLiteral("Wait...")),
                           QStringLiteral("stat=") + Dots(QStringLiteral("Tally is not running."))}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Tally is not running."));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Tally Search."));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(form.cmbCurrentCompanyList.items(), QStringList({QStringLiteral("Earlier Co")}));
    EXPECT_EQ(form.cmbCurrentCompanyList.Text(), QStringLiteral("Earlier Co"));
}

TEST_F(CommandsTest, ARefreshListsTheCompaniesAndSelectsTheOpenOne) {
    StartServer({"Acme Traders", "Beta Ltd"}, [](sim::Options& o) { o.current = "Beta Ltd"; });
    commands->cmdRefresh_Click();

    EXPECT_EQ(form.cmbCurrentCompanyList.items(),
              QStringList({QStringLiteral("Acme Traders"), QStringLiteral("Beta Ltd")}));
    EXPECT_EQ(form.cmbCurrentCompanyList.Text(), QStringLiteral("Beta Ltd"));
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Beta Ltd"));
    EXPECT_EQ(statusLine.changes,
              QStringList({QStringLiteral("msg=") + Dots(QStringLiteral("Initializing Tally Engine")),
                           QStringLiteral("stat=") + Dots(QStringLiteral("Wait...")),
                           QStringLiteral("msg=") + Dots(QStringLiteral("Checking Tally Version")),
                           QStringLiteral("stat=") + Dots(QStringLiteral("TallyPrime Server is Running")),
                           QStringLiteral("msg=") + Dots(QStringLiteral("Getting Current Company List")),
                           QStringLiteral("msg=") + Dots(QStringLiteral("Reading Current Company List")),
                           QStringLiteral("msg=") + Dots(QStringLiteral("Getting Current Company")),
                           QStringLiteral("msg=")}));
    EXPECT_EQ(form.SB.panel(Stat), Dots(QStringLiteral("TallyPrime Server is Running")));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Requests(), 4u);
}

TEST_F(CommandsTest, TheServerUrlIsBuiltFromTheSettingsAsTheyStand) {
    StartServer();
    settings.set(QStringLiteral("ServerAddress"), QStringLiteral("localhost"));
    commands->cmdRefresh_Click();
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    ASSERT_FALSE(server->requestLog().empty());
    EXPECT_EQ(server->requestLog()[0].method, "GET");
    EXPECT_EQ(server->requestLog()[0].header("Host"), "localhost:" + std::to_string(port));
}

TEST_F(CommandsTest, AnEmptyBannerEndsTheRefreshQuietly) {
    StartServer({"Acme Traders"}, [](sim::Options& o) { o.banner = ""; });
    commands->cmdRefresh_Click();
    EXPECT_EQ(Requests(), 2u); // the check and the banner, no company request
    EXPECT_EQ(form.SB.panel(Stat), QString());
    EXPECT_EQ(form.SB.panel(Msg), Dots(QStringLiteral("Checking Tally Version")));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(form.cmbCurrentCompanyList.ListCount(), 0);
    EXPECT_EQ(form.CurrentCompany, QString());
}

TEST_F(CommandsTest, CompanyNamesHoldingErrorAreLeftOutAndASecondOneTellsTheUser) {
    StartServer({"Acme Traders", "ERROR Holdings", "Error Inc"});
    commands->cmdRefresh_Click();

    EXPECT_EQ(form.cmbCurrentCompanyList.items(),
              QStringList({QStringLiteral("Acme Traders"), QStringLiteral("Error Inc")}));
    EXPECT_EQ(form.cmbCurrentCompanyList.ListIndex(), -1); // the box's text is not set
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    EXPECT_EQ(form.SB.panel(Msg), Dots(QStringLiteral("Could not find company.")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Tally is running.\r\nBut, could not find company.\r\n\r\n"
                             "Please Check the following settings.\r\n1. Company is Selected in Tally.\r\n"
                             "2. Tally is showing some text as \"ODBC\" in the Calculator Window.\r\n"
                             "3. You have specified correct Server Address and Port Number in Varnel menu "
                             "Main > Options. \r\n"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
}

TEST_F(CommandsTest, AFirstCompanyHoldingErrorIsLeftOutWithoutAMessage) {
    StartServer({"ERROR First", "Beta Ltd"}, [](sim::Options& o) { o.current = "Beta Ltd"; });
    commands->cmdRefresh_Click();
    EXPECT_EQ(form.cmbCurrentCompanyList.items(), QStringList({QStringLiteral("Beta Ltd")}));
    EXPECT_EQ(form.cmbCurrentCompanyList.Text(), QStringLiteral("Beta Ltd"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CommandsTest, TheOldRequestIsUsedOnlyForUseOldTallyExactlyYes) {
    struct Case {
        QString useOld;
        QStringList listed;
        const char* requestMark;
    };
    const Case cases[] = {
        {QStringLiteral("Yes"), {QStringLiteral("Acme Traders")}, "List of Companies"},
        {QStringLiteral("yes"), {QString()}, "List of Compa\""},
        {QString(), {QString()}, "List of Compa\""},
    };
    for (const Case& c : cases) {
        // This server understands the old request only: the new one gets an answer without names.
        StartServer({"Acme Traders"}, [](sim::Options& o) { o.oldCompanyList = true; });
        settings.set(QStringLiteral("UseOldTally"), c.useOld);
        boxes.shown.clear();
        commands->cmdRefresh_Click();
        EXPECT_EQ(form.cmbCurrentCompanyList.items(), c.listed) << c.useOld.toStdString();
        ASSERT_GE(server->requestLog().size(), 3u);
        EXPECT_NE(server->requestLog()[2].body.find(c.requestMark), std::string::npos)
            << c.useOld.toStdString();
        EXPECT_TRUE(boxes.shown.empty()) << c.useOld.toStdString();
    }
}

TEST_F(CommandsTest, AFailedCompanyQueryListsNoCompanyFoundAndLeavesTheBoxUnselected) {
    sim::Simulator& sim = StartServer();
    sim.setFaults({sim::FaultKind::Close, 3, 0}); // the third request, the company list, is dropped
    commands->cmdRefresh_Click();
    EXPECT_EQ(form.cmbCurrentCompanyList.items(), QStringList({QStringLiteral("No Company Found.")}));
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    EXPECT_EQ(form.cmbCurrentCompanyList.ListIndex(), -1);
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace quibo
