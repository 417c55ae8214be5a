#include "vouchers/AccountingHeader.h"

#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vb/Text.h"
#include "vouchers/VoucherRun.h"

namespace quibo {

VoucherRow AccountingHeader(const QString& date, const QString& key, const QString& type,
                            const QString& number, const QString& party, const QString& narration) {
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = date;
    header.GUID_ = key;
    header.Narration_ = narration;
    header.VoucherTypeName_ = type;
    header.VoucherNumber_ = number;
    header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = party;
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForInterest_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForCompound_, &header.IsCancelled_, &header.IsPostDated_, &header.UseTrackingNumber_,
          &header.IsInvoice_, &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_,
          &header.IsDeleted_})
        *flag = QStringLiteral("No");
    header.HasCashFlow_ = QStringLiteral("Yes");
    header.PersistedView_ = QStringLiteral("Accounting Voucher View");
    return header;
}

QString FormattedAmount(const VoucherRun& run, const QString& cell) {
    return vb::FormatNumber(CellNumber(cell), run.DecimalPlaces());
}

QString FormattedAmountIfPresent(const VoucherRun& run, int row, const QString& column) {
    return run.Has(column) ? FormattedAmount(run, run.Cell(row, column)) : QString();
}

QString CostCategory(const QString& cell) {
    return vb::Trim(cell).isEmpty() ? QStringLiteral("Primary Cost Category") : cell;
}

} // namespace quibo
