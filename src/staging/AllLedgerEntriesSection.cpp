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
    AppendInvoiceTaxRate(build, entry, entries, row, PercentSign::PassedOver);
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
        AppendBillAllocations(build, entry, lineId, ZeroBills::Sent);
        // Bank and tax-bill rows staged under the line travel with it.
        AppendBankAllocations(build, entry, lineId);
        AppendTaxBillAllocations(build, entry, lineId);
    }
}

} // namespace quibo
