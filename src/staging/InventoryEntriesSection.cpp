#include "staging/ItemLists.h"

#include "localdb/RecordSet.h"

namespace quibo {

namespace {

// An invoice line books its value to these ledgers, each with its tax details.
void AppendAccountingAllocations(VoucherBuild& build, XmlNode entry, const QVariant& entryId) {
    const RecordSet allocations =
        StagedRows(build, QStringLiteral("AccountingAllocation"), QStringLiteral("val(AcAID)"),
                   QStringLiteral("FK_InEID"), entryId);
    for (int row = 0; row < allocations.rowCount(); ++row) {
        const XmlNode allocation = AppendElement(build, entry, QStringLiteral("ACCOUNTINGALLOCATIONS.LIST"));
        AppendLedgerLineValues(build, allocation, allocations, row, GstClass::Stated, PercentSign::Counts);
    }
}

// The item lines of one stock table, each with its batches only.
void AppendStockLines(VoucherBuild& build, const QString& table, const QString& tag, BatchForm form) {
    const RecordSet lines = StagedRows(build, table, QStringLiteral("val(InEID)"));
    for (int row = 0; row < lines.rowCount(); ++row) {
        const XmlNode line = AppendElement(build, build.voucher, tag);
        AppendItemFields(build, line, lines, row, false);
        AppendBatchAllocations(build, line, RowKey(lines, row, u"InEID"), form);
    }
}

} // namespace

void AppendInventoryEntries(VoucherBuild& build) {
    const RecordSet entries =
        StagedRows(build, QStringLiteral("InventoryEntry"), QStringLiteral("val(InEID)"));
    for (int row = 0; row < entries.rowCount(); ++row) {
        const XmlNode entry = AppendElement(build, build.voucher, QStringLiteral("ALLINVENTORYENTRIES.LIST"));
        AppendItemFields(build, entry, entries, row, true);
        const QVariant entryId = RowKey(entries, row, u"InEID");
        AppendUserDescriptions(build, entry, entryId);
        AppendAccountingAllocations(build, entry, entryId);
        AppendBatchAllocations(build, entry, entryId, BatchForm::Invoice);
    }
}

void AppendStockJournalEntries(VoucherBuild& build) {
    AppendStockLines(build, QStringLiteral("InventoryEntryIN"), QStringLiteral("INVENTORYENTRIESIN.LIST"),
                     BatchForm::StockJournal);
    AppendStockLines(build, QStringLiteral("InventoryEntryOUT"), QStringLiteral("INVENTORYENTRIESOUT.LIST"),
                     BatchForm::StockJournal);
    AppendStockLines(build, QStringLiteral("AllInventoryEntry"), QStringLiteral("ALLINVENTORYENTRIES.LIST"),
                     BatchForm::PhysicalStock);
}

} // namespace quibo
