#include "app/commands/PostRouting.h"

namespace quibo {

namespace {

PostRoute Row(std::initializer_list<const char*> types, const char* procedure) {
    PostRoute route;
    for (const char* type : types)
        route.importTypes.append(QString::fromLatin1(type));
    route.procedure = QString::fromLatin1(procedure);
    return route;
}

} // namespace

const std::vector<PostRoute>& PostRoutes() {
    static const std::vector<PostRoute> routes = {
        Row({"ATTENDANCE"}, "PostAttendance"),
        Row({"ATTENDANCEGST"}, ""),
        Row({"LEDGERS"}, "PostLedgers"),
        Row({"LEDGERSGST"}, "PostLedgersGST"),
        Row({"TRANSACTIONS", "H_TRANSACTIONS"}, "PostTransaction"),
        Row({"TRANSACTIONSGST", "H_TRANSACTIONSGST"}, "PostTransactionGST"),
        Row({"QUICKTRANSACTIONS"}, "PostQuickTransaction"),
        Row({"QUICKTRANSACTIONSGST"}, ""),
        Row({"BANKSTMT"}, "PostBankStmt"),
        Row({"BANKSTMTGST"}, ""),
        Row({"TDSTRANSACTIONS"}, "PostTDSTransaction"),
        Row({"TDSTRANSACTIONSGST"}, ""),
        Row({"STTDSTRANSACTIONS"}, "PostSTTDSTransaction"),
        Row({"STTDSTRANSACTIONSGST"}, ""),
        Row({"VATTRANSACTIONS"}, "PostVATTransaction"),
        Row({"VATTRANSACTIONSGST"}, ""),
        Row({"VATTRANSACTIONSMC"}, "PostVATTransactionMC"),
        Row({"VATTRANSACTIONSMCGST"}, ""),
        Row({"ORDERS"}, "PostOrders"),
        Row({"ORDERSGST"}, ""),
        Row({"NOTES"}, "PostNotes"),
        Row({"NOTESGST"}, ""),
        Row({"PHYSICALSTOCK"}, "PostPhysicalStock"),
        Row({"PHYSICALSTOCKGST"}, ""),
        Row({"STOCKJV"}, "PostStockJV"),
        Row({"STOCKJVGST"}, ""),
        Row({"CRDRNOTES"}, "PostCrDrNotes"),
        Row({"CRDRNOTESGST"}, ""),
        Row({"SERVICETAXTRANSACTIONS"}, "PostServTaxTransaction"),
        Row({"SERVICETAXTRANSACTIONSGST"}, ""),
        Row({"ITEM TRANSACTIONS", "I_TRANSACTIONS"}, "PostItemizedTransaction"),
        Row({"ITEM TRANSACTIONSGST", "I_TRANSACTIONSGST"}, ""),
        Row({"COST TRANSACTIONS", "C_TRANSACTIONS"}, "PostCostTransaction"),
        Row({"COST TRANSACTIONSGST", "C_TRANSACTIONSGST"}, ""),
        Row({"LEDGER GROUPS"}, "PostLedgerGroups"),
        Row({"LEDGER GROUPSGST"}, "PostLedgerGroupsGST"),
        Row({"UNITS"}, "PostUnits"),
        Row({"UNITSGST"}, "PostUnitsGST"),
        Row({"GODOWNS"}, "PostGodowns"),
        Row({"GODOWNSGST"}, "PostGodownsGST"),
        Row({"STOCK GROUPS"}, "PostStockGroups"),
        Row({"STOCK GROUPSGST"}, "PostStockGroupsGST"),
        Row({"STOCK CATEGORIES"}, "PostStockCategories"),
        Row({"STOCK CATEGORIESGST"}, "PostStockCategoriesGST"),
        Row({"STOCK ITEMS"}, "PostStockItems"),
        Row({"STOCK ITEMSGST"}, "PostStockItemsGST"),
        Row({"COST CATEGORIES"}, "PostCostCategories"),
        Row({"COST CATEGORIESGST"}, ""),
        Row({"COST CENTRES"}, "PostCostCentres"),
        Row({"COST CENTRESGST"}, ""),
        Row({"SALE REGISTER", "SALEREGISTER", "V_TRANSACTIONS", "VOUCHERREGISTER", "VOUCHER REGISTER"},
            "PostVoucherRegister"),
        Row({"SALE REGISTERGST", "SALEREGISTERGST", "V_TRANSACTIONSGST", "VOUCHERREGISTERGST",
             "VOUCHER REGISTERGST"},
            ""),
        Row({"EMPLOYEECATEGORIES"}, "PostCostCategoriesGST"),
        Row({"EMPLOYEEGROUPS"}, "PostCostCentresGST"),
        Row({"EMPLOYEES"}, "PostCostCentresGST"),
    };
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
    for (const PostRoute& route : PostRoutes())
        if (route.importTypes.contains(importType, Qt::CaseSensitive)) return route.procedure;
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
