// What PostVoucherRegister stages for a register row through the map in its column tags, and how each
// row shows its outcome.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

#include <utility>

namespace quibo {
namespace {

using test::Sharma;

const QStringList Fields = {"VCHTYPE",     "VCHNO",     "VCHDATE", "REFNO",   "LEDGER",
                            "NARRATION",   "ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT",
                            "TOTALAMOUNT", "SALES",     "VAT"};

// A register row: its ID, party, total, the two mapped amounts and the bill amount, then `more`.
QStringList R(const char* id, const char* party, const char* total, const char* sales, const char* vat,
              const char* bill, QStringList more = {}) {
    return QStringList{id,        "Sales", "1",       "01-04-2024", "R1",  party, "N",
                       "New Ref", "INV-1", "30 Days", bill,         total, sales, vat} +
           more;
}
QStringList R(const char* id, QStringList more = {}) {
    return R(id, "Party", "1180", "1000", "180", "1180", std::move(more));
}

// The tag the loader gives a mapped column: sixteen parts, each followed by "|".
using Parts = std::initializer_list<std::pair<int, const char*>>;
QString Tag(const char* column, const char* ledger, const char* sign, const char* order, Parts more = {}) {
    QStringList parts(16);
    parts[0] = QString::fromLatin1(column);
    parts[1] = QString::fromLatin1(ledger);
    parts[2] = QString::fromLatin1(sign);
    parts[3] = QString::fromLatin1(order);
    for (const auto& [at, value] : more)
        parts[at] = QString::fromLatin1(value);
    return parts.join(QLatin1Char('|')) + QLatin1Char('|');
}

using Tags = QList<QPair<QString, QString>>;
const Tags Three = {{"TOTALAMOUNT", Tag("TOTALAMOUNT", "Auto", "Dr", "1")},
                    {"SALES", Tag("SALES", "Sales Account", "Cr", "2")},
                    {"VAT", Tag("VAT", "Output VAT", "Cr", "3")}};
Tags With(Tags tags, const char* column, const QString& tag) {
    for (auto& [key, value] : tags)
        if (key == QLatin1String(column)) value = tag;
    return tags;
}

struct RegisterFixture : test::PostingFixture {
    // GR1 with the "ID" column the loader adds; the source has one of its own only when asked.
    // A `missing` column is there under another name.
    void LoadRegister(const QStringList& more, const QList<QStringList>& rows, const Tags& tags,
                      bool ownId = false, const char* missing = nullptr) {
        QStringList fields = Fields + more;
        if (missing) fields[fields.indexOf(QString::fromLatin1(missing))] = QStringLiteral("OTHER");
        Load(QStringList{"ID"} + fields, rows);
        if (!ownId) form.lstLedgerTree.Bind(fields, QList<int>(fields.size(), 0));
        for (const auto& [key, tag] : tags)
            if (form.GR1.FindColumn(key) > 0) form.GR1.SetColumnTag(form.GR1.ColumnIndex(key), tag);
    }
    void Post() { PostVoucherRegister(form, db, Recorder()); }
};

const QString Entries =
    QStringLiteral("Select FK_VchID, LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_, "
                   "TaxClassificationName_, "
                   "BasicRateOfInvoiceTax_, VATAssessableValue_ from LedgerEntry order by FK_VchID, LdEID");
const QString Bills =
    QStringLiteral("Select FK_VchID, FK_LdEID, BiAID, Name_, BillType_, BillCreditPeriod_, "
                   "Amount_, ServiceTaxLedger_ from BillAllocation order by FK_VchID, FK_LdEID");
const QString TaxBills = QStringLiteral("Select FK_LdEID, TBiAID, Name_, Amount_, TDSTaxRate_, "
                                        "TDSSurcharge_, STSecondaryCessRate_, SurchargeAmount_, "
                                        "AddlSurchargeAmount_, AssessableAmount_, ExpenseAmount_, "
                                        "IsInputAvail_ from TaxBillAllocation order by FK_LdEID");
const QString Header = QStringLiteral("Select VchID, GUID_, PartyLedgerName_, BasicBuyerName_, PartyName_, "
                                      "HasCashFlow_, PersistedView_ from Voucher");
const QString Centres = QStringLiteral(
    "Select FK_VchID, FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations order by CAID");
const QString Lists =
    QStringLiteral("Select 'note', IDNID, BasicShipDeliveryNote_, BasicShippingDate_ from "
                   "InvoiceDelNotes union all Select 'terms', BOTID, BasicOrderTerms_, '' from "
                   "BasicOrderTerms union all Select 'order', IOLID, '', '' from InvoiceOrderList");

const QString Usd = QStringLiteral("USD100.000 @ INR45.000/USD = INR 4500");
const QString UsdDr = QStringLiteral("- USD100.000 @ INR45.000/USD = -INR 4500");

struct RegisterCase {
    const char* name;
    QStringList more;
    QList<QStringList> rows;
    Tags tags;
    QString query;
    QStringList staged;
    bool ownId = false;
};

const RegisterCase RegisterCases[] = {
    {"ThreeMapRowsMakeThreeEntries",
     {},
     {R("x")},
     Three,
     Entries,
     {"1|1|Party|-1180|Yes|Yes|||", "1|2|Sales Account|1000.000|No|No|||",
      "1|3|Output VAT|180.000|No|No|||"}},
    {"EachEntryHasItsBill",
     {},
     {R("x")},
     Three,
     Bills,
     {"1|1|1|INV-1|New Ref|30 Days|-1180.000|", "1|2|1|INV-1|New Ref|30 Days|1000.000|",
      "1|3|1|INV-1|New Ref|30 Days|180.000|"}},
    {"WithoutAnIdOfItsOwnTheKeyHasFourParts",
     {},
     {R("x")},
     Three,
     Header,
     {"1|Sales-1-01-04-2024-R1|Party|Party||No|Accounting Voucher View"}},
    {"AnIdOfItsOwnIsTheKeyAndTheBuyerFieldsAreTheRows",
     {"CONSIGNEE", "BUYER"},
     {R("V-1", {"Cons", "Buyer"})},
     Three,
     Header,
     {"1|V-1|Party|Cons|Buyer|No|Accounting Voucher View"},
     true},
    {"EachListHasOneRowWhenItsCellsAreFilled",
     {"DELNOTENOS", "DELNOTEDATES", "ORDERNOS", "TERMSOFDELIVERY"},
     {R("x", {"DN-1", "02-04-2024", "PO-1", "FOB"})},
     Three,
     Lists,
     {"note|2|DN-1|02-04-2024", "terms|2|FOB|"}},
    {"ANegativeAmountTurnsTheSide",
     {},
     {R("x", "Party", "-1180", "-1000", "180", "1180")},
     Three,
     Entries,
     {"1|1|Party|1180|No|Yes|||", "1|2|Sales Account|-1000|Yes|No|||", "1|3|Output VAT|180.000|No|No|||"}},
    {"ThePartyBillsMinusGoesWithItsNumber",
     {},
     {R("x", "Party", "-1180", "", "", "1180"), R("y", "Party", "1180", "", "", "-50")},
     Three,
     Bills,
     {"1|1|1|INV-1|New Ref|30 Days|1180.000|", "2|1|1|INV-1|New Ref|30 Days|50.000|"}},
    {"TheLaterOfTwoEqualOrdersStays",
     {},
     {R("x")},
     With(Three, "VAT", Tag("VAT", "Output VAT", "Cr", "2")),
     Entries,
     {"1|1|Party|-1180|Yes|Yes|||", "1|2|Output VAT|180.000|No|No|||"}},
    {"AVatEntryCarriesItsClassRateAndAssessableValueARateAloneStaysInItsPlace",
     {},
     {R("x")},
     With(With(Three, "SALES", Tag("SALES", "Sales Account", "Cr", "2", {{5, "5"}})), "VAT",
          Tag("VAT", "Output VAT", "Cr", "3", {{4, "Output VAT 12.5%"}, {5, "12.5"}, {6, "sales"}})),
     Entries,
     {"1|1|Party|-1180|Yes|Yes|||", "1|2|Sales Account|1000.000|No|No||5|",
      "1|3|Output VAT|180.000|No|No|Output VAT 12.5%|12.5|1000"}},
    {"EachEntryStartsFromEmptyRecords",
     {},
     {R("x")},
     With(With(Three, "SALES", Tag("SALES", "Sales Account", "Cr", "2", {{14, "Service Tax"}})), "VAT",
          Tag("VAT", "Output VAT", "Cr", "3", {{4, "Output VAT 12.5%"}})),
     Bills,
     {"1|1|1|INV-1|New Ref|30 Days|-1180.000|", "1|2|1|INV-1|New Ref|30 Days|1000.000|Service Tax",
      "1|3|1|INV-1|New Ref|30 Days|180.000|"}},
    {"AServiceTaxEntryHasATaxBillInstead",
     {},
     {R("x")},
     With(With(Three, "SALES",
               Tag("SALES", "Sales Account", "Cr", "2",
                   {{6, "sales"}, {7, "Yes"}, {8, "12"}, {9, "vat"}, {10, "2"}, {12, "1"}})),
          "VAT", Tag("VAT", "Output VAT", "Cr", "3", {{7, "Yes"}})),
     TaxBills,
     {"2|1|INV-1|1180.000|12|2|1|180||1000||No", "3|1|INV-1|1180.000||||||||No"}},
    {"AutoInAnotherCaseIsALedgerName",
     {},
     {R("x")},
     With(Three, "TOTALAMOUNT", Tag("TOTALAMOUNT", "auto", "Dr", "1")),
     Entries,
     {"1|1|auto|-1180|Yes|No|||", "1|2|Sales Account|1000.000|No|No|||", "1|3|Output VAT|180.000|No|No|||"}},
    {"TwoCurrencyColumnsLeaveAmountsPlainAndAZeroIsNoEntry",
     {"VCHCURRENCY", "BASECURRENCY"},
     {R("x", "Party", "100", "100", "0", "100", {"USD", "INR"})},
     Three,
     Entries,
     {"1|1|Party|-100|Yes|Yes|||", "1|2|Sales Account|100.000|No|No|||"}},
    {"AllThreeCurrencyColumnsGiveTheForeignForm",
     {"VCHCURRENCY", "BASECURRENCY", "EXCHANGERATE"},
     {R("x", "Party", "100", "100", "", "100", {"USD", "INR", "45"})},
     Three,
     Entries,
     {"1|1|Party|" + UsdDr + "|Yes|Yes|||", "1|2|Sales Account|" + Usd + "|No|No|||"}},
    {"ForeignBillsAndANegativePartyBill",
     {"VCHCURRENCY", "BASECURRENCY", "EXCHANGERATE"},
     {R("x", "Party", "100", "100", "", "100", {"USD", "INR", "45"}),
      R("y", "Party", "100", "", "", "-100", {"USD", "INR", "45"})},
     Three,
     Bills,
     {"1|1|1|INV-1|New Ref|30 Days|" + UsdDr + "|", "1|2|1|INV-1|New Ref|30 Days|" + Usd + "|",
      "2|1|1|INV-1|New Ref|30 Days|" + Usd + "|"}},
    {"CostCentresNumberedThroughTheRun",
     {"COSTCATEGORY", "COSTCENTRE"},
     {R("x", "Party", "1180", "1000", "", "1180", {" ", "Mumbai"}),
      R("y", "Party", "-1180", "", "", "1180", {"Branches", "Pune"})},
     Three,
     Centres,
     {"1|1|2|Primary Cost Category|Mumbai|-1180.000", "1|2|3|Primary Cost Category|Mumbai|1000.000",
      "2|1|4|Branches|Pune|1180"}},
};

struct Register : RegisterFixture, ::testing::WithParamInterface<RegisterCase> {};

TEST_P(Register, StagesEachMappedColumnOfTheRow) {
    const RegisterCase& c = GetParam();
    LoadRegister(c.more, c.rows, c.tags, c.ownId);
    Post();
    EXPECT_EQ(Locations(), QStringList());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(VoucherRegister, Register, ::testing::ValuesIn(RegisterCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RegisterRows : RegisterFixture {};

TEST_F(RegisterRows, EachRowShowsItsOutcomeInItsOwnColours) {
    LoadRegister({}, {R("a"), R("b"), R("c"), R("d"), R("e")}, Three);
    answers = {{QStringLiteral("CREATED"), true},
               {QStringLiteral("ERRORS Ledger 'Party' does not exist!"), true},
               {QStringLiteral("ALTERED"), true},
               {QStringLiteral("Imported"), true},
               {QString(), true}};
    Post();
    const QString ledgers = QStringLiteral(": Party, Sales Account, Output VAT");
    EXPECT_EQ(sent, QStringList({Sharma + "/1" + ledgers, Sharma + "/2" + ledgers, Sharma + "/3" + ledgers,
                                 Sharma + "/4" + ledgers, Sharma + "/5" + ledgers}));
    const struct {
        QString status;
        int icon;
        int32_t colour;
    } expected[] = {{"CREATED", 0, 16711680},
                    {"ERRORS Ledger 'Party' does not exist!", 1, 255},
                    {"ALTERED", 0, 0},
                    {"Imported", -1, 0},
                    {"ERROR: no reply from the Tally server", 1, 255}};
    for (int row = 1; row <= 5; ++row) {
        SCOPED_TRACE(row);
        const auto& e = expected[row - 1];
        EXPECT_EQ(Status(row), e.status);
        EXPECT_EQ(Icon(row), e.icon);
        for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
            EXPECT_EQ(form.GR1.CellColor(row, c), e.colour);
        EXPECT_TRUE(Bold(row));
    }
    EXPECT_EQ(form.GR1.SelectedRow(), 5);
    EXPECT_EQ(Status(6), QString());
    EXPECT_TRUE(Progress().contains(QStringLiteral("Processed Document: 5")));
    EXPECT_EQ(Progress().last(), QStringLiteral("Finished Posing of Data."));
}

TEST_F(RegisterRows, ARowThatCannotBeAVoucherSaysWhyAndSendsNothing) {
    LoadRegister({},
                 {R("a"), R("b", "", "1180", "", "", "1180"), R("", "Party", "1180", "", "", "1180"),
                  R("d", "Party", "1180", "", "90", "1180")},
                 With(Three, "SALES", Tag("SALES", "Sales Account", "dr", "2")));
    Post();
    EXPECT_EQ(sent, QStringList({Sharma + "/2: Party, Output VAT"}));
    EXPECT_EQ(Status(1), QStringLiteral("ERROR: LedgerSign of column SALES must be Dr or Cr"));
    EXPECT_EQ(Status(2), QStringLiteral("ERROR: no LEDGER"));
    EXPECT_EQ(Status(3), QStringLiteral("ERROR: empty ID"));
    for (int row = 1; row <= 3; ++row)
        EXPECT_TRUE(Red(row) && Bold(row) && Icon(row) == 1) << row;
    EXPECT_EQ(Status(4), QStringLiteral("CREATED"));
    EXPECT_EQ(Staged(QStringLiteral("Select VchID from Voucher")), QStringList({"2"}));
}

TEST_F(RegisterRows, ARowWithACellHoldingANulIsRefusedAndNothingOfItStaged) {
    QStringList refused = R("b");
    refused[6] = QStringLiteral("N") + QChar(u'\0'); // its NARRATION
    LoadRegister({}, {refused, R("c")}, Three);
    Post();
    EXPECT_EQ(sent, QStringList({Sharma + "/1: Party, Sales Account, Output VAT"}));
    EXPECT_EQ(Status(1), QStringLiteral("ERROR: column NARRATION holds a NUL character"));
    EXPECT_TRUE(Red(1) && Bold(1) && Icon(1) == 1);
    EXPECT_EQ(Status(2), QStringLiteral("CREATED"));
}

TEST_F(RegisterRows, AMissingColumnEndsTheRunThroughItsTrap) {
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
    // TOTALAMOUNT is read only for the party's entry.
    const std::pair<const char*, Tags> cases[] = {
        {"ADJNAME", Three}, {"TOTALAMOUNT", {{"OTHER", Tag("OTHER", "Auto", "Dr", "1")}}}};
    for (const auto& [missing, tags] : cases) {
        SCOPED_TRACE(missing);
        boxes.shown.clear();
        LoadRegister({}, {R("a")}, tags, false, missing);
        PostVoucherRegister(form, link);
        EXPECT_EQ(Locations(), QStringList({"F01-0026"}));
        EXPECT_EQ(link.RequestsPosted(), 0u);
        EXPECT_EQ(Status(1), QString());
        EXPECT_EQ(Staged(QStringLiteral("Select count(*) from Voucher")), QStringList({"0"}));
    }
}

// Through the staging writers and the voucher builder, as the server gets it.
TEST_F(RegisterRows, AVoucherGoesOutWithItsMappedEntries) {
    test::RecordingTransport transport;
    TallyLink link{settings, errors, transport};
    LoadRegister({}, {R("SV-1")}, Three);
    PostVoucherRegister(form, db, TallyVoucherSender(link, db));
    ASSERT_EQ(transport.bodies.size(), 1u);
    test::ExpectGolden(transport.bodies[0], QStringLiteral("register.xml"));
}

} // namespace
} // namespace quibo
