// What PostOrders and PostNotes stage for the rows of "ORDERS" and "NOTES": the header, the order
// lists, item lines with their allocations and ledger lines with their bills and cost centres.

#include "vouchers/ItemVoucherFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <tuple>

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList OrderColumns = {"VCHTYPE", "VCHNO",     "VCHDATE", "REFNO",
                                  "LEDGER",  "NARRATION", "DEBIT",   "CREDIT"};
const QStringList NoteColumns =
    OrderColumns + QStringList{"ITEMNAME", "UNIT", "GODOWNNAME", "QUANTITY", "RATE"};

const QString Header =
    QStringLiteral("Select VchID, PartyLedgerName_, PartyName_, BasicBuyerName_, IsInvoice_, "
                   "AsOriginal_, PersistedView_ from Voucher order by val(VchID)");
const QString Items =
    QStringLiteral("Select FK_VchID, InEID, StockItemName_, IsDeemedPositive_, Rate_, Amount_, "
                   "ActualQty_ from InventoryEntry order by FK_VchID, val(InEID)");
const QString Allocations = QStringLiteral(
    "Select FK_VchID, FK_InEID, LedgerName_, Amount_ from AccountingAllocation order by FK_VchID, FK_InEID");
const QString Batches =
    QStringLiteral("Select FK_InEID, BAaID, GodownName_, DestinationGodownName_, BatchName_, TrackingNo_, "
                   "BilledQty_ from BatchAllocation order by FK_VchID, FK_InEID");
const QString Lines =
    QStringLiteral("Select FK_VchID, LdEID, LedgerName_, IsDeemedPositive_, IsPartyLedger_, "
                   "Amount_ from LedgerEntry order by FK_VchID, val(LdEID)");
const QString Bills = QStringLiteral("Select FK_LdEID, BiAID, Name_, BillType_, Amount_ from BillAllocation "
                                     "order by val(FK_LdEID)");
const QString Costs = QStringLiteral(
    "Select FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations order by val(CAID)");
const QString Lists = QStringLiteral(
    "Select 'note', FK_VchID, IDNID, BasicShipDeliveryNote_ || ' ' || BasicShippingDate_ from "
    "InvoiceDelNotes "
    "union all Select 'order', FK_VchID, IOLID, BasicPurchaseOrderNo_ || ' ' || BasicOrderDate_ "
    "from InvoiceOrderList union all Select 'terms', FK_VchID, BOTID, BasicOrderTerms_ from BasicOrderTerms "
    "union all Select 'consignee', FK_VchID, BBAID, BasicBuyerAddress_ from BasicBuyerAddress "
    "union all Select 'buyer', FK_VchID, AdID, Address_ from Address");

const QStringList ItemRows = {
    "ITEMNAME=Bolt|LEDGER=Sales|QUANTITY=5|UNIT=Nos|RATE=12.5|CREDIT=62.5|GODOWNNAME=|BATCHNAME=",
    "LEDGER=Party|DEBIT=62.5",
    "ITEMNAME=Nut|LEDGER=Sales|QUANTITY=5 Box|UNIT=Nos|GODOWNNAME=Store|BATCHNAME=B-7|TRACKINGNO=T-1|DEBIT=7",
    "VCHNO=2|ITEMNAME=Bolt|LEDGER=Sales|QUANTITY=1|UNIT=Nos|RATE=2|CREDIT=2",
    "VCHNO=2|LEDGER=Party|DEBIT=2",
};

struct OrderCase {
    const char* name;
    bool notes;
    QStringList rows;
    QList<test::StagedRows> staged;
};

const OrderCase Cases[] = {
    {"ALineOnEitherSideWithItsBillAndCostCentre",
     false,
     {"LEDGER=Party|DEBIT=100|ADJNAME=SO-1|ADJAMOUNT=100|ADJMETHOD=New Ref|COSTCENTRE=North|COSTAMOUNT=100",
      "LEDGER=Sales|CREDIT=100|ADJNAME=SO-2|ADJAMOUNT=100|COSTCENTRE=South|COSTCATEGORY=Regions|COSTAMOUNT=-"
      "5",
      "LEDGER=Refund|DEBIT=100|ADJNAME=SO-3|ADJAMOUNT=-250", "LEDGER=Neither"},
     {{Lines,
       {"1|1|Party|Yes|Yes|-100", "1|2|Sales|No|No|100.000", "1|3|Refund|Yes|No|-100",
        "1|4|Neither|No|No|0.000"}},
      {Bills, {"1|1|SO-1|New Ref|-100.000", "2|1|SO-2||100.000", "3|1|SO-3||250.000"}},
      {Costs, {"1|1|Primary Cost Category|North|100.000", "2|2|Regions|South|-5.000"}}}},
    {"OrderItemLinesAndTheLinesAfterThem",
     false,
     ItemRows,
     {{Items,
       {"1|1|Bolt|No|12.500/Nos|62.500|5.000 Nos", "1|2|Nut|Yes|/Nos|-7|5 Box Nos",
        "2|1|Bolt|No|2.000/Nos|2.000|1.000 Nos"}},
      {Allocations, {"1|1|Sales|62.500", "1|2|Sales|-7", "2|1|Sales|2.000"}},
      {Batches,
       {"1|1||Main Location|Primary Batch||5.000 Nos", "2|1|Store|Store|B-7||5 Box",
        "1|1||Main Location|Primary Batch||1.000 Nos"}},
      {Lines, {"1|1|Party|Yes|Yes|-62.5", "2|1|Party|Yes|Yes|-2"}}}},
    {"NoteBatchesAlwaysNameTheirUnitAndThePrimaryBatch",
     true,
     ItemRows,
     {{Batches,
       {"1|1||Main Location|Primary Batch||5.000 Nos", "2|1|Store|Store|Primary Batch|T-1|5 Box Nos",
        "1|1||Main Location|Primary Batch||1.000 Nos"}}}},
    {"WithoutAGodownColumnEveryItemGoesToTheMainLocationAndAQuantityStaysAsTyped",
     false,
     {"ITEMNAME=Bolt|LEDGER=Sales|QUANTITY=1/2|UNIT=Nos", "ITEMNAME=Nut|LEDGER=Sales"},
     {{Batches,
       {"1|1|Main Location|Main Location|Primary Batch||1/2 Nos",
        "2|1|Main Location|Main Location|Primary Batch|| "}}}},
    {"OrderListsInPairsAndTheHeaderFromTheFirstRow",
     false,
     {"LEDGER=Party|DELNOTENOS=DN-1|DELNOTEDATES=2-Apr|ORDERNOS=PO-1|TERMSOFDELIVERY=FOB|BUYERADDRESS=1 Main "
      "St~Pune",
      "LEDGER=Party|CONSIGNEE=Later|BUYER=Later|ORDERNOS=PO-2|ORDERDATES=3-Apr|DELNOTEDATES=4-Apr|"
      "CONSIGNEEADDRESS=Dock 4\nMumbai|BUYERADDRESS=1 Main St~Pune",
      "VCHNO=2|LEDGER=Party|CONSIGNEE=Kiran|BUYER=Asha|ORDERNOS=PO-3|ORDERDATES=5-Apr"},
     {{Header,
       {"1|Party|Party|Party|Yes|No|Invoice Voucher View", "2|Party|Asha|Kiran|Yes|No|Invoice Voucher View"}},
      {Lists,
       {"note|1|2|DN-1 2-Apr", "order|1|2|PO-2 3-Apr", "order|2|2|PO-3 5-Apr", "terms|1|2|FOB",
        "consignee|1|2|Dock 4\nMumbai", "buyer|1|2|1 Main St~Pune", "buyer|1|3|1 Main St~Pune"}}}},
    {"NotesNumberTheirOrderListsOverTheRunAndNameNoBuyer",
     true,
     {"LEDGER=Party|CONSIGNEE=Kiran|BUYER=Asha|ORDERNOS=PO-1|ORDERDATES=2-Apr|DELNOTENOS=DN-1|DELNOTEDATES=2-"
      "Apr",
      "VCHNO=2|LEDGER=Party|ORDERNOS=PO-2|ORDERDATES=3-Apr|TERMSOFDELIVERY=FOB"},
     {{Header,
       {"1|Party|Party|Party|No|No|Invoice Voucher View", "2|Party|Party|Party|No|No|Invoice Voucher View"}},
      {Lists, {"order|1|1|PO-1 2-Apr", "order|2|2|PO-2 3-Apr"}}}},
};

struct Order : test::ItemVoucherFixture, ::testing::WithParamInterface<OrderCase> {};

TEST_P(Order, StagesWhatTheRowsSay) {
    const OrderCase& c = GetParam();
    LoadCells(c.notes ? NoteColumns : OrderColumns, {}, c.rows);
    VoucherRun run(form, db);
    run.Run(c.notes ? NoteKind(run) : OrderKind(run), Recorder());
    EXPECT_FALSE(sent.isEmpty());
    EXPECT_TRUE(Locations().isEmpty());
    ExpectStaged(c.staged);
}

INSTANTIATE_TEST_SUITE_P(OrdersAndNotes, Order, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Orders : test::ItemVoucherFixture {};

TEST_F(Orders, EachPosterEndsARunThatLacksARequiredColumnUnderItsOwnLocation) {
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
    const std::tuple<void (*)(FormModel&, TallyLink&), QStringList, const char*> posters[] = {
        {&PostVATTransactionMC, OrderColumns, "F01-0024MC"}, // no bill columns
        {&PostOrders, QStringList({"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT"}),
         "F01-0047"},
        {&PostNotes, OrderColumns + QStringList{"ITEMNAME", "UNIT", "QUANTITY", "RATE"}, "F01-0048"}};
    for (const auto& [post, columns, location] : posters) {
        boxes.shown.clear();
        LoadCells(columns, {}, {"LEDGER=Party|DEBIT=5"});
        post(form, link);
        EXPECT_EQ(Locations(), QStringList({location}));
    }
    EXPECT_EQ(link.RequestsPosted(), 0u);
}

TEST_F(Orders, AnOrderAndANoteGoOutAsVoucherMessages) {
    const QString rows[] = {
        "VCHTYPE=Sales Order|LEDGER=Party|DEBIT=100|CONSIGNEE=Kiran|ORDERNOS=SO-1|ORDERDATES=2-Apr|"
        "TERMSOFDELIVERY=FOB|BUYERADDRESS=1 Main St|ADJNAME=SO-1|ADJAMOUNT=100",
        "VCHTYPE=Sales "
        "Order|ITEMNAME=Bolt|LEDGER=Sales|QUANTITY=8|UNIT=Nos|RATE=12.5|CREDIT=100|GODOWNNAME=Store"};
    LoadCells(NoteColumns, {}, QStringList(std::begin(rows), std::end(rows)));
    VoucherRun orders(form, db);
    orders.Run(OrderKind(orders), Messages());
    VoucherRun notes(form, db);
    notes.Run(NoteKind(notes), Messages());
    ASSERT_EQ(messages.size(), 2);
    test::ExpectGolden(messages[0], QStringLiteral("order.xml"));
    test::ExpectGolden(messages[1], QStringLiteral("note.xml"));
}

} // namespace
} // namespace quibo
