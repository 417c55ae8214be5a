// The posters that build their masters from a format definition of "Quibo20.DAT": the GST twins,
// the employee types and the users' own master formats.

#include "localdb/LocalDatabase.h"
#include "masters/MasterFixture.h"
#include "masters/MasterPosters.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <optional>

namespace quibo {
namespace {

QVariant Nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

struct Templates : test::MasterFixture {
    LocalDatabase database{folder.path()};

    void Mst(const QString& name, const QString& type, int number,
             const std::optional<QString>& source = {}) {
        database.insert(QStringLiteral("QuiboMst_"), {"TName", "TType", "TNo", "TSource"},
                        {name, type, number, Nullable(source)});
    }
    // A tag: "A" an attribute, "N" a value element; from a column, or a fixed value.
    void Det(int number, int set, int order, const QString& group, const QString& tag, const QString& type,
             const std::optional<QString>& column, const std::optional<QString>& fixed = {}) {
        database.insert(
            QStringLiteral("QuiboDet_"),
            {"TNo", "SetNo", "SrNo", "GroupName", "TagName", "TagType", "ValFormat", "DefValue", "fieldName"},
            {number, set, order, group, tag, type, QVariant(), Nullable(fixed), Nullable(column)});
    }
    void Grp(int number, const QString& parent, int set, const QString& group) {
        database.insert(QStringLiteral("QuiboGrp_"), {"TNo", "ParentName", "SetNo", "GroupName", "SetOn"},
                        {number, parent, set, group, QVariant()});
    }

    // "LEDGERSGST": name and parent from the master's first row, a bill from every row.
    void StageLedgers(const std::optional<QString>& source = {}) {
        Mst(QStringLiteral("LEDGERSGST"), QStringLiteral("LEDGER"), 1, source);
        Det(1, 1, 1, "LEDGER", "NAME", "A", QStringLiteral("NAME"));
        Det(1, 1, 2, "LEDGER", "PARENT", "N", QStringLiteral("PARENT"));
        Det(1, 1, 3, "LEDGER", "GSTREGISTRATIONTYPE", "N", {}, QStringLiteral("Regular"));
        Det(1, 1, 4, "LEDGER", "PARTYGSTIN", "N", QStringLiteral("GSTIN"));
        Grp(1, "LEDGER", 2, "BILLALLOCATIONS.LIST");
        Det(1, 2, 1, "BILLALLOCATIONS.LIST", "NAME", "N", QStringLiteral("BILLNAME"));
        Det(1, 2, 2, "BILLALLOCATIONS.LIST", "OPENINGBALANCE", "N", QStringLiteral("BILLAMOUNT"));
    }
    // A format of the import type (stored under its name without blanks): the element named by
    // `type`, NAME attribute and PARENT.
    void StagePlain(const QString& importType, const QString& type, int number) {
        Mst(QString(importType).remove(QLatin1Char(' ')), type, number);
        Det(number, 1, 1, type, "NAME", "A", QStringLiteral("NAME"));
        Det(number, 1, 2, type, "PARENT", "N", QStringLiteral("PARENT"));
    }
    void Choose(const QString& importType) {
        form.cmbTableName.Clear();
        form.cmbTableName.AddItem(importType);
        form.cmbTableName.SetListIndex(0);
    }
};

const QStringList LedgerFields = {"NAME", "PARENT", "GSTIN", "BILLNAME", "BILLAMOUNT"};

TEST_F(Templates, AGroupedMasterIsBuiltFromItsFirstRowWithEachRowAddingItsGroups) {
    StageLedgers();
    Choose(QStringLiteral("LEDGERSGST"));
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "27AAAPG1234C1Z5", "GA/101", "1500"},
                        {"", "Sundry Creditors", "", "GA/102", "2500"},
                        {"Verma & Co", "Sundry Creditors", "", "VC/1", "700"},
                        {"Mystery Ledger", "No Such Group", "", "", ""}});
    PostLedgersGST(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"LEDGER Gupta Agencies -> Sharma Traders", "LEDGER Verma & Co -> Sharma Traders",
                           "LEDGER Mystery Ledger -> Sharma Traders"}));
    EXPECT_EQ(Message(0), QStringLiteral(R"(<LEDGER NAME="Gupta Agencies">
  <PARENT>Sundry Debtors</PARENT>
  <GSTREGISTRATIONTYPE>Regular</GSTREGISTRATIONTYPE>
  <PARTYGSTIN>27AAAPG1234C1Z5</PARTYGSTIN>
  <BILLALLOCATIONS.LIST>
    <NAME>GA/101</NAME>
    <OPENINGBALANCE>1500</OPENINGBALANCE>
  </BILLALLOCATIONS.LIST>
  <BILLALLOCATIONS.LIST>
    <NAME>GA/102</NAME>
    <OPENINGBALANCE>2500</OPENINGBALANCE>
  </BILLALLOCATIONS.LIST>
</LEDGER>)"));
    EXPECT_EQ(Status(1), QString());
    EXPECT_EQ(Status(2), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(3), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(4), QStringLiteral("ERRORS Group 'No Such Group' does not exist! - "));
    // Grouped format-built masters stay black, a refused one too: the icon tells the outcome.
    EXPECT_EQ(Colour(2), 0);
    EXPECT_EQ(Icon(2), 0);
    EXPECT_EQ(Colour(4), 0);
    EXPECT_EQ(Icon(4), 1);
    EXPECT_TRUE(Bold(4));
    EXPECT_EQ(Progress(),
              QStringList({"Processed Ledgers: 2", "Processed Ledgers: 3", "Processed Ledgers: 4"}));
    EXPECT_EQ(form.GR1.SelectedRow(), 4);
    EXPECT_TRUE(InStore("LEDGER", "Gupta Agencies"));
}

TEST_F(Templates, TheImportEnvelopeServesAFormatThatAsksForIt) {
    StageLedgers(QStringLiteral("ALT"));
    Choose(QStringLiteral("LEDGERSGST"));
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "GA/101", "1500"}});
    PostLedgersGST(form, link);
    const auto log = server.requestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].body.find("<TALLYREQUEST>Import</TALLYREQUEST>"), std::string::npos) << log[0].body;
    EXPECT_NE(Message(0).indexOf(QLatin1String("<NAME>GA/101</NAME>")), -1) << Message(0).toStdString();
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
}

TEST_F(Templates, AnEmptyRowInsideGroupedDataNeverReachesTheFormat) {
    StageLedgers();
    Choose(QStringLiteral("LEDGERSGST"));
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "GA/101", "1500"},
                        {"", "", "", "", ""},
                        {"Verma & Co", "Sundry Creditors", "", "", ""}});
    form.chkSkipMst.value = 1;
    PostLedgersGST(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists LEDGER: Gupta Agencies", "LEDGER Gupta Agencies -> Sharma Traders",
                           "exists LEDGER: Verma & Co", "LEDGER Verma & Co -> Sharma Traders"}));
    EXPECT_EQ(Status(1), QStringLiteral("CREATED "));
    EXPECT_EQ(Status(2), QString());
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(Templates, GroupedSkipsAskAboutTheirOwnObjectType) {
    StagePlain(QStringLiteral("STOCK ITEMSGST"), QStringLiteral("STOCKITEM"), 3);
    Seed("UNIT", "Nos", "<ISSIMPLEUNIT>Yes</ISSIMPLEUNIT>");
    Seed("STOCKITEM", "Washer M8", "<BASEUNITS>Nos</BASEUNITS>");
    Choose(QStringLiteral("STOCK ITEMSGST"));
    Load({"NAME", "PARENT"}, {{"Hex Bolt M8", "Primary"},
                              {"Washer M8", "Primary"},
                              {"Washer M8", "Primary"},
                              {"Hex Nut M8", "Primary"}});
    server.clearRequestLog();
    form.chkSkipMst.value = 1;
    PostStockItemsGST(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists STOCK ITEMS: Hex Bolt M8", "exists STOCK ITEMS: Washer M8",
                           "STOCKITEM Hex Bolt M8 -> Sharma Traders", "exists STOCK ITEMS: Washer M8",
                           "exists STOCK ITEMS: Hex Nut M8", "STOCKITEM Hex Nut M8 -> Sharma Traders"}));
    EXPECT_EQ(Status(2), QStringLiteral("SKIPED"));
    EXPECT_EQ(Status(3), QStringLiteral("SKIPED"));
    EXPECT_EQ(Progress(), QStringList({"Processed Stock Items: 1", "Processed Stock Items: 4"}));
}

TEST_F(Templates, RowByRowEachRowIsOneMaster) {
    StagePlain(QStringLiteral("GODOWNSGST"), QStringLiteral("GODOWN"), 2);
    Choose(QStringLiteral("GODOWNSGST"));
    Load({"NAME", "PARENT"}, {{"Bhiwandi Depot", "Primary"}, {"   ", "Primary"}, {"Shelf 9", "Nowhere"}});
    PostGodownsGST(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"GODOWN Bhiwandi Depot -> Sharma Traders", "GODOWN Shelf 9 -> Sharma Traders"}));
    EXPECT_EQ(Message(0), QStringLiteral(R"(<GODOWN NAME="Bhiwandi Depot">
  <PARENT>Primary</PARENT>
</GODOWN>)"));
    EXPECT_EQ(Colour(1), 16711680);
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no NAME"));
    EXPECT_EQ(Status(3), QStringLiteral("ERRORS Godown 'Nowhere' does not exist! - "));
    EXPECT_EQ(Colour(3), 255);
    EXPECT_EQ(Icon(3), 1);
    EXPECT_EQ(Progress(), QStringList({"Processed Godowns: 1", "Processed Godowns: 3"}));
}

TEST_F(Templates, TheFormatIsTheOneChosenWhenTheRunStarted) {
    StagePlain(QStringLiteral("GODOWNSGST"), QStringLiteral("GODOWN"), 2);
    StagePlain(QStringLiteral("STOCKGROUPSGST"), QStringLiteral("STOCKGROUP"), 4);
    form.cmbTableName.AddItem(QStringLiteral("GODOWNSGST"));
    form.cmbTableName.AddItem(QStringLiteral("STOCK GROUPSGST"));
    form.cmbTableName.SetListIndex(0);
    // While the run hands the window its turn, the user picks another import type.
    yield.hook = [&](int) { form.cmbTableName.SetListIndex(1); };
    Load({"NAME", "PARENT"}, {{"Bhiwandi Depot", "Primary"}, {"Okhla Store", "Primary"}});
    PostGodownsGST(form, link);
    EXPECT_EQ(Requests(), QStringList({"GODOWN Bhiwandi Depot -> Sharma Traders",
                                       "GODOWN Okhla Store -> Sharma Traders"}));
}

TEST_F(Templates, ACustomCostCentreFormatPostsItsOwnElementAndAsksAboutCostCentre) {
    StagePlain(QStringLiteral("EMPLOYEES"), QStringLiteral("COSTCENTRE"), 5);
    Choose(QStringLiteral("EMPLOYEES"));
    Load({"NAME", "PARENT", "COMPANYNAME"}, {{"Anita Desai", "Primary", "Mehta Exports"}});
    form.chkSkipMst.value = 1;
    PostCostCentresGST(form, link);
    EXPECT_EQ(Requests(),
              QStringList({"exists COST CENTRE: Anita Desai", "COSTCENTRE Anita Desai -> Mehta Exports"}));
    EXPECT_EQ(Progress(), QStringList({"Processed Cost Centres: 1"}));
    EXPECT_TRUE(InStore("COSTCENTRE", "Anita Desai", test::Mehta));
}

struct TemplateKindCase {
    const char* name;
    void (*post)(FormModel&, TallyLink&);
    const char* format;
    const char* element;
    const char* objectType;
    const char* progress;
    const char* location;
};

struct EveryTemplatePoster : Templates, ::testing::WithParamInterface<TemplateKindCase> {};

TEST_P(EveryTemplatePoster, PostsThroughItsFormatAndAsksAboutItsObjectType) {
    StagePlain(QString::fromUtf8(GetParam().format), QString::fromUtf8(GetParam().element), 9);
    Choose(QString::fromUtf8(GetParam().format));
    Load({"NAME", "PARENT"}, {{"Pune", "Primary"}});
    form.chkSkipMst.value = 1;
    GetParam().post(form, link);
    EXPECT_EQ(Requests(), QStringList({QStringLiteral("exists %1: Pune").arg(GetParam().objectType),
                                       QStringLiteral("%1 Pune -> Sharma Traders").arg(GetParam().element)}));
    EXPECT_EQ(Progress(), QStringList({QString::fromUtf8(GetParam().progress) + QStringLiteral("1")}));
}

TEST_P(EveryTemplatePoster, EndsAtAMissingNameColumnUnderItsOwnCode) {
    StagePlain(QString::fromUtf8(GetParam().format), QString::fromUtf8(GetParam().element), 9);
    Choose(QString::fromUtf8(GetParam().format));
    Load({"PARENT"}, {{"Primary"}});
    GetParam().post(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({QString::fromLatin1(GetParam().location)}));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, EveryTemplatePoster,
    ::testing::Values(TemplateKindCase{"LedgerGroups", &PostLedgerGroupsGST, "LEDGER GROUPSGST", "GROUP",
                                       "GROUPS", "Processed Ledger Groups: ", "F01-0016"},
                      TemplateKindCase{"Ledgers", &PostLedgersGST, "LEDGERSGST", "LEDGER", "LEDGER",
                                       "Processed Ledgers: ", "F01-0017"},
                      TemplateKindCase{"StockItems", &PostStockItemsGST, "STOCK ITEMSGST", "STOCKITEM",
                                       "STOCK ITEMS", "Processed Stock Items: ", "F01-0022"},
                      TemplateKindCase{"Godowns", &PostGodownsGST, "GODOWNSGST", "GODOWN", "GODOWNS",
                                       "Processed Godowns: ", "F01-0019"},
                      TemplateKindCase{"StockGroups", &PostStockGroupsGST, "STOCK GROUPSGST", "STOCKGROUP",
                                       "STOCK GROUPS", "Processed Stock Groups: ", "F01-0020"},
                      TemplateKindCase{"StockCategories", &PostStockCategoriesGST, "STOCK CATEGORIESGST",
                                       "STOCKCATEGORY", "STOCK CATEGORIES",
                                       "Processed Stock Categories: ", "F01-0021"},
                      TemplateKindCase{"CostCategories", &PostCostCategoriesGST, "EMPLOYEECATEGORIES",
                                       "COSTCATEGORY", "COST CATEGORIES",
                                       "Processed Cost Categories: ", "F01-0052"},
                      TemplateKindCase{"CostCentres", &PostCostCentresGST, "EMPLOYEEGROUPS", "COSTCENTRE",
                                       "COST CENTRE", "Processed Cost Centres: ", "F01-0053"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Templates, WithoutItsFormatEveryMasterIsReportedAndMarkedAsFailed) {
    Choose(QStringLiteral("GODOWNSGST"));
    Load({"NAME", "PARENT"}, {{"Bhiwandi Depot", "Primary"}, {"Okhla Store", "Primary"}});
    PostGodownsGST(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"C03--0006", "C03--0006"}));
    for (int row : {1, 2}) {
        EXPECT_EQ(Status(row), QStringLiteral("ERROR: not sent, see the error log")) << row;
        EXPECT_EQ(Colour(row), 255) << row;
        EXPECT_EQ(Icon(row), 1) << row;
    }
}

TEST_F(Templates, GroupedWithoutItsFormatIsReportedUnderTheTemplatePostsCode) {
    Choose(QStringLiteral("LEDGERSGST"));
    Load(LedgerFields, {{"Gupta Agencies", "Sundry Debtors", "", "", ""}});
    PostLedgersGST(form, link);
    EXPECT_EQ(Requests(), QStringList());
    EXPECT_EQ(Locations(), QStringList({"C03--0006"}));
    // A master not sent is red even where the shape leaves its rows black.
    EXPECT_EQ(Status(1), QStringLiteral("ERROR: not sent, see the error log"));
    EXPECT_EQ(Colour(1), 255);
    EXPECT_EQ(Icon(1), 1);
}

} // namespace
} // namespace quibo
