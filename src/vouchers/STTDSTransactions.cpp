// Service-tax and TDS transactions: all-ledger lines, each with at most one service-tax bill or TDS
// bill and any number of cost allocations; a row without a ledger adds a cost allocation to the line
// above.

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

const QString One = QStringLiteral("1");

struct TaxState {
    // Per voucher.
    int lineId = 0; // 1 on the voucher's first row, then one more on each row with a ledger
    int costId = 0;
    bool ledgerSeen = false;
    bool lineStaged = false; // the current line id has a ledger line: a zero amount stages none
    // For the whole run: a row with neither a debit nor a credit keeps the side of the row before.
    bool debitSign = false;
    QString deemedPositive;
};

bool StageTaxRow(const VoucherRun& run, TaxState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    const auto cell = [&](const char* column) { return run.CellIfPresent(row, C(column)); };
    // The amount text of an optional column, "" while it is absent.
    const auto amount = [&](const char* column) { return FormattedAmountIfPresent(run, row, C(column)); };
    // An amount with the line's sign; an absent column has no amount to sign.
    const auto signedAmount = [&](const char* column) {
        const QString text = amount(column);
        return text.isEmpty() ? text : SideAmount(CellNumber(text), state.debitSign, pattern);
    };

    const QString& ledger = run.Cell(row, C("LEDGER"));
    if (at.firstRow)
        state.lineId = 1;
    else if (!ledger.isEmpty())
        ++state.lineId;
    if (at.firstRow) {
        const auto text = [&](const char* column) { return run.Cell(row, C(column)); };
        VoucherRow header = AccountingHeader(text("VCHDATE"), at.key, text("VCHTYPE"), text("VCHNO"), ledger,
                                             text("NARRATION"));
        header.Reference_ = text("REFNO");
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }

    LedgerEntryRow line;
    line.LedgerName_ = ledger;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = state.lineId == 1 ? Yes : No;
    line.Amount_ = QStringLiteral("0");
    const double debit = CellNumber(FormattedAmount(run, run.Cell(row, C("DEBIT"))));
    const QString credit = FormattedAmount(run, run.Cell(row, C("CREDIT")));
    if (debit != 0) {
        state.debitSign = true;
        state.deemedPositive = Yes;
        line.Amount_ = vb::NumberText(-debit);
    } else if (CellNumber(credit) > 0) {
        state.debitSign = false;
        state.deemedPositive = No;
        line.Amount_ = credit;
    }
    line.IsDeemedPositive_ = state.deemedPositive;
    // A missing or empty assessable value is no tax bill.
    const bool taxBill = CellNumber(amount("ASSESSABLEAMT")) > 0;
    const bool tdsBill = !taxBill && !cell("TDSLEDGER").isEmpty();
    line.TDSPartyName_ = taxBill ? cell("SERVICETAXLEDGER") : QString();
    const bool lineWritten = CellNumber(line.Amount_) != 0;
    const bool costs = !cell("COSTCENTRE").isEmpty();

    if (ledger.isEmpty()) {
        // Under the keys of the line above, its line and bills would be replaced.
        if (lineWritten || taxBill || tdsBill)
            return at.Fail(QStringLiteral("ERROR: a row without LEDGER carries an amount or a bill"));
        if (costs && !state.ledgerSeen)
            return at.Fail(QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    } else {
        state.ledgerSeen = true;
        state.lineStaged = lineWritten;
    }
    // Under a line id that has no ledger line, the builder would never send them.
    if (!state.lineStaged && (taxBill || tdsBill || costs))
        return at.Fail(
            QStringLiteral("ERROR: a bill or cost allocation belongs to a ledger row with a zero amount"));
    const QString lineId = QString::number(state.lineId);

    if (lineWritten && !SaveAllLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId))
        return false;

    if (taxBill) {
        TaxBillAllocationRow bill;
        bill.Name_ = cell("ADJNAME");
        bill.BillType_ = cell("ADJMETHOD");
        bill.IsPureAgentBill_ = bill.IsInputAvail_ = No;
        bill.TDSTaxRate_ = QStringLiteral("12");
        bill.TDSSurcharge_ = QStringLiteral("2");
        bill.TDSAddlSurcharge_ = QString();
        bill.STSecondaryCessRate_ = One;
        bill.Amount_ = signedAmount("ADJAMOUNT");
        bill.SurchargeAmount_ = signedAmount("SERVICETAX");
        bill.AddlSurchargeAmount_ = signedAmount("CESS");
        bill.STSecondaryCessAmount_ = signedAmount("SECCESS");
        bill.AssessableAmount_ = signedAmount("ASSESSABLEAMT");
        bill.ExpenseAmount_ = bill.AbatementAmount_ = bill.AbatementNotificationNo_ = QString();
        if (!SaveTaxBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, One))
            return false;
    } else if (tdsBill) {
        BillAllocationRow bill;
        bill.Name_ = cell("ADJNAME");
        bill.BillType_ = cell("ADJMETHOD");
        bill.Amount_ = signedAmount("ADJAMOUNT");
        const QString special = cell("ISSPECIALRATE");
        bill.TDSDeducteeSectionNumber_ = special == Yes ? QStringLiteral("197") : QString();
        bill.TDSLedgerNC_ = cell("TDSLEDGER");
        bill.TDSDeducteeIsSpecialRate_ = special;
        bill.TDSDeducteeSpecialRate_ = amount("TDSRATE");
        bill.ServiceTaxLedger_ = cell("SERVICETAXLEDGER");
        if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, One)) return false;
    }

    if (costs) {
        CategoryAllocationsRow cost;
        cost.Category_ = CostCategory(cell("COSTCATEGORY"));
        cost.Name_ = cell("COSTCENTRE");
        cost.Amount_ = signedAmount("COSTAMOUNT");
        if (!SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId, lineId,
                                    QString::number(++state.costId)))
            return false;
    }
    return true;
}

} // namespace

VoucherKind STTDSTransactionKind(const VoucherRun& run) {
    auto state = std::make_shared<TaxState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),  C("DEBIT"), C("CREDIT"),  C("NARRATION")};
    kind.startVoucher = [state] {
        state->lineId = state->costId = 0;
        state->ledgerSeen = state->lineStaged = false;
    };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageTaxRow(run, *state, at); };
    return kind;
}

void PostSTTDSTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0025A", &STTDSTransactionKind);
}

} // namespace quibo
