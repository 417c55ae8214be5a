// Multi-currency VAT invoices: amounts typed in the voucher's currency and converted into the
// company's base currency at the row's exchange rate; each staged figure carries both.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Text.h"
#include "vouchers/FormattedCell.h"
#include "vouchers/PosterCells.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <memory>

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

// The currency texts of one row: V the voucher currency, B the base currency, X the exchange rate.
struct Conversion {
    QString voucher;
    QString base;
    QString rateText;
    double rate;
    const QString& pattern;

    QString Figure(double amount) const { return vb::FormatNumber(amount, pattern); }
    QString Base(double amount) const { return vb::NumberText(amount * rate); }
    // "$50.000 @ Rs 45.000/$ = Rs 2250".
    QString Credit(double amount) const {
        return voucher + Figure(amount) + QStringLiteral(" @ ") + base + QLatin1Char(' ') + rateText +
               QLatin1Char('/') + voucher + QStringLiteral(" = ") + base + QLatin1Char(' ') + Base(amount);
    }
    // `prefix` ("- " or "-") before the voucher figure, "-" before the base figure. A negative
    // amount already stands on the other side: it takes the credit form of its magnitude.
    QString Debit(double amount, const QString& prefix) const {
        if (amount < 0) return Credit(-amount);
        return prefix + voucher + Figure(amount) + QStringLiteral(" @ ") + base + QLatin1Char(' ') +
               rateText + QLatin1Char('/') + voucher + QStringLiteral(" = -") + base + QLatin1Char(' ') +
               Base(amount);
    }
    QString Side(double amount, bool debit, const QString& prefix) const {
        return debit ? Debit(amount, prefix) : Credit(amount);
    }
    // "$10.000 = Rs 450/Nos".
    QString Rate(const QString& rateFigure, const QString& unit) const {
        return voucher + rateFigure + QStringLiteral(" = ") + base + QLatin1Char(' ') +
               vb::NumberText(CellNumber(rateFigure) * rate) + QLatin1Char('/') + unit;
    }
};

// Per voucher: the ids of its records, and the side of its most recent ledger entry.
struct InvoiceState {
    int ledgerId = 1; // moves before each ledger entry: the first is "2"
    int itemId = 1;
    int billId = 1;
    int costId = 0;
    bool debitLine = false;
};

bool IsInvoiceView(const QString& view) {
    const QString upper = vb::UCase(view);
    return upper == QLatin1String("INVOICE") || upper == QLatin1String("ASINVOICE") ||
           upper == QLatin1String("AS INVOICE") || upper == QLatin1String("INVOICE VOUCHER VIEW");
}

bool SaveInvoiceHeader(const VoucherRun& run, const VoucherPlace& at) {
    const int row = at.row;
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = run.Cell(row, C("VCHDATE"));
    header.GUID_ = at.key;
    header.VoucherTypeName_ = run.Cell(row, C("VCHTYPE"));
    header.VoucherNumber_ = run.Cell(row, C("VCHNO"));
    header.PartyLedgerName_ = header.BasePartyName_ = header.BasicBuyerName_ = run.Cell(row, C("LEDGER"));
    header.Reference_ = run.Cell(row, C("REFNO"));
    header.Narration_ = run.Cell(row, C("NARRATION"));
    header.AsOriginal_ = header.IsInvoice_ = Yes;
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForCompound_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForInterest_, &header.UseTrackingNumber_, &header.IsCancelled_, &header.IsPostDated_,
          &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_,
          &header.HasCashFlow_})
        *flag = No;
    header.PersistedView_ = IsInvoiceView(run.CellIfPresent(row, C("VCHVIEWTYPE")))
                                ? QStringLiteral("Invoice Voucher View")
                                : QStringLiteral("Accounting Voucher View");
    return SaveVoucher(at.errors, at.db, at.company, header, at.voucherId);
}

// The value of an amount cell as its formatted text reads back: what every figure is made of.
double AmountOf(const QString& text, const QString& pattern) {
    return CellNumber(vb::FormatNumber(CellNumber(text), pattern));
}

// One grid row as its records read it: the amount on its side and its conversion.
struct CurrencyRow {
    const VoucherRun& run;
    const VoucherPlace& at;
    const QString& pattern;
    Conversion money;
    double figure; // the debit, or the credit when the debit is nought
    bool debit;
    QString deemed;
    QString taxRate;

    // A column every row has; the others are read with a presence test.
    const QString& Cell(const char* column) const { return run.Cell(at.row, C(column)); }
    QString Optional(const char* column) const { return run.CellIfPresent(at.row, C(column)); }
    double Amount(const QString& text) const { return AmountOf(text, pattern); }
};

CurrencyRow ReadCurrencyRow(const VoucherRun& run, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    const auto cell = [&](const char* column) { return run.CellIfPresent(row, C(column)); };
    const double debitFigure = AmountOf(run.Cell(row, C("DEBIT")), pattern);
    const bool debit = debitFigure != 0;
    const double figure = debit ? debitFigure : AmountOf(run.Cell(row, C("CREDIT")), pattern);
    const Conversion money{cell("VCHCURRENCY"), cell("BASECURRENCY"),
                           vb::FormatNumber(CellNumber(cell("EXCHANGERATE")), pattern),
                           AmountOf(cell("EXCHANGERATE"), pattern), pattern};
    return CurrencyRow{.run = run,
                       .at = at,
                       .pattern = pattern,
                       .money = money,
                       .figure = figure,
                       .debit = debit,
                       .deemed = debit ? Yes : No,
                       .taxRate = vb::FormatNumber(CellNumber(cell("TAXRATE")), pattern)};
}

// An item row: the stock item, the allocation to the row's ledger and its batch, under one item id.
bool StageCurrencyItem(const CurrencyRow& r, InvoiceState& state) {
    const VoucherPlace& at = r.at;
    const QString unit = r.Optional("UNIT");
    const QString quantity = FormattedCell(r.Optional("QUANTITY"), r.pattern) + QLatin1Char(' ') + unit;
    const QString itemId = QString::number(state.itemId);
    InventoryEntryRow item;
    item.StockItemName_ = r.Optional("ITEMNAME");
    item.IsDeemedPositive_ = r.deemed;
    item.IsAutoNigate_ = No;
    item.Rate_ = r.money.Rate(FormattedCell(r.Optional("RATE"), r.pattern), unit);
    item.Amount_ = r.money.Side(r.figure, r.debit, QStringLiteral("- "));
    item.ActualQty_ = item.BilledQty_ = quantity;
    if (!SaveInventoryEntry(at.errors, at.db, at.company, item, at.voucherId, itemId)) return false;

    AccountingAllocationRow allocation;
    allocation.LedgerName_ = r.Cell("LEDGER");
    allocation.IsDeemedPositive_ = r.deemed;
    allocation.LedgerFromItem_ = allocation.RemoveZeroEntries_ = allocation.IsPartyLedger_ = No;
    allocation.Amount_ = r.money.Side(r.figure, r.debit, QStringLiteral("-"));
    allocation.TaxClassificationName_ = r.Optional("TAXCLASSIFICATION");
    allocation.VATAssessableValue_ = r.money.Credit(r.Amount(r.Optional("ASSESSABLEAMT")));
    allocation.BasicRateOfInvoiceTax_ = r.taxRate;
    if (!SaveAccountingAllocation(at.errors, at.db, at.company, allocation, at.voucherId, itemId,
                                  QStringLiteral("1")))
        return false;

    const QString godown = r.Optional("GODOWNNAME");
    const QString batchName = r.Optional("BATCHNAME");
    BatchAllocationRow batch;
    batch.MFDOn_ = r.Optional("MFDDATE");
    batch.GodownName_ = godown.isEmpty() ? QStringLiteral("Main Location") : godown;
    batch.BatchName_ = batchName.isEmpty() ? QStringLiteral("Primary Batch") : batchName;
    batch.OrderNo_ = r.Optional("ORDERNO");
    batch.TrackingNo_ = r.Optional("TRACKINGNO");
    batch.Amount_ = allocation.Amount_;
    batch.ActualQty_ = batch.BilledQty_ = quantity;
    batch.ExpiryPeriod_ = r.Optional("EXPIRYPERIOD");
    if (!SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId, itemId, QStringLiteral("1")))
        return false;
    ++state.itemId;
    return true;
}

// A ledger line; the voucher's first is the party's. Its side holds for the allocations under it.
bool StageCurrencyLedger(const CurrencyRow& r, InvoiceState& state) {
    const VoucherPlace& at = r.at;
    const double figure = r.figure;
    const bool debit = r.debit;
    ++state.ledgerId;
    state.debitLine = debit;
    LedgerEntryRow line;
    line.LedgerName_ = r.Cell("LEDGER");
    line.IsDeemedPositive_ = r.deemed;
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = state.ledgerId == 2 ? Yes : No;
    if (r.money.voucher.isEmpty() || r.money.voucher == r.money.base) {
        // One currency: the plain figure, "- " before it on the debit side.
        line.Amount_ = !debit || figure < 0 ? vb::NumberText(debit ? -figure : figure)
                                            : QStringLiteral("- ") + vb::NumberText(figure);
    } else {
        line.Amount_ = r.money.Side(figure, debit, QStringLiteral("- "));
    }
    line.TaxClassificationName_ = r.Optional("TAXCLASSIFICATION");
    line.BasicRateOfInvoiceTax_ = r.taxRate;
    return SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId, QString::number(state.ledgerId));
}

// A bill under the most recent ledger line, on that line's side.
bool StageCurrencyBill(const CurrencyRow& r, InvoiceState& state, const QString& lineId) {
    const VoucherPlace& at = r.at;
    BillAllocationRow bill;
    bill.Name_ = r.Cell("ADJNAME");
    bill.BillCreditPeriod_ = r.Cell("ADJDATE");
    bill.BillType_ = r.Cell("ADJMETHOD");
    bill.Amount_ = r.money.Side(r.Amount(r.Cell("ADJAMOUNT")), state.debitLine, QStringLiteral("-"));
    if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId,
                            QString::number(state.billId)))
        return false;
    ++state.billId;
    return true;
}

// A cost centre under the most recent ledger line, in the base currency only.
bool StageCurrencyCost(const CurrencyRow& r, InvoiceState& state, const QString& lineId,
                       const QString& costCentre) {
    const VoucherPlace& at = r.at;
    ++state.costId;
    const QString category = r.Optional("COSTCATEGORY");
    const double costAmount = r.Amount(r.Optional("COSTAMOUNT"));
    CategoryAllocationsRow allocation;
    allocation.Category_ = vb::Trim(category).isEmpty() ? QStringLiteral("Primary Cost Category") : category;
    allocation.Name_ = costCentre;
    // The base-currency figure, signed as its line; a negative one under a debit line loses its minus.
    allocation.Amount_ = !state.debitLine || costAmount < 0
                             ? vb::NumberText((state.debitLine ? -costAmount : costAmount) * r.money.rate)
                             : QLatin1Char('-') + r.money.Base(costAmount);
    return SaveCategoryAllocation(at.errors, at.db, at.company, allocation, at.voucherId, lineId,
                                  QString::number(state.costId));
}

bool StageInvoiceRow(const VoucherRun& run, InvoiceState& state, const VoucherPlace& at) {
    if (at.firstRow && !SaveInvoiceHeader(run, at)) return false;
    const CurrencyRow r = ReadCurrencyRow(run, at);
    if (!vb::Trim(r.Optional("ITEMNAME")).isEmpty()) return StageCurrencyItem(r, state);

    const QString& billName = r.Cell("ADJNAME");
    const QString costCentre = r.Optional("COSTCENTRE");
    const bool hasBill = !vb::Trim(billName).isEmpty();
    const bool hasCost = !vb::Trim(costCentre).isEmpty();
    if (!r.Cell("LEDGER").isEmpty()) {
        if (!StageCurrencyLedger(r, state)) return false;
    } else if ((hasBill || hasCost) && state.ledgerId == 1) {
        // Its bill or cost centre would hang under no ledger entry of this voucher.
        return at.Fail(QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    }
    const QString lineId = QString::number(state.ledgerId);
    if (hasBill && !StageCurrencyBill(r, state, lineId)) return false;
    return !hasCost || StageCurrencyCost(r, state, lineId, costCentre);
}

} // namespace

VoucherKind VATTransactionMCKind(const VoucherRun& run) {
    auto state = std::make_shared<InvoiceState>();
    VoucherKind kind;
    kind.required = {C("VCHTYPE"),   C("VCHNO"),   C("VCHDATE"), C("REFNO"),
                     C("LEDGER"),    C("DEBIT"),   C("CREDIT"),  C("NARRATION"),
                     C("ADJMETHOD"), C("ADJNAME"), C("ADJDATE"), C("ADJAMOUNT")};
    kind.startVoucher = [state] { *state = InvoiceState{}; };
    kind.stageRow = [&run, state](const VoucherPlace& at) { return StageInvoiceRow(run, *state, at); };
    return kind;
}

void PostVATTransactionMC(FormModel& form, TallyLink& link) {
    PostStaged(form, link, "F01-0024MC", &VATTransactionMCKind);
}

} // namespace quibo
