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

// The optional cells of one grid row as its bills and cost allocations read them.
struct TaxCells {
    const VoucherRun& run;
    int row;
    const TaxState& state;

    QString Text(const char* column) const { return run.CellIfPresent(row, C(column)); }
    // The amount text of an optional column, "" while it is absent.
    QString Amount(const char* column) const { return FormattedAmountIfPresent(run, row, C(column)); }
    // An amount with the line's sign; an absent column has no amount to sign.
    QString Signed(const char* column) const {
        const QString text = Amount(column);
        return text.isEmpty() ? text : SideAmount(CellNumber(text), state.debitSign, run.DecimalPlaces());
    }
};

bool SaveTaxHeader(const VoucherRun& run, const VoucherPlace& at, const QString& ledger) {
    const auto text = [&](const char* column) { return run.Cell(at.row, C(column)); };
    VoucherRow header =
        AccountingHeader(text("VCHDATE"), at.key, text("VCHTYPE"), text("VCHNO"), ledger, text("NARRATION"));
    header.Reference_ = text("REFNO");
    return SaveVoucher(at.errors, at.db, at.company, header, at.voucherId);
}

// The row's ledger line: a debit or a positive credit sets the side the run keeps; neither leaves
// the side of the row before and an amount of "0".
LedgerEntryRow TaxLine(const VoucherRun& run, TaxState& state, int row, const QString& ledger) {
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
    return line;
}

// Refuses a row whose records would land under the wrong line or under none.
bool CheckTaxRow(TaxState& state, const VoucherPlace& at, bool hasLedger, bool lineWritten, bool bill,
                 bool costs) {
    if (!hasLedger) {
        // Under the keys of the line above, its line and bills would be replaced.
        if (lineWritten || bill)
            return at.Fail(QStringLiteral("ERROR: a row without LEDGER carries an amount or a bill"));
        if (costs && !state.ledgerSeen)
            return at.Fail(QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    } else {
        state.ledgerSeen = true;
        state.lineStaged = lineWritten;
    }
    // Under a line id that has no ledger line, the builder would never send them.
    if (!state.lineStaged && (bill || costs))
        return at.Fail(
            QStringLiteral("ERROR: a bill or cost allocation belongs to a ledger row with a zero amount"));
    return true;
}

bool StageServiceTaxBill(const TaxCells& cells, const VoucherPlace& at, const QString& lineId) {
    TaxBillAllocationRow bill;
    bill.Name_ = cells.Text("ADJNAME");
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.IsPureAgentBill_ = bill.IsInputAvail_ = No;
    bill.TDSTaxRate_ = QStringLiteral("12");
    bill.TDSSurcharge_ = QStringLiteral("2");
    bill.TDSAddlSurcharge_ = QString();
    bill.STSecondaryCessRate_ = One;
    bill.Amount_ = cells.Signed("ADJAMOUNT");
    bill.SurchargeAmount_ = cells.Signed("SERVICETAX");
    bill.AddlSurchargeAmount_ = cells.Signed("CESS");
    bill.STSecondaryCessAmount_ = cells.Signed("SECCESS");
    bill.AssessableAmount_ = cells.Signed("ASSESSABLEAMT");
    bill.ExpenseAmount_ = bill.AbatementAmount_ = bill.AbatementNotificationNo_ = QString();
    return SaveTaxBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, One);
}

bool StageTDSBill(const TaxCells& cells, const VoucherPlace& at, const QString& lineId) {
    BillAllocationRow bill;
    bill.Name_ = cells.Text("ADJNAME");
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.Amount_ = cells.Signed("ADJAMOUNT");
    const QString special = cells.Text("ISSPECIALRATE");
    bill.TDSDeducteeSectionNumber_ = special == Yes ? QStringLiteral("197") : QString();
    bill.TDSLedgerNC_ = cells.Text("TDSLEDGER");
    bill.TDSDeducteeIsSpecialRate_ = special;
    bill.TDSDeducteeSpecialRate_ = cells.Amount("TDSRATE");
    bill.ServiceTaxLedger_ = cells.Text("SERVICETAXLEDGER");
    return SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, One);
}

bool StageTaxCost(const TaxCells& cells, TaxState& state, const VoucherPlace& at, const QString& lineId) {
    CategoryAllocationsRow cost;
    cost.Category_ = CostCategory(cells.Text("COSTCATEGORY"));
    cost.Name_ = cells.Text("COSTCENTRE");
    cost.Amount_ = cells.Signed("COSTAMOUNT");
    return SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId, lineId,
                                  QString::number(++state.costId));
}

bool StageTaxRow(const VoucherRun& run, TaxState& state, const VoucherPlace& at) {
    const TaxCells cells{run, at.row, state};
    const QString& ledger = run.Cell(at.row, C("LEDGER"));
    if (at.firstRow)
        state.lineId = 1;
    else if (!ledger.isEmpty())
        ++state.lineId;
    if (at.firstRow && !SaveTaxHeader(run, at, ledger)) return false;

    LedgerEntryRow line = TaxLine(run, state, at.row, ledger);
    // A missing or empty assessable value is no tax bill.
    const bool taxBill = CellNumber(cells.Amount("ASSESSABLEAMT")) > 0;
    const bool tdsBill = !taxBill && !cells.Text("TDSLEDGER").isEmpty();
    line.TDSPartyName_ = taxBill ? cells.Text("SERVICETAXLEDGER") : QString();
    const bool lineWritten = CellNumber(line.Amount_) != 0;
    const bool costs = !cells.Text("COSTCENTRE").isEmpty();
    if (!CheckTaxRow(state, at, !ledger.isEmpty(), lineWritten, taxBill || tdsBill, costs)) return false;

    const QString lineId = QString::number(state.lineId);
    if (lineWritten && !SaveAllLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, lineId))
        return false;
    if (taxBill && !StageServiceTaxBill(cells, at, lineId)) return false;
    if (tdsBill && !StageTDSBill(cells, at, lineId)) return false;
    return !costs || StageTaxCost(cells, state, at, lineId);
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
