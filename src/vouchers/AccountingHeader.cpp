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

BankAllocationRow RowBankAllocation(const VoucherRun& run, int row, const QString& date,
                                    const QString& amount) {
    const auto cell = [&](const char* column) { return run.CellIfPresent(row, QString::fromLatin1(column)); };
    BankAllocationRow bank;
    bank.Date_ = date;
    bank.InstrumentDate_ = cell("INSTRUMENTDATE");
    bank.TransactionType_ = cell("INSTRUMENTTYPE");
    bank.PaymentFavouring_ = cell("PAYMENTFAVOURING");
    bank.BankName_ = cell("BANKNAME");
    bank.BranchName_ = cell("BRANCHNAME");
    bank.ChequeCrossComment_ = cell("CHEQUECROSS");
    bank.InstrumentNumber_ = cell("INSTRUMENTNUMBER");
    bank.IFSCCode_ = cell("IFSCCODE");
    bank.TransactionName_ = cell("TRANSACTIONNAME");
    bank.PaymentMode_ = cell("PAYMENTMODE");
    bank.AccountNumber_ = cell("ACCOUNTNUMBER");
    bank.BankPartyName_ = cell("BANKPARTYNAME");
    bank.TransferMode_ = cell("TRANSFERMODE");
    bank.Amount_ = amount;
    return bank;
}

} // namespace quibo
