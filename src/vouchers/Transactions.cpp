// The accounting transactions: the reference member of the staged voucher family.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Text.h"
#include "vouchers/AccountingHeader.h"
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

// Per voucher: the ids of its records, and whether its most recent ledger line is a debit.
struct TransactionState {
    int ledgerId = 0;
    int billId = 0;
    int bankId = 0;
    bool debitLine = false;
};

bool StageTransactionRow(const VoucherRun& run, TransactionState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    const auto amount = [&](const QString& cell) { return vb::FormatNumber(CellNumber(cell), pattern); };
    const QString& vchDate = run.Cell(row, C("VCHDATE"));
    const QString& ledger = run.Cell(row, C("LEDGER"));

    if (at.firstRow) {
        VoucherRow header;
        header.Date_ = vchDate;
        const QString effective = run.CellIfPresent(row, C("EFFECTIVEDATE"));
        header.EffectiveDate_ = vb::Trim(effective).isEmpty() ? vchDate : effective;
        header.GUID_ = at.key;
        header.VoucherTypeName_ = run.Cell(row, C("VCHTYPE"));
        header.VoucherNumber_ = run.Cell(row, C("VCHNO"));
        header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = ledger;
        header.Reference_ = run.Cell(row, C("REFNO"));
        header.RefDate_ = run.CellIfPresent(row, C("REFDATE"));
        for (StagedText* flag :
             {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
              &header.UseForCompound_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
              &header.UseForInterest_, &header.UseTrackingNumber_, &header.IsCancelled_, &header.IsPostDated_,
              &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_})
            *flag = No;
        header.HasCashFlow_ = Yes;
        header.Narration_ = run.Cell(row, C("NARRATION"));
        header.IsInvoice_ = No;
        header.PersistedView_ = QStringLiteral("Accounting Voucher View");
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }

    if (!ledger.isEmpty()) {
        ++state.ledgerId;
        LedgerEntryRow line;
        line.LedgerName_ = ledger;
        line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
        line.IsPartyLedger_ = state.ledgerId == 1 ? Yes : No;
        const double debit = CellNumber(amount(run.Cell(row, C("DEBIT"))));
        state.debitLine = debit != 0;
        if (state.debitLine) {
            line.Amount_ = vb::NumberText(-debit);
            line.IsDeemedPositive_ = Yes;
        } else {
            line.Amount_ = amount(run.Cell(row, C("CREDIT")));
            line.IsDeemedPositive_ = No;
        }
        line.Narration_ = run.CellIfPresent(row, C("LINENARRATION"));
        if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId,
                             QString::number(state.ledgerId)))
            return false;
    }
    const QString lineId = QString::number(state.ledgerId);

    const QString billName = run.CellIfPresent(row, C("ADJNAME"));
    if (!billName.isEmpty()) {
        ++state.billId;
        BillAllocationRow bill;
        bill.Name_ = billName;
        const QString method = run.CellIfPresent(row, C("ADJMETHOD"));
        bill.BillType_ = method.isEmpty() ? QStringLiteral("New Ref") : method;
        bill.BillCreditPeriod_ = run.CellIfPresent(row, C("ADJDATE"));
        bill.Amount_ =
            SideAmount(CellNumber(run.CellIfPresent(row, C("ADJAMOUNT"))), state.debitLine, pattern);
        if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId,
                                QString::number(state.billId)))
            return false;
    }

    const QString bankAmount = run.CellIfPresent(row, C("BANKAMOUNT"));
    if (CellNumber(bankAmount) != 0) {
        ++state.bankId;
        BankAllocationRow bank = RowBankAllocation(run, row, vchDate, bankAmount);
        bank.BankDate_ = run.CellIfPresent(row, C("BANKDATE"));
        if (!SaveBankAllocation(at.errors, at.db, at.company, bank, at.voucherId, lineId,
                                QString::number(state.bankId)))
            return false;
    }
    return true;
}

} // namespace

VoucherKind TransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<TransactionState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),  C("DEBIT"), C("CREDIT"),  C("NARRATION")};
    kind.startVoucher = [state] { *state = TransactionState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageTransactionRow(run, *state, at); };
    return kind;
}

void PostTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023", &TransactionKind);
}

} // namespace quibo
