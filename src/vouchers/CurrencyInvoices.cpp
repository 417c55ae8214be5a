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

bool StageInvoiceRow(const VoucherRun& run, InvoiceState& state, const VoucherPlace& at) {
    const int row = at.row;
    const QString& pattern = run.DecimalPlaces();
    const auto cell = [&](const char* column) { return run.CellIfPresent(row, C(column)); };
    // The value of an amount cell as its formatted text reads back: what every figure is made of.
    const auto amount = [&](const QString& text) {
        return CellNumber(vb::FormatNumber(CellNumber(text), pattern));
    };
    if (at.firstRow && !SaveInvoiceHeader(run, at)) return false;

    const QString& ledger = run.Cell(row, C("LEDGER"));
    const double debitFigure = amount(run.Cell(row, C("DEBIT")));
    const bool debit = debitFigure != 0;
    const double figure = debit ? debitFigure : amount(run.Cell(row, C("CREDIT")));
    const Conversion money{cell("VCHCURRENCY"), cell("BASECURRENCY"),
                           vb::FormatNumber(CellNumber(cell("EXCHANGERATE")), pattern),
                           amount(cell("EXCHANGERATE")), pattern};
    const QString deemed = debit ? Yes : No;
    const QString taxRate = vb::FormatNumber(CellNumber(cell("TAXRATE")), pattern);

    if (!vb::Trim(cell("ITEMNAME")).isEmpty()) {
        const QString unit = cell("UNIT");
        const QString quantity = FormattedCell(cell("QUANTITY"), pattern) + QLatin1Char(' ') + unit;
        const QString itemId = QString::number(state.itemId);
        InventoryEntryRow item;
        item.StockItemName_ = cell("ITEMNAME");
        item.IsDeemedPositive_ = deemed;
        item.IsAutoNigate_ = No;
        item.Rate_ = money.Rate(FormattedCell(cell("RATE"), pattern), unit);
        item.Amount_ = money.Side(figure, debit, QStringLiteral("- "));
        item.ActualQty_ = item.BilledQty_ = quantity;
        if (!SaveInventoryEntry(at.errors, at.db, at.company, item, at.voucherId, itemId)) return false;

        AccountingAllocationRow allocation;
        allocation.LedgerName_ = ledger;
        allocation.IsDeemedPositive_ = deemed;
        allocation.LedgerFromItem_ = allocation.RemoveZeroEntries_ = allocation.IsPartyLedger_ = No;
        allocation.Amount_ = money.Side(figure, debit, QStringLiteral("-"));
        allocation.TaxClassificationName_ = cell("TAXCLASSIFICATION");
        allocation.VATAssessableValue_ = money.Credit(amount(cell("ASSESSABLEAMT")));
        allocation.BasicRateOfInvoiceTax_ = taxRate;
        if (!SaveAccountingAllocation(at.errors, at.db, at.company, allocation, at.voucherId, itemId,
                                      QStringLiteral("1")))
            return false;

        const QString godown = cell("GODOWNNAME");
        const QString batchName = cell("BATCHNAME");
        BatchAllocationRow batch;
        batch.MFDOn_ = cell("MFDDATE");
        batch.GodownName_ = godown.isEmpty() ? QStringLiteral("Main Location") : godown;
        batch.BatchName_ = batchName.isEmpty() ? QStringLiteral("Primary Batch") : batchName;
        batch.OrderNo_ = cell("ORDERNO");
        batch.TrackingNo_ = cell("TRACKINGNO");
        batch.Amount_ = allocation.Amount_;
        batch.ActualQty_ = batch.BilledQty_ = quantity;
        batch.ExpiryPeriod_ = cell("EXPIRYPERIOD");
        if (!SaveBatchAllocation(at.errors, at.db, at.company, batch, at.voucherId, itemId,
                                 QStringLiteral("1")))
            return false;
        ++state.itemId;
        return true;
    }

    const QString& billName = run.Cell(row, C("ADJNAME"));
    const QString costCentre = cell("COSTCENTRE");
    const bool hasBill = !vb::Trim(billName).isEmpty();
    const bool hasCost = !vb::Trim(costCentre).isEmpty();
    if (!ledger.isEmpty()) {
        ++state.ledgerId;
        state.debitLine = debit;
        LedgerEntryRow line;
        line.LedgerName_ = ledger;
        line.IsDeemedPositive_ = deemed;
        line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
        line.IsPartyLedger_ = state.ledgerId == 2 ? Yes : No;
        if (money.voucher.isEmpty() || money.voucher == money.base) {
            // One currency: the plain figure, "- " before it on the debit side.
            line.Amount_ = !debit || figure < 0 ? vb::NumberText(debit ? -figure : figure)
                                                : QStringLiteral("- ") + vb::NumberText(figure);
        } else {
            line.Amount_ = money.Side(figure, debit, QStringLiteral("- "));
        }
        line.TaxClassificationName_ = cell("TAXCLASSIFICATION");
        line.BasicRateOfInvoiceTax_ = taxRate;
        if (!SaveLedgerEntry(at.errors, at.db, at.company, line, at.voucherId,
                             QString::number(state.ledgerId)))
            return false;
    } else if ((hasBill || hasCost) && state.ledgerId == 1) {
        // Its bill or cost centre would hang under no ledger entry of this voucher.
        return at.Fail(QStringLiteral("ERROR: an allocation row comes before the first ledger line"));
    }
    const QString lineId = QString::number(state.ledgerId);

    if (hasBill) {
        BillAllocationRow bill;
        bill.Name_ = billName;
        bill.BillCreditPeriod_ = run.Cell(row, C("ADJDATE"));
        bill.BillType_ = run.Cell(row, C("ADJMETHOD"));
        bill.Amount_ =
            money.Side(amount(run.Cell(row, C("ADJAMOUNT"))), state.debitLine, QStringLiteral("-"));
        if (!SaveBillAllocation(at.errors, at.db, at.company, bill, at.voucherId, lineId,
                                QString::number(state.billId)))
            return false;
        ++state.billId;
    }
    if (hasCost) {
        ++state.costId;
        const QString category = cell("COSTCATEGORY");
        const double costAmount = amount(cell("COSTAMOUNT"));
        CategoryAllocationsRow allocation;
        allocation.Category_ =
            vb::Trim(category).isEmpty() ? QStringLiteral("Primary Cost Category") : category;
        allocation.Name_ = costCentre;
        // The base-currency figure, signed as its line; a negative one under a debit line loses its minus.
        allocation.Amount_ = !state.debitLine || costAmount < 0
                                 ? vb::NumberText((state.debitLine ? -costAmount : costAmount) * money.rate)
                                 : QLatin1Char('-') + money.Base(costAmount);
        if (!SaveCategoryAllocation(at.errors, at.db, at.company, allocation, at.voucherId, lineId,
                                    QString::number(state.costId)))
            return false;
    }
    return true;
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
