// Quick transactions: one row is a whole two-line voucher, a debit and a credit ledger for one
// amount, with its bill, bank instrument and cost centre on both lines.

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

// Per voucher: its rows so far and the bank and cost allocations so far. Each row stages its two
// lines under ids of its own, so rows under one key add to the voucher instead of replacing the
// lines of the row before.
struct QuickState {
    int rows = 0;
    int bankId = 0;
    int costId = 0;
};

// One side of the row. The credit side's amounts go as they stand, the debit side's signed.
struct QuickSide {
    bool debit;
    QString ledger;
    QString lineId;
};

bool StageQuickSide(const VoucherRun& run, QuickState& state, const VoucherPlace& at, const QuickSide& side) {
    const int row = at.row;
    const auto signedText = [&](const QString& text) { return side.debit ? DebitText(text) : text; };

    LedgerEntryRow line;
    line.LedgerName_ = side.ledger;
    line.IsDeemedPositive_ = side.debit ? Yes : No;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = Yes;
    line.Amount_ = signedText(FormattedAmount(run, run.Cell(row, C("AMOUNT"))));
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, side.lineId)) return false;

    BillAllocationRow bill;
    bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
    bill.BillCreditPeriod_ = run.CellIfPresent(row, C("ADJDATE"));
    bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
    bill.Amount_ = signedText(FormattedAmount(run, run.CellIfPresent(row, C("ADJAMOUNT"))));
    if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, side.lineId,
                            QStringLiteral("1")))
        return false;

    const QString bankAmount = run.CellIfPresent(row, C("BANKAMOUNT"));
    // A receipt's instrument is the bank's own, on its debit line only.
    const bool receipt = run.Cell(row, C("VCHTYPE")) == QLatin1String("Receipt");
    if (CellNumber(bankAmount) != 0 && (side.debit || !receipt)) {
        const BankAllocationRow bank =
            RowBankAllocation(run, row, run.Cell(row, C("VCHDATE")), signedText(bankAmount));
        if (!SaveBankAllocation(at.errors, at.db, at.company, bank, at.voucherId, side.lineId,
                                QString::number(++state.bankId)))
            return false;
    }

    const QString centre = run.CellIfPresent(row, C("COSTCENTRE"));
    if (centre.isEmpty()) return true;
    CategoryAllocationsRow cost;
    cost.Category_ = CostCategory(run.CellIfPresent(row, C("COSTCATEGORY")));
    cost.Name_ = centre;
    cost.Amount_ = signedText(FormattedAmountIfPresent(run, row, C("COSTAMOUNT")));
    return SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId, side.lineId,
                                  QString::number(++state.costId));
}

bool StageQuickRow(const VoucherRun& run, QuickState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& debitLedger = run.Cell(row, C("DRLEDGER"));
    if (at.firstRow) {
        VoucherRow header =
            AccountingHeader(run.Cell(row, C("VCHDATE")), at.key, run.Cell(row, C("VCHTYPE")),
                             run.Cell(row, C("VCHNO")), debitLedger, run.Cell(row, C("NARRATION")));
        header.Reference_ = run.Cell(row, C("REFNO"));
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }
    QString firstSide = run.CellIfPresent(row, C("FIRSTSIDE"));
    if (vb::Trim(firstSide).isEmpty()) firstSide = QStringLiteral("Dr");
    const bool creditFirst = vb::UCase(firstSide) == QLatin1String("CR");
    // The k-th row of the voucher holds the lines 2k-1 and 2k.
    const int second = 2 * ++state.rows;
    const QString upper = QString::number(second - 1);
    const QString lower = QString::number(second);
    return StageQuickSide(run, state, at, {true, debitLedger, creditFirst ? lower : upper}) &&
           StageQuickSide(run, state, at, {false, run.Cell(row, C("CRLEDGER")), creditFirst ? upper : lower});
}

} // namespace

VoucherKind QuickTransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<QuickState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"),  C("VCHNO"),    C("VCHDATE"), C("REFNO"),
                     C("CRLEDGER"), C("DRLEDGER"), C("AMOUNT"),  C("NARRATION")};
    kind.startVoucher = [state] { *state = QuickState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageQuickRow(run, *state, at); };
    return kind;
}

void PostQuickTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023C", &QuickTransactionKind);
}

} // namespace quibo
