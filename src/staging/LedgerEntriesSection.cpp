#include "localdb/RecordSet.h"
#include "staging/VoucherBuild.h"
#include "tally/XmlBuilders.h"
#include "vb/Number.h"

#include <optional>

namespace quibo {

namespace {

// The bill amount of a ledger line says whether the bill goes out: left out only when there is no
// amount or it reads as zero as a whole; text such as a currency note goes out as it stands.
bool BillAmountCounts(const QVariant& amount) {
    if (amount.isNull()) return false;
    const QString text = amount.toString();
    if (text.isEmpty()) return false;
    const std::optional<double> number = vb::ToNumber(text);
    return !number || *number != 0;
}

} // namespace

void AppendBillAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId, ZeroBills zeroBills) {
    const RecordSet bills = StagedRows(build, QStringLiteral("BillAllocation"), QStringLiteral("val(BiAID)"),
                                       QStringLiteral("FK_LdEID"), lineId);
    for (int row = 0; row < bills.rowCount(); ++row) {
        if (zeroBills == ZeroBills::LeftOut && !BillAmountCounts(bills.value(row, u"Amount_"))) continue;
        const XmlNode bill = AppendElement(build, line, QStringLiteral("BILLALLOCATIONS.LIST"));
        AppendFields(build, bill, bills, row,
                     {{u"NAME", u"Name_"},
                      {u"BILLCREDITPERIOD", u"BillCreditPeriod_"},
                      {u"BILLTYPE", u"BillType_"},
                      {u"AMOUNT", u"Amount_"},
                      {u"TDSDEDUCTEESECTIONNUMBER", u"TDSDeducteeSectionNumber_"},
                      {u"TDSLEDGERNC", u"TDSLedgerNC_"},
                      {u"TDSDEDUCTEEISSPECIALRATE", u"TDSDeducteeIsSpecialRate_"},
                      {u"TDSDEDUCTEESPECIALRATE", u"TDSDeducteeSpecialRate_"},
                      {u"SERVICETAXLEDGER", u"ServiceTaxLedger_"}});
    }
}

void AppendInvoiceTaxRate(VoucherBuild& build, XmlNode parent, const RecordSet& rows, int row,
                          PercentSign sign) {
    QString rate = FieldText(rows, row, u"BasicRateOfInvoiceTax_");
    if (sign == PercentSign::PassedOver) rate.remove(QLatin1Char('%'));
    if (LeadingNumber(rate) <= 0) return;
    const XmlNode list = AppendElement(build, parent, QStringLiteral("BASICRATEOFINVOICETAX.LIST"));
    AppendField(build, list, QStringLiteral("BASICRATEOFINVOICETAX"), rows, row, u"BasicRateOfInvoiceTax_");
}

void AppendCategoryAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId) {
    const RecordSet rows = StagedRows(build, QStringLiteral("CategoryAllocations"),
                                      QStringLiteral("val(CAID)"), QStringLiteral("FK_LdEID"), lineId);
    XmlNode open;
    QString last;
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QVariant& category = rows.value(row, u"Category_");
        // A row without a category joins the open list; the line's first row opens one even so,
        // so that no cost centre is lost or lands under another line.
        if ((!category.isNull() && category.toString() != last) || !open) {
            open = AppendElement(build, line, QStringLiteral("CATEGORYALLOCATIONS.LIST"));
            if (!category.isNull()) last = category.toString();
            AppendField(build, open, QStringLiteral("CATEGORY"), rows, row, u"Category_");
        }
        const XmlNode centre = AppendElement(build, open, QStringLiteral("COSTCENTREALLOCATIONS.LIST"));
        AppendFields(build, centre, rows, row, {{u"NAME", u"Name_"}, {u"AMOUNT", u"Amount_"}});
    }
}

void AppendBankAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId) {
    const RecordSet rows = StagedRows(build, QStringLiteral("BankAllocation"), QStringLiteral("val(BaAID)"),
                                      QStringLiteral("FK_LdEID"), lineId);
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QVariant& amount = rows.value(row, u"Amount_");
        if (amount.isNull() || LeadingNumber(amount.toString()) == 0) continue;
        const XmlNode bank = AppendElement(build, line, QStringLiteral("BANKALLOCATIONS.LIST"));
        AppendFields(build, bank, rows, row,
                     {{u"DATE", u"Date_"},
                      {u"INSTRUMENTDATE", u"InstrumentDate_"},
                      {u"TRANSACTIONTYPE", u"TransactionType_"},
                      {u"IFSCODE", u"IFSCCode_"},
                      {u"BANKNAME", u"BankName_"},
                      {u"ACCOUNTNUMBER", u"AccountNumber_"},
                      {u"PAYMENTFAVOURING", u"PaymentFavouring_"},
                      {u"TRANSACTIONNAME", u"TransactionName_"},
                      {u"TRANSFERMODE", u"TransferMode_"},
                      {u"UNIQUEREFERENCENUMBER", u"UniqueRefNo_"},
                      {u"PAYMENTMODE", u"PaymentMode_"},
                      {u"BANKPARTYNAME", u"BankPartyName_"},
                      {u"BANKBRANCHNAME", u"BranchName_"}});
        // The instrument's name ties it to its voucher: the voucher GUID, the bank and the date.
        AppendXmlElementIfValue(build.errors, build.doc, bank, QStringLiteral("NAME"),
                                build.guid + FieldText(rows, row, u"BankName_") +
                                    FieldText(rows, row, u"Date_"));
        AppendFields(build, bank, rows, row,
                     {{u"INSTRUMENTNUMBER", u"InstrumentNumber_"},
                      {u"CHEQUECROSSCOMMENT", u"ChequeCrossComment_"},
                      {u"AMOUNT", u"Amount_"},
                      {u"BANKERSDATE", u"BankDate_"}});
    }
}

void AppendTaxBillAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId) {
    const RecordSet rows = StagedRows(build, QStringLiteral("TaxBillAllocation"),
                                      QStringLiteral("val(TBiAID)"), QStringLiteral("FK_LdEID"), lineId);
    for (int row = 0; row < rows.rowCount(); ++row) {
        const XmlNode bill = AppendElement(build, line, QStringLiteral("TAXBILLALLOCATIONS.LIST"));
        AppendFields(build, bill, rows, row,
                     {{u"NAME", u"Name_"},
                      {u"ABATEMENTNOTIFICATIONNO", u"AbatementNotificationNo_"},
                      {u"BILLTYPE", u"BillType_"},
                      {u"ISINPUTAVAIL", u"IsInputAvail_"},
                      {u"ISPUREAGENTBILL", u"IsPureAgentBill_"},
                      {u"STSECONDARYCESSRATE", u"STSecondaryCessRate_"},
                      {u"AMOUNT", u"Amount_"},
                      {u"SURCHARGEAMOUNT", u"SurchargeAmount_"},
                      {u"ADDLSURCHARGEAMOUNT", u"AddlSurchargeAmount_"},
                      {u"STSECONDARYCESSAMOUNT", u"STSecondaryCessAmount_"},
                      {u"ASSESSABLEAMOUNT", u"AssessableAmount_"},
                      {u"EXPENSEAMOUNT", u"ExpenseAmount_"},
                      {u"ABATEMENTAMOUNT", u"AbatementAmount_"}});
    }
}

void AppendLedgerLineValues(VoucherBuild& build, XmlNode line, const RecordSet& rows, int row,
                            GstClass gstClass, PercentSign sign) {
    AppendFields(build, line, rows, row, {{u"LEDGERNAME", u"LedgerName_"}, {u"NARRATION", u"Narration_"}});
    if (gstClass == GstClass::Stated)
        AppendField(build, line, QStringLiteral("GSTCLASS"), rows, row, u"GSTClass_");
    AppendFields(build, line, rows, row,
                 {{u"ISDEEMEDPOSITIVE", u"IsDeemedPositive_"},
                  {u"ISLASTDEEMEDPOSITIVE", u"IsDeemedPositive_"},
                  {u"LEDGERFROMITEM", u"LedgerFromItem_"},
                  {u"REMOVEZEROENTRIES", u"RemoveZeroEntries_"},
                  {u"ISPARTYLEDGER", u"IsPartyLedger_"},
                  {u"AMOUNT", u"Amount_"},
                  {u"TAXCLASSIFICATIONNAME", u"TaxClassificationName_"}});
    // A zero assessable value says nothing; a negative one is a real value.
    if (LeadingNumber(FieldText(rows, row, u"VATAssessableValue_")) != 0)
        AppendField(build, line, QStringLiteral("VATASSESSABLEVALUE"), rows, row, u"VATAssessableValue_");
    AppendField(build, line, QStringLiteral("TDSPARTYNAME"), rows, row, u"TDSPartyName_");
    AppendInvoiceTaxRate(build, line, rows, row, sign);
}

void AppendLedgerEntries(VoucherBuild& build) {
    const RecordSet entries =
        StagedRows(build, QStringLiteral("LedgerEntry"), QStringLiteral("CompanyName, FK_VchID, val(LdEID)"));
    for (int row = 0; row < entries.rowCount(); ++row) {
        const XmlNode entry = AppendElement(build, build.voucher, QStringLiteral("LEDGERENTRIES.LIST"));
        AppendLedgerLineValues(build, entry, entries, row, GstClass::Left, PercentSign::PassedOver);

        const QVariant lineId = RowKey(entries, row, u"LdEID");
        AppendCategoryAllocations(build, entry, lineId);
        AppendBillAllocations(build, entry, lineId, ZeroBills::LeftOut);
        AppendBankAllocations(build, entry, lineId);
        AppendTaxBillAllocations(build, entry, lineId);
    }
}

} // namespace quibo
