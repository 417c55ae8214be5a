#include "tally/MasterSenders.h"

#include "tally/SenderTestSupport.h"

#include <ostream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::Crlf;
using test::ExpectGolden;

const QString Create = QStringLiteral("Create");

// Every value field holds its own member name, so the golden file shows which field went where.
StockItemMaster FullStockItem() {
    StockItemMaster r;
    r.currentName = QStringLiteral("Old Item");
    r.name = QStringLiteral("Bolt M8 <Zinc>");
    r.alias = QStringLiteral("BM8");
    r.parent = QStringLiteral("parent");
    r.category = QStringLiteral("category");
    r.taxClassificationName = QStringLiteral("taxClassificationName");
    r.costingMethod = QStringLiteral("costingMethod");
    r.valuationMethod = QStringLiteral("valuationMethod");
    r.baseUnits = QStringLiteral("baseUnits");
    r.additionalUnits = QStringLiteral("additionalUnits");
    r.exciseItemClassification = QStringLiteral("exciseItemClassification");
    r.isCostCentresOn = QStringLiteral("isCostCentresOn");
    r.isBatchWiseOn = QStringLiteral("isBatchWiseOn");
    r.isPerishableOn = QStringLiteral("isPerishableOn");
    r.ignorePhysicalDifference = QStringLiteral("ignorePhysicalDifference");
    r.ignoreNegativeStock = QStringLiteral("ignoreNegativeStock");
    r.treatSalesAsManufactured = QStringLiteral("treatSalesAsManufactured");
    r.treatPurchasesAsConsumed = QStringLiteral("treatPurchasesAsConsumed");
    r.treatRejectsAsScrap = QStringLiteral("treatRejectsAsScrap");
    r.hasMfgDate = QStringLiteral("hasMfgDate");
    r.allowUseOfExpiredItems = QStringLiteral("allowUseOfExpiredItems");
    r.ignoreBatches = QStringLiteral("ignoreBatches");
    r.ignoreGodowns = QStringLiteral("ignoreGodowns");
    r.isMrpInclOfTax = QStringLiteral("isMrpInclOfTax");
    r.reorderAsHigher = QStringLiteral("reorderAsHigher");
    r.minOrderAsHigher = QStringLiteral("minOrderAsHigher");
    r.conversion = QStringLiteral("conversion");
    r.denominator = QStringLiteral("denominator");
    r.basicRateOfExcise = QStringLiteral("basicRateOfExcise");
    r.rateOfVat = QStringLiteral("rateOfVat");
    r.openingBalance = QStringLiteral("openingBalance");
    r.openingRate = QStringLiteral("openingRate");
    r.openingValue = QStringLiteral("openingValue");
    r.basicQty = QStringLiteral("basicQty");
    r.basicTariffType = QStringLiteral("basicTariffType");
    r.vatCommodity = QStringLiteral("vatCommodity");
    r.batches = {{QStringLiteral("Main Location"), QStringLiteral("B-01"), QStringLiteral("10"),
                  QStringLiteral("-500"), QStringLiteral("50"), QStringLiteral("1-Apr-2024"),
                  QStringLiteral("365")},
                 {QStringLiteral("Store"), QString(), QStringLiteral("5"), QStringLiteral("0"),
                  QStringLiteral("0"), QString(), QStringLiteral("0")}};
    r.standardCosts = {{QStringLiteral("1-Apr-2024"), QStringLiteral("48")}};
    r.standardPrices = {{QStringLiteral("1-Apr-2024"), QStringLiteral("60")},
                        {QStringLiteral("1-Oct-2024"), QStringLiteral("65")}};
    r.components = {{QStringLiteral("Steel Rod"), QStringLiteral("Main Location"), QStringLiteral("2"),
                     QStringLiteral("Nos")}};
    r.exciseGodowns = {{QStringLiteral("Bonded"), QStringLiteral("Kgs"), QStringLiteral("Default"),
                        QStringLiteral("Finished Goods")}};
    r.additionalName = QStringLiteral("additionalName");
    r.description = QStringLiteral("description");
    r.narration = QStringLiteral("narration");
    r.basePrice = QStringLiteral("basePrice");
    r.vatPercentage = QStringLiteral("vatPercentage");
    r.vatInclusive = QStringLiteral("vatInclusive");
    r.purchaseDiscount = QStringLiteral("purchaseDiscount");
    r.salesDiscount = QStringLiteral("salesDiscount");
    return r;
}

// The item "Nut" as sent: its start tag, the lines given, then its NAME.LIST and the lines after it.
std::string Nut(const char* lines, const char* after = "") {
    return Crlf(std::string("\n<STOCKITEM NAME=\"Nut\" ACTION=\"Create\">") + lines + R"(
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>)" +
                after + "\n</STOCKITEM>");
}

struct StockItem : test::LinkTest {
    StockItemMaster item;
    StockItem() { item.name = QStringLiteral("Nut"); }
    std::string Send() {
        EXPECT_EQ(SendStockItem(link, QStringLiteral("Acme"), item, Create), QStringLiteral("CREATED "));
        return Master();
    }
};

TEST_F(StockItem, Request) {
    EXPECT_EQ(SendStockItem(link, QStringLiteral("Acme & Sons"), FullStockItem(), Create),
              QStringLiteral("CREATED "));
    ExpectGolden(Body(), QStringLiteral("stock-item-request.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(StockItem, PerishableGoesTwice) {
    item.isPerishableOn = QStringLiteral("Yes");
    item.ignorePhysicalDifference = QStringLiteral("No");
    item.hasMfgDate = QStringLiteral("Yes");
    EXPECT_EQ(Send(), Nut(R"(
  <ISPERISHABLEON>Yes</ISPERISHABLEON>
  <IGNOREPHYSICALDIFFERENCE>No</IGNOREPHYSICALDIFFERENCE>
  <HASMFGDATE>Yes</HASMFGDATE>
  <ISPERISHABLEON>Yes</ISPERISHABLEON>)"));
}

TEST_F(StockItem, ListEntriesWithoutTheirFirstCellAreSkippedAndEmptyCellsSent) {
    item.batches = {{"", "Lost", "1", "", "", "", ""}, {"Store", "", "", "", "", "", ""}};
    item.standardCosts = {{"", "9"}, {"1-Apr-2024", ""}};
    item.standardPrices = {{"", "9"}};
    item.components = {{"", "Main", "1", "Nos"}};
    item.exciseGodowns = {{"Bonded", "", "", ""}, {"", "Kgs", "", ""}};
    EXPECT_EQ(Send(), Nut(R"(
  <BATCHALLOCATIONS.LIST>
    <GODOWNNAME>Store</GODOWNNAME>
    <BATCHNAME/>
    <OPENINGBALANCE/>
    <OPENINGVALUE/>
    <OPENINGRATE/>
    <MFDON/>
    <EXPIRYPERIOD/>
  </BATCHALLOCATIONS.LIST>
  <STANDARDCOSTLIST.LIST>
    <DATE>1-Apr-2024</DATE>
    <RATE/>
  </STANDARDCOSTLIST.LIST>
  <EXCISEITEMGODOWN.LIST>
    <EXCISEGODOWNNAME>Bonded</EXCISEGODOWNNAME>
    <EXCISEREPUNITS/>
    <EXCISEALLOCTYPE/>
    <STOCKITEMTYPE/>
  </EXCISEITEMGODOWN.LIST>)"));
}

TEST_F(StockItem, EveryEntryHasAListElementOfItsOwn) {
    item.standardPrices = {{"1-Apr-2024", "60"}, {"1-Jul-2024", "62"}, {"1-Oct-2024", "65"}};
    EXPECT_EQ(Send(), Nut(R"(
  <STANDARDPRICELIST.LIST>
    <DATE>1-Apr-2024</DATE>
    <RATE>60</RATE>
  </STANDARDPRICELIST.LIST>
  <STANDARDPRICELIST.LIST>
    <DATE>1-Jul-2024</DATE>
    <RATE>62</RATE>
  </STANDARDPRICELIST.LIST>
  <STANDARDPRICELIST.LIST>
    <DATE>1-Oct-2024</DATE>
    <RATE>65</RATE>
  </STANDARDPRICELIST.LIST>)"));
}

struct QuantityCase {
    const char* name;
    const char* quantity;
    const char* unit;
    const char* actualQty; // the element as sent
};

void PrintTo(const QuantityCase& c, std::ostream* os) {
    *os << c.name;
}

struct ComponentQuantity : StockItem, ::testing::WithParamInterface<QuantityCase> {};

TEST_P(ComponentQuantity, IsQuantityBlankUnit) {
    item.components = {{"Steel Rod", "Main", GetParam().quantity, GetParam().unit}};
    const std::string master = Send();
    EXPECT_NE(master.find(std::string("\r\n    <GODOWNNAME>Main</GODOWNNAME>\r\n    ") +
                          GetParam().actualQty + "\r\n  </COMPONENTLIST.LIST>"),
              std::string::npos)
        << master;
}

INSTANTIATE_TEST_SUITE_P(SendStockItem, ComponentQuantity,
                         ::testing::Values(QuantityCase{"Both", "2", "Nos", "<ACTUALQTY>2 Nos</ACTUALQTY>"},
                                           QuantityCase{"NoUnit", "2", "", "<ACTUALQTY>2 </ACTUALQTY>"},
                                           QuantityCase{"NoQuantity", "", "Nos",
                                                        "<ACTUALQTY> Nos</ACTUALQTY>"},
                                           QuantityCase{"Neither", "", "", "<ACTUALQTY> </ACTUALQTY>"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StockItem, NamesThenAdditionalNameThenDescriptionAndNarration) {
    item.alias = QStringLiteral("N-1");
    item.additionalName = QStringLiteral("PN-778");
    item.narration = QStringLiteral("Hex nut");
    EXPECT_EQ(Send(), Crlf(R"(
<STOCKITEM NAME="Nut" ACTION="Create">
  <NAME.LIST>
    <NAME>Nut</NAME>
    <NAME>N-1</NAME>
  </NAME.LIST>
  <ADDITIONALNAME.LIST>
    <ADDITIONALNAME>PN-778</ADDITIONALNAME>
  </ADDITIONALNAME.LIST>
  <NARRATION>Hex nut</NARRATION>
</STOCKITEM>)"));
}

TEST_F(StockItem, PriceFieldsGoEachInAListOfItsOwnWhenGiven) {
    item.basePrice = QStringLiteral("100");
    item.salesDiscount = QStringLiteral("5");
    EXPECT_EQ(Send(), Nut("", R"(
  <UDF:PELTRAXONBASEPRC.LIST>
    <UDF:PELTRAXONBASEPRC>100</UDF:PELTRAXONBASEPRC>
  </UDF:PELTRAXONBASEPRC.LIST>
  <UDF:PELTRAXONSALDISC.LIST>
    <UDF:PELTRAXONSALDISC>5</UDF:PELTRAXONSALDISC>
  </UDF:PELTRAXONSALDISC.LIST>)"));
}

} // namespace
} // namespace quibo
