// Accounting vouchers whose lines carry a tax classification: a ledger line and a bill on every
// row, and a cost allocation where the row names a cost centre.

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

// Per voucher: every row is a line ("1", "2", ...); cost allocations count from "1".
struct TaxClassifiedState {
    int ledgerId = 0;
    int costId = 0;
};

VoucherRow TaxClassifiedHeader(const InvoiceCells& cells, const QString& key) {
    VoucherRow header;
    const QString type = cells.Text("VCHTYPE");
    header.Date_ = header.EffectiveDate_ = cells.Text("VCHDATE");
    header.GUID_ = key;
    header.Narration_ = cells.Text("NARRATION");
    header.VoucherTypeName_ = type;
    header.VoucherNumber_ = cells.Text("VCHNO");
    header.Reference_ = cells.Text("REFNO");
    header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = cells.Text("LEDGER");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForInterest_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForCompound_, &header.IsCancelled_, &header.IsPostDated_, &header.UseTrackingNumber_,
          &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_})
        *flag = No;
    header.HasCashFlow_ = Yes;
    header.IsInvoice_ = type == QLatin1String("Sales") || type == QLatin1String("Purchase") ? Yes : No;
    return header;
}

bool StageTaxClassifiedRow(const VoucherRun& run, TaxClassifiedState& state, const VoucherPlace& at) {
    const InvoiceCells cells(run, at.row);
    if (at.firstRow &&
        !SaveVoucher(at.errors, at.db, at.company, TaxClassifiedHeader(cells, at.key), at.voucherId))
        return false;

    const double debit = InvoiceCells::Value(cells.Amount("DEBIT"));
    const bool debitSide = debit != 0;
    LedgerEntryRow line;
    line.LedgerName_ = cells.Text("LEDGER");
    line.IsDeemedPositive_ = debitSide ? Yes : No;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    const QString lineId = QString::number(++state.ledgerId);
    line.IsPartyLedger_ = state.ledgerId == 1 ? Yes : No;
    line.Amount_ = debitSide ? vb::NumberText(-debit) : cells.Amount("CREDIT");
    line.TaxClassificationName_ = cells.Text("TAXCLASSIFICATION");
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId)) return false;

    BillAllocationRow bill;
    bill.Name_ = cells.Text("ADJNAME");
    bill.BillCreditPeriod_ = cells.Text("ADJDATE");
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.Amount_ = SideAmount(InvoiceCells::Value(cells.Amount("ADJAMOUNT")), debitSide, cells.Pattern());
    if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, QStringLiteral("1")))
        return false;

    const QString centre = cells.Text("COSTCENTRE");
    if (centre.isEmpty()) return true;
    const QString category = cells.Text("COSTCATEGORY");
    CategoryAllocationsRow cost;
    cost.Category_ = vb::Trim(category).isEmpty() ? QStringLiteral("Primary Cost Category") : category;
    cost.Name_ = centre;
    cost.Amount_ = cells.Amount("COSTAMOUNT");
    return SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId, lineId,
                                  QString::number(++state.costId));
}

} // namespace

VoucherKind TaxClassifiedTransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<TaxClassifiedState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),  C("DEBIT"), C("CREDIT"),  C("NARRATION")};
    kind.startVoucher = [state] { *state = TaxClassifiedState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageTaxClassifiedRow(run, *state, at); };
    return kind;
}

void PostVATTransactionOOO(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023000", &TaxClassifiedTransactionKind);
}

} // namespace quibo
