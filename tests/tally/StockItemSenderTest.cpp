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

TEST_F(StockItem, PerishableGoesTwiceOrNotAtAll) {
    item.isPerishableOn = QStringLiteral("Yes");
    item.ignorePhysicalDifference = QStringLiteral("No");
    item.hasMfgDate = QStringLiteral("Yes");
    EXPECT_EQ(Send(), Crlf(R"(
<STOCKITEM NAME="Nut" ACTION="Create">
  <ISPERISHABLEON>Yes</ISPERISHABLEON>
  <IGNOREPHYSICALDIFFERENCE>No</IGNOREPHYSICALDIFFERENCE>
  <HASMFGDATE>Yes</HASMFGDATE>
  <ISPERISHABLEON>Yes</ISPERISHABLEON>
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>
</STOCKITEM>)"));
}

TEST_F(StockItem, ListEntriesWithoutTheirFirstCellAreSkippedAndEmptyCellsSent) {
    item.batches = {{QString(), QStringLiteral("Lost"), QStringLiteral("1"), {}, {}, {}, {}},
                    {QStringLiteral("Store"), {}, {}, {}, {}, {}, {}}};
    item.standardCosts = {{QString(), QStringLiteral("9")}, {QStringLiteral("1-Apr-2024"), QString()}};
    item.standardPrices = {{QString(), QStringLiteral("9")}};
    item.components = {{QString(), QStringLiteral("Main"), QStringLiteral("1"), QStringLiteral("Nos")}};
    item.exciseGodowns = {{QStringLiteral("Bonded"), {}, {}, {}}, {QString(), QStringLiteral("Kgs"), {}, {}}};
    EXPECT_EQ(Send(), Crlf(R"(
<STOCKITEM NAME="Nut" ACTION="Create">
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
  </EXCISEITEMGODOWN.LIST>
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>
</STOCKITEM>)"));
}

TEST_F(StockItem, EveryEntryHasAListElementOfItsOwn) {
    item.standardPrices = {{QStringLiteral("1-Apr-2024"), QStringLiteral("60")},
                           {QStringLiteral("1-Jul-2024"), QStringLiteral("62")},
                           {QStringLiteral("1-Oct-2024"), QStringLiteral("65")}};
    EXPECT_EQ(Send(), Crlf(R"(
<STOCKITEM NAME="Nut" ACTION="Create">
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
  </STANDARDPRICELIST.LIST>
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>
</STOCKITEM>)"));
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
    item.components = {{QStringLiteral("Steel Rod"), QStringLiteral("Main"),
                        QString::fromUtf8(GetParam().quantity), QString::fromUtf8(GetParam().unit)}};
    const std::string master = Send();
    EXPECT_NE(master.find(std::string("\r\n    <GODOWNNAME>Main</GODOWNNAME>\r\n    ") +
                          GetParam().actualQty + "\r\n  </COMPONENTLIST.LIST>"),
              std::string::npos)
        << master;
}

// One blank alone is no text once the request is re-read for sending: the element goes empty.
INSTANTIATE_TEST_SUITE_P(SendStockItem, ComponentQuantity,
                         ::testing::Values(QuantityCase{"Both", "2", "Nos", "<ACTUALQTY>2 Nos</ACTUALQTY>"},
                                           QuantityCase{"NoUnit", "2", "", "<ACTUALQTY>2 </ACTUALQTY>"},
                                           QuantityCase{"NoQuantity", "", "Nos",
                                                        "<ACTUALQTY> Nos</ACTUALQTY>"},
                                           QuantityCase{"Neither", "", "", "<ACTUALQTY/>"}),
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
    EXPECT_EQ(Send(), Crlf(R"(
<STOCKITEM NAME="Nut" ACTION="Create">
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>
  <UDF:PELTRAXONBASEPRC.LIST>
    <UDF:PELTRAXONBASEPRC>100</UDF:PELTRAXONBASEPRC>
  </UDF:PELTRAXONBASEPRC.LIST>
  <UDF:PELTRAXONSALDISC.LIST>
    <UDF:PELTRAXONSALDISC>5</UDF:PELTRAXONSALDISC>
  </UDF:PELTRAXONSALDISC.LIST>
</STOCKITEM>)"));
}

TEST_F(StockItem, AlterNamesTheCurrentItem) {
    item.currentName = QStringLiteral("Hex Nut");
    SendStockItem(link, QString(), item, QStringLiteral("Alter"));
    EXPECT_EQ(Master(), Crlf(R"(
<STOCKITEM NAME="Hex Nut" ACTION="Alter">
  <NAME.LIST>
    <NAME>Nut</NAME>
  </NAME.LIST>
</STOCKITEM>)"));
}

} // namespace
} // namespace quibo
