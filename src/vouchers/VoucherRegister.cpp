// Voucher registers: each row is one whole voucher. Its party and totals are in the row; which ledger
// each amount column posts to, on which side and with which tax details comes from the register's
// map, which the loader leaves in the tags of the mapped columns.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/OutcomeMarks.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "localdb/LocalTransaction.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"
#include "vouchers/PosterCells.h"
#include "vouchers/SignedAmount.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

const QString Dr = QStringLiteral("Dr");
const QString Cr = QStringLiteral("Cr");
const QString StatusColumn = QStringLiteral("PROCESSSTATUS");
const QString MessagePanel = QStringLiteral("msg");
const QString First = QStringLiteral("1");
const QString Second = QStringLiteral("2"); // each list of a register voucher holds one row

// The places of a mapped column's tag.
enum MapPart {
    ColumnName,
    LedgerName,
    LedgerSign,
    Order,
    VATClassification,
    VATRate,
    AssessableColumn,
    ServiceTaxOn,
    ServiceTaxRate,
    ServiceTaxColumn,
    CessRate,
    CessColumn,
    SecCessRate,
    SecCessColumn,
    ServiceTaxLedger,
    ExpenseColumn,
};

// A mapped column's tag, cut at "|" into its places.
struct ColumnMap {
    QStringList parts;
    QString Part(MapPart p) const { return parts.value(p); }
};

// Stages the register's rows one voucher at a time.
class RegisterWalk {
public:
    RegisterWalk(FormModel& form, LocalDatabase& db, const VoucherRun& run)
        : m_form(form), m_db(db), m_run(run),
          m_foreign(run.Has(C("VCHCURRENCY")) && run.Has(C("BASECURRENCY")) && run.Has(C("EXCHANGERATE"))) {}

    // Stages the row as voucher `voucherId` under `company`: false when a writer failed (reported) or
    // the row cannot be a voucher (`failure` then says why).
    bool Stage(int row, const QString& company, const QString& voucherId, const QString& key);
    const QString& Failure() const { return m_failure; }

private:
    const QString& Cell(const QString& column) const { return m_run.Cell(m_row, column); }
    QString Optional(const char* column) const { return m_run.CellIfPresent(m_row, C(column)); }
    QString Figure(const QString& text) const {
        return vb::FormatNumber(CellNumber(text), m_run.DecimalPlaces());
    }
    // The number of the cell in the column a map part names, as plain text.
    QString NumberOfColumn(const QString& part) const {
        return vb::NumberText(CellNumber(Cell(vb::UCase(part))));
    }
    QString CurrencyForm(const QString& amount, bool debit) const;
    QString PartyBillAmount(bool debit) const;
    bool StageHeader(const QString& key);
    bool StageLists();
    bool StageEntry(int column);
    // The pieces of one mapped column's entry, on the side `debit` says, for the line `lineId`.
    LedgerEntryRow EntryLine(const ColumnMap& map, bool party, const QString& amount, bool debit) const;
    bool StageEntryCost(const QString& lineId, const QString& amount, bool debit);
    bool StageServiceTaxBill(const ColumnMap& map, const QString& lineId);
    bool StageEntryBill(const ColumnMap& map, const QString& lineId, bool party, const QString& amount,
                        bool debit, LedgerEntryRow& entry);

    FormModel& m_form;
    LocalDatabase& m_db;
    const VoucherRun& m_run;
    const bool m_foreign; // every amount in the voucher's currency, for the whole run
    int m_categoryId = 1; // runs on across the run's vouchers
    int m_row = 0;
    QString m_company;
    QString m_voucherId;
    QString m_category;
    QString m_failure;
};

// "USD100.000 @ INR45.000/USD = INR 4500", on the debit side "- USD100.000 @ INR45.000/USD = -INR 4500".
QString RegisterWalk::CurrencyForm(const QString& amount, bool debit) const {
    const QString currency = Optional("VCHCURRENCY");
    const QString base = Optional("BASECURRENCY");
    const QString rate = Figure(Optional("EXCHANGERATE"));
    const QString value = vb::NumberText(CellNumber(amount) * CellNumber(rate));
    const QString form = currency + amount + QStringLiteral(" @ ") + base + rate + QLatin1Char('/') +
                         currency + (debit ? QStringLiteral(" = -") : QStringLiteral(" = ")) + base +
                         QLatin1Char(' ') + value;
    return debit ? QStringLiteral("- ") + form : form;
}

// The party's bill: "ADJAMOUNT", with the "-" of the debit side going with the number.
QString RegisterWalk::PartyBillAmount(bool debit) const {
    const double value = CellNumber(Cell(C("ADJAMOUNT")));
    if (!m_foreign) return SideAmount(value, debit, m_run.DecimalPlaces());
    if (debit && value < 0) return CurrencyForm(vb::FormatNumber(-value, m_run.DecimalPlaces()), false);
    return CurrencyForm(vb::FormatNumber(value, m_run.DecimalPlaces()), debit);
}

bool RegisterWalk::StageHeader(const QString& key) {
    const QString& ledger = Cell(C("LEDGER"));
    const QString consignee = Optional("CONSIGNEE");
    VoucherRow header;
    header.Date_ = header.EffectiveDate_ = Cell(C("VCHDATE"));
    header.GUID_ = key;
    header.VoucherTypeName_ = Cell(C("VCHTYPE"));
    header.VoucherNumber_ = Cell(C("VCHNO"));
    header.Reference_ = Cell(C("REFNO"));
    header.Narration_ = Cell(C("NARRATION"));
    header.PartyLedgerName_ = header.BasePartyName_ = ledger;
    header.BasicBuyerName_ = consignee.isEmpty() ? ledger : consignee;
    header.PartyName_ = Optional("BUYER");
    header.BasicShipDocumentNo_ = Optional("DESPATCHDOCNO");
    header.BasicShippedBy_ = Optional("DESPATCHEDTHROUGH");
    header.BasicFinalDestination_ = Optional("DESTINATION");
    header.BasicDueDateOfPymt_ = Optional("PAYMENTTERMS");
    header.BasicOrderRef_ = Optional("OTHERREF");
    header.BasicBuyersSalesTaxNo_ = Optional("BUYERTINNO");
    header.PersistedView_ = QStringLiteral("Accounting Voucher View");
    for (StagedText* flag :
         {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
          &header.UseForCompound_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
          &header.UseForInterest_, &header.UseTrackingNumber_, &header.IsCancelled_, &header.IsPostDated_,
          &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_,
          &header.HasCashFlow_, &header.IsInvoice_})
        *flag = No;
    return SaveVoucher(m_form.errors(), m_db, m_company, header, m_voucherId);
}

bool RegisterWalk::StageLists() {
    ErrorReporter& errors = m_form.errors();
    const QString notes = Optional("DELNOTENOS");
    const QString noteDates = Optional("DELNOTEDATES");
    if (!notes.isEmpty() && !noteDates.isEmpty()) {
        InvoiceDelNotesRow note;
        note.BasicShippingDate_ = noteDates;
        note.BasicShipDeliveryNote_ = notes;
        if (!SaveInvoiceDelNote(errors, m_db, m_company, note, m_voucherId, Second)) return false;
    }
    const QString orders = Optional("ORDERNOS");
    const QString orderDates = Optional("ORDERDATES");
    if (!orders.isEmpty() && !orderDates.isEmpty()) {
        InvoiceOrderListRow order;
        order.BasicOrderDate_ = orderDates;
        order.BasicPurchaseOrderNo_ = orders;
        if (!SaveInvoiceOrder(errors, m_db, m_company, order, m_voucherId, Second)) return false;
    }
    const QString terms = Optional("TERMSOFDELIVERY");
    return terms.isEmpty() || SaveBasicOrderTerms(errors, m_db, m_company, terms, m_voucherId, Second);
}

// The entry's ledger line: the party's for the total, else the map's ledger.
LedgerEntryRow RegisterWalk::EntryLine(const ColumnMap& map, bool party, const QString& amount,
                                       bool debit) const {
    LedgerEntryRow entry;
    entry.LedgerName_ = party ? Cell(C("LEDGER")) : map.Part(LedgerName);
    entry.LedgerFromItem_ = entry.RemoveZeroEntries_ = No;
    entry.IsPartyLedger_ = party ? Yes : No;
    entry.IsDeemedPositive_ = debit ? Yes : No;
    if (m_foreign)
        entry.Amount_ = CurrencyForm(amount, debit);
    else
        entry.Amount_ = debit ? vb::NumberText(-CellNumber(amount)) : amount;
    entry.VATAssessableValue_ = entry.TaxClassificationName_ = QString();
    entry.BasicRateOfInvoiceTax_ = map.Part(VATRate);
    return entry;
}

// The row's cost centre takes every entry's amount, in the row's category.
bool RegisterWalk::StageEntryCost(const QString& lineId, const QString& amount, bool debit) {
    if (vb::Trim(m_category).isEmpty()) m_category = QStringLiteral("Primary Cost Category");
    const QString centre = Optional("COSTCENTRE");
    if (centre.isEmpty()) return true;
    CategoryAllocationsRow allocation;
    allocation.Category_ = m_category;
    allocation.Name_ = centre;
    allocation.Amount_ = (debit ? QStringLiteral("-") : QString()) + amount;
    return SaveCategoryAllocation(m_form.errors(), m_db, m_company, allocation, m_voucherId, lineId,
                                  QString::number(++m_categoryId));
}

// A service-tax bill: its rates from the map, its amounts from the columns the map names.
bool RegisterWalk::StageServiceTaxBill(const ColumnMap& map, const QString& lineId) {
    TaxBillAllocationRow bill;
    bill.Name_ = Cell(C("ADJNAME"));
    bill.BillType_ = Cell(C("ADJMETHOD"));
    bill.IsInputAvail_ = bill.IsPureAgentBill_ = No;
    bill.TDSTaxRate_ = map.Part(ServiceTaxRate);
    bill.TDSSurcharge_ = map.Part(CessRate);
    bill.TDSAddlSurcharge_ = QString();
    bill.STSecondaryCessRate_ = map.Part(SecCessRate);
    bill.Amount_ = Figure(Cell(C("ADJAMOUNT")));
    bill.AbatementAmount_ = bill.AbatementNotificationNo_ = QString();
    for (const auto& [field, source] :
         {std::pair{&TaxBillAllocationRow::SurchargeAmount_, ServiceTaxColumn},
          std::pair{&TaxBillAllocationRow::AddlSurchargeAmount_, CessColumn},
          std::pair{&TaxBillAllocationRow::STSecondaryCessAmount_, SecCessColumn},
          std::pair{&TaxBillAllocationRow::AssessableAmount_, AssessableColumn},
          std::pair{&TaxBillAllocationRow::ExpenseAmount_, ExpenseColumn}})
        if (!map.Part(source).isEmpty()) bill.*field = NumberOfColumn(map.Part(source));
    return SaveTaxBillAllocation(m_form.errors(), m_db, m_company, bill, m_voucherId, lineId, First);
}

// A plain bill; a VAT column puts its classification and assessable value on the entry instead of
// naming a service-tax ledger.
bool RegisterWalk::StageEntryBill(const ColumnMap& map, const QString& lineId, bool party,
                                  const QString& amount, bool debit, LedgerEntryRow& entry) {
    BillAllocationRow bill;
    bill.Name_ = Cell(C("ADJNAME"));
    bill.BillType_ = Cell(C("ADJMETHOD"));
    bill.BillCreditPeriod_ = Cell(C("ADJDATE"));
    if (party)
        bill.Amount_ = PartyBillAmount(debit);
    else
        bill.Amount_ = m_foreign ? CurrencyForm(amount, false) : amount;
    if (!map.Part(VATClassification).isEmpty()) {
        entry.TaxClassificationName_ = map.Part(VATClassification);
        if (!map.Part(AssessableColumn).isEmpty())
            entry.VATAssessableValue_ = NumberOfColumn(map.Part(AssessableColumn));
    } else {
        bill.ServiceTaxLedger_ = map.Part(ServiceTaxLedger);
    }
    return SaveBillAllocation(m_form.errors(), m_db, m_company, bill, m_voucherId, lineId, First);
}

bool RegisterWalk::StageEntry(int column) {
    const QString& tag = m_form.GR1.ColumnTag(column);
    if (!tag.contains(QLatin1Char('|'))) return true;
    const ColumnMap map{tag.split(QLatin1Char('|'))};
    const QString lineId = map.Part(Order);
    const bool party = map.Part(LedgerName) == QLatin1String("Auto");

    QString amount = Figure(party ? Cell(C("TOTALAMOUNT")) : Cell(map.Part(ColumnName)));
    const double number = CellNumber(amount);
    if (number == 0) return true;
    QString side = map.Part(LedgerSign);
    if (number < 0) {
        amount = vb::NumberText(-number);
        side = side == Dr ? Cr : side == Cr ? Dr : side;
    }
    if (side != Dr && side != Cr) {
        m_failure = QStringLiteral("ERROR: LedgerSign of column ") + m_form.GR1.ColumnKey(column) +
                    QStringLiteral(" must be Dr or Cr");
        return false;
    }
    const bool debit = side == Dr;

    // Every entry starts from empty records: nothing of an earlier entry's allocation carries over.
    LedgerEntryRow entry = EntryLine(map, party, amount, debit);
    if (!StageEntryCost(lineId, amount, debit)) return false;
    const bool allocated = map.Part(VATClassification).isEmpty() && !map.Part(ServiceTaxOn).isEmpty()
                               ? StageServiceTaxBill(map, lineId)
                               : StageEntryBill(map, lineId, party, amount, debit, entry);
    return allocated && SaveLedgerEntry(m_form.errors(), m_db, m_company, entry, m_voucherId, lineId);
}

bool RegisterWalk::Stage(int row, const QString& company, const QString& voucherId, const QString& key) {
    m_row = row;
    m_company = company;
    m_voucherId = voucherId;
    m_failure.clear();
    m_category = Optional("COSTCATEGORY");
    if (!StageHeader(key) || !StageLists()) return false;
    const int columns = m_form.GR1.ColumnCount();
    for (int column = 1; column <= columns; ++column)
        if (!StageEntry(column)) return false;
    return true;
}

// Writes a row's outcome in the register's own colours, with or without an "ID" column: red for a
// failure, blue when created, black otherwise; the status is bold whatever became of it.
void MarkRegisterRow(FormModel& form, int row, const TallyOutcome& outcome, const QString& notStaged = {}) {
    WorkGrid& grid = form.GR1;
    const bool failed = WriteVoucherOutcome(form, row, row, outcome, notStaged);
    const bool created = vb::UCase(grid.CellText(row, StatusColumn)).contains(QLatin1String("CREATED"));
    grid.SetRowColor(row, failed ? marks::Red : created ? marks::Blue : marks::Black);
    grid.SetCellFont(row, grid.ColumnIndex(StatusColumn), GridFont{true});
}

} // namespace

void PostVoucherRegister(FormModel& form, LocalDatabase& db, const VoucherSender& send) {
    const VoucherRun run(form, db);
    WorkGrid& grid = form.GR1;
    form.stat(progress::Deleting, MessagePanel);
    EmptyStagingTables(form, db);
    form.stat(QString(), MessagePanel);

    const int rows = grid.RowCount();
    // Read on every voucher row: a grid without one ends the run before anything is staged.
    if (rows > 0)
        for (const char* column : {"ID", "PROCESSSTATUS", "VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER",
                                   "NARRATION", "ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT"})
            grid.ColumnIndex(C(column));

    const bool ownId = run.Has(C("ID"));
    RegisterWalk walk(form, db, run);
    int voucherNumber = 1;
    for (int row = 1; row <= rows; ++row) {
        const QString& id = run.Cell(row, C("ID"));
        const QString companyCell = run.CellIfPresent(row, C("COMPANYNAME"));
        form.CurrentCompany =
            vb::Trim(companyCell).isEmpty() ? form.cmbCurrentCompanyList.Text() : companyCell;
        if (vb::Trim(id).isEmpty()) {
            if (!form.IsEmptyRow(row)) MarkRegisterRow(form, row, {}, marks::EmptyId);
        } else if (vb::Trim(run.Cell(row, C("LEDGER"))).isEmpty()) {
            MarkRegisterRow(form, row, {}, QStringLiteral("ERROR: no LEDGER"));
        } else if (const QString refusal = form.NulRefusal(row); !refusal.isEmpty()) {
            MarkRegisterRow(form, row, {}, refusal);
        } else {
            const QString key = ownId ? id
                                      : run.Cell(row, C("VCHTYPE")) + QLatin1Char('-') +
                                            run.Cell(row, C("VCHNO")) + QLatin1Char('-') +
                                            run.Cell(row, C("VCHDATE")) + QLatin1Char('-') +
                                            run.Cell(row, C("REFNO"));
            const QString voucherId = QString::number(voucherNumber++);
            const int reports = form.errors().reportCount();
            LocalTransaction batch(db);
            if (walk.Stage(row, form.CurrentCompany, voucherId, key)) {
                batch.commit();
                MarkRegisterRow(form, row, send(form.CurrentCompany, voucherId));
            } else {
                const QString location =
                    form.errors().reportCount() != reports ? form.errors().lastLocation() : QString();
                MarkRegisterRow(form, row, {},
                                walk.Failure().isEmpty() ? marks::NotStaged(location) : walk.Failure());
            }
            grid.SetSelectedRow(row);
            form.stat(progress::Processed + voucherId, MessagePanel);
        }
        form.DoEvents();
    }
    form.stat(progress::Finished, MessagePanel);
}

void PostVoucherRegister(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0026", [&] {
        LocalDatabase db(form.services().dataFolder);
        PostVoucherRegister(form, db, TallyVoucherSender(link, db));
    });
}

} // namespace quibo
