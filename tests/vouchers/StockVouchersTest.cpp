// What PostStockJV and PostPhysicalStock stage for their rows, which vouchers they fail, and the
// bytes one voucher of each goes out as.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Journal = {"VCHTYPE",       "VCHNO",      "VCHDATE",    "REFNO",   "ITEMNAME",
                             "NARRATION",     "QUANTITY",   "UNIT",       "RATE",    "DIRECTION",
                             "AMOUNT",        "GODOWNNAME", "BATCHNAME",  "MFDDATE", "EXPIRYPERIOD",
                             "BATCHQUANTITY", "BATCHUNIT",  "BATCHAMOUNT"};
const QStringList Count = {"ID",           "VCHTYPE",       "VCHNO",      "VCHDATE",   "REFNO",
                           "ITEMNAME",     "NARRATION",     "GODOWNNAME", "BATCHNAME", "MFDDATE",
                           "EXPIRYPERIOD", "BATCHQUANTITY", "BATCHUNIT"};

QStringList Without(QStringList fields, const char* column) {
    fields.removeAll(QString::fromLatin1(column));
    return fields;
}

// A stock journal row: item, direction, quantity, rate, amount, then godown, batch and batch figures.
QStringList J(const char* item, const char* direction, const char* quantity = "2", const char* amount = "50",
              const char* godown = "", const char* batch = "", const char* batchAmount = "") {
    return {"Stock Journal", "1",    "d",    "",    item, "", quantity, "Nos", "12.5",
            direction,       amount, godown, batch, "",   "", "3",      "Nos", batchAmount};
}

const QString JournalHeader = QStringLiteral(
    "Select VchID, GUID_, Reference_, PersistedView_, AsOriginal_, HasCashFlow_, IsInvoice_ from Voucher");
const QString Items = QStringLiteral(
    "Select 'IN', FK_VchID, InEID, StockItemName_, IsDeemedPositive_, IsAutoNigate_, Rate_, Amount_, "
    "ActualQty_, "
    "BilledQty_ from InventoryEntryIN union all Select 'OUT', FK_VchID, InEID, StockItemName_, "
    "IsDeemedPositive_, IsAutoNigate_, Rate_, Amount_, ActualQty_, BilledQty_ from InventoryEntryOut order "
    "by 2, 3");
const QString Batches =
    QStringLiteral("Select FK_InEID, BaAID, GodownName_, BatchName_, Amount_, ActualQty_, "
                   "DestinationGodownName_, MFDOn_, ExpiryPeriod_ from BatchAllocation "
                   "order by FK_VchID, FK_InEID, BaAID");

struct StockCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

struct StockJournal : test::PostingFixture, ::testing::WithParamInterface<StockCase> {};
struct PhysicalStock : test::PostingFixture, ::testing::WithParamInterface<StockCase> {};

const StockCase JournalCases[] = {
    {"TheHeaderTakesItsFirstRowsReferenceOnly",
     Journal,
     {{"Stock Journal", "1", "d", "R-1", "Bar", "", "1", "kg", "", "IN", "", "", "", "", "", "", "", ""},
      {"Stock Journal", "2", "d", "", "Bar", "", "1", "kg", "", "IN", "", "", "", "", "", "", "", ""}},
     JournalHeader,
     {"1|Stock Journal-1-d|R-1|Consumption Voucher View|No|No|No",
      "2|Stock Journal-2-d||Consumption Voucher View|No|No|No"}},
    {"InInAnyCaseAndAnEmptyDirectionKeepsTheVouchers",
     Journal,
     {J("Bar", "in"), J("Rod", "In"), J("Wire", "IN"), J("Nail", ""), J("Sheet", "out", "", "-7.5")},
     Items,
     {"IN|1|1|Bar|Yes|No|12.500/Nos|-50.000|2.000 Nos|2.000 Nos",
      "IN|1|2|Rod|Yes|No|12.500/Nos|-50.000|2.000 Nos|2.000 Nos",
      "IN|1|3|Wire|Yes|No|12.500/Nos|-50.000|2.000 Nos|2.000 Nos",
      "IN|1|4|Nail|Yes|No|12.500/Nos|-50.000|2.000 Nos|2.000 Nos",
      "OUT|1|5|Sheet|No|No|12.500/Nos|-7.500| Nos| Nos"}},
    {"TheInSignGoesWithTheNumber",
     Journal,
     {J("Bar", "IN", "2", ""), J("Rod", "IN", "2", "-40"), J("Wire", "IN", "2", "1,200")},
     Items,
     {"IN|1|1|Bar|Yes|No|12.500/Nos|-0.000|2.000 Nos|2.000 Nos",
      "IN|1|2|Rod|Yes|No|12.500/Nos|40.000|2.000 Nos|2.000 Nos",
      "IN|1|3|Wire|Yes|No|12.500/Nos|-1200.000|2.000 Nos|2.000 Nos"}},
    {"AQuantityThatIsNoNumberStaysAsTyped",
     Journal,
     {J("Bar", "OUT", "1,500"), J("Rod", "OUT", "ten")},
     Items,
     {"OUT|1|1|Bar|No|No|12.500/Nos|50.000|1500.000 Nos|1500.000 Nos",
      "OUT|1|2|Rod|No|No|12.500/Nos|50.000|ten Nos|ten Nos"}},
    {"AGodownRowAddsABatchToTheLatestItemLine",
     Journal,
     {J("Bar", "IN", "2", "50", "Main", "B1", "-20"), J("Rod", "OUT", "2", "50", "Main", "B2", "20"),
      J("", "", "", "", "Depot", "B3", "30"), J("", "", "", "", "", "B4", "40")},
     Batches,
     {"1|1|Main|B1|20.000|3.000 Nos|Main||", "2|1|Main|B2|20.000|3.000 Nos|Main||",
      "2|2|Depot|B3|30.000|3.000 Nos|Depot||"}},
    {"AbsentFiguresStageNoSign",
     Without(Without(Journal, "AMOUNT"), "BATCHAMOUNT"),
     {Without(Without(J("Bar", "IN", "2", "AMOUNT", "Main", "B1", "BATCHAMOUNT"), "AMOUNT"), "BATCHAMOUNT")},
     Batches,
     {"1|1|Main|B1||3.000 Nos|Main||"}},
};

TEST_P(StockJournal, StagesWhatTheRowsSay) {
    const StockCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(StockJVKind(run), Recorder());
    EXPECT_EQ(Locations(), QStringList());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(StockJV, StockJournal, ::testing::ValuesIn(JournalCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A count row: ID, item, godown, batch name, made on, expiry, quantity.
QStringList P(const char* id, const char* item, const char* godown = "", const char* batch = "",
              const char* made = "", const char* expiry = "", const char* quantity = "5") {
    return {id, "Physical Stock", "1", "d", "R", item, "", godown, batch, made, expiry, quantity, "kg"};
}

const QString CountItems = QStringLiteral(
    "Select FK_VchID, InEID, StockItemName_, IsDeemedPositive_, IsAutoNigate_, ActualQty_, Rate_, "
    "Amount_, BilledQty_ from AllInventoryEntry order by FK_VchID, InEID");

const StockCase CountCases[] = {
    {"TheFirstItemLineIsTwo",
     Count,
     {P("A", "Bar", "", "", "", "", ""), P("", "Rod"), P("B", "Wire", "", "", "", "", "1,250.5")},
     CountItems,
     {"1|2|Bar|Yes|No|0.000 kg|||", "1|3|Rod|Yes|No|5.000 kg|||", "2|2|Wire|Yes|No|1250.500 kg|||"}},
    {"WithoutBatchQuantityTheUnitAlone",
     Without(Count, "BATCHQUANTITY"),
     {Without(P("A", "Bar", "Main", "", "", "", "BATCHQUANTITY"), "BATCHQUANTITY")},
     Batches,
     {"2|1|Main|Primary Batch|| kg|||"}},
    {"BatchDatesCarryAcrossTheItemLinesOfTheirVoucherOnly",
     Count,
     {P("A", "Bar", "Main", " ", "01-03-2024", "30 Days"), P("", "", "Depot", "L2"),
      P("", "Rod", "Main", "", "", ""), P("", "", "", "L4"), P("B", "Wire", "Main")},
     Batches,
     {"2|1|Main|Primary Batch||5.000 kg||01-03-2024|30 Days", "2|2|Depot|L2||5.000 kg||01-03-2024|30 Days",
      "3|1|Main|Primary Batch||5.000 kg||01-03-2024|30 Days", "2|1|Main|Primary Batch||5.000 kg|||"}},
};

TEST_P(PhysicalStock, StagesWhatTheRowsSay) {
    const StockCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(PhysicalStockKind(run), Recorder());
    EXPECT_EQ(Locations(), QStringList());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(PhysicalStock, PhysicalStock, ::testing::ValuesIn(CountCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutcomeCase {
    const char* name;
    bool journal;
    QStringList fields;
    QList<QStringList> rows;
    QStringList sent;
    QStringList statuses; // every grid row's, the closing empty row's last
};

using test::Sharma;
const QString S = Sharma + QStringLiteral("/");
const QString Godown = QStringLiteral("ERROR: a godown row comes before the first item line");
const QString Direction = QStringLiteral("ERROR: DIRECTION must be IN or OUT");

QStringList Numbered(QStringList row, const char* number) {
    row[1] = QString::fromLatin1(number);
    return row;
}

const OutcomeCase OutcomeCases[] = {
    {"ABlankBeforeInFailsItsVoucherOnly",
     true,
     Journal,
     {J("Bar", " IN"), Numbered(J("Bar", "OUT"), "2")},
     {S + "2: "},
     {Direction, "CREATED", ""}},
    {"ADirectionIsNotCarriedIntoTheNextVoucher",
     true,
     Journal,
     {J("Bar", "IN"), Numbered(J("Bar", ""), "2")},
     {S + "1: "},
     {"CREATED", Direction, ""}},
    {"AJournalGodownBeforeTheFirstItemLine",
     true,
     Journal,
     {J("", "IN", "", "", "Main"), J("Bar", "IN")},
     {},
     {"", Godown, ""}},
    {"ACountGodownBeforeTheFirstItemLine",
     false,
     Count,
     {P("A", "", "Main"), P("B", "Bar", "Main")},
     {S + "2: "},
     {Godown, "CREATED", ""}},
    {"BlankIdsContinueTheVoucherAbove",
     false,
     Count,
     {P("A", "Bar"), P("", "Rod"), P("", "Wire"), P("B", "Nail")},
     {S + "1: ", S + "2: "},
     {"", "", "CREATED", "CREATED", ""}},
    {"ABlankIdWithNoVoucherOpenAndAnEmptyRowBetween",
     false,
     Count,
     {P("", "Bar"), P("A", "Rod"), QStringList(Count.size(), QString()), P("B", "Wire")},
     {S + "1: ", S + "2: "},
     {"ERROR: empty ID", "CREATED", "", "CREATED", ""}},
};

struct Outcomes : test::PostingFixture, ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(Outcomes, FailedVouchersAreNotSentAndAreMarked) {
    const OutcomeCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(c.journal ? StockJVKind(run) : PhysicalStockKind(run), Recorder());
    EXPECT_EQ(sent, c.sent);
    QStringList statuses;
    for (int row = 1; row <= form.GR1.RowCount(); ++row)
        statuses << Status(row);
    EXPECT_EQ(statuses, c.statuses);
    for (int row = 1; row <= form.GR1.RowCount(); ++row)
        if (statuses[row - 1].startsWith(QLatin1String("ERROR"))) {
            EXPECT_EQ(Icon(row), 1) << row;
        }
}

INSTANTIATE_TEST_SUITE_P(Stock, Outcomes, ::testing::ValuesIn(OutcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StockJV : test::PostingFixture {};

TEST_F(StockJV, ASourceWithoutDirectionEndsTheRunBeforeAnythingIsSent) {
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
    Load(Without(Journal, "DIRECTION"), {Without(J("Bar", "IN"), "IN")});
    PostStockJV(form, link);
    EXPECT_EQ(Locations(), QStringList({"F01-0049"}));
    EXPECT_EQ(link.RequestsPosted(), 0u);
    EXPECT_EQ(Staged(QStringLiteral("Select count(*) from Voucher")), QStringList({"0"}));
}

// Through the staging writers and the voucher builder, as the server gets it.
TEST_F(StockJV, EachStockPosterSendsOneVoucherAsItsRowsSay) {
    ExpectGoldenRuns({
        {&PostStockJV,
         Journal,
         {J("Cement", "OUT", "10", "3500", "Bhiwandi", "C-1", "3500"), J("Concrete Mix", "IN", "2", "3500")},
         "stockjournal.xml"},
        {&PostPhysicalStock,
         Count,
         {P("PS-1", "Cement", "Bhiwandi", "C-1", "01-Apr-2024", "90 Days", "48")},
         "physicalstock.xml"},
    });
}

} // namespace
} // namespace quibo
