// Bank statements: one row is one entry of the statement, a withdrawal or a deposit, staged as two
// ledger lines, the other side's and the bank's, each with its bill.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
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

// Per voucher: the id of its next line (its lines count from "2").
struct BankState {
    int lineId = 2;
};

bool StageBankLine(const VoucherRun& run, BankState& state, const VoucherPlace& at, const QString& ledger,
                   const QString& amount, bool debit) {
    const QString lineId = QString::number(state.lineId++);
    LedgerEntryRow line;
    line.LedgerName_ = ledger;
    line.IsDeemedPositive_ = debit ? Yes : No;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = Yes;
    line.Amount_ = debit ? DebitText(amount) : amount;
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId)) return false;

    const int row = at.row;
    BillAllocationRow bill;
    bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
    bill.BillCreditPeriod_ = run.CellIfPresent(row, C("ADJDATE"));
    bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
    bill.Amount_ = SideAmount(CellNumber(run.CellIfPresent(row, C("ADJAMOUNT"))), debit, run.DecimalPlaces());
    return SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, QStringLiteral("1"));
}

// The cost columns of the sheet are not staged: no rule says under which of a row's two lines a
// cost centre would go.
bool StageBankRow(const VoucherRun& run, BankState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& other = run.Cell(row, C("LEDGER"));
    const QString& bank = run.Cell(row, C("BANK"));
    if (at.firstRow) {
        VoucherRow header = AccountingHeader(run.Cell(row, C("VCHDATE")), at.key, run.Cell(row, C("VCHTYPE")),
                                             run.Cell(row, C("VCHNO")), other, run.Cell(row, C("NARRATION")));
        header.BasicBankersDate_ = run.Cell(row, C("BANKDATE"));
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }
    const QString withdrawal = FormattedAmount(run, run.Cell(row, C("WITHDRAWAL")));
    if (CellNumber(withdrawal) > 0)
        return StageBankLine(run, state, at, other, withdrawal, true) &&
               StageBankLine(run, state, at, bank, withdrawal, false);
    // A deposit debits the bank; its line stays first.
    const QString deposit = FormattedAmount(run, run.Cell(row, C("DEPOSIT")));
    if (CellNumber(deposit) > 0)
        return StageBankLine(run, state, at, bank, deposit, true) &&
               StageBankLine(run, state, at, other, deposit, false);
    return true;
}

} // namespace

VoucherKind BankStmtKind(const VoucherRun& run) {
    auto state = std::make_shared<BankState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"),      C("VCHDATE"), C("BANKDATE"), C("BANK"),
                     C("LEDGER"),  C("WITHDRAWAL"), C("DEPOSIT"), C("NARRATION")};
    kind.startVoucher = [state] { *state = BankState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageBankRow(run, *state, at); };
    // A voucher of entries without an amount would go out as a header alone.
    kind.endVoucher = [state] {
        return state->lineId == BankState{}.lineId ? QStringLiteral("ERROR: no WITHDRAWAL or DEPOSIT amount")
                                                   : QString();
    };
    return kind;
}

void PostBankStmt(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023D", &BankStmtKind);
}

} // namespace quibo
