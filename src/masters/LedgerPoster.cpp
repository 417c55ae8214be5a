// PostLedgers: one LEDGER per run of rows sharing a NAME, its bank details and opening bills taken
// from every row of the run.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "masters/MasterPosters.h"
#include "masters/MasterRun.h"
#include "masters/NumericText.h"
#include "tally/MasterSenders.h"

#include <array>

namespace quibo {

namespace {

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

const QString Name = QStringLiteral("NAME");
const QString PaymentFavouring = QStringLiteral("PAYMENTFAVOURING");
const std::array<QString, 8> BankColumns = {
    QStringLiteral("BANKNAME"),        QStringLiteral("ACCOUNTNUMBER"),
    QStringLiteral("IFSCCODE"),        PaymentFavouring,
    QStringLiteral("TRANSACTIONNAME"), QStringLiteral("CHEQUECROSSCOMMENT"),
    QStringLiteral("SETASDEFAULT"),    QStringLiteral("DEFAULTTRANSACTIONTYPE"),
};
const std::array<QString, 4> BillColumns = {QStringLiteral("OPENINGBILLDATE"), QStringLiteral("OPENINGNAME"),
                                            QStringLiteral("OPENINGCREDITPERIOD"),
                                            QStringLiteral("OPENINGBALANCE")};
const std::array<QString, 4> AddressColumns = {QStringLiteral("ADDRESS1"), QStringLiteral("ADDRESS2"),
                                               QStringLiteral("ADDRESS3"), QStringLiteral("ADDRESS4")};

// A ledger column and the record field it fills when the source has it.
struct LedgerColumn {
    QString column;
    QString LedgerMaster::*field;
};

const std::array<LedgerColumn, 23> PlainColumns = {{
    {QStringLiteral("NAMEALIAS"), &LedgerMaster::alias},
    {QStringLiteral("PARENT"), &LedgerMaster::parent},
    {QStringLiteral("EMAIL"), &LedgerMaster::email},
    {QStringLiteral("STATE"), &LedgerMaster::state},
    {QStringLiteral("COUNTRY"), &LedgerMaster::countryOfResidence},
    {QStringLiteral("PINCODE"), &LedgerMaster::pincode},
    {QStringLiteral("INCOMETAXNUMBER"), &LedgerMaster::incomeTaxNumber},
    {QStringLiteral("SALESTAXNUMBER"), &LedgerMaster::salesTaxNumber},
    {QStringLiteral("VATTINNUMBER"), &LedgerMaster::vatTinNumber},
    {QStringLiteral("EXCISEREGNO"), &LedgerMaster::exciseRegNo},
    {QStringLiteral("EXCISEREGDATE"), &LedgerMaster::exciseRegistrationDate},
    {QStringLiteral("EXCISERANGE"), &LedgerMaster::exciseRange},
    {QStringLiteral("EXCISEDIVISION"), &LedgerMaster::exciseDivision},
    {QStringLiteral("EXCISECOMMISSIONERATE"), &LedgerMaster::exciseCommissionerate},
    {QStringLiteral("EXCISENATUREOFPURCHASE"), &LedgerMaster::exciseNatureOfPurchase},
    {QStringLiteral("PHONE"), &LedgerMaster::ledgerPhone},
    {QStringLiteral("MOBILE"), &LedgerMaster::ledgerMobile},
    {QStringLiteral("FAX"), &LedgerMaster::ledgerFax},
    {QStringLiteral("CONTACTPERSON"), &LedgerMaster::ledgerContact},
    {QStringLiteral("FORSERVICETAX"), &LedgerMaster::forServiceTax},
    // Flags with a default: the default holds only when the source lacks the column.
    {QStringLiteral("BILLWISEON"), &LedgerMaster::isBillWiseOn},
    {QStringLiteral("COSTCENTRESON"), &LedgerMaster::isCostCentresOn},
    {QStringLiteral("AFFECTINVENTORY"), &LedgerMaster::affectsStock},
}};

void SetDefaults(LedgerMaster& ledger) {
    ledger.isBillWiseOn = Yes;
    for (QString LedgerMaster::*flag :
         {&LedgerMaster::isCostCentresOn, &LedgerMaster::isInterestOn, &LedgerMaster::allowInMobile,
          &LedgerMaster::isCondensed, &LedgerMaster::affectsStock, &LedgerMaster::forPayroll,
          &LedgerMaster::interestOnBillWise, &LedgerMaster::overrideInterest,
          &LedgerMaster::overrideAdvInterest, &LedgerMaster::useForVat, &LedgerMaster::ignoreTdsExempt,
          &LedgerMaster::isTcsApplicable, &LedgerMaster::isTdsApplicable, &LedgerMaster::isFbtApplicable,
          &LedgerMaster::isGstApplicable})
        ledger.*flag = No;
}

// The ledger's own fields, from the first row of its run.
void FillLedger(const MasterRun& run, int row, LedgerMaster& ledger) {
    ledger.name = run.Cell(row, Name);
    SetDefaults(ledger);
    for (const LedgerColumn& c : PlainColumns)
        if (run.Has(c.column)) ledger.*c.field = run.Cell(row, c.column);
    ledger.addressLines.clear();
    for (const QString& column : AddressColumns)
        ledger.addressLines.push_back(run.CellIfPresent(row, column));
    const QString tdsType = run.CellIfPresent(row, QStringLiteral("TDSDEDUCTEETYPE"));
    if (!tdsType.isEmpty()) ledger.isTdsApplicable = Yes;
    ledger.tdsDeducteeType = tdsType;
    if (run.Has(BillColumns[3])) ledger.openingBalance = NumericText(run.Cell(row, BillColumns[3]));
}

// The bank entry and the bill entry a row of the run adds, in that order.
void AddEntries(const MasterRun& run, int row, bool hasBank, bool hasBills, LedgerMaster& ledger) {
    if (hasBank && !run.Cell(row, PaymentFavouring).isEmpty()) {
        // A row that names a payee but no bank still takes its place; the sender leaves it out.
        ledger.paymentDetails.push_back(LedgerPayment{
            run.Cell(row, BankColumns[0]), run.Cell(row, BankColumns[1]), run.Cell(row, BankColumns[2]),
            run.Cell(row, BankColumns[3]), run.Cell(row, BankColumns[4]), run.Cell(row, BankColumns[5]),
            run.Cell(row, BankColumns[6]), run.Cell(row, BankColumns[7])});
    }
    if (hasBills) {
        LedgerBill bill{run.Cell(row, BillColumns[0]), run.Cell(row, BillColumns[1]),
                        run.Cell(row, BillColumns[2]), run.Cell(row, BillColumns[3])};
        if (!bill.date.isEmpty() && !bill.name.isEmpty() && !bill.creditPeriod.isEmpty() &&
            !bill.amount.isEmpty())
            ledger.bills.push_back(std::move(bill));
    }
}

} // namespace

void PostLedgers(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0017", [&] {
        MasterRun run(form, link, {QStringLiteral("LEDGER"), QStringLiteral("Processed Ledgers: ")});
        const bool hasBank = run.Has(PaymentFavouring);
        // A source that names payees must say the rest of each bank detail too.
        if (hasBank)
            for (const QString& column : BankColumns)
                run.Require(column);
        bool hasBills = true;
        for (const QString& column : BillColumns)
            hasBills = hasBills && run.Has(column);

        LedgerMaster ledger;
        MasterRun::Grouped shape;
        shape.addRow = [&](int firstRow, int row) {
            if (row == firstRow) {
                ledger = LedgerMaster();
                FillLedger(run, row, ledger);
            }
            AddEntries(run, row, hasBank, hasBills, ledger);
        };
        shape.post = [&](const QString& company, int, int) {
            return SendLedger(link, company, ledger, QStringLiteral("Create"));
        };
        shape.progressShowsNextRow = true;
        run.RunGrouped(shape);
    });
}

} // namespace quibo
