// The queries and senders against the simulated Tally server: what it receives, what it stores and
// what the program makes of its answers.

#include "base/MemorySettingsStore.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/MasterSenders.h"
#include "tally/ObjectExists.h"
#include "tally/ServerQueries.h"
#include "tally/TallyLink.h"
#include "tally/TallyTestSupport.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

sim::Options Companies(std::vector<std::string> names, std::string current = {}) {
    sim::Options options;
    options.companies = std::move(names);
    options.current = std::move(current);
    return options;
}

struct OnSimulator : test::ReportingTest {
    explicit OnSimulator(sim::Options options = Companies({"Acme & Sons", "Beta Traders"}))
        : server(std::move(options)) {}

    sim::Simulator server;
    int port = server.start();
    QString url = QStringLiteral("http://127.0.0.1:") + QString::number(port);
    MemorySettingsStore settings;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};

    void SetUp() override {
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(port));
    }
    QStringList expectedReports; // location codes
    void TearDown() override { EXPECT_EQ(locations(), expectedReports) << errors.lastReport().toStdString(); }

    std::string Store(const char* company = "Acme & Sons") const { return server.storeXml(company); }
};

// --- The queries.

TEST_F(OnSimulator, RefreshSequence) {
    QString current;
    EXPECT_TRUE(IsTallyRunning(transport, url));
    EXPECT_EQ(GetTallyServerBanner(transport, url), QStringLiteral("TallyPrime Server is Running"));
    EXPECT_EQ(GetCompanyList(transport, url), QStringList({"Acme & Sons", "Beta Traders", ""}));
    EXPECT_EQ(GetCurrentCompany(transport, url, current), QStringLiteral("Acme & Sons"));
    EXPECT_EQ(current, QStringLiteral("Acme & Sons"));

    // The request bytes are pinned by the query tests; here, what the server made of them.
    const auto log = server.requestLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].method, "GET");
}

struct OnOldSimulator : OnSimulator {
    static sim::Options Old() {
        sim::Options options = Companies({"Acme & Sons"}, "Acme & Sons");
        options.oldCompanyList = true;
        options.bannerWithoutResponse = true;
        return options;
    }
    OnOldSimulator() : OnSimulator(Old()) {}
};

TEST_F(OnOldSimulator, OldServerAnswersTheOldCompanyListAndNoBanner) {
    EXPECT_EQ(GetTallyServerBanner(transport, url), QStringLiteral("Tally ees 6.3 Server is Running."));
    EXPECT_EQ(GetCompanyListOld(transport, url), QStringList({"Acme & Sons", ""}));
    const QStringList newStyle = GetCompanyList(transport, url);
    ASSERT_EQ(newStyle.size(), 2);
    EXPECT_EQ(newStyle[0], QString());
    EXPECT_TRUE(newStyle[1].contains(QStringLiteral("Unknown Request"))) << newStyle[1].toStdString();
    EXPECT_EQ(server.requestLog().size(), 3u);
}

struct OnEmptySimulator : OnSimulator {
    OnEmptySimulator() : OnSimulator(Companies({})) {}
};

TEST_F(OnEmptySimulator, NoCompanyLoaded) {
    QString current = QStringLiteral("Acme");
    EXPECT_EQ(GetCurrentCompany(transport, url, current), QString());
    const QStringList list = GetCompanyList(transport, url);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0], QString());
    EXPECT_FALSE(list[1].isEmpty()); // the reply itself, for the caller to search
}

// --- The object-exists query.

TEST_F(OnSimulator, ObjectsOfTheOpenCompany) {
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true));
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("GROUPS"), QStringLiteral("Sundry Debtors"), true));
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Profit & Loss A/c"), true));
    EXPECT_TRUE(
        TallyObjectExistsRaw(link, QStringLiteral("Ledger"), QStringLiteral("Profit &amp; Loss A/c")));
    EXPECT_FALSE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Petty Cash"), true));
    EXPECT_FALSE(TallyObjectExists(link, QStringLiteral("STOCK ITEMS"), QStringLiteral("Bolt"), true));
    EXPECT_FALSE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), false));
    EXPECT_EQ(server.requestLog().size(), 6u);
}

// --- The senders: each creates its master in the company's store.

TEST_F(OnSimulator, EverySenderCreatesItsMaster) {
    const QString company = QStringLiteral("Acme & Sons");
    const QString create = QStringLiteral("Create");

    UnitMaster nos;
    nos.name = QStringLiteral("Nos");
    nos.isSimpleUnit = QStringLiteral("Yes");
    nos.originalName = QStringLiteral("Numbers");
    nos.decimalPlaces = QStringLiteral("0");
    UnitMaster box;
    box.name = QStringLiteral("Box of 12");
    box.isSimpleUnit = QStringLiteral("No");
    box.baseUnits = QStringLiteral("Box");
    box.additionalUnits = QStringLiteral("Nos");
    box.conversion = QStringLiteral("12");
    UnitMaster boxUnit;
    boxUnit.name = QStringLiteral("Box");
    boxUnit.isSimpleUnit = QStringLiteral("Yes");
    GodownMaster store;
    store.name = QStringLiteral("Back Store");
    store.alias = QStringLiteral("BS");
    store.parent = QStringLiteral("Primary");
    GroupMaster debtors;
    debtors.name = QStringLiteral("Trade Debtors");
    debtors.parent = QStringLiteral("Sundry Debtors");
    debtors.isBillWiseOn = QStringLiteral("Yes");
    LedgerMaster ledger;
    ledger.name = QStringLiteral("Cash & Carry Stores");
    ledger.alias = QStringLiteral("C&C");
    ledger.parent = QStringLiteral("Trade Debtors");
    ledger.addressLines = {QStringLiteral("12 Harbour Road"), QString(), QStringLiteral("Mumbai"), QString()};
    ledger.state = QStringLiteral("Maharashtra");
    ledger.isBillWiseOn = QStringLiteral("Yes");
    ledger.bills = {
        {QStringLiteral("1-Apr-2024"), QStringLiteral("INV/1"), QStringLiteral("30"),
         QStringLiteral("1500.50")},
        {QStringLiteral("2-Apr-2024"), QStringLiteral("INV/2"), QStringLiteral("30"), QStringLiteral("250")}};
    ledger.paymentDetails = {{QStringLiteral("State Bank"), QStringLiteral("001122"),
                              QStringLiteral("SBIN0001"), QStringLiteral("Cash & Carry"),
                              QStringLiteral("Primary"), QString(), QStringLiteral("Yes"),
                              QStringLiteral("Cheque")}};
    StockGroupMaster fasteners;
    fasteners.name = QStringLiteral("Fasteners");
    fasteners.parent = QStringLiteral("Primary");
    fasteners.baseUnits = QStringLiteral("Nos");
    StockCategoryMaster imported;
    imported.name = QStringLiteral("Imported");
    imported.parent = QStringLiteral("{Not Applicable}");
    StockItemMaster bolt;
    bolt.name = QStringLiteral("Bolt M8");
    bolt.alias = QStringLiteral("BM8");
    bolt.parent = QStringLiteral("Fasteners");
    bolt.category = QStringLiteral("Imported");
    bolt.baseUnits = QStringLiteral("Nos");
    bolt.costingMethod = QStringLiteral("Avg. Cost");
    bolt.openingBalance = QStringLiteral("15");
    bolt.batches = {{QStringLiteral("Main Location"), QString(), QStringLiteral("10"), QStringLiteral("-500"),
                     QStringLiteral("50"), QString(), QStringLiteral("0")},
                    {QStringLiteral("Back Store"), QString(), QStringLiteral("5"), QStringLiteral("-250"),
                     QStringLiteral("50"), QString(), QStringLiteral("0")}};
    bolt.standardPrices = {{QStringLiteral("1-Apr-2024"), QStringLiteral("60")}};
    bolt.basePrice = QStringLiteral("55");
    CostCategoryMaster projects;
    projects.name = QStringLiteral("Projects");
    projects.allocateRevenue = QStringLiteral("Yes");
    CostCentreMaster site;
    site.name = QStringLiteral("Site A");
    site.category = QStringLiteral("Projects");

    EXPECT_EQ(SendUnit(link, company, nos, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendUnit(link, company, boxUnit, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendUnit(link, company, box, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendGodown(link, company, store, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendGroup(link, company, debtors, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendLedger(link, company, ledger, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendStockGroup(link, company, fasteners, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendStockCategory(link, company, imported, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendStockItem(link, company, bolt, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendCostCategory(link, company, projects, create), QStringLiteral("CREATED "));
    EXPECT_EQ(SendCostCentre(link, company, site, create), QStringLiteral("CREATED "));

    const std::pair<const char*, const char*> created[] = {
        {"UNIT", "Nos"},          {"UNIT", "Box of 12"},       {"GODOWN", "Back Store"},
        {"GODOWN", "BS"},         {"GROUP", "Trade Debtors"},  {"LEDGER", "Cash & Carry Stores"},
        {"LEDGER", "C&C"},        {"STOCKGROUP", "Fasteners"}, {"STOCKCATEGORY", "Imported"},
        {"STOCKITEM", "Bolt M8"}, {"STOCKITEM", "BM8"},        {"COSTCATEGORY", "Projects"},
        {"COSTCENTRE", "Site A"},
    };
    for (const auto& [kind, name] : created) {
        EXPECT_TRUE(server.objectExists("Acme & Sons", kind, name)) << kind << " " << name;
        EXPECT_FALSE(server.objectExists("Beta Traders", kind, name)) << kind << " " << name;
    }
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("STOCK ITEMS"), QStringLiteral("Bolt M8"), true));
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("C&C"), true));

    // What the store kept is what the senders sent.
    const std::string stored = Store();
    for (const char* part :
         {"<OPENINGBALANCE> 1750.5</OPENINGBALANCE>", "<LEDSTATENAME>Maharashtra</LEDSTATENAME>",
          "<ADDRESS>Mumbai</ADDRESS>", "<BANKNAME>State Bank</BANKNAME>", "<BILLDATE>2-Apr-2024</BILLDATE>",
          "<GODOWNNAME>Back Store</GODOWNNAME>", "<UDF:PELTRAXONBASEPRC>55</UDF:PELTRAXONBASEPRC>",
          "<CONVERSION>12</CONVERSION>", "<ALLOCATEREVENUE>Yes</ALLOCATEREVENUE>",
          "<CATEGORY>Projects</CATEGORY>"})
        EXPECT_NE(stored.find(part), std::string::npos) << part << " in\n" << stored;
}

TEST_F(OnSimulator, AlterRenamesAndARefusalComesBackAsTheOutcome) {
    GodownMaster store;
    store.name = QStringLiteral("Back Store");
    EXPECT_EQ(SendGodown(link, QStringLiteral("Beta Traders"), store, QStringLiteral("Create")),
              QStringLiteral("CREATED "));
    store.currentName = QStringLiteral("Back Store");
    store.name = QStringLiteral("Rear Store");
    EXPECT_EQ(SendGodown(link, QStringLiteral("Beta Traders"), store, QStringLiteral("Alter")),
              QStringLiteral("ALTERED "));
    EXPECT_TRUE(server.objectExists("Beta Traders", "GODOWN", "Rear Store"));
    EXPECT_FALSE(server.objectExists("Beta Traders", "GODOWN", "Back Store"));

    StockItemMaster item;
    item.name = QStringLiteral("Washer");
    item.baseUnits = QStringLiteral("Dozen");
    EXPECT_EQ(SendStockItem(link, QStringLiteral("Beta Traders"), item, QStringLiteral("Create")),
              QStringLiteral("ERRORS Unit 'Dozen' does not exist! - "));
    EXPECT_FALSE(server.objectExists("Beta Traders", "STOCKITEM", "Washer"));
}

} // namespace
} // namespace quibo
