// Debit and credit notes: a ledger line per row, each with one bill allocation.

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

// The accounting header from the voucher's first row, with its reference.
VoucherRow NoteHeader(const VoucherRun& run, const VoucherPlace& at) {
    const auto cell = [&](const char* column) { return run.Cell(at.row, C(column)); };
    VoucherRow header = AccountingHeader(cell("VCHDATE"), at.key, cell("VCHTYPE"), cell("VCHNO"),
                                         cell("LEDGER"), cell("NARRATION"));
    header.Reference_ = cell("REFNO");
    return header;
}

bool StageNoteRow(const VoucherRun& run, int& lineId, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    if (at.firstRow && !SaveVoucher(at.errors, at.db, at.company, NoteHeader(run, at), at.voucherId))
        return false;

    const QString no = QStringLiteral("No");
    const QString id = QString::number(++lineId);
    LedgerEntryRow line;
    line.LedgerName_ = run.Cell(row, C("LEDGER"));
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = no;
    line.IsPartyLedger_ = lineId == 1 ? QStringLiteral("Yes") : no;
    // A non-zero debit makes a debit line whatever the credit says.
    const double debit = CellNumber(FormattedAmount(run, run.Cell(row, C("DEBIT"))));
    const bool debitLine = debit != 0;
    line.IsDeemedPositive_ = debitLine ? QStringLiteral("Yes") : no;
    line.Amount_ = debitLine ? vb::NumberText(-debit) : FormattedAmount(run, run.Cell(row, C("CREDIT")));
    if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, id)) return false;

    BillAllocationRow bill;
    bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
    bill.BillCreditPeriod_ = run.CellIfPresent(row, C("ADJDATE"));
    bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
    bill.Amount_ =
        SideAmount(CellNumber(FormattedAmountIfPresent(run, row, C("ADJAMOUNT"))), debitLine, pattern);
    return SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, id, QStringLiteral("1"));
}

} // namespace

VoucherKind CrDrNoteKind(const VoucherRun& run) {
    auto lineId = std::make_shared<int>(0);
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),  C("DEBIT"), C("CREDIT"),  C("NARRATION")};
    kind.startVoucher = [lineId] { *lineId = 0; };
    kind.stageRow = [&run, lineId](const VoucherPlace& at) { return StageNoteRow(run, *lineId, at); };
    return kind;
}

void PostCrDrNotes(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0050", &CrDrNoteKind);
}

} // namespace quibo
