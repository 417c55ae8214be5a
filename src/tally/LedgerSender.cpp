#include "tally/MasterSenders.h"

#include "base/Trap.h"
#include "tally/MasterRequest.h"
#include "tally/TallyLink.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace quibo {

namespace {

void AddressList(MasterRequest& request, const std::vector<QString>& lines) {
    if (std::all_of(lines.begin(), lines.end(), [](const QString& line) { return line.isEmpty(); })) return;
    // Empty lines between or after filled ones keep their place as empty elements.
    const XmlNode list = request.element("ADDRESS.LIST");
    for (const QString& line : lines)
        request.element(list, "ADDRESS", line);
}

void PaymentDetails(MasterRequest& request, const std::vector<LedgerPayment>& payments) {
    for (const LedgerPayment& p : payments) {
        if (p.bankName.isEmpty()) continue;
        const XmlNode list = request.element("PAYMENTDETAILS.LIST");
        request.element(list, "BANKNAME", p.bankName);
        request.element(list, "ACCOUNTNUMBER", p.accountNumber);
        request.element(list, "IFSCODE", p.ifsCode);
        request.element(list, "PAYMENTFAVOURING", p.paymentFavouring);
        request.element(list, "TRANSACTIONNAME", p.transactionName);
        request.element(list, "CHEQUECROSSCOMMENT", p.chequeCrossComment);
        request.element(list, "SETASDEFAULT", p.setAsDefault);
        request.element(list, "DEFAULTTRANSACTIONTYPE", p.defaultTransactionType);
    }
}

// Appends the bills and returns the total of the amounts sent. An amount counts as far as its leading
// number goes, thousands separators included ("1,500" counts 1500); the cell goes out unchanged.
double Bills(MasterRequest& request, const std::vector<LedgerBill>& bills) {
    double total = 0;
    for (const LedgerBill& bill : bills) {
        if (bill.date.isEmpty()) continue;
        const XmlNode list = request.element("BILLALLOCATIONS.LIST");
        request.element(list, "BILLDATE", bill.date);
        request.element(list, "NAME", bill.name);
        request.element(list, "BILLCREDITPERIOD", bill.creditPeriod);
        request.element(list, "ISADVANCE", QStringLiteral("No"));
        request.element(list, "OPENINGBALANCE", bill.amount);
        total += CellNumber(bill.amount);
        if (!std::isfinite(total)) vb::Raise(vb::err::Overflow, QStringLiteral("Overflow"));
    }
    return total;
}

} // namespace

QString SendLedger(TallyLink& link, const QString& company, const LedgerMaster& record,
                   const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0004", [&] {
        MasterRequest request(link.errors(), company, "LEDGER", action, record.currentName, record.name);
        request.value("ADDITIONALNAME", record.name);
        AddressList(request, record.addressLines);
        request.value("CURRENCYNAME", record.currencyName);
        request.value("STATENAME", record.state);
        request.value("LEDSTATENAME", record.state);
        request.value("COUNTRYOFRESIDENCE", record.countryOfResidence);
        request.value("PINCODE", record.pincode);
        request.value("LEDGERCONTACT", record.ledgerContact);
        request.value("LEDGERPHONE", record.ledgerPhone);
        request.value("LEDGERMOBILE", record.ledgerMobile);
        request.value("LEDGERFAX", record.ledgerFax);
        request.value("EMAIL", record.email);
        request.value("NARRATION", record.narration);
        request.value("VATTINNUMBER", record.vatTinNumber);
        request.value("INCOMETAXNUMBER", record.incomeTaxNumber);
        request.value("SALESTAXNUMBER", record.salesTaxNumber);
        request.value("PRICELEVEL", record.priceLevel);
        request.value("PARENT", record.parent);
        request.value("TAXCLASSIFICATIONNAME", record.taxClassificationName);
        request.value("TAXTYPE", record.taxType);
        request.value("GSTTYPE", record.gstType);
        request.value("SERVICECATEGORY", record.serviceCategory);
        request.value("TDSDEDUCTEETYPE", record.tdsDeducteeType);
        request.value("TDSRATENAME", record.tdsRateName);
        request.value("LEDGERFBTCATEGORY", record.ledgerFbtCategory);
        request.value("ISBILLWISEON", record.isBillWiseOn);
        request.value("ISCOSTCENTRESON", record.isCostCentresOn);
        request.value("ISINTERESTON", record.isInterestOn);
        request.value("ALLOWINMOBILE", record.allowInMobile);
        request.value("ISCONDENSED", record.isCondensed);
        request.value("AFFECTSSTOCK", record.affectsStock);
        request.value("FORPAYROLL", record.forPayroll);
        request.value("INTERESTONBILLWISE", record.interestOnBillWise);
        request.value("OVERRIDEINTEREST", record.overrideInterest);
        request.value("OVERRIDEADVINTEREST", record.overrideAdvInterest);
        request.value("USEFORVAT", record.useForVat);
        request.value("IGNORETDSEXEMPT", record.ignoreTdsExempt);
        request.value("ISTCSAPPLICABLE", record.isTcsApplicable);
        request.value("ISTDSAPPLICABLE", record.isTdsApplicable);
        request.value("ISFBTAPPLICABLE", record.isFbtApplicable);
        request.value("ISGSTAPPLICABLE", record.isGstApplicable);
        request.value("SHOWINPAYSLIP", record.showInPaySlip);
        request.value("USEFORGRATUITY", record.useForGratuity);
        request.value("FORSERVICETAX", record.forServiceTax);
        request.value("ISINPUTCREDIT", record.isInputCredit);
        request.value("ISEXEMPTED", record.isExempted);
        request.value("TDSDEDUCTEEISSPECIALRATE", record.tdsDeducteeIsSpecialRate);
        request.value("AUDITED", record.audited);
        request.value("SORTPOSITION", record.sortPosition);
        request.value("EXCISEREGNO", record.exciseRegNo);
        request.value("EXCISEREGISTRATIONDATE", record.exciseRegistrationDate);
        request.value("EXCISERANGE", record.exciseRange);
        request.value("EXCISEDIVISION", record.exciseDivision);
        request.value("EXCISECOMMISSIONERATE", record.exciseCommissionerate);
        request.value("EXCISENATUREOFPURCHASE", record.exciseNatureOfPurchase);
        PaymentDetails(request, record.paymentDetails);
        const double billTotal = Bills(request, record.bills);
        // Bills that add up to something decide the opening balance; the record's own is for a
        // ledger without them (or whose bills cancel out).
        request.value("OPENINGBALANCE", billTotal == 0 ? record.openingBalance : vb::Str(billTotal));
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

} // namespace quibo
