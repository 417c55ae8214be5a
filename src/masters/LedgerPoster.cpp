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

// The grid's numbers of the columns the ledgers read, looked up at their first read in the order of
// the reads (a lookup that fails raises where the read would have); -1 for a column the source lacks.
struct LedgerColumns {
    bool ownLooked = false;
    int name = -1;
    std::array<int, PlainColumns.size()> plain{};
    std::array<int, AddressColumns.size()> address{};
    int tdsType = -1;
    int openingBalance = -1;

    bool entriesLooked = false;
    std::array<int, BankColumns.size()> bank{};
    std::array<int, BillColumns.size()> bill{};
};

int ColumnIfPresent(const MasterRun& run, const QString& column) {
    return run.Has(column) ? run.Column(column) : -1;
}

void LookUpOwnColumns(const MasterRun& run, LedgerColumns& columns) {
    columns.name = run.Column(Name);
    for (size_t i = 0; i < PlainColumns.size(); ++i)
        columns.plain[i] = ColumnIfPresent(run, PlainColumns[i].column);
    for (size_t i = 0; i < AddressColumns.size(); ++i)
        columns.address[i] = ColumnIfPresent(run, AddressColumns[i]);
    columns.tdsType = ColumnIfPresent(run, QStringLiteral("TDSDEDUCTEETYPE"));
    columns.openingBalance = ColumnIfPresent(run, BillColumns[3]);
    columns.ownLooked = true;
}

QString CellOrEmpty(const MasterRun& run, int row, int column) {
    return column >= 0 ? run.Cell(row, column) : QString();
}

// The ledger's own fields, from the first row of its run.
void FillLedger(const MasterRun& run, int row, LedgerColumns& columns, LedgerMaster& ledger) {
    if (!columns.ownLooked) LookUpOwnColumns(run, columns);
    ledger.name = run.Cell(row, columns.name);
    SetDefaults(ledger);
    for (size_t i = 0; i < PlainColumns.size(); ++i)
        if (columns.plain[i] >= 0) ledger.*PlainColumns[i].field = run.Cell(row, columns.plain[i]);
    ledger.addressLines.clear();
    for (const int column : columns.address)
        ledger.addressLines.push_back(CellOrEmpty(run, row, column));
    const QString tdsType = CellOrEmpty(run, row, columns.tdsType);
    if (!tdsType.isEmpty()) ledger.isTdsApplicable = Yes;
    ledger.tdsDeducteeType = tdsType;
    if (columns.openingBalance >= 0)
        ledger.openingBalance = NumericText(run.Cell(row, columns.openingBalance));
}

// The bank entry and the bill entry a row of the run adds, in that order.
void AddEntries(const MasterRun& run, int row, bool hasBank, bool hasBills, LedgerColumns& columns,
                LedgerMaster& ledger) {
    if (!columns.entriesLooked) {
        if (hasBank)
            for (size_t i = 0; i < BankColumns.size(); ++i)
                columns.bank[i] = run.Column(BankColumns[i]);
        if (hasBills)
            for (size_t i = 0; i < BillColumns.size(); ++i)
                columns.bill[i] = run.Column(BillColumns[i]);
        columns.entriesLooked = true;
    }
    const auto& bank = columns.bank;
    if (hasBank && !run.Cell(row, bank[3]).isEmpty()) { // PAYMENTFAVOURING
        // A row that names a payee but no bank still takes its place; the sender leaves it out.
        ledger.paymentDetails.push_back(LedgerPayment{
            run.Cell(row, bank[0]), run.Cell(row, bank[1]), run.Cell(row, bank[2]), run.Cell(row, bank[3]),
            run.Cell(row, bank[4]), run.Cell(row, bank[5]), run.Cell(row, bank[6]), run.Cell(row, bank[7])});
    }
    if (hasBills) {
        const auto& c = columns.bill;
        LedgerBill bill{run.Cell(row, c[0]), run.Cell(row, c[1]), run.Cell(row, c[2]), run.Cell(row, c[3])};
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
        LedgerColumns columns;
        MasterRun::Grouped shape;
        shape.addRow = [&](int firstRow, int row) {
            if (row == firstRow) {
                ledger = LedgerMaster();
                FillLedger(run, row, columns, ledger);
            }
            AddEntries(run, row, hasBank, hasBills, columns, ledger);
        };
        shape.post = [&](const QString& company, int, int) {
            return SendLedger(link, company, ledger, QStringLiteral("Create"));
        };
        shape.progressShowsNextRow = true;
        run.RunGrouped(shape);
    });
}

} // namespace quibo
