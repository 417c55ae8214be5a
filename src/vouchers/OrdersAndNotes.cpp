// Orders, and the delivery and receipt notes staged like them: item lines with their accounting and
// godown allocations, ledger lines with their bills and cost centres, and the voucher's order lists.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Text.h"
#include "vouchers/FormattedCell.h"
#include "vouchers/PosterCells.h"
#include "vouchers/SignedAmount.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <memory>

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

const QString MainLocation = QStringLiteral("Main Location");
const QString PrimaryBatch = QStringLiteral("Primary Batch");

enum class Form { Order, Note };

// Per voucher: the ids of its records. The list ids move before each use, so the first is "2".
struct OrderState {
    int ledgerId = 1;
    int itemId = 1;
    int costId = 0;
    int delNoteId = 1;
    int orderListId = 1;
    int termsId = 1;
    int buyerAddressId = 1;
    int addressId = 1;
};

// What a poster of this family keeps for its run: the voucher's ids, and the order-list id of the
// notes, which counts "1", "2", ... over the whole run.
struct OrderRun {
    Form form;
    OrderState voucher;
    int noteOrderListId = 0;
};

bool SaveOrderHeader(const VoucherRun& run, Form form, const VoucherPlace& at) {
    const int row = at.row;
    const QString& ledger = run.Cell(row, C("LEDGER"));
    const auto orLedger = [&](const char* column) {
        const QString name = form == Form::Order ? run.CellIfPresent(row, C(column)) : QString();
        return name.isEmpty() ? ledger : name;
    };
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = run.Cell(row, C("VCHDATE"));
    header.GUID_ = at.key;
    header.Narration_ = run.Cell(row, C("NARRATION"));
    header.VoucherTypeName_ = run.Cell(row, C("VCHTYPE"));
    header.VoucherNumber_ = run.Cell(row, C("VCHNO"));
    header.Reference_ = run.Cell(row, C("REFNO"));
    header.PartyLedgerName_ = header.BasePartyName_ = ledger;
    header.PartyName_ = orLedger("BUYER");
    header.BasicBuyerName_ = orLedger("CONSIGNEE");
    header.IsInvoice_ = form == Form::Order ? Yes : No;
    header.PersistedView_ = QStringLiteral("Invoice Voucher View");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForInterest_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForCompound_, &header.IsCancelled_, &header.HasCashFlow_, &header.IsPostDated_,
          &header.UseTrackingNumber_, &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_,
          &header.IsDeleted_, &header.AsOriginal_})
        *flag = No;
    return SaveVoucher(at.errors, at.db, at.company, header, at.voucherId);
}

// The order lists a row adds to its voucher, each only when the row fills it.
bool SaveOrderLists(const VoucherRun& run, OrderRun& state, const VoucherPlace& at) {
    const auto cell = [&](const char* column) { return run.CellIfPresent(at.row, C(column)); };
    const auto both = [&](const char* first, const char* second) {
        return !cell(first).isEmpty() && !cell(second).isEmpty();
    };
    OrderState& ids = state.voucher;
    const bool order = state.form == Form::Order;
    if (order && both("DELNOTENOS", "DELNOTEDATES")) {
        InvoiceDelNotesRow note;
        note.BasicShippingDate_ = cell("DELNOTEDATES");
        note.BasicShipDeliveryNote_ = cell("DELNOTENOS");
        if (!SaveInvoiceDelNote(at.errors, at.db, at.company, note, at.voucherId,
                                QString::number(++ids.delNoteId)))
            return false;
    }
    if (both("ORDERNOS", "ORDERDATES")) {
        InvoiceOrderListRow list;
        list.BasicOrderDate_ = cell("ORDERDATES");
        list.BasicPurchaseOrderNo_ = cell("ORDERNOS");
        const int id = order ? ++ids.orderListId : ++state.noteOrderListId;
        if (!SaveInvoiceOrder(at.errors, at.db, at.company, list, at.voucherId, QString::number(id)))
            return false;
    }
    if (!order) return true;
    const QString terms = cell("TERMSOFDELIVERY");
    if (!terms.isEmpty() && !SaveBasicOrderTerms(at.errors, at.db, at.company, terms, at.voucherId,
                                                 QString::number(++ids.termsId)))
        return false;
    // Addresses are stored whole, one row per cell.
    const QString buyerAddress = cell("CONSIGNEEADDRESS");
    if (!buyerAddress.isEmpty() &&
        !SaveBasicBuyerAddress(at.errors, at.db, at.company, buyerAddress, at.voucherId,
                               QString::number(++ids.buyerAddressId)))
        return false;
    const QString address = cell("BUYERADDRESS");
    return address.isEmpty() ||
           SaveAddress(at.errors, at.db, at.company, address, at.voucherId, QString::number(++ids.addressId));
}

// One grid row as its records read it: its amount on its side.
struct OrderLine {
    const VoucherRun& run;
    const VoucherPlace& at;
    bool note;
    bool debit;
    QString amount; // a debit as a negative figure, else the credit
    QString deemed;

    QString Cell(const char* column) const { return run.CellIfPresent(at.row, C(column)); }
    const QString& Pattern() const { return run.DecimalPlaces(); }
};

OrderLine ReadOrderLine(const VoucherRun& run, Form form, const VoucherPlace& at) {
    const QString& pattern = run.DecimalPlaces();
    const auto formatted = [&](const QString& text) { return vb::FormatNumber(CellNumber(text), pattern); };
    const double debitFigure = CellNumber(formatted(run.Cell(at.row, C("DEBIT"))));
    const bool debit = debitFigure != 0;
    return OrderLine{.run = run,
                     .at = at,
                     .note = form == Form::Note,
                     .debit = debit,
                     .amount =
                         debit ? vb::NumberText(-debitFigure) : formatted(run.Cell(at.row, C("CREDIT"))),
                     .deemed = debit ? Yes : No};
}

// An item row: the stock item, the allocation to the row's ledger and its godown, under one item id.
bool StageOrderItem(const OrderLine& r, OrderState& ids) {
    const VoucherRun& run = r.run;
    const VoucherPlace& at = r.at;
    const QString unit = r.Cell("UNIT");
    const QString quantity = FormattedCell(r.Cell("QUANTITY"), r.Pattern());
    const QString withUnit = quantity + QLatin1Char(' ') + unit;
    const QString itemId = QString::number(ids.itemId);
    InventoryEntryRow item;
    item.StockItemName_ = r.Cell("ITEMNAME");
    item.IsDeemedPositive_ = r.deemed;
    item.IsAutoNigate_ = No;
    item.Rate_ = FormattedCell(r.Cell("RATE"), r.Pattern()) + QLatin1Char('/') + unit;
    item.Amount_ = r.amount;
    item.ActualQty_ = item.BilledQty_ = withUnit;
    if (!SaveInventoryEntry(at.errors, at.db, at.company, item, at.voucherId, itemId)) return false;

    AccountingAllocationRow allocation;
    allocation.LedgerName_ = run.Cell(at.row, C("LEDGER"));
    allocation.IsDeemedPositive_ = r.deemed;
    allocation.LedgerFromItem_ = allocation.RemoveZeroEntries_ = allocation.IsPartyLedger_ = No;
    allocation.Amount_ = r.amount;
    allocation.TaxClassificationName_ = r.Cell("TAXCLASSIFICATION");
    if (!SaveAccountingAllocation(at.errors, at.db, at.company, allocation, at.voucherId, itemId,
                                  QStringLiteral("1")))
        return false;

    // Without a godown column every line goes to the main location.
    const QString godown = run.Has(C("GODOWNNAME")) ? run.Cell(at.row, C("GODOWNNAME")) : MainLocation;
    const QString batchName = r.note ? PrimaryBatch : r.Cell("BATCHNAME");
    BatchAllocationRow batch;
    batch.GodownName_ = godown;
    batch.DestinationGodownName_ = godown.isEmpty() ? MainLocation : godown;
    batch.BatchName_ = batchName.isEmpty() ? PrimaryBatch : batchName;
    batch.OrderNo_ = r.Cell("ORDERNO");
    if (r.note) batch.TrackingNo_ = r.Cell("TRACKINGNO");
    batch.Amount_ = r.amount;
    // An order's quantity that already names its unit is kept as typed.
    batch.ActualQty_ = batch.BilledQty_ =
        !r.note && quantity.contains(QLatin1Char(' ')) ? quantity : withUnit;
    batch.OrderDueDate_ = r.Cell("ORDERDUEON");
    if (!SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId, itemId, QStringLiteral("1")))
        return false;
    ++ids.itemId;
    return true;
}

bool StageOrderBill(const OrderLine& r, const QString& lineId, const QString& billName) {
    const VoucherPlace& at = r.at;
    BillAllocationRow bill;
    bill.Name_ = billName;
    bill.BillCreditPeriod_ = r.Cell("ADJDATE");
    bill.BillType_ = r.Cell("ADJMETHOD");
    bill.Amount_ = SideAmount(CellNumber(r.Cell("ADJAMOUNT")), r.debit, r.Pattern());
    return SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, QStringLiteral("1"));
}

bool StageOrderCost(const OrderLine& r, OrderState& ids, const QString& lineId, const QString& costCentre) {
    const VoucherPlace& at = r.at;
    const QString category = r.Cell("COSTCATEGORY");
    CategoryAllocationsRow allocation;
    allocation.Category_ = vb::Trim(category).isEmpty() ? QStringLiteral("Primary Cost Category") : category;
    allocation.Name_ = costCentre;
    allocation.Amount_ = vb::FormatNumber(CellNumber(r.Cell("COSTAMOUNT")), r.Pattern());
    return SaveCategoryAllocation(at.errors, at.db, at.company, allocation, at.voucherId, lineId,
                                  QString::number(++ids.costId));
}

// A ledger row: its line, the first of a voucher the party's, with the bill and cost centre under it.
bool StageOrderLedger(const OrderLine& r, OrderState& ids) {
    const VoucherPlace& at = r.at;
    const QString lineId = QString::number(ids.ledgerId);
    LedgerEntryRow line;
    line.LedgerName_ = r.run.Cell(at.row, C("LEDGER"));
    line.IsDeemedPositive_ = r.deemed;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = ids.ledgerId == 1 ? Yes : No;
    line.Amount_ = r.amount;
    line.TaxClassificationName_ = r.Cell("TAXCLASSIFICATION");
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId)) return false;

    const QString billName = r.Cell("ADJNAME");
    if (!billName.isEmpty() && !StageOrderBill(r, lineId, billName)) return false;
    const QString costCentre = r.Cell("COSTCENTRE");
    if (!costCentre.isEmpty() && !StageOrderCost(r, ids, lineId, costCentre)) return false;
    ++ids.ledgerId;
    return true;
}

bool StageOrderRow(const VoucherRun& run, OrderRun& state, const VoucherPlace& at) {
    if (at.firstRow && !SaveOrderHeader(run, state.form, at)) return false;
    if (!SaveOrderLists(run, state, at)) return false;
    const OrderLine line = ReadOrderLine(run, state.form, at);
    if (!vb::Trim(line.Cell("ITEMNAME")).isEmpty()) return StageOrderItem(line, state.voucher);
    return StageOrderLedger(line, state.voucher);
}

VoucherKind OrderFamilyKind(const VoucherRun& run, Form form, QStringList required) {
    auto state = std::make_shared<OrderRun>(OrderRun{form, {}, 0});
    VoucherKind kind;
    kind.required = std::move(required);
    kind.startVoucher = [state] { state->voucher = OrderState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageOrderRow(run, *state, at); };
    return kind;
}

void PostOrderFamily(FormModel& form, TallyLink& link, const char* location,
                     VoucherKind (*kindOf)(const VoucherRun&)) {
    Trap(form.errors(), location, [&] {
        LocalDatabase db(form.services().dataFolder);
        VoucherRun run(form, db);
        run.Run(kindOf(run), TallyVoucherSender(link, db));
    });
}

const QStringList OrderColumns = {C("VCHTYPE"), C("VCHNO"),     C("VCHDATE"), C("REFNO"),
                                  C("LEDGER"),  C("NARRATION"), C("DEBIT"),   C("CREDIT")};

} // namespace

VoucherKind OrderKind(const VoucherRun& run) {
    return OrderFamilyKind(run, Form::Order, OrderColumns);
}

VoucherKind NoteKind(const VoucherRun& run) {
    return OrderFamilyKind(
        run, Form::Note,
        OrderColumns + QStringList{C("ITEMNAME"), C("UNIT"), C("GODOWNNAME"), C("QUANTITY"), C("RATE")});
}

void PostOrders(FormModel& form, TallyLink& link) {
    PostOrderFamily(form, link, "F01-0047", &OrderKind);
}

void PostNotes(FormModel& form, TallyLink& link) {
    PostOrderFamily(form, link, "F01-0048", &NoteKind);
}

} // namespace quibo
