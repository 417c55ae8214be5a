// The master posters plugged into the Post command: registered under the names the routing table
// gives, and reached from the command for the import types that route to them.

#include "app/commands/PostRouting.h"
#include "app/commands/CommandsFixture.h"
#include "masters/MasterPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct Routing : ::testing::Test, test::CommandsHarness {
    void SetUp() override {
        StartServer({"Sharma Traders"});
        form.cmbCurrentCompanyList.AddItem(QStringLiteral("Sharma Traders"));
        form.cmbCurrentCompanyList.SetListIndex(0);
        form.SilentMode = true;
    }
    void Choose(const QString& importType) {
        form.cmbTableName.AddItem(importType);
        form.cmbTableName.SetListIndex(form.cmbTableName.ListCount() - 1);
    }
};

TEST_F(Routing, EveryMasterPosterIsRegisteredUnderARoutedName) {
    QStringList routed;
    for (const PostRoute& route : PostRoutes())
        routed << route.procedure;
    for (const QString& procedure : CustomFormatRoutes())
        routed << procedure;
    ASSERT_EQ(MasterPosters().size(), 18u);
    for (const MasterPoster& poster : MasterPosters()) {
        EXPECT_TRUE(routed.contains(poster.procedure)) << poster.procedure.toStdString();
        EXPECT_TRUE(commands->posters.Has(poster.procedure)) << poster.procedure.toStdString();
    }
}

TEST_F(Routing, ThePostCommandPostsTheLedgersOfTheGrid) {
    Choose(QStringLiteral("Ledgers"));
    Load({"NAME", "PARENT"}, {{"Gupta Agencies", "Sundry Debtors"}});
    commands->cmdPost_Click();
    EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Completed);
    EXPECT_EQ(form.GR1.CellText(1, QStringLiteral("PROCESSSTATUS")), QStringLiteral("CREATED "));
    EXPECT_TRUE(server->objectExists("Sharma Traders", "LEDGER", "Gupta Agencies"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Routing, UnitsGstPostsThroughTheUnitSender) {
    Choose(QStringLiteral("UNITSGST"));
    Load({"NAME", "ISSIMPLEUNIT", "ORIGINALNAME", "DECIMALPLACES"}, {{"Nos", "Yes", "Numbers", "0"}});
    commands->cmdPost_Click();
    EXPECT_EQ(form.GR1.CellText(1, QStringLiteral("PROCESSSTATUS")), QStringLiteral("CREATED "));
    EXPECT_TRUE(server->objectExists("Sharma Traders", "UNIT", "Nos"));
}

} // namespace
} // namespace quibo
