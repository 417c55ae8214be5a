// VAT invoices: the header, the voucher-level lists and, per row, an all-ledger line with its item
// allocations, descriptions, batches, bills, service-tax bills, bank and cost allocations; and the
// reduced form whose items are inventory entries of their own.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "staging/StagingWriters.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"
#include "vouchers/InvoiceRows.h"
#include "vouchers/PosterCells.h"
#include "vouchers/SignedAmount.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <functional>
#include <memory>

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

const QStringList RequiredColumns = {C("VCHTYPE"),   C("VCHNO"),   C("VCHDATE"), C("REFNO"),
                                     C("LEDGER"),    C("DEBIT"),   C("CREDIT"),  C("NARRATION"),
                                     C("ADJMETHOD"), C("ADJNAME"), C("ADJDATE"), C("ADJAMOUNT")};

// The run's counters: per voucher (reset by startVoucher), and the description and bank ids that
// count on through the run.
struct VatState {
    int ledgerId = 1;  // advanced before each ledger line: the first is 2
    int itemId = 1;    // advanced after each item allocation
    int billId = 1;    // advanced after each bill
    int taxBillId = 1; // advanced after each service-tax bill
    int costId = 0;    // advanced before each cost allocation
    bool hasLine = false;
    InvoiceLists lists;

    int descriptionId = 0;
    int bankId = 0;

    void StartVoucher() {
        const int descriptions = descriptionId;
        const int banks = bankId;
        *this = VatState{};
        descriptionId = descriptions;
        bankId = banks;
    }
};

// How one row's own "DEBIT" signs what the row stages.
struct RowSign {
    explicit RowSign(const InvoiceCells& cells)
        : debitValue(InvoiceCells::Value(cells.Amount("DEBIT"))), debit(debitValue != 0),
          credit(cells.Amount("CREDIT")) {}
    QString Deemed() const { return debit ? Yes : No; }
    // Lines, item allocations and batches: the negated debit as plain number text, or the credit.
    QString LineAmount() const { return debit ? vb::NumberText(-debitValue) : credit; }
    // Bills: the formatted amount, negated as plain number text on a debit row.
    QString BillAmount(const QString& amount) const {
        const double value = InvoiceCells::Value(amount);
        return debit ? vb::NumberText(value == 0 ? 0.0 : -value) : amount;
    }
    double debitValue;
    bool debit;
    QString credit;
};

VoucherRow InvoiceHeader(const InvoiceCells& cells, const QString& key, bool reduced) {
    VoucherRow header;
    const QString vchDate = cells.Text("VCHDATE");
    const QString type = cells.Text("VCHTYPE");
    const QString ledger = cells.Text("LEDGER");
    header.Date_ = header.EffectiveDate_ = vchDate;
    header.GUID_ = key;
    header.Narration_ = cells.Text("NARRATION");
    header.VoucherTypeName_ = type;
    header.VoucherNumber_ = cells.Text("VCHNO");
    header.Reference_ = cells.Text("REFNO");
    header.PartyLedgerName_ = header.BasePartyName_ = ledger;
    header.PartyName_ = cells.Text("BUYER");
    header.BasicShippedBy_ = cells.Text("DESPATCHEDTHROUGH");
    header.BasicBuyerName_ = cells.Text("CONSIGNEE");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForInterest_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForCompound_, &header.IsCancelled_, &header.HasCashFlow_, &header.IsPostDated_,
          &header.UseTrackingNumber_, &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_,
          &header.IsDeleted_})
        *flag = No;
    header.AsOriginal_ = Yes;
    header.BasicShipDocumentNo_ = cells.Text("DESPATCHDOCNO");
    header.BasicFinalDestination_ = cells.Text("DESTINATION");
    header.BasicDueDateOfPymt_ = cells.Text("PAYMENTTERMS");
    header.BasicOrderRef_ = cells.Text("OTHERREF");
    header.BasicBuyersSalesTaxNo_ = cells.Text("BUYERTINNO");
    if (reduced) {
        header.IsInvoice_ = type == QLatin1String("Sales") || type == QLatin1String("Purchase") ? Yes : No;
        header.PersistedView_ = QStringLiteral("Accounting Voucher View");
        return header;
    }
    header.IsInvoice_ = Yes;
    header.MIRONo_ = cells.Text("MIRONO");
    header.MIRODt_ = cells.Text("MIRODT");
    header.RefDate_ = cells.Text("REFDATE");
    header.ClassName_ = cells.Text("CLASSNAME");
    header.TaxAdjustment_ = cells.Text("TAXADJUSTMENT");
    const QString view = vb::UCase(cells.Text("VCHVIEWTYPE"));
    const bool invoiceView = view == QLatin1String("INVOICE") || view == QLatin1String("ASINVOICE") ||
                             view == QLatin1String("AS INVOICE") ||
                             view == QLatin1String("INVOICE VOUCHER VIEW");
    header.PersistedView_ =
        invoiceView ? QStringLiteral("Invoice Voucher View") : QStringLiteral("Accounting Voucher View");
    return header;
}

// Stages the row's ledger line when it names a ledger. Its TDSPartyName_ is the row's own.
bool StageLedgerLine(VatState& state, const VoucherPlace& at, const InvoiceCells& cells, const RowSign& sign,
                     bool assessed) {
    const QString ledger = cells.Text("LEDGER");
    if (ledger.isEmpty()) return true;
    AllLedgerEntryRow line;
    line.LedgerName_ = ledger;
    line.IsDeemedPositive_ = sign.Deemed();
    line.LedgerFromItem_ = line.RemoveZeroEntries_ = No;
    line.IsPartyLedger_ = state.hasLine ? No : Yes;
    line.Amount_ = sign.LineAmount();
    line.TaxClassificationName_ = cells.Text("TAXCLASSIFICATION");
    line.VATAssessableValue_ = cells.Amount("ASSESSABLEAMT");
    line.BasicRateOfInvoiceTax_ = cells.TaxRate("TAXRATE");
    const QString serviceTaxOn = cells.Text("SERVICETAXON");
    line.TDSPartyName_ = assessed && !serviceTaxOn.isEmpty() ? serviceTaxOn : QString();
    state.hasLine = true;
    return SaveAllLedgerEntry(at.errors, at.db, at.company, line, at.voucherId,
                              QString::number(++state.ledgerId));
}

BatchAllocationRow Batch(const InvoiceCells& cells, const RowSign& sign, const QString& quantity) {
    BatchAllocationRow batch;
    batch.MFDOn_ = cells.Text("MFDDATE");
    const QString godown = cells.Text("GODOWNNAME");
    batch.GodownName_ = godown.isEmpty() ? QStringLiteral("Main Location") : godown;
    const QString batchName = cells.Text("BATCHNAME");
    batch.BatchName_ = batchName.isEmpty() ? QStringLiteral("Primary Batch") : batchName;
    batch.OrderNo_ = cells.Text("ORDERNO");
    batch.TrackingNo_ = cells.Text("TRACKINGNO");
    batch.Amount_ = sign.LineAmount();
    batch.ActualQty_ = batch.BilledQty_ = quantity;
    batch.ExpiryPeriod_ = cells.Text("EXPIRYPERIOD");
    return batch;
}

TaxBillAllocationRow ServiceTaxBill(const InvoiceCells& cells) {
    TaxBillAllocationRow bill;
    bill.Name_ = cells.Text("ADJNAME");
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.IsPureAgentBill_ = bill.IsInputAvail_ = No;
    bill.TDSTaxRate_ = cells.TaxRate("TAXRATE");
    bill.TDSSurcharge_ = QStringLiteral("2");
    bill.TDSAddlSurcharge_ = QString();
    bill.STSecondaryCessRate_ = QStringLiteral("1");
    bill.Amount_ = cells.Amount("ADJAMOUNT");
    bill.SurchargeAmount_ = cells.Text("SERVICETAX");
    bill.AddlSurchargeAmount_ = cells.Text("CESS");
    bill.STSecondaryCessAmount_ = cells.Text("SECCESS");
    bill.AssessableAmount_ = bill.ExpenseAmount_ = bill.AbatementAmount_ = bill.AbatementNotificationNo_ =
        QString();
    return bill;
}

BillAllocationRow Bill(const InvoiceCells& cells, const RowSign& sign) {
    BillAllocationRow bill;
    bill.Name_ = cells.Text("ADJNAME");
    bill.BillCreditPeriod_ = cells.Text("ADJDATE");
    bill.BillType_ = cells.Text("ADJMETHOD");
    bill.Amount_ = sign.BillAmount(cells.Amount("ADJAMOUNT"));
    bill.ServiceTaxLedger_ = cells.Text("SERVICETAXLEDGER");
    return bill;
}

// The service-tax bill of an assessed row, else its bill (with the bank allocation `bank` adds);
// under the current ledger line.
bool StageBillSide(VatState& state, const VoucherPlace& at, const InvoiceCells& cells, const RowSign& sign,
                   bool assessed, bool itemRow, const std::function<bool(const QString& lineId)>& bank) {
    const QString lineId = QString::number(state.ledgerId);
    if (assessed && !cells.Text("SERVICETAXON").isEmpty()) {
        if (!state.hasLine) return at.Fail(ItemBeforeLedgerLine);
        return SaveTaxBillAllocation(at.errors, at.db, at.company, ServiceTaxBill(cells), at.voucherId,
                                     lineId, QString::number(state.taxBillId++));
    }
    if (vb::Trim(cells.Text("ADJNAME")).isEmpty() || itemRow) return true;
    if (!state.hasLine) return at.Fail(ItemBeforeLedgerLine);
    if (!SaveBillAllocation(at.errors, at.db, at.company, Bill(cells, sign), at.voucherId, lineId,
                            QString::number(state.billId)))
        return false;
    ++state.billId;
    return !bank || bank(lineId);
}

bool StageCost(VatState& state, const VoucherPlace& at, const InvoiceCells& cells, const RowSign& sign) {
    const QString centre = cells.Text("COSTCENTRE");
    if (vb::Trim(centre).isEmpty()) return true;
    if (!state.hasLine) return at.Fail(ItemBeforeLedgerLine);
    const QString category = cells.Text("COSTCATEGORY");
    CategoryAllocationsRow cost;
    cost.Category_ = vb::Trim(category).isEmpty() ? QStringLiteral("Primary Cost Category") : category;
    cost.Name_ = centre;
    const QString amount = cells.Amount("COSTAMOUNT"); // "" without the column: no amount to sign
    cost.Amount_ =
        amount.isEmpty() ? amount : SideAmount(InvoiceCells::Value(amount), sign.debit, cells.Pattern());
    return SaveCategoryAllocation(at.errors, at.db, at.company, cost, at.voucherId,
                                  QString::number(state.ledgerId), QString::number(++state.costId));
}

bool Assessed(const InvoiceCells& cells) {
    return InvoiceCells::Value(cells.Amount("ASSESSABLEAMT")) > 0;
}

bool StageVatRow(const VoucherRun& run, VatState& state, const VoucherPlace& at) {
    const InvoiceCells cells(run, at.row);
    if (at.firstRow &&
        !SaveVoucher(at.errors, at.db, at.company, InvoiceHeader(cells, at.key, false), at.voucherId))
        return false;
    if (!state.lists.Stage(at, cells, false)) return false;

    const RowSign sign(cells);
    const bool assessed = Assessed(cells);
    if (!StageLedgerLine(state, at, cells, sign, assessed)) return false;

    const bool itemRow = !vb::Trim(cells.Text("ITEMNAME")).isEmpty();
    if (itemRow) {
        if (!state.hasLine) return at.Fail(ItemBeforeLedgerLine);
        const QString quantityCell = cells.Quantity("QUANTITY");
        const QString unit = cells.Text("UNIT");
        const QString per = cells.Quantity("PER");
        const QString quantity =
            quantityCell.contains(QLatin1Char(' ')) ? quantityCell : quantityCell + QLatin1Char(' ') + unit;
        InventoryAllocationRow item;
        item.StockItemName_ = cells.Text("ITEMNAME");
        item.IsDeemedPositive_ = sign.Deemed();
        item.IsAutoNigate_ = No;
        item.Rate_ = cells.Quantity("RATE") + QLatin1Char('/') + (per.isEmpty() ? unit : per);
        item.Amount_ = sign.LineAmount();
        item.ActualQty_ = item.BilledQty_ = quantity;
        const QString itemId = QString::number(state.itemId);
        if (!SaveInventoryAllocation(at.errors, at.db, at.company, item, at.voucherId,
                                     QString::number(state.ledgerId), itemId))
            return false;
        // Every piece reaches the voucher: one description row, the pieces joined by "#", which the
        // message cuts again into one description each.
        const QStringList pieces = TildePieces(cells.Text("ITEMDESCRIPTION"));
        if (!pieces.isEmpty() &&
            !SaveBasicUserDescription(at.errors, at.db, at.company, pieces.join(QLatin1Char('#')),
                                      at.voucherId, itemId, QString::number(++state.descriptionId)))
            return false;
        if (!SaveBatchAllocation(at.errors, at.db, at.company, Batch(cells, sign, quantity), at.voucherId,
                                 itemId, QStringLiteral("1")))
            return false;
        ++state.itemId;
    }

    const auto bank = [&](const QString& lineId) {
        const QString amount = cells.Text("BANKAMOUNT");
        if (InvoiceCells::Value(amount) == 0) return true;
        BankAllocationRow row;
        row.Date_ = cells.Text("VCHDATE");
        row.InstrumentDate_ = cells.Text("INSTRUMENTDATE");
        row.TransactionType_ = cells.Text("INSTRUMENTTYPE");
        row.PaymentFavouring_ = cells.Text("PAYMENTFAVOURING");
        row.BankName_ = cells.Text("BANKNAME");
        row.BranchName_ = cells.Text("BRANCHNAME");
        row.ChequeCrossComment_ = cells.Text("CHEQUECROSS");
        row.InstrumentNumber_ = cells.Text("INSTRUMENTNUMBER");
        row.IFSCCode_ = cells.Text("IFSCCODE");
        row.TransactionName_ = cells.Text("TRANSACTIONNAME");
        row.PaymentMode_ = cells.Text("PAYMENTMODE");
        row.AccountNumber_ = cells.Text("ACCOUNTNUMBER");
        row.BankPartyName_ = cells.Text("BANKPARTYNAME");
        row.TransferMode_ = cells.Text("TRANSFERMODE");
        row.Amount_ = sign.debit ? DebitText(amount) : amount;
        return SaveBankAllocation(at.errors, at.db, at.company, row, at.voucherId, lineId,
                                  QString::number(++state.bankId));
    };
    return StageBillSide(state, at, cells, sign, assessed, itemRow, bank) &&
           StageCost(state, at, cells, sign);
}

bool StageReducedVatRow(const VoucherRun& run, VatState& state, const VoucherPlace& at) {
    const InvoiceCells cells(run, at.row);
    if (at.firstRow &&
        !SaveVoucher(at.errors, at.db, at.company, InvoiceHeader(cells, at.key, true), at.voucherId))
        return false;
    if (!state.lists.Stage(at, cells, true)) return false;

    const RowSign sign(cells);
    if (!vb::Trim(cells.Text("ITEMNAME")).isEmpty()) {
        const QString unit = cells.Text("UNIT");
        const QString quantity = cells.Quantity("QUANTITY") + QLatin1Char(' ') + unit;
        InventoryEntryRow item;
        item.StockItemName_ = cells.Text("ITEMNAME");
        item.IsDeemedPositive_ = sign.Deemed();
        item.IsAutoNigate_ = No;
        item.Rate_ = cells.Quantity("RATE") + QLatin1Char('/') + unit;
        item.Amount_ = sign.LineAmount();
        item.ActualQty_ = item.BilledQty_ = quantity;
        const QString itemId = QString::number(state.itemId++);
        AccountingAllocationRow ledger;
        ledger.LedgerName_ = cells.Text("LEDGER");
        ledger.IsDeemedPositive_ = sign.Deemed();
        ledger.LedgerFromItem_ = ledger.RemoveZeroEntries_ = ledger.IsPartyLedger_ = No;
        ledger.Amount_ = sign.LineAmount();
        ledger.TaxClassificationName_ = cells.Text("TAXCLASSIFICATION");
        ledger.VATAssessableValue_ = cells.Amount("ASSESSABLEAMT");
        ledger.BasicRateOfInvoiceTax_ = cells.TaxRate("TAXRATE");
        return SaveInventoryEntry(at.errors, at.db, at.company, item, at.voucherId, itemId) &&
               SaveAccountingAllocation(at.errors, at.db, at.company, ledger, at.voucherId, itemId,
                                        QStringLiteral("1")) &&
               SaveBatchAllocation(at.errors, at.db, at.company, Batch(cells, sign, quantity), at.voucherId,
                                   itemId, QStringLiteral("1"));
    }
    const bool assessed = Assessed(cells);
    return StageLedgerLine(state, at, cells, sign, assessed) &&
           StageBillSide(state, at, cells, sign, assessed, false, {}) && StageCost(state, at, cells, sign);
}

using StageVat = bool (*)(const VoucherRun&, VatState&, const VoucherPlace&);

VoucherKind VatKind(const VoucherRun& run, StageVat stage) {
    auto state = std::make_shared<VatState>();
    VoucherKind kind;
    kind.required = RequiredColumns;
    kind.startVoucher = [state] { state->StartVoucher(); };
    kind.stageRow = [&run, state, stage](const VoucherPlace& at) { return stage(run, *state, at); };
    return kind;
}

void PostVat(FormModel& form, TallyLink& link, const char* location, StageVat stage) {
    Trap(form.errors(), location, [&] {
        LocalDatabase db(form.services().dataFolder);
        VoucherRun run(form, db);
        run.Run(VatKind(run, stage), TallyVoucherSender(link, db));
    });
}

} // namespace

VoucherKind VATTransactionKind(const VoucherRun& run) {
    return VatKind(run, &StageVatRow);
}

VoucherKind ReducedVATTransactionKind(const VoucherRun& run) {
    return VatKind(run, &StageReducedVatRow);
}

void PostVATTransaction(FormModel& form, TallyLink& link) {
    PostVat(form, link, "F01-0024A", &StageVatRow);
}

void PostVATTransactionXX(FormModel& form, TallyLink& link) {
    PostVat(form, link, "F01-0024A", &StageReducedVatRow);
}

} // namespace quibo
