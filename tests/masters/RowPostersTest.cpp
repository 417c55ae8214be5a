// The seven posters that send one master per row: the record each fills from its row, the object
// type of its exists query, its progress text and its location code.

#include "masters/MasterFixture.h"
#include "masters/MasterPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Poster = void (*)(FormModel&, TallyLink&);

struct PosterCase {
    const char* name;
    Poster post;
    QStringList fields;
    QStringList record;
    const char* message; // the master element sent for the record
    const char* objectType;
    const char* progress;
};

struct EveryRowPoster : test::MasterFixture, ::testing::WithParamInterface<PosterCase> {};

TEST_P(EveryRowPoster, SendsTheRowAsItsMaster) {
    Load(GetParam().fields, {GetParam().record});
    GetParam().post(form, link);
    EXPECT_EQ(Message(0), QString::fromUtf8(GetParam().message));
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Progress(), QStringList({QString::fromUtf8(GetParam().progress) + QStringLiteral("1")}));
    EXPECT_EQ(Locations(), QStringList());
}

TEST_P(EveryRowPoster, AsksAboutItsOwnObjectTypeWhenSkipping) {
    Load(GetParam().fields, {GetParam().record});
    form.chkSkipMst.value = 1;
    GetParam().post(form, link);
    const QString name = GetParam().record.first();
    ASSERT_EQ(Requests().size(), 2);
    EXPECT_EQ(Requests().first(),
              QStringLiteral("exists %1: %2").arg(QString::fromUtf8(GetParam().objectType), name));

    // Asked again, the server knows it now.
    server.clearRequestLog();
    GetParam().post(form, link);
    EXPECT_EQ(Requests().size(), 1);
    EXPECT_EQ(Status(1), QStringLiteral("SKIPED"));
}

const QStringList GroupFields = {"NAME", "NAMEALIAS", "PARENT", "SUBLEDGER"};
const QStringList CentreFields = {"NAME",          "NAMEALIAS",       "PARENT",
                                  "CATEGORY",      "AFFECTSSTOCK",    "FORPAYROLL",
                                  "FORJOBCOSTING", "ISEMPLOYEEGROUP", "SORTPOSITION"};

INSTANTIATE_TEST_SUITE_P(
    RowPosters, EveryRowPoster,
    ::testing::Values(PosterCase{"LedgerGroups",
                                 &PostLedgerGroups,
                                 GroupFields,
                                 {"Debtors - North", "North Debtors", "Sundry Debtors", "No"},
                                 R"(<GROUP NAME="Debtors - North" ACTION="Create">
  <PARENT>Sundry Debtors</PARENT>
  <ISBILLWISEON>No</ISBILLWISEON>
  <ISADDABLE>No</ISADDABLE>
  <ISSUBLEDGER>No</ISSUBLEDGER>
  <ISREVENUE>No</ISREVENUE>
  <AFFECTSGROSSPROFIT>No</AFFECTSGROSSPROFIT>
  <ISDEEMEDPOSITIVE>No</ISDEEMEDPOSITIVE>
  <TRACKNEGATIVEBALANCES>No</TRACKNEGATIVEBALANCES>
  <ISCONDENSED>Yes</ISCONDENSED>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <ISCOSTCENTREON>No</ISCOSTCENTREON>
  <NAME.LIST>
    <NAME>Debtors - North</NAME>
    <NAME>North Debtors</NAME>
  </NAME.LIST>
</GROUP>)",
                                 "GROUPS",
                                 "Processed Ledger Groups: "},
                      PosterCase{"Units",
                                 &PostUnits,
                                 {"NAME", "ISSIMPLEUNIT", "ORIGINALNAME", "DECIMALPLACES"},
                                 {"kg", "Yes", "Kilograms", "3"},
                                 R"(<UNIT NAME="kg" ACTION="Create">
  <NAME>kg</NAME>
  <ISSIMPLEUNIT>Yes</ISSIMPLEUNIT>
  <ORIGINALNAME>Kilograms</ORIGINALNAME>
  <DECIMALPLACES>3</DECIMALPLACES>
</UNIT>)",
                                 "UNITS",
                                 "Processed Units: "},
                      PosterCase{"Godowns",
                                 &PostGodowns,
                                 {"NAME", "NAMEALIAS", "PARENT", "HASNOSTOCK"},
                                 {"Bhiwandi Depot", "BHW", "Primary", "No"},
                                 R"(<GODOWN NAME="Bhiwandi Depot" ACTION="Create">
  <PARENT>Primary</PARENT>
  <HASNOSTOCK>No</HASNOSTOCK>
  <NAME.LIST>
    <NAME>Bhiwandi Depot</NAME>
    <NAME>BHW</NAME>
  </NAME.LIST>
</GODOWN>)",
                                 "GODOWNS",
                                 "Processed Godowns: "},
                      PosterCase{"StockGroups",
                                 &PostStockGroups,
                                 {"NAME", "PARENT", "ISADDABLE", "COSTINGMETHOD"},
                                 {"Fasteners", "Primary", "Yes", "FIFO"},
                                 R"(<STOCKGROUP NAME="Fasteners" ACTION="Create">
  <PARENT>Primary</PARENT>
  <ISADDABLE>Yes</ISADDABLE>
  <NAME.LIST>
    <NAME>Fasteners</NAME>
  </NAME.LIST>
</STOCKGROUP>)",
                                 "STOCK GROUPS",
                                 "Processed Stock Groups: "},
                      PosterCase{"StockCategories",
                                 &PostStockCategories,
                                 {"NAME", "NAMEALIAS", "PARENT"},
                                 {"Imported", "Imported", "Primary"},
                                 R"(<STOCKCATEGORY NAME="Imported" ACTION="Create">
  <PARENT>Primary</PARENT>
  <NAME.LIST>
    <NAME>Imported</NAME>
  </NAME.LIST>
</STOCKCATEGORY>)",
                                 "STOCK CATEGORIES",
                                 "Processed Stock Categories: "},
                      PosterCase{"CostCategories",
                                 &PostCostCategories,
                                 {"NAME", "ALLOCATEREVENUE", "ALLOCATENONREVENUE"},
                                 {"Projects", "Yes", "No"},
                                 R"(<COSTCATEGORY NAME="Projects" ACTION="Create">
  <NAME>Projects</NAME>
  <ALLOCATEREVENUE>Yes</ALLOCATEREVENUE>
  <ALLOCATENONREVENUE>No</ALLOCATENONREVENUE>
  <NAME.LIST>
    <NAME>Projects</NAME>
  </NAME.LIST>
</COSTCATEGORY>)",
                                 "COST CATEGORIES",
                                 "Processed Cost Categories: "},
                      PosterCase{"CostCentres",
                                 &PostCostCentres,
                                 CentreFields,
                                 {"Pune Plant", "PNQ", "Primary", "Primary Cost Category", "No", "No", "Yes",
                                  "No", "5"},
                                 R"(<COSTCENTRE NAME="Pune Plant" ACTION="Create">
  <NAME>Pune Plant</NAME>
  <PARENT>Primary</PARENT>
  <CATEGORY>Primary Cost Category</CATEGORY>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <FORPAYROLL>No</FORPAYROLL>
  <FORJOBCOSTING>Yes</FORJOBCOSTING>
  <ISEMPLOYEEGROUP>No</ISEMPLOYEEGROUP>
  <SORTPOSITION>5</SORTPOSITION>
  <NAME.LIST>
    <NAME>Pune Plant</NAME>
    <NAME>PNQ</NAME>
  </NAME.LIST>
</COSTCENTRE>)",
                                 "COST CENTRES",
                                 "Processed Cost Centres: "}),
    [](const auto& info) { return std::string(info.param.name); });

// --- What each poster reads.

struct RowPosters : test::MasterFixture {};

TEST_F(RowPosters, LedgerGroupsSendTheirFixedFlagsWhateverTheSourceHolds) {
    Load({"NAME", "PARENT", "SUBLEDGER", "ISBILLWISEON", "ISCONDENSED"},
         {{"Debtors - West", "Sundry Debtors", "", "Yes", "No"}});
    PostLedgerGroups(form, link);
    EXPECT_EQ(Message(0), QStringLiteral(R"(<GROUP NAME="Debtors - West" ACTION="Create">
  <PARENT>Sundry Debtors</PARENT>
  <ISBILLWISEON>No</ISBILLWISEON>
  <ISADDABLE>No</ISADDABLE>
  <ISREVENUE>No</ISREVENUE>
  <AFFECTSGROSSPROFIT>No</AFFECTSGROSSPROFIT>
  <ISDEEMEDPOSITIVE>No</ISDEEMEDPOSITIVE>
  <TRACKNEGATIVEBALANCES>No</TRACKNEGATIVEBALANCES>
  <ISCONDENSED>Yes</ISCONDENSED>
  <AFFECTSSTOCK>No</AFFECTSSTOCK>
  <ISCOSTCENTREON>No</ISCOSTCENTREON>
  <NAME.LIST>
    <NAME>Debtors - West</NAME>
  </NAME.LIST>
</GROUP>)"));
}

TEST_F(RowPosters, UnitsOfBothKindsEachSendOnlyTheirOwnFields) {
    Load({"NAME", "ISSIMPLEUNIT", "ORIGINALNAME", "DECIMALPLACES", "BASEUNITS", "ADDITIONALUNITS",
          "CONVERSION"},
         {{"Nos", "yes", "Numbers", "0", "x", "y", "1"},
          {"Box", " no ", "Boxes", "2", "Nos", "kg", "12"},
          {"Pcs", "", "Pieces", "0", "", "", ""}});
    PostUnits(form, link);
    // "yes" in lower case and a blank cell are simple units: their decimal places go with them.
    EXPECT_EQ(Message(0), QStringLiteral(R"(<UNIT NAME="Nos" ACTION="Create">
  <NAME>Nos</NAME>
  <ISSIMPLEUNIT>yes</ISSIMPLEUNIT>
  <ORIGINALNAME>Numbers</ORIGINALNAME>
  <DECIMALPLACES>0</DECIMALPLACES>
</UNIT>)"));
    EXPECT_EQ(Message(2), QStringLiteral(R"(<UNIT NAME="Pcs" ACTION="Create">
  <NAME>Pcs</NAME>
  <ORIGINALNAME>Pieces</ORIGINALNAME>
  <DECIMALPLACES>0</DECIMALPLACES>
</UNIT>)"));
    EXPECT_EQ(Message(1), QStringLiteral(R"(<UNIT NAME="Box" ACTION="Create">
  <NAME>Box</NAME>
  <ISSIMPLEUNIT> no </ISSIMPLEUNIT>
  <BASEUNITS>Nos</BASEUNITS>
  <ADDITIONALUNITS>kg</ADDITIONALUNITS>
  <CONVERSION>12</CONVERSION>
</UNIT>)"));
}

TEST_F(RowPosters, UnitsNeedOnlyTheColumnsOfTheKindsTheyHold) {
    Load({"NAME", "ISSIMPLEUNIT", "ORIGINALNAME", "DECIMALPLACES"}, {{"Nos", "Yes", "Numbers", "0"}});
    PostUnits(form, link);
    EXPECT_EQ(ImportCount(), 1);
    server.clearRequestLog();
    Load({"NAME", "ISSIMPLEUNIT", "BASEUNITS", "ADDITIONALUNITS", "CONVERSION"},
         {{"Dozen", "No", "Nos", "Nos", "12"}});
    PostUnits(form, link);
    EXPECT_EQ(ImportCount(), 1);
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(RowPosters, ACompoundUnitWithoutItsColumnsEndsTheRunBeforeTheFirstUnit) {
    Load({"NAME", "ISSIMPLEUNIT", "ORIGINALNAME", "DECIMALPLACES"},
         {{"Nos", "Yes", "Numbers", "0"}, {"Box", "NO", "", ""}});
    PostUnits(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"F01-0018"}));
}

TEST_F(RowPosters, AnAliasEqualToTheNameOrEmptyAddsNoSecondName) {
    Load({"NAME", "NAMEALIAS", "PARENT"}, {{"Imported", "", "Primary"}, {"Local", "local", "Primary"}});
    PostStockCategories(form, link);
    EXPECT_EQ(Message(0), QStringLiteral(R"(<STOCKCATEGORY NAME="Imported" ACTION="Create">
  <PARENT>Primary</PARENT>
  <NAME.LIST>
    <NAME>Imported</NAME>
  </NAME.LIST>
</STOCKCATEGORY>)"));
    // Case counts: "local" is another name.
    EXPECT_NE(Message(1).indexOf(QLatin1String("<NAME>local</NAME>")), -1) << Message(1).toStdString();
}

TEST_F(RowPosters, ACostCentreWithoutACategoryGoesToThePrimaryCostCategory) {
    Load({"NAME", "PARENT", "CATEGORY"}, {{"Pune Plant", "Primary", "   "}});
    PostCostCentres(form, link);
    Load({"NAME", "PARENT"}, {{"Nashik Plant", "Primary"}});
    PostCostCentres(form, link);
    for (int n : {0, 1})
        EXPECT_NE(Message(n).indexOf(QLatin1String("<CATEGORY>Primary Cost Category</CATEGORY>")), -1)
            << Message(n).toStdString();
    EXPECT_TRUE(InStore("COSTCENTRE", "Nashik Plant"));
}

TEST_F(RowPosters, CostCategoriesReadTheAllocationColumnsOnlyWhenPresent) {
    Load({"NAME", "ALLOCATEREVENUE"}, {{"Projects", "Yes"}});
    PostCostCategories(form, link);
    Load({"NAME", "NAMEALIAS"}, {{"Departments", "Depts"}});
    PostCostCategories(form, link);
    EXPECT_EQ(Message(0), QStringLiteral(R"(<COSTCATEGORY NAME="Projects" ACTION="Create">
  <NAME>Projects</NAME>
  <ALLOCATEREVENUE>Yes</ALLOCATEREVENUE>
  <NAME.LIST>
    <NAME>Projects</NAME>
  </NAME.LIST>
</COSTCATEGORY>)"));
    EXPECT_EQ(Message(1), QStringLiteral(R"(<COSTCATEGORY NAME="Departments" ACTION="Create">
  <NAME>Departments</NAME>
  <NAME.LIST>
    <NAME>Departments</NAME>
    <NAME>Depts</NAME>
  </NAME.LIST>
</COSTCATEGORY>)"));
    EXPECT_EQ(Locations(), QStringList());
}

struct MissingColumn {
    const char* name;
    Poster post;
    QStringList fields;
    const char* location;
};

struct RequiredColumns : test::MasterFixture, ::testing::WithParamInterface<MissingColumn> {};

TEST_P(RequiredColumns, AMissingOneIsReportedBeforeAnythingIsSent) {
    QStringList record;
    for (int i = 0; i < GetParam().fields.size(); ++i)
        record << QStringLiteral("x");
    Load(GetParam().fields, {record});
    form.chkSkipMst.value = 1;
    GetParam().post(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({QString::fromLatin1(GetParam().location)}));
}

INSTANTIATE_TEST_SUITE_P(
    RowPosters, RequiredColumns,
    ::testing::Values(
        MissingColumn{"GroupsWithoutSubLedger", &PostLedgerGroups, {"NAME", "PARENT"}, "F01-0016"},
        MissingColumn{"GroupsWithoutName", &PostLedgerGroups, {"PARENT", "SUBLEDGER"}, "F01-0016"},
        MissingColumn{"UnitsWithoutIsSimpleUnit", &PostUnits, {"NAME"}, "F01-0018"},
        MissingColumn{"GodownsWithoutParent", &PostGodowns, {"NAME", "HASNOSTOCK"}, "F01-0019"},
        MissingColumn{"StockGroupsWithoutIsAddable", &PostStockGroups, {"NAME", "PARENT"}, "F01-0020"},
        MissingColumn{"StockCategoriesWithoutParent", &PostStockCategories, {"NAME"}, "F01-0021"},
        MissingColumn{"CostCategoriesWithoutName", &PostCostCategories, {"ALLOCATEREVENUE"}, "F01-0052"},
        MissingColumn{"CostCentresWithoutParent", &PostCostCentres, {"NAME", "CATEGORY"}, "F01-0053"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
