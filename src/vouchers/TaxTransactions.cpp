// Accounting vouchers with tax details on their lines: TDS deducted at source and service tax. One
// row is one ledger line; its bill (or, for service tax, its tax bill) and cost centre hang under it.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
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

// Per voucher: the id of the line the next row stages and the cost allocations so far.
struct TaxLineState {
    int lineId = 1;
    int costId = 0;
};

const QString BillId = QStringLiteral("1");

// The ledger line of a TDS or service-tax row: a debit when its DEBIT is not zero, else a credit.
struct TaxLine {
    LedgerEntryRow line;
    bool debit = false;
};

TaxLine TaxLedgerLine(const VoucherRun& run, const TaxLineState& state, int row) {
    TaxLine tax;
    LedgerEntryRow& line = tax.line;
    line.LedgerName_ = run.Cell(row, C("LEDGER"));
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = state.lineId == 1 ? Yes : No;
    const double debit = CellNumber(FormattedAmount(run, run.Cell(row, C("DEBIT"))));
    tax.debit = debit != 0;
    line.IsDeemedPositive_ = tax.debit ? Yes : No;
    line.Amount_ = tax.debit ? vb::NumberText(-debit) : FormattedAmount(run, run.Cell(row, C("CREDIT")));
    return tax;
}

bool StageTaxHeader(const VoucherRun& run, const VoucherPlace& at) {
    if (!at.firstRow) return true;
    const int row = at.row;
    VoucherRow header = AccountingHeader(run.Cell(row, C("VCHDATE")), at.key, run.Cell(row, C("VCHTYPE")),
                                         run.Cell(row, C("VCHNO")), run.Cell(row, C("LEDGER")),
                                         run.Cell(row, C("NARRATION")));
    header.Reference_ = run.Cell(row, C("REFNO"));
    return SaveVoucher(at.errors, at.db, at.company, header, at.voucherId);
}

// The row's cost centre, unsigned, under its line; none without a cost centre.
bool StageTaxCost(const VoucherRun& run, TaxLineState& state, const VoucherPlace& at) {
    const QString centre = run.CellIfPresent(at.row, C("COSTCENTRE"));
    if (centre.isEmpty()) return true;
    CategoryAllocationsRow cost;
    cost.Category_ = CostCategory(run.CellIfPresent(at.row, C("COSTCATEGORY")));
    cost.Name_ = centre;
    cost.Amount_ = FormattedAmountIfPresent(run, at.row, C("COSTAMOUNT"));
    return SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId,
                                  QString::number(state.lineId), QString::number(++state.costId));
}

bool StageTdsRow(const VoucherRun& run, TaxLineState& state, const VoucherPlace& at) {
    const int row = at.row;
    if (!StageTaxHeader(run, at)) return false;
    const TaxLine tax = TaxLedgerLine(run, state, row);
    const QString lineId = QString::number(state.lineId);
    if (!SaveLedgerEntry(at.errors, at.db, at.company, tax.line, at.voucherId, lineId)) return false;

    BillAllocationRow bill;
    bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
    bill.BillCreditPeriod_ = run.CellIfPresent(row, C("ADJDATE"));
    bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
    bill.Amount_ =
        SideAmount(CellNumber(run.CellIfPresent(row, C("ADJAMOUNT"))), tax.debit, run.DecimalPlaces());
    const QString special = run.CellIfPresent(row, C("ISSPECIALRATE"));
    // Section 197 is the lower-deduction certificate: only an exact "Yes" claims it.
    bill.TDSDeducteeSectionNumber_ = special == Yes ? QStringLiteral("197") : QString();
    bill.TDSLedgerNC_ = run.CellIfPresent(row, C("TDSLEDGER"));
    bill.TDSDeducteeIsSpecialRate_ = special;
    bill.TDSDeducteeSpecialRate_ = FormattedAmountIfPresent(run, row, C("TDSRATE"));
    if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, BillId)) return false;

    if (!StageTaxCost(run, state, at)) return false;
    ++state.lineId;
    return true;
}

bool StageServiceTaxRow(const VoucherRun& run, TaxLineState& state, const VoucherPlace& at) {
    const int row = at.row;
    if (!StageTaxHeader(run, at)) return false;
    const QString taxLedger = run.CellIfPresent(row, C("SERVICETAXLEDGER"));
    const QString rate = run.CellIfPresent(row, C("SERVICETAXRATE"));
    // Read from the formatted text, as every amount: a sheet without the column has plain lines.
    const QString assessable = FormattedAmountIfPresent(run, row, C("ASSESSABLEAMT"));
    const bool taxLine = CellNumber(assessable) > 0;

    TaxLine tax = TaxLedgerLine(run, state, row);
    if (taxLine) tax.line.TDSPartyName_ = taxLedger;
    tax.line.BasicRateOfInvoiceTax_ = rate;
    const QString lineId = QString::number(state.lineId);
    if (!SaveLedgerEntry(at.errors, at.db, at.company, tax.line, at.voucherId, lineId)) return false;

    if (taxLine) {
        TaxBillAllocationRow bill;
        bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
        bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
        bill.IsInputAvail_ = bill.IsPureAgentBill_ = No;
        bill.TDSTaxRate_ = rate;
        bill.TDSSurcharge_ = QStringLiteral("2");
        bill.STSecondaryCessRate_ = QStringLiteral("1");
        bill.Amount_ = FormattedAmountIfPresent(run, row, C("ADJAMOUNT"));
        bill.SurchargeAmount_ = run.CellIfPresent(row, C("SERVICETAX"));
        bill.AddlSurchargeAmount_ = run.CellIfPresent(row, C("CESS"));
        bill.STSecondaryCessAmount_ = run.CellIfPresent(row, C("SECCESS"));
        bill.AssessableAmount_ = assessable;
        if (!SaveTaxBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, BillId))
            return false;
    } else {
        BillAllocationRow bill;
        bill.Name_ = run.CellIfPresent(row, C("ADJNAME"));
        bill.BillType_ = run.CellIfPresent(row, C("ADJMETHOD"));
        bill.Amount_ =
            SideAmount(CellNumber(run.CellIfPresent(row, C("ADJAMOUNT"))), tax.debit, run.DecimalPlaces());
        bill.ServiceTaxLedger_ = taxLedger;
        if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId, BillId))
            return false;
    }

    if (!StageTaxCost(run, state, at)) return false;
    ++state.lineId;
    return true;
}

using TaxRowStager = bool (*)(const VoucherRun&, TaxLineState&, const VoucherPlace&);

VoucherKind TaxKind(const VoucherRun& run, TaxRowStager stage) {
    auto state = std::make_shared<TaxLineState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"), C("VCHNO"), C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),  C("DEBIT"), C("CREDIT"),  C("NARRATION")};
    kind.startVoucher = [state] { *state = TaxLineState{}; };
    kind.stageRow = [&run, state, stage](const VoucherPlace& at) { return stage(run, *state, at); };
    return kind;
}

} // namespace

VoucherKind TDSTransactionKind(const VoucherRun& run) {
    return TaxKind(run, &StageTdsRow);
}

VoucherKind ServTaxTransactionKind(const VoucherRun& run) {
    return TaxKind(run, &StageServiceTaxRow);
}

void PostTDSTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023A", &TDSTransactionKind);
}

void PostServTaxTransaction(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0023B", &ServTaxTransactionKind);
}

} // namespace quibo
