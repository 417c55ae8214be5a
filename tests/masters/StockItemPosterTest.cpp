// PostStockItems: a stock item per run of rows sharing a NAME, its own columns from the first row,
// batches, standard costs and prices, components and excise godowns from every row of the run.

#include "masters/MasterFixture.h"
#include "masters/MasterPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct StockItems : test::MasterFixture {
    void SetUp() override {
        Seed("UNIT", "Nos", "<ISSIMPLEUNIT>Yes</ISSIMPLEUNIT>");
        Seed("UNIT", "kg", "<ISSIMPLEUNIT>Yes</ISSIMPLEUNIT>");
        Seed("STOCKGROUP", "Fasteners", "<PARENT>Primary</PARENT>");
    }
};

const QStringList ExampleFields = {
    "NAME",         "PARENT",      "CATEGORY", "BASEUNITS",    "GODOWNNAME",  "BATCHNAME", "OPENINGBALANCE",
    "OPENINGVALUE", "OPENINGRATE", "MFDON",    "EXPIRYPERIOD", "STDCOSTDATE", "STDCOST"};

TEST_F(StockItems, TheSampleMaster) {
    Load(ExampleFields, {{"Hex Bolt M8", "Fasteners", "", "Nos", "Main Location", "B-0424", "10", "500", "50",
                          "01-04-2024", "365 Days", "1-Apr-2024", "48"},
                         {"", "", "", "", "Bhiwandi Store", "", "5", "", "", "", "", "", ""},
                         {"Washer M8", "Fasteners", "", "Nos", "", "", "", "", "", "", "", "", ""}});
    PostStockItems(form, link);

    EXPECT_EQ(Requests(), QStringList({"STOCKITEM Hex Bolt M8 -> Sharma Traders",
                                       "STOCKITEM Washer M8 -> Sharma Traders"}));
    EXPECT_EQ(Message(0), QStringLiteral(R"(<STOCKITEM NAME="Hex Bolt M8" ACTION="Create">
  <PARENT>Fasteners</PARENT>
  <COSTINGMETHOD>Avg. Cost</COSTINGMETHOD>
  <VALUATIONMETHOD>Avg. Price</VALUATIONMETHOD>
  <BASEUNITS>Nos</BASEUNITS>
  <OPENINGBALANCE>10</OPENINGBALANCE>
  <OPENINGRATE>50</OPENINGRATE>
  <OPENINGVALUE>-500</OPENINGVALUE>
  <BATCHALLOCATIONS.LIST>
    <GODOWNNAME>Main Location</GODOWNNAME>
    <BATCHNAME>B-0424</BATCHNAME>
    <OPENINGBALANCE>10</OPENINGBALANCE>
    <OPENINGVALUE>-500</OPENINGVALUE>
    <OPENINGRATE>50</OPENINGRATE>
    <MFDON>01-04-2024</MFDON>
    <EXPIRYPERIOD>365</EXPIRYPERIOD>
  </BATCHALLOCATIONS.LIST>
  <BATCHALLOCATIONS.LIST>
    <GODOWNNAME>Bhiwandi Store</GODOWNNAME>
    <BATCHNAME/>
    <OPENINGBALANCE>5</OPENINGBALANCE>
    <OPENINGVALUE>0</OPENINGVALUE>
    <OPENINGRATE>0</OPENINGRATE>
    <MFDON/>
    <EXPIRYPERIOD>0</EXPIRYPERIOD>
  </BATCHALLOCATIONS.LIST>
  <STANDARDCOSTLIST.LIST>
    <DATE>1-Apr-2024</DATE>
    <RATE>48</RATE>
  </STANDARDCOSTLIST.LIST>
  <NAME.LIST>
    <NAME>Hex Bolt M8</NAME>
  </NAME.LIST>
</STOCKITEM>)"));
    EXPECT_EQ(Status(1), QString());
    EXPECT_EQ(Status(2), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(3), QStringLiteral("CREATED "));
    // The progress text shows the item's last row.
    EXPECT_EQ(Progress(), QStringList({"Processed Stock Items: 2", "Processed Stock Items: 3"}));
    EXPECT_EQ(form.GR1.SelectedRow(), 3);
    EXPECT_TRUE(InStore("STOCKITEM", "Washer M8"));
}

TEST_F(StockItems, EveryItemColumnReachesItsElement) {
    Load({"NAME",
          "NAMEALIAS",
          "PARENT",
          "CATEGORY",
          "COSTINGMETHOD",
          "VALUATIONMETHOD",
          "BASEUNITS",
          "ADDITIONALUNIT",
          "DENOMINATOR",
          "CONVERSION",
          "BASICRATEOFEXCISE",
          "RATEOFVAT",
          "ISBATCHWISEON",
          "HASMFGDATE",
          "ISPERISHABLEON",
          "ISCOSTCENTRESON",
          "IGNORENEGATIVESTOCK",
          "OPENINGBALANCE",
          "OPENINGVALUE",
          "OPENINGRATE",
          "PARTNO",
          "DESCRIPTION",
          "REMARK",
          "MFGQTY",
          "MFGUNIT",
          "EXCISECOMMODITY",
          "VATCOMMODITY",
          "BASEPRICE",
          "PURCHASEDISC",
          "SALESDISC",
          "VATPER",
          "VATINCL"},
         {{"Cement OPC 53",
           "OPC53",
           "Fasteners",
           "",
           "FIFO",
           "Std. Price",
           "Nos",
           "kg",
           "1",
           "1,000.50",
           "12.5",
           "5",
           "Yes",
           "Yes",
           "No",
           "No",
           "No",
           "1,200",
           "3,30,000",
           "275",
           "UT-53",
           "Grey cement",
           "50 kg bags",
           "10",
           "Nos",
           "2523",
           "VC-9",
           "300",
           "2",
           "3",
           "18",
           "No"}});
    PostStockItems(form, link);
    EXPECT_EQ(Message(0), QStringLiteral(R"(<STOCKITEM NAME="Cement OPC 53" ACTION="Create">
  <PARENT>Fasteners</PARENT>
  <COSTINGMETHOD>FIFO</COSTINGMETHOD>
  <VALUATIONMETHOD>Std. Price</VALUATIONMETHOD>
  <BASEUNITS>Nos</BASEUNITS>
  <ADDITIONALUNITS>kg</ADDITIONALUNITS>
  <ISCOSTCENTRESON>No</ISCOSTCENTRESON>
  <ISBATCHWISEON>Yes</ISBATCHWISEON>
  <ISPERISHABLEON>No</ISPERISHABLEON>
  <IGNORENEGATIVESTOCK>No</IGNORENEGATIVESTOCK>
  <HASMFGDATE>Yes</HASMFGDATE>
  <ISPERISHABLEON>No</ISPERISHABLEON>
  <CONVERSION>1000.5</CONVERSION>
  <DENOMINATOR>1</DENOMINATOR>
  <BASICRATEOFEXCISE>12.5</BASICRATEOFEXCISE>
  <RATEOFVAT>5</RATEOFVAT>
  <OPENINGBALANCE>1200</OPENINGBALANCE>
  <OPENINGRATE>275</OPENINGRATE>
  <OPENINGVALUE>-330000</OPENINGVALUE>
  <BASICQTY>10Nos</BASICQTY>
  <BASICTARIFFTYPE>2523</BASICTARIFFTYPE>
  <VATCOMMODITY>VC-9</VATCOMMODITY>
  <NAME.LIST>
    <NAME>Cement OPC 53</NAME>
    <NAME>OPC53</NAME>
  </NAME.LIST>
  <ADDITIONALNAME.LIST>
    <ADDITIONALNAME>UT-53</ADDITIONALNAME>
  </ADDITIONALNAME.LIST>
  <DESCRIPTION>Grey cement</DESCRIPTION>
  <NARRATION>50 kg bags</NARRATION>
  <UDF:PELTRAXONBASEPRC.LIST>
    <UDF:PELTRAXONBASEPRC>300</UDF:PELTRAXONBASEPRC>
  </UDF:PELTRAXONBASEPRC.LIST>
  <UDF:PELTRAXONVATPRC.LIST>
    <UDF:PELTRAXONVATPRC>18</UDF:PELTRAXONVATPRC>
  </UDF:PELTRAXONVATPRC.LIST>
  <UDF:PELTRAXONVATINCL.LIST>
    <UDF:PELTRAXONVATINCL>No</UDF:PELTRAXONVATINCL>
  </UDF:PELTRAXONVATINCL.LIST>
  <UDF:PELTRAXONPURDISC.LIST>
    <UDF:PELTRAXONPURDISC>2</UDF:PELTRAXONPURDISC>
  </UDF:PELTRAXONPURDISC.LIST>
  <UDF:PELTRAXONSALDISC.LIST>
    <UDF:PELTRAXONSALDISC>3</UDF:PELTRAXONSALDISC>
  </UDF:PELTRAXONSALDISC.LIST>
</STOCKITEM>)"));
}

TEST_F(StockItems, MethodDefaultsHoldOnlyWhenTheColumnIsAbsent) {
    Load({"NAME", "PARENT", "CATEGORY", "BASEUNITS", "COSTINGMETHOD"},
         {{"Hex Nut M8", "Fasteners", "", "Nos", ""}});
    PostStockItems(form, link);
    EXPECT_EQ(Message(0).indexOf(QLatin1String("COSTINGMETHOD")), -1) << Message(0).toStdString();
    EXPECT_NE(Message(0).indexOf(QLatin1String("<VALUATIONMETHOD>Avg. Price</VALUATIONMETHOD>")), -1);
}

TEST_F(StockItems, ComponentsNeedAnItemAndAGodown) {
    Load({"NAME", "PARENT", "CATEGORY", "BASEUNITS", "BOMITEM", "BOMGODOWN", "BOMQTY", "BOMUNIT",
          "STDPRICEDATE", "STDPRICE", "STDCOSTDATE", "STDCOST"},
         {{"Bolt Kit", "Fasteners", "", "Nos", "Hex Bolt M8", "Main Location", "", "Nos", "1-Apr-2024",
           "1,250", "1-Apr-2024", ""},
          {"", "", "", "", "Washer M8", "", "4", "Nos", "", "", "", ""},
          {"", "", "", "", "Hex Nut M8", "Main Location", "2", "Nos", "", "", "", ""}});
    PostStockItems(form, link);
    const QString message = Message(0);
    // An empty quantity counts 0; a component without a godown is none; a cost without a rate is none.
    EXPECT_NE(message.indexOf(QLatin1String(R"(<COMPONENTLIST.LIST>
    <STOCKITEMNAME>Hex Bolt M8</STOCKITEMNAME>
    <GODOWNNAME>Main Location</GODOWNNAME>
    <ACTUALQTY>0 Nos</ACTUALQTY>
  </COMPONENTLIST.LIST>
  <COMPONENTLIST.LIST>
    <STOCKITEMNAME>Hex Nut M8</STOCKITEMNAME>
    <GODOWNNAME>Main Location</GODOWNNAME>
    <ACTUALQTY>2 Nos</ACTUALQTY>
  </COMPONENTLIST.LIST>)")),
              -1)
        << message.toStdString();
    EXPECT_EQ(message.indexOf(QLatin1String("Washer")), -1);
    EXPECT_EQ(message.indexOf(QLatin1String("STANDARDCOSTLIST")), -1);
    // A price goes as the cell holds it.
    EXPECT_NE(message.indexOf(QLatin1String("<RATE>1,250</RATE>")), -1);
}

TEST_F(StockItems, ExciseGodownsTakeTheirThreeFurtherColumns) {
    Load({"NAME", "PARENT", "CATEGORY", "BASEUNITS", "EXCISEGODOWN", "EXCISEUNITNAME", "VALUATIONTYPE",
          "STOCKITEMTYPE"},
         {{"Hex Bolt M8", "Fasteners", "", "Nos", "Bonded", "kg", "Default", "Finished Goods"}});
    PostStockItems(form, link);
    EXPECT_NE(Message(0).indexOf(QLatin1String(R"(<EXCISEITEMGODOWN.LIST>
    <EXCISEGODOWNNAME>Bonded</EXCISEGODOWNNAME>
    <EXCISEREPUNITS>kg</EXCISEREPUNITS>
    <EXCISEALLOCTYPE>Default</EXCISEALLOCTYPE>
    <STOCKITEMTYPE>Finished Goods</STOCKITEMTYPE>
  </EXCISEITEMGODOWN.LIST>)")),
              -1)
        << Message(0).toStdString();
}

struct MissingItemColumn {
    const char* name;
    QStringList fields;
};

struct ItemRequiredColumns : StockItems, ::testing::WithParamInterface<MissingItemColumn> {};

TEST_P(ItemRequiredColumns, EndTheRunBeforeTheFirstItem) {
    Load(GetParam().fields, {QStringList(GetParam().fields.size(), QStringLiteral("x"))});
    server.clearRequestLog();
    PostStockItems(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"F01-0022"}));
}

INSTANTIATE_TEST_SUITE_P(
    StockItems, ItemRequiredColumns,
    ::testing::Values(MissingItemColumn{"Parent", {"NAME", "CATEGORY", "BASEUNITS"}},
                      MissingItemColumn{"Category", {"NAME", "PARENT", "BASEUNITS"}},
                      MissingItemColumn{"BaseUnits", {"NAME", "PARENT", "CATEGORY"}},
                      MissingItemColumn{"MfgUnitWithMfgQty",
                                        {"NAME", "PARENT", "CATEGORY", "BASEUNITS", "MFGQTY"}},
                      MissingItemColumn{"ValuationTypeWithExciseGodown",
                                        {"NAME", "PARENT", "CATEGORY", "BASEUNITS", "EXCISEGODOWN",
                                         "EXCISEUNITNAME", "STOCKITEMTYPE"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StockItems, AnExistingItemBetweenTwoOthersAddsNothingToThem) {
    Seed("STOCKITEM", "Washer M8", "<PARENT>Fasteners</PARENT><BASEUNITS>Nos</BASEUNITS>");
    Load({"NAME", "PARENT", "CATEGORY", "BASEUNITS", "GODOWNNAME", "OPENINGBALANCE"},
         {{"Hex Bolt M8", "Fasteners", "", "Nos", "Main Location", "10"},
          {"Washer M8", "Fasteners", "", "Nos", "Main Location", "99"},
          {"", "", "", "", "Bhiwandi Store", "98"},
          {"Hex Nut M8", "Fasteners", "", "Nos", "", ""}});
    server.clearRequestLog();
    form.chkSkipMst.value = 1;
    PostStockItems(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists STOCK ITEMS: Hex Bolt M8", "exists STOCK ITEMS: Washer M8",
                           "STOCKITEM Hex Bolt M8 -> Sharma Traders", "exists STOCK ITEMS: Washer M8",
                           "exists STOCK ITEMS: Hex Nut M8", "STOCKITEM Hex Nut M8 -> Sharma Traders"}));
    EXPECT_EQ(Message(0).count(QLatin1String("<BATCHALLOCATIONS.LIST>")), 1);
    EXPECT_EQ(Message(0).indexOf(QLatin1String("99")), -1);
    EXPECT_EQ(Status(2), QStringLiteral("SKIPED"));
    EXPECT_EQ(Status(3), QStringLiteral("SKIPED"));
    EXPECT_EQ(Status(4), QStringLiteral("CREATED "));
}

} // namespace
} // namespace quibo
