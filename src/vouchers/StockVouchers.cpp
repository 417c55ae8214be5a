// Stock journals and physical stock: vouchers of item lines with their godown and batch lines.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vb/Text.h"
#include "vouchers/PosterCells.h"
#include "vouchers/SignedAmount.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <memory>
#include <optional>

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

const QString GodownFirst = QStringLiteral("ERROR: a godown row comes before the first item line");

// What both kinds stage on a voucher's first row; the views and the flags they set differ.
VoucherRow StockHeader(const VoucherRun& run, const VoucherPlace& at, const QString& view) {
    VoucherRow header;
    const QString& date = run.Cell(at.row, C("VCHDATE"));
    header.Date_ = header.EffectiveDate_ = date;
    header.GUID_ = at.key;
    header.VoucherTypeName_ = run.Cell(at.row, C("VCHTYPE"));
    header.VoucherNumber_ = run.Cell(at.row, C("VCHNO"));
    header.Reference_ = run.Cell(at.row, C("REFNO"));
    header.Narration_ = run.Cell(at.row, C("NARRATION"));
    header.PersistedView_ = view;
    for (StagedText* flag :
         {&header.AsPayslip_, &header.Audited_, &header.DiffActualQty_, &header.ForJobCosting_,
          &header.HasDiscounts_, &header.IsCancelled_, &header.IsDeleted_, &header.IsInvoice_,
          &header.IsOptional_, &header.IsPostDated_, &header.MFGJournal_, &header.UseForCompound_,
          &header.UseForGainLoss_, &header.UseForGodownTransfer_, &header.UseForInterest_,
          &header.UseTrackingNumber_})
        *flag = No;
    return header;
}

// A quantity or amount of an optional column: the cell's number by the pattern, "" while the source
// lacks the column.
QString OptionalFigure(const VoucherRun& run, int row, const char* column) {
    if (!run.Has(C(column))) return QString();
    return vb::FormatNumber(CellNumber(run.Cell(row, C(column))), run.DecimalPlaces());
}

// A quantity or rate as typed: a number by the pattern, any other text as it stands.
QString NumberIfNumeric(const QString& cell, const QString& pattern) {
    const std::optional<double> number = vb::ToNumber(cell);
    return number ? vb::FormatNumber(*number, pattern) : cell;
}

// The amount of an optional column on an item or batch line, "-" on the side of stock coming in.
QString OptionalAmount(const VoucherRun& run, int row, const char* column, bool in) {
    if (!run.Has(C(column))) return QString();
    return SideAmount(CellNumber(run.Cell(row, C(column))), in, run.DecimalPlaces());
}

// Per voucher of a stock journal: its direction (carried from the row that last gave one) and the
// ids of its current item and batch lines; no item line yet while `lineId` is 0.
struct StockJVState {
    QString direction;
    int lineId = 0;
    int batchId = 0;
};

bool StageStockJVRow(const VoucherRun& run, StockJVState& state, const VoucherPlace& at) {
    const int row = at.row;
    if (at.firstRow) {
        VoucherRow header = StockHeader(run, at, QStringLiteral("Consumption Voucher View"));
        header.AsOriginal_ = header.HasCashFlow_ = No;
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }
    const QString& direction = run.Cell(row, C("DIRECTION"));
    if (!direction.isEmpty()) state.direction = direction;
    const QString upper = vb::UCase(state.direction);
    const bool in = upper == QLatin1String("IN");

    const QString& item = run.Cell(row, C("ITEMNAME"));
    if (!vb::Trim(item).isEmpty()) {
        if (!in && upper != QLatin1String("OUT"))
            return at.Fail(QStringLiteral("ERROR: DIRECTION must be IN or OUT"));
        ++state.lineId;
        state.batchId = 0;
        const QString& pattern = run.DecimalPlaces();
        const QString& unit = run.Cell(row, C("UNIT"));
        const QString quantity =
            NumberIfNumeric(run.Cell(row, C("QUANTITY")), pattern) + QLatin1Char(' ') + unit;
        InventoryEntryInRow line;
        line.StockItemName_ = item;
        line.IsDeemedPositive_ = in ? Yes : No;
        line.IsAutoNigate_ = No;
        line.Rate_ = NumberIfNumeric(run.Cell(row, C("RATE")), pattern) + QLatin1Char('/') + unit;
        line.Amount_ = OptionalAmount(run, row, "AMOUNT", in);
        line.ActualQty_ = line.BilledQty_ = quantity;
        const QString lineId = QString::number(state.lineId);
        if (!(in ? SaveInventoryEntryIn : SaveInventoryEntryOut)(at.errors, at.db, at.company, line,
                                                                 at.voucherId, lineId))
            return false;
    }

    const QString godown = run.CellIfPresent(row, C("GODOWNNAME"));
    if (godown.isEmpty()) return true;
    if (state.lineId == 0) return at.Fail(GodownFirst);
    ++state.batchId;
    BatchAllocationRow batch;
    batch.MFDOn_ = run.CellIfPresent(row, C("MFDDATE"));
    batch.GodownName_ = batch.DestinationGodownName_ = godown;
    batch.BatchName_ = run.CellIfPresent(row, C("BATCHNAME"));
    batch.IndentNo_ = batch.OrderNo_ = batch.TrackingNo_ = batch.OrderDueDate_ = QString();
    batch.Amount_ = OptionalAmount(run, row, "BATCHAMOUNT", in);
    batch.ActualQty_ = batch.BilledQty_ =
        OptionalFigure(run, row, "BATCHQUANTITY") + QLatin1Char(' ') + run.CellIfPresent(row, C("BATCHUNIT"));
    batch.ExpiryPeriod_ = run.CellIfPresent(row, C("EXPIRYPERIOD"));
    return SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId,
                               QString::number(state.lineId), QString::number(state.batchId));
}

// Per voucher of a physical stock count: its current item line (the first gets 2) and batch line, and
// the dates its batch lines fill an empty cell from.
struct PhysicalStockState {
    int lineId = 1;
    int batchId = 0;
    bool hasItem = false;
    QString madeOn;
    QString expiry;
};

bool StagePhysicalStockRow(const VoucherRun& run, PhysicalStockState& state, const VoucherPlace& at) {
    const int row = at.row;
    if (at.firstRow) {
        VoucherRow header = StockHeader(run, at, QStringLiteral("Invoice Voucher View"));
        header.HasCashFlow_ = Yes;
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }
    const QString quantity =
        OptionalFigure(run, row, "BATCHQUANTITY") + QLatin1Char(' ') + run.CellIfPresent(row, C("BATCHUNIT"));

    const QString& item = run.Cell(row, C("ITEMNAME"));
    if (!vb::Trim(item).isEmpty()) {
        ++state.lineId;
        state.batchId = 0;
        state.hasItem = true;
        InventoryEntryRow line;
        line.StockItemName_ = item;
        line.IsDeemedPositive_ = Yes;
        line.IsAutoNigate_ = No;
        line.ActualQty_ = quantity;
        line.Rate_ = line.Amount_ = line.BilledQty_ = QString();
        if (!SaveAllInventoryEntry(at.errors, at.db, at.company, line, at.voucherId,
                                   QString::number(state.lineId)))
            return false;
    }

    const QString godown = run.CellIfPresent(row, C("GODOWNNAME"));
    if (godown.isEmpty()) return true;
    if (!state.hasItem) return at.Fail(GodownFirst);
    ++state.batchId;
    // An empty date repeats the one of the voucher's batch line above, whichever item that is under.
    const auto carried = [&](const char* column, QString& kept) {
        const QString cell = run.CellIfPresent(row, C(column));
        if (!vb::Trim(cell).isEmpty()) kept = cell;
        return kept;
    };
    const QString batchName = run.CellIfPresent(row, C("BATCHNAME"));
    BatchAllocationRow batch;
    batch.GodownName_ = godown;
    batch.BatchName_ = vb::Trim(batchName).isEmpty() ? QStringLiteral("Primary Batch") : batchName;
    batch.IndentNo_ = batch.OrderNo_ = batch.TrackingNo_ = QString();
    batch.ActualQty_ = quantity;
    batch.MFDOn_ = carried("MFDDATE", state.madeOn);
    batch.ExpiryPeriod_ = carried("EXPIRYPERIOD", state.expiry);
    batch.Amount_ = batch.BilledQty_ = batch.DestinationGodownName_ = batch.OrderDueDate_ = QString();
    return SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId,
                               QString::number(state.lineId), QString::number(state.batchId));
}

} // namespace

VoucherKind StockJVKind(const VoucherRun& run) {
    auto state = std::make_shared<StockJVState>();
    VoucherKind kind;
    // Without DIRECTION no item line could be staged: the run ends as for any missing column.
    kind.required = {C("VCHTYPE"),   C("VCHNO"),    C("VCHDATE"), C("REFNO"), C("ITEMNAME"),
                     C("NARRATION"), C("QUANTITY"), C("UNIT"),    C("RATE"),  C("DIRECTION")};
    kind.startVoucher = [state] { *state = StockJVState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageStockJVRow(run, *state, at); };
    return kind;
}

void PostStockJV(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0049", &StockJVKind);
}

VoucherKind PhysicalStockKind(const VoucherRun& run) {
    auto state = std::make_shared<PhysicalStockState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"), C("ITEMNAME"), C("NARRATION")};
    kind.startVoucher = [state] { *state = PhysicalStockState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StagePhysicalStockRow(run, *state, at); };
    if (run.Has(C("ID"))) {
        // A blank ID on a row with content continues the voucher above it.
        kind.key = [&run](int row, const QString* open) {
            const QString& id = run.Cell(row, C("ID"));
            if (!vb::Trim(id).isEmpty()) return id;
            return open ? *open : QString();
        };
    }
    return kind;
}

void PostPhysicalStock(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0051", &PhysicalStockKind);
}

} // namespace quibo
