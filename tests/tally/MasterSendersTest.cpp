#include "tally/MasterSenders.h"

#include "tally/SenderTestSupport.h"

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::Crlf;
using test::ExpectGolden;
using test::LinkTest;

const QString Company = QStringLiteral("Acme & Sons");
const QString Create = QStringLiteral("Create");

// Every value field holds its own member name, so the golden files show which field went where.
GodownMaster FullGodown() {
    GodownMaster r;
    r.currentName = QStringLiteral("Old Store");
    r.name = QStringLiteral("Main Store & Yard");
    r.alias = QStringLiteral("MSY");
    r.parent = QStringLiteral("parent");
    r.jobName = QStringLiteral("jobName");
    r.hasNoSpace = QStringLiteral("hasNoSpace");
    r.hasNoStock = QStringLiteral("hasNoStock");
    return r;
}

UnitMaster FullUnit(const QString& isSimpleUnit) {
    UnitMaster r;
    r.currentName = QStringLiteral("Old Unit");
    r.name = QStringLiteral("Nos");
    r.isSimpleUnit = isSimpleUnit;
    r.originalName = QStringLiteral("originalName");
    r.decimalPlaces = QStringLiteral("decimalPlaces");
    r.baseUnits = QStringLiteral("baseUnits");
    r.additionalUnits = QStringLiteral("additionalUnits");
    r.conversion = QStringLiteral("conversion");
    return r;
}

GroupMaster FullGroup() {
    GroupMaster r;
    r.currentName = QStringLiteral("Old Group");
    r.name = QStringLiteral("Trade Debtors");
    r.alias = QStringLiteral("TD");
    r.parent = QStringLiteral("parent");
    r.isBillWiseOn = QStringLiteral("isBillWiseOn");
    r.isAddable = QStringLiteral("isAddable");
    r.isSubLedger = QStringLiteral("isSubLedger");
    r.isRevenue = QStringLiteral("isRevenue");
    r.affectsGrossProfit = QStringLiteral("affectsGrossProfit");
    r.isDeemedPositive = QStringLiteral("isDeemedPositive");
    r.trackNegativeBalances = QStringLiteral("trackNegativeBalances");
    r.isCondensed = QStringLiteral("isCondensed");
    r.sortPosition = QStringLiteral("sortPosition");
    r.affectsStock = QStringLiteral("affectsStock");
    r.isCostCentreOn = QStringLiteral("isCostCentreOn");
    return r;
}

StockGroupMaster FullStockGroup() {
    StockGroupMaster r;
    r.currentName = QStringLiteral("Old Stock Group");
    r.name = QStringLiteral("Fasteners");
    r.alias = QStringLiteral("FST");
    r.parent = QStringLiteral("parent");
    r.costingMethod = QStringLiteral("costingMethod");
    r.valuationMethod = QStringLiteral("valuationMethod");
    r.baseUnits = QStringLiteral("baseUnits");
    r.additionalUnits = QStringLiteral("additionalUnits");
    r.isBatchWiseOn = QStringLiteral("isBatchWiseOn");
    r.isPerishableOn = QStringLiteral("isPerishableOn");
    r.isAddable = QStringLiteral("isAddable");
    r.ignorePhysicalDifference = QStringLiteral("ignorePhysicalDifference");
    r.ignoreNegativeStock = QStringLiteral("ignoreNegativeStock");
    r.treatSalesAsManufactured = QStringLiteral("treatSalesAsManufactured");
    r.treatPurchasesAsConsumed = QStringLiteral("treatPurchasesAsConsumed");
    r.treatRejectsAsScrap = QStringLiteral("treatRejectsAsScrap");
    r.hasMfgDate = QStringLiteral("hasMfgDate");
    r.allowUseOfExpiredItems = QStringLiteral("allowUseOfExpiredItems");
    r.ignoreBatches = QStringLiteral("ignoreBatches");
    r.ignoreGodowns = QStringLiteral("ignoreGodowns");
    return r;
}

StockCategoryMaster FullStockCategory() {
    StockCategoryMaster r;
    r.currentName = QStringLiteral("Old Category");
    r.name = QStringLiteral("Imported");
    r.alias = QStringLiteral("IMP");
    r.parent = QStringLiteral("parent");
    return r;
}

CostCategoryMaster FullCostCategory() {
    CostCategoryMaster r;
    r.currentName = QStringLiteral("Old Cost Category");
    r.name = QStringLiteral("Projects");
    r.alias = QStringLiteral("PRJ");
    r.affectsStock = QStringLiteral("affectsStock");
    r.allocateRevenue = QStringLiteral("allocateRevenue");
    r.allocateNonRevenue = QStringLiteral("allocateNonRevenue");
    return r;
}

CostCentreMaster FullCostCentre() {
    CostCentreMaster r;
    r.currentName = QStringLiteral("Old Cost Centre");
    r.name = QStringLiteral("Site A");
    r.alias = QStringLiteral("SA");
    r.parent = QStringLiteral("parent");
    r.category = QStringLiteral("category");
    r.affectsStock = QStringLiteral("affectsStock");
    r.forPayroll = QStringLiteral("forPayroll");
    r.forJobCosting = QStringLiteral("forJobCosting");
    r.isEmployeeGroup = QStringLiteral("isEmployeeGroup");
    r.sortPosition = QStringLiteral("sortPosition");
    return r;
}

// One sender over a record whose current name, name and alias the test chooses.
struct SenderCase {
    const char* name;
    const char* location;
    std::function<QString(TallyLink&, const QString& company, const QString& currentName, const QString& name,
                          const QString& alias, const QString& action)>
        send;
    bool hasNameList = true;
};

void PrintTo(const SenderCase& c, std::ostream* os) {
    *os << c.name;
}

template <class Record, class Sender>
SenderCase Case(const char* name, const char* location, Sender sender, bool hasNameList = true) {
    return {name, location,
            [sender](TallyLink& link, const QString& company, const QString& currentName, const QString& n,
                     const QString& alias, const QString& action) {
                Record r;
                r.currentName = currentName;
                r.name = n;
                if constexpr (requires { r.alias; }) r.alias = alias;
                return sender(link, company, r, action);
            },
            hasNameList};
}

const SenderCase AllSenders[] = {
    Case<GodownMaster>("Godown", "C03--0001", SendGodown),
    Case<UnitMaster>("Unit", "C03--0002", SendUnit, false),
    Case<GroupMaster>("Group", "C03--0003", SendGroup),
    Case<LedgerMaster>("Ledger", "C03--0004", SendLedger),
    Case<StockGroupMaster>("StockGroup", "C03--0005", SendStockGroup),
    Case<StockItemMaster>("StockItem", "C03--0006", SendStockItem),
    Case<StockCategoryMaster>("StockCategory", "C03--0007", SendStockCategory),
    Case<CostCategoryMaster>("CostCategory", "C03--0008", SendCostCategory),
    Case<CostCentreMaster>("CostCentre", "C03--0009", SendCostCentre),
};

std::string CaseName(const ::testing::TestParamInfo<SenderCase>& info) {
    return info.param.name;
}

// --- The whole request of each sender, every field filled.

struct Sender : LinkTest {};

TEST_F(Sender, Requests) {
    // Braced lists run in order: the requests arrive in the order of the golden files.
    const QString outcomes[] = {SendGodown(link, Company, FullGodown(), Create),
                                SendUnit(link, Company, FullUnit(QStringLiteral("Yes")), Create),
                                SendGroup(link, Company, FullGroup(), Create),
                                SendStockGroup(link, Company, FullStockGroup(), Create),
                                SendStockCategory(link, Company, FullStockCategory(), Create),
                                SendCostCategory(link, Company, FullCostCategory(), Create),
                                SendCostCentre(link, Company, FullCostCentre(), Create)};
    const char* golden[] = {"godown-request.xml",         "unit-request.xml",
                            "group-request.xml",          "stock-group-request.xml",
                            "stock-category-request.xml", "cost-category-request.xml",
                            "cost-centre-request.xml"};
    for (const QString& outcome : outcomes)
        EXPECT_EQ(outcome, QStringLiteral("CREATED "));
    const auto received = server.received();
    ASSERT_EQ(received.size(), std::size(golden));
    for (size_t i = 0; i < std::size(golden); ++i)
        ExpectGolden(received[i].body, QString::fromLatin1(golden[i]));
    EXPECT_TRUE(locations().isEmpty());
}

// --- What every sender shares.

struct EverySender : LinkTest, ::testing::WithParamInterface<SenderCase> {
    QString Send(const QString& currentName, const QString& name, const QString& alias, const QString& action,
                 const QString& company = Company) {
        return GetParam().send(link, company, currentName, name, alias, action);
    }
    // The master element's start tag.
    std::string StartTag() {
        const std::string master = Master();
        return master.substr(0, master.find("\r\n"));
    }
};

TEST_P(EverySender, AlterTakesTheNameAttributeFromTheCurrentName) {
    Send(QStringLiteral("Old"), QStringLiteral("New"), QString(), QStringLiteral("Alter"));
    EXPECT_EQ(StartTag().substr(StartTag().find(' ')), R"( NAME="Old" ACTION="Alter">)");
}

TEST_P(EverySender, AnyOtherActionTakesTheNameAttributeFromTheName) {
    for (const char* action : {"alter", "ALTER", "Create", "Delete", ""}) {
        Send(QStringLiteral("Old"), QStringLiteral("New"), QString(), QString::fromLatin1(action));
        const auto received = server.received();
        ASSERT_FALSE(received.empty());
        EXPECT_NE(received.back().body.find(std::string(" NAME=\"New\" ACTION=\"") + action + "\">"),
                  std::string::npos)
            << action;
    }
}

TEST_P(EverySender, ReturnsTheReducedReply) {
    server.answer(200, "<RESPONSE><LINEERROR>Group 'Nowhere' does not exist!</LINEERROR><CREATED>0</CREATED>"
                       "<ERRORS>1</ERRORS></RESPONSE>");
    EXPECT_EQ(Send(QString(), QStringLiteral("X"), QString(), Create),
              QStringLiteral("ERRORS Group 'Nowhere' does not exist! - "));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_P(EverySender, AFailedExchangeGivesTheEmptyOutcome) {
    settings.set(settings::PortNo, QString::number(test::ClosedPort()));
    EXPECT_EQ(Send(QString(), QStringLiteral("X"), QString(), Create), QString());
    EXPECT_EQ(locations(), QStringList({"C02-0001"})); // reported by the transport, once
}

TEST_P(EverySender, ACompanyTheEnvelopeCannotHoldIsReportedAndNothingIsSent) {
    EXPECT_EQ(Send(QString(), QStringLiteral("X"), QString(), Create, QStringLiteral("Acme\x01")), QString());
    EXPECT_EQ(locations(), QStringList({GetParam().location}));
    EXPECT_TRUE(server.received().empty());
}

TEST_P(EverySender, ABlankCompanyLeavesTheCurrentCompanyOut) {
    Send(QString(), QStringLiteral("X"), QString(), Create, QStringLiteral("   "));
    EXPECT_NE(Body().find("<STATICVARIABLES/>"), std::string::npos);
    EXPECT_EQ(Body().find("SVCURRENTCOMPANY"), std::string::npos);
}

TEST_P(EverySender, AnEmptyNameIsStillSent) {
    EXPECT_EQ(Send(QString(), QString(), QString(), Create), QStringLiteral("CREATED "));
    // A unit without a name has no child left, so its element closes at once.
    EXPECT_EQ(StartTag().substr(StartTag().find(' '), 24), R"( NAME="" ACTION="Create")");
}

INSTANTIATE_TEST_SUITE_P(MasterSenders, EverySender, ::testing::ValuesIn(AllSenders), CaseName);

// --- NAME.LIST and the alias, for every sender that has one.

struct Alias {
    const char* name;
    const char* alias;
    const char* nameList;
};

const Alias AliasCases[] = {
    {"Cash Box", "", R"(
  <NAME.LIST>
    <NAME>Cash Box</NAME>
  </NAME.LIST>)"},
    {"Cash Box", "Cash Box", R"(
  <NAME.LIST>
    <NAME>Cash Box</NAME>
  </NAME.LIST>)"},
    {"Cash Box", "CASH BOX", R"(
  <NAME.LIST>
    <NAME>Cash Box</NAME>
    <NAME>CASH BOX</NAME>
  </NAME.LIST>)"},
    {"Cash Box", "Petty Cash", R"(
  <NAME.LIST>
    <NAME>Cash Box</NAME>
    <NAME>Petty Cash</NAME>
  </NAME.LIST>)"},
    {"", "Petty Cash", R"(
  <NAME.LIST>
    <NAME>Petty Cash</NAME>
  </NAME.LIST>)"},
    {"", "", R"(
  <NAME.LIST/>)"},
};

struct NameList : EverySender {};

TEST_P(NameList, HoldsTheNameAndADifferentAlias) {
    for (const Alias& c : AliasCases) {
        SCOPED_TRACE(std::string("name '") + c.name + "' alias '" + c.alias + "'");
        Send(QString(), QString::fromLatin1(c.name), QString::fromLatin1(c.alias), Create);
        const auto received = server.received();
        ASSERT_FALSE(received.empty());
        const std::string& body = received.back().body;
        // Under the master element, ten blanks in.
        std::string expected = "\r\n" + Crlf(c.nameList);
        for (size_t at = 0; (at = expected.find("\r\n", at)) != std::string::npos; at += 12)
            expected.insert(at + 2, 10, ' ');
        EXPECT_NE(body.find(expected + "\r\n"), std::string::npos) << body;
        EXPECT_EQ(body.find("<NAME.LIST"), body.rfind("<NAME.LIST")) << "one NAME.LIST";
    }
}

INSTANTIATE_TEST_SUITE_P(MasterSenders, NameList,
                         ::testing::Values(AllSenders[0], AllSenders[2], AllSenders[3], AllSenders[4],
                                           AllSenders[5], AllSenders[6], AllSenders[7], AllSenders[8]),
                         CaseName);

// --- Per sender rules.

struct UnitBranch {
    const char* name;
    const char* isSimpleUnit;
    bool compound;
};

void PrintTo(const UnitBranch& c, std::ostream* os) {
    *os << c.name;
}

struct UnitBranches : LinkTest, ::testing::WithParamInterface<UnitBranch> {};

TEST_P(UnitBranches, SendOnlyTheFieldsOfTheirKind) {
    SendUnit(link, Company, FullUnit(QString::fromLatin1(GetParam().isSimpleUnit)), Create);
    const std::string isSimpleUnit =
        *GetParam().isSimpleUnit
            ? std::string("\n  <ISSIMPLEUNIT>") + GetParam().isSimpleUnit + "</ISSIMPLEUNIT>"
            : "";
    const char* fields = GetParam().compound ? R"(
  <BASEUNITS>baseUnits</BASEUNITS>
  <ADDITIONALUNITS>additionalUnits</ADDITIONALUNITS>
  <CONVERSION>conversion</CONVERSION>)"
                                             : R"(
  <ORIGINALNAME>originalName</ORIGINALNAME>
  <DECIMALPLACES>decimalPlaces</DECIMALPLACES>)";
    EXPECT_EQ(Master(), Crlf(R"(
<UNIT NAME="Nos" ACTION="Create">
  <NAME>Nos</NAME>)" + isSimpleUnit +
                             fields + "\n</UNIT>"));
}

// Compound exactly when the field, trimmed, is "No" in any letter case.
INSTANTIATE_TEST_SUITE_P(SendUnit, UnitBranches,
                         ::testing::Values(UnitBranch{"Simple", "Yes", false},
                                           UnitBranch{"YesInCapitals", "YES", false},
                                           UnitBranch{"YesInLowerCase", "yes", false},
                                           UnitBranch{"AnythingElseIsSimple", "N", false},
                                           UnitBranch{"NotSaidIsSimple", "", false},
                                           UnitBranch{"Compound", "No", true},
                                           UnitBranch{"NoInAnyCaseWithBlanks", " nO ", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sender, CompoundUnitLeavesOutEmptyFields) {
    UnitMaster unit = FullUnit(QStringLiteral("No"));
    unit.additionalUnits.clear();
    SendUnit(link, Company, unit, Create);
    EXPECT_EQ(Master(), Crlf(R"(
<UNIT NAME="Nos" ACTION="Create">
  <NAME>Nos</NAME>
  <ISSIMPLEUNIT>No</ISSIMPLEUNIT>
  <BASEUNITS>baseUnits</BASEUNITS>
  <CONVERSION>conversion</CONVERSION>
</UNIT>)"));
}

TEST_F(Sender, EmptyFieldsAreLeftOutAndBlankOnesSentAsTheyAre) {
    GodownMaster godown;
    godown.name = QStringLiteral("Depot");
    godown.parent = QStringLiteral("   ");
    godown.hasNoStock = QStringLiteral(" No ");
    SendGodown(link, Company, godown, Create);
    EXPECT_EQ(Master(), Crlf(R"(
<GODOWN NAME="Depot" ACTION="Create">
  <PARENT>   </PARENT>
  <HASNOSTOCK> No </HASNOSTOCK>
  <NAME.LIST>
    <NAME>Depot</NAME>
  </NAME.LIST>
</GODOWN>)"));
}

} // namespace
} // namespace quibo
