#include "app/commands/PostRouting.h"

#include "sources/ImportTypes.h"

namespace quibo {

const std::vector<PostRoute>& PostRoutes() {
    static const std::vector<PostRoute> routes = [] {
        std::vector<PostRoute> list;
        for (const ImportType& type : ImportTypes())
            if (type.post != importtype::NotRouted)
                list.push_back({QString::fromLatin1(type.name), QString::fromLatin1(type.post)});
        return list;
    }();
    return routes;
}

const QHash<QString, QString>& CustomFormatRoutes() {
    static const QHash<QString, QString> routes = {
        {QStringLiteral("GROUP"), QStringLiteral("PostLedgerGroupsGST")},
        {QStringLiteral("LEDGER"), QStringLiteral("PostLedgersGST")},
        {QStringLiteral("UNIT"), QStringLiteral("PostUnitsGST")},
        {QStringLiteral("GODOWN"), QStringLiteral("PostGodownsGST")},
        {QStringLiteral("STOCKGROUP"), QStringLiteral("PostStockGroupsGST")},
        {QStringLiteral("STOCKCATEGORY"), QStringLiteral("PostStockCategoriesGST")},
        {QStringLiteral("STOCKITEM"), QStringLiteral("PostStockItemsGST")},
        {QStringLiteral("COSTCATEGORY"), QStringLiteral("PostCostCategoriesGST")},
        {QStringLiteral("COSTCENTRE"), QStringLiteral("PostCostCentresGST")},
        {QStringLiteral("VOUCHER"), QStringLiteral("PostCustomFormat")},
    };
    return routes;
}

QString RoutePost(const QString& importType, const std::function<QString()>& customFormatKind) {
    if (const std::optional<QString> procedure = ImportTypePost(importType)) return *procedure;
    return CustomFormatRoutes().value(customFormatKind ? customFormatKind() : QString());
}

const QStringList& StagingTablesToEmpty() {
    static const QStringList tables = {
        QStringLiteral("AccountingAllocation"), QStringLiteral("Address"),
        QStringLiteral("AllInventoryEntry"),    QStringLiteral("ALLLedgerEntry"),
        QStringLiteral("Attendance"),           QStringLiteral("BasicBuyerAddress"),
        QStringLiteral("BasicOrderTerms"),      QStringLiteral("BatchAllocation"),
        QStringLiteral("BillAllocation"),       QStringLiteral("CategoryAllocations"),
        QStringLiteral("EXCISEITEMGODOWN"),     QStringLiteral("InventoryAllocations"),
        QStringLiteral("InventoryEntry"),       QStringLiteral("InventoryEntryIn"),
        QStringLiteral("InventoryEntryOut"),    QStringLiteral("InvoiceDelNotes"),
        QStringLiteral("InvoiceOrderList"),     QStringLiteral("LedgerEntry"),
        QStringLiteral("TaxBillAllocation"),    QStringLiteral("Voucher"),
        QStringLiteral("BankAllocation"),       QStringLiteral("BASICUSERDESCRIPTION"),
    };
    return tables;
}

void PosterRegistry::Register(const QString& procedure, Poster poster) {
    m_posters.insert(procedure, std::move(poster));
}

bool PosterRegistry::Run(const QString& procedure) const {
    const auto it = m_posters.constFind(procedure);
    if (it == m_posters.constEnd() || !*it) return false;
    (*it)();
    return true;
}

} // namespace quibo
