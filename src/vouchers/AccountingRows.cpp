#include "vouchers/AccountingRows.h"

#include "vb/CellNumber.h"
#include "vouchers/VoucherRun.h"

namespace quibo {

QString AmountText(const QString& cell, const QString& pattern) {
    return vb::FormatNumber(CellNumber(cell), pattern);
}

VoucherRow AccountingHeader(const VoucherRun& run, const VoucherPlace& at) {
    const auto cell = [&](const char* column) { return run.Cell(at.row, QString::fromLatin1(column)); };
    const QString no = QStringLiteral("No");
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = cell("VCHDATE");
    header.GUID_ = at.key;
    header.Narration_ = cell("NARRATION");
    header.VoucherTypeName_ = cell("VCHTYPE");
    header.VoucherNumber_ = cell("VCHNO");
    header.Reference_ = cell("REFNO");
    header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = cell("LEDGER");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForInterest_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForCompound_, &header.IsCancelled_, &header.IsPostDated_, &header.UseTrackingNumber_,
          &header.IsInvoice_, &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_,
          &header.IsDeleted_})
        *flag = no;
    header.HasCashFlow_ = QStringLiteral("Yes");
    header.PersistedView_ = QStringLiteral("Accounting Voucher View");
    return header;
}

} // namespace quibo
