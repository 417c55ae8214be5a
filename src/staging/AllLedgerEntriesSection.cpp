#include "staging/ItemLists.h"

#include "localdb/RecordSet.h"

namespace quibo {

namespace {

void AppendEntryFields(VoucherBuild& build, XmlNode entry, const RecordSet& entries, int row) {
    // A zero assessable value is sent too: in this form the line states it, zero or not.
    AppendFields(build, entry, entries, row,
                 {{u"LEDGERNAME", u"LedgerName_"},
                  {u"NARRATION", u"Narration_"},
                  {u"GSTCLASS", u"GSTClass_"},
                  {u"ISDEEMEDPOSITIVE", u"IsDeemedPositive_"},
                  {u"LEDGERFROMITEM", u"LedgerFromItem_"},
                  {u"REMOVEZEROENTRIES", u"RemoveZeroEntries_"},
                  {u"ISPARTYLEDGER", u"IsPartyLedger_"},
                  {u"AMOUNT", u"Amount_"},
                  {u"TAXCLASSIFICATIONNAME", u"TaxClassificationName_"},
                  {u"VATASSESSABLEVALUE", u"VATAssessableValue_"},
                  {u"TDSPARTYNAME", u"TDSPartyName_"}});
    // The rate is typed with or without a percent sign; the sign does not count, the text goes as typed.
    QString rate = FieldText(entries, row, u"BasicRateOfInvoiceTax_");
    if (LeadingNumber(rate.remove(QLatin1Char('%'))) > 0) {
        const XmlNode list = AppendElement(build, entry, QStringLiteral("BASICRATEOFINVOICETAX.LIST"));
        AppendField(build, list, QStringLiteral("BASICRATEOFINVOICETAX"), entries, row,
                    u"BasicRateOfInvoiceTax_");
    }
}

// The stock items booked against the line, each with its own descriptions and batches.
void AppendInventoryAllocations(VoucherBuild& build, XmlNode entry, const QVariant& lineId) {
    const RecordSet allocations = StagedRows(build, QStringLiteral("InventoryAllocations"),
                                             QStringLiteral("val(InAID)"), QStringLiteral("FK_LeID"), lineId);
    for (int row = 0; row < allocations.rowCount(); ++row) {
        const XmlNode allocation = AppendElement(build, entry, QStringLiteral("INVENTORYALLOCATIONS.LIST"));
        AppendItemFields(build, allocation, allocations, row, false);
        const QVariant allocationId = RowKey(allocations, row, u"InAID");
        AppendUserDescriptions(build, allocation, allocationId);
        AppendBatchAllocations(build, allocation, allocationId, BatchForm::Invoice);
    }
}

// Every bill row goes out, whatever its amount, with its TDS details.
void AppendBills(VoucherBuild& build, XmlNode entry, const QVariant& lineId) {
    const RecordSet bills = StagedRows(build, QStringLiteral("BillAllocation"), QStringLiteral("val(BiAID)"),
                                       QStringLiteral("FK_LdEID"), lineId);
    for (int row = 0; row < bills.rowCount(); ++row) {
        const XmlNode bill = AppendElement(build, entry, QStringLiteral("BILLALLOCATIONS.LIST"));
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

} // namespace

void AppendAllLedgerEntries(VoucherBuild& build) {
    const RecordSet entries = StagedRows(build, QStringLiteral("AllLedgerEntry"),
                                         QStringLiteral("CompanyName, FK_VchID, val(LdEID)"));
    for (int row = 0; row < entries.rowCount(); ++row) {
        const XmlNode entry = AppendElement(build, build.voucher, QStringLiteral("ALLLEDGERENTRIES.LIST"));
        AppendEntryFields(build, entry, entries, row);
        const QVariant lineId = RowKey(entries, row, u"LdEID");
        AppendInventoryAllocations(build, entry, lineId);
        AppendCategoryAllocations(build, entry, lineId);
        AppendBills(build, entry, lineId);
        // Bank and tax-bill rows staged under the line travel with it.
        AppendBankAllocations(build, entry, lineId);
        AppendTaxBillAllocations(build, entry, lineId);
    }
}

} // namespace quibo
