// Cost-centre transactions: ledger lines with cost-centre, bill and bank allocations; rows without a
// ledger add allocations to the line above. The ledgers can be checked with the server first.

#include "base/FormModel.h"
#include "base/OutcomeMarks.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "tally/ObjectExists.h"
#include "tally/XmlBuilders.h"
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

// Per voucher: the ids of its records and the side of its latest ledger line.
struct CostState {
    int lineId = 0; // 0 until the voucher's first ledger row
    int billId = 0;
    int bankId = 0;
    int costId = 0; // per ledger line
    bool debitLine = false;
};

bool StageCostRow(const VoucherRun& run, CostState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    const QString& vchDate = run.Cell(row, C("VCHDATE"));
    if (at.firstRow) {
        const auto cell = [&](const char* column) { return run.Cell(row, C(column)); };
        VoucherRow header = AccountingHeader(vchDate, at.key, cell("VCHTYPE"), cell("VCHNO"), cell("LEDGER"),
                                             cell("NARRATION"));
        header.Reference_ = cell("REFNO");
        header.RefDate_ = run.CellIfPresent(row, C("REFDATE"));
        const QString& type = run.Cell(row, C("VCHTYPE"));
        header.IsInvoice_ = type == QLatin1String("Sales") || type == QLatin1String("Purchase") ? Yes : No;
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }

    const QString category = CostCategory(run.Cell(row, C("COSTCATEGORY")));
    const QString& centre = run.Cell(row, C("COSTCENTRE"));
    const bool costs = !vb::Trim(centre).isEmpty();
    const QString& billName = run.Cell(row, C("ADJNAME"));
    const QString bankAmount = run.CellIfPresent(row, C("BANKAMOUNT"));
    const bool banks = CellNumber(bankAmount) != 0;

    const QString& ledger = run.Cell(row, C("LEDGER"));
    if (!ledger.isEmpty()) {
        ++state.lineId;
        LedgerEntryRow line;
        line.LedgerName_ = ledger;
        const QString narration = run.CellIfPresent(row, C("LINENARRATION"));
        line.Narration_ = vb::Trim(narration).isEmpty() ? QString() : narration;
        line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
        line.IsPartyLedger_ = state.lineId == 1 ? Yes : No;
        const double debit = CellNumber(FormattedAmount(run, run.Cell(row, C("DEBIT"))));
        state.debitLine = debit != 0;
        line.IsDeemedPositive_ = state.debitLine ? Yes : No;
        line.Amount_ =
            state.debitLine ? vb::NumberText(-debit) : FormattedAmount(run, run.Cell(row, C("CREDIT")));
        if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, QString::number(state.lineId)))
            return false;
        state.costId = 0;
    } else if (state.lineId == 0 && (costs || !billName.isEmpty() || banks)) {
        // Staged under no line, they would never be sent while the voucher reads as posted.
        return at.Fail(QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    }
    const QString lineId = QString::number(state.lineId);

    if (costs) {
        CategoryAllocationsRow cost;
        cost.Category_ = category;
        cost.Name_ = centre;
        cost.Amount_ = SideAmount(CellNumber(run.Cell(row, C("COSTAMOUNT"))), state.debitLine, pattern);
        if (!SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId, lineId,
                                    QString::number(++state.costId)))
            return false;
    }

    if (!billName.isEmpty()) {
        BillAllocationRow bill;
        bill.Name_ = billName;
        bill.BillCreditPeriod_ = run.Cell(row, C("ADJDATE"));
        const QString& method = run.Cell(row, C("ADJMETHOD"));
        bill.BillType_ = method.isEmpty() ? QStringLiteral("New Ref") : method;
        bill.Amount_ = SideAmount(CellNumber(FormattedAmount(run, run.Cell(row, C("ADJAMOUNT")))),
                                  state.debitLine, pattern);
        if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId,
                                QString::number(++state.billId)))
            return false;
    }

    if (banks) {
        const BankAllocationRow bank = RowBankAllocation(run, row, vchDate, bankAmount);
        if (!SaveBankAllocation(at.errors, at.db, at.company, bank, at.voucherId, lineId,
                                QString::number(++state.bankId)))
            return false;
    }
    return true;
}

// Whether the server has every ledger the grid names; marks the rows of those it lacks. A row with a
// cell holding a NUL character is not asked about: its voucher is refused when the run reaches it.
bool CostLedgersPresent(FormModel& form, TallyLink& link) {
    WorkGrid& grid = form.GR1;
    const QString status = QStringLiteral("PROCESSSTATUS");
    bool missing = false;
    const int rows = grid.RowCount();
    for (int row = 1; row <= rows; ++row) {
        const QString& ledger = grid.CellText(row, C("LEDGER"));
        if (!ledger.isEmpty() && form.NulRefusal(row).isEmpty()) {
            const QString name = EscapeXml(ledger);
            if (TallyObjectExistsRaw(link, QStringLiteral("Ledger"), name)) {
                grid.SetCellText(row, status, QString());
            } else {
                const QString said = QStringLiteral("Ledger '") + name + QStringLiteral("' does not exist!");
                grid.SetCellText(row, status,
                                 QStringLiteral("ERRORS ") + said + said + QStringLiteral(" - "));
                missing = true;
            }
            // The row shows this check's word alone, not an earlier post's marks beside it.
            grid.SetCellIcon(row, 1, -1);
            grid.SetRowColor(row, marks::Black);
            grid.SetCellFont(row, grid.ColumnIndex(status), GridFont{});
        }
        grid.SetSelectedRow(row);
        form.DoEvents();
    }
    // Unattended too: it is the run's one word on why nothing was posted.
    if (missing)
        form.services().messages.show(MessageBoxRequest{QStringLiteral("Some of the Masters are missing. "),
                                                        QString(), MsgIcon::None, MsgButtons::OkOnly, 0});
    return !missing;
}

} // namespace

VoucherKind CostTransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<CostState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"),     C("VCHDATE"),      C("REFNO"),      C("LEDGER"),
                     C("DEBIT"),   C("CREDIT"),    C("NARRATION"),    C("ADJMETHOD"),  C("ADJNAME"),
                     C("ADJDATE"), C("ADJAMOUNT"), C("COSTCATEGORY"), C("COSTCENTRE"), C("COSTAMOUNT")};
    kind.startVoucher = [state] { *state = CostState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageCostRow(run, *state, at); };
    return kind;
}

void PostCostTransaction(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0025", [&] {
        LocalDatabase db(form.services().dataFolder);
        VoucherRun run(form, db);
        if (form.chkChkMst.value == 1 && !CostLedgersPresent(form, link)) return;
        run.Run(CostTransactionKind(run), TallyVoucherSender(link, db));
    });
}

} // namespace quibo
