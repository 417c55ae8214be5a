// Itemised invoices: item rows become inventory entries with one accounting and one batch
// allocation each; the other rows ledger lines with at most one bill.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/Number.h"
#include "vb/Text.h"
#include "vouchers/InvoiceRows.h"
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

const QString FirstAllocation = QStringLiteral("1"); // a line has at most one allocation of a kind

// Per voucher: the ids of the next ledger line and the next item line, each advanced after its line.
struct ItemizedState {
    int ledgerId = 1;
    int itemId = 1;
};

VoucherRow ItemizedHeader(const InvoiceCells& cells, const QString& key) {
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = cells.Text("VCHDATE");
    header.GUID_ = key;
    header.VoucherTypeName_ = cells.Text("VCHTYPE");
    header.VoucherNumber_ = cells.Text("VCHNO");
    header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = cells.Text("LEDGER");
    header.Reference_ = cells.Text("REFNO");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForCompound_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForInterest_, &header.UseTrackingNumber_, &header.IsCancelled_, &header.IsPostDated_,
          &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_,
          &header.HasCashFlow_})
        *flag = No;
    header.AsOriginal_ = Yes;
    header.Narration_ = cells.Text("NARRATION");
    header.IsInvoice_ = Yes;
    header.PersistedView_ = QStringLiteral("Invoice Voucher View");
    return header;
}

bool StageItemizedRow(const VoucherRun& run, ItemizedState& state, const VoucherPlace& at) {
    const InvoiceCells cells(run, at.row);
    if (at.firstRow &&
        !SaveVoucher(at.errors, at.db, at.company, ItemizedHeader(cells, at.key), at.voucherId))
        return false;

    const double debit = InvoiceCells::Value(cells.Amount("DEBIT"));
    const bool debitSide = debit != 0;
    const QString amount = debitSide ? vb::NumberText(-debit) : cells.Amount("CREDIT");
    const QString deemed = debitSide ? Yes : No;
    const QString ledger = cells.Text("LEDGER");

    const QString itemName = cells.Text("ITEMNAME");
    if (!vb::Trim(itemName).isEmpty()) {
        const QString unit = cells.Text("UNIT");
        const QString quantity = cells.Quantity("QUANTITY") + QLatin1Char(' ') + unit;
        InventoryEntryRow item;
        item.StockItemName_ = itemName;
        item.IsAutoNigate_ = No;
        item.Rate_ = cells.Quantity("RATE") + QLatin1Char('/') + unit;
        item.Amount_ = amount;
        item.IsDeemedPositive_ = deemed;
        item.ActualQty_ = item.BilledQty_ = quantity;
        AccountingAllocationRow allocation;
        allocation.LedgerName_ = ledger;
        allocation.LedgerFromItem_ = allocation.RemoveZeroEntries_ = allocation.IsPartyLedger_ = No;
        allocation.Amount_ = amount;
        allocation.IsDeemedPositive_ = deemed;
        BatchAllocationRow batch;
        const QString godown = cells.Text("GODOWNNAME");
        batch.GodownName_ = godown.isEmpty() ? QStringLiteral("Main Location") : godown;
        batch.BatchName_ = QStringLiteral("Primary Batch");
        batch.Amount_ = amount;
        batch.ActualQty_ = batch.BilledQty_ = quantity;
        const QString itemId = QString::number(state.itemId++);
        return SaveInventoryEntry(at.errors, at.db, at.company, item, at.voucherId, itemId) &&
               SaveAccountingAllocation(at.errors, at.db, at.company, allocation, at.voucherId, itemId,
                                        FirstAllocation) &&
               SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId, itemId,
                                   FirstAllocation);
    }

    LedgerEntryRow line;
    line.LedgerName_ = ledger;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = state.ledgerId == 1 ? Yes : No;
    line.Amount_ = amount;
    line.IsDeemedPositive_ = deemed;
    const QString lineId = QString::number(state.ledgerId++);
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId)) return false;
    const QString billName = cells.Text("ADJNAME");
    if (billName.isEmpty()) return true;
    BillAllocationRow bill;
    bill.Name_ = billName;
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.BillCreditPeriod_ = cells.Text("ADJDATE");
    bill.Amount_ = SideAmount(InvoiceCells::Value(cells.Amount("ADJAMOUNT")), debitSide, cells.Pattern());
    return SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, FirstAllocation);
}

} // namespace

VoucherKind ItemizedTransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<ItemizedState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"),     C("VCHDATE"),   C("REFNO"),     C("LEDGER"),
                     C("DEBIT"),   C("CREDIT"),    C("NARRATION"), C("ADJMETHOD"), C("ADJNAME"),
                     C("ADJDATE"), C("ADJAMOUNT"), C("ITEMNAME"),  C("QUANTITY"),  C("UNIT"),
                     C("RATE"),    C("GODOWNNAME")};
    kind.startVoucher = [state] { *state = ItemizedState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageItemizedRow(run, *state, at); };
    return kind;
}

void PostItemizedTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0024", &ItemizedTransactionKind);
}

} // namespace quibo
