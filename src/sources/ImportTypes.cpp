#include "sources/ImportTypes.h"

#include "base/FormModel.h"
#include "localdb/LocalDatabase.h"

namespace quibo {

namespace {

using namespace importtype;

// Columns: name, box entry, text file, loader lists, posting procedure. Kept
// aligned by hand so that each name reads as one row.
// clang-format off
constexpr ImportType Table[] = {
    {"ATTENDANCE",                Itself,                 Text,   Tables | Vouchers | Repaired, "PostAttendance"},
    {"EMPLOYEECATEGORIES",        Itself,                 NoText, ExcelTable,                   "PostCostCategoriesGST"},
    {"EMPLOYEEGROUPS",            Itself,                 NoText, ExcelTable,                   "PostCostCentresGST"},
    {"EMPLOYEES",                 Itself,                 NoText, ExcelTable,                   "PostCostCentresGST"},
    {"ATTENDANCEGST",             Itself,                 NoText, AccessTable | OdbcTable,      NoPoster},
    {"TRANSACTIONS",              Itself,                 Text,   Tables | Vouchers | Repaired, "PostTransaction"},
    {"H_TRANSACTIONS",            "TRANSACTIONS",         Text,   Tables | Vouchers,            "PostTransaction"},
    {"TRANSACTIONSGST",           Itself,                 NoText, Tables | Repaired,            "PostTransactionGST"},
    {"H_TRANSACTIONSGST",         "TRANSACTIONSGST",      NoText, Tables,                       "PostTransactionGST"},
    {"QUICKTRANSACTIONS",         Itself,                 Text,   Tables | Vouchers | Repaired, "PostQuickTransaction"},
    {"QUICKTRANSACTIONSGST",      Itself,                 NoText, Tables | Repaired,            NoPoster},
    {"BANKSTMT",                  Itself,                 Text,   Tables | Vouchers | Repaired, "PostBankStmt"},
    {"BANKSTMTGST",               Itself,                 NoText, Tables,                       NoPoster},
    {"SERVICETAXTRANSACTIONS",    Itself,                 Text,   Tables | Vouchers | Repaired, "PostServTaxTransaction"},
    {"SERVICETAXTRANSACTIONSGST", Itself,                 NoText, Tables,                       NoPoster},
    {"TDSTRANSACTIONS",           Itself,                 Text,   Tables | Vouchers | Repaired, "PostTDSTransaction"},
    {"TDSTRANSACTIONSGST",        Itself,                 NoText, Tables,                       NoPoster},
    {"STTDSTRANSACTIONS",         Itself,                 Text,   Tables | Vouchers | Repaired, "PostSTTDSTransaction"},
    {"STTDSTRANSACTIONSGST",      Itself,                 NoText, AccessTable | OdbcTable,      NoPoster},
    {"VATTRANSACTIONS",           Itself,                 Text,   Tables | Vouchers | Repaired, "PostVATTransaction"},
    {"VATTRANSACTIONSGST",        Itself,                 NoText, Tables,                       NoPoster},
    {"VATTRANSACTIONSMC",         Itself,                 Text,   Tables | Vouchers | Repaired, "PostVATTransactionMC"},
    {"VATTRANSACTIONSMCGST",      Itself,                 NoText, Tables,                       NoPoster},
    {"ORDERS",                    Itself,                 Text,   Tables | Vouchers | Repaired, "PostOrders"},
    {"ORDERSGST",                 Itself,                 NoText, Tables,                       NoPoster},
    {"NOTES",                     Itself,                 Text,   Tables | Vouchers | Repaired, "PostNotes"},
    {"NOTESGST",                  Itself,                 NoText, Tables,                       NoPoster},
    {"PHYSICALSTOCK",             Itself,                 Text,   Tables | Vouchers | Repaired, "PostPhysicalStock"},
    {"PHYSICALSTOCKGST",          Itself,                 NoText, Tables,                       NoPoster},
    {"STOCKJV",                   Itself,                 Text,   Tables | Vouchers | Repaired, "PostStockJV"},
    {"STOCKJVGST",                Itself,                 NoText, Tables,                       NoPoster},
    {"CRDRNOTES",                 Itself,                 Text,   Tables | Vouchers | Repaired, "PostCrDrNotes"},
    {"CRDRNOTESGST",              Itself,                 NoText, Tables,                       NoPoster},
    {"ITEMTRANSACTIONS",          "ITEM TRANSACTIONS",    Text,   Repaired,                     NotRouted},
    {"I_TRANSACTIONS",            "ITEM TRANSACTIONS",    Text,   Tables | Vouchers,            "PostItemizedTransaction"},
    {"ITEM TRANSACTIONS",         Itself,                 Text,   Tables | Vouchers,            "PostItemizedTransaction"},
    {"ITEMTRANSACTIONSGST",       "ITEM TRANSACTIONSGST", NoText, Repaired,                     NotRouted},
    {"I_TRANSACTIONSGST",         "ITEM TRANSACTIONSGST", NoText, Tables,                       NoPoster},
    {"ITEM TRANSACTIONSGST",      Itself,                 NoText, Tables,                       NoPoster},
    {"COSTTRANSACTIONS",          "COST TRANSACTIONS",    Text,   Repaired,                     NotRouted},
    {"C_TRANSACTIONS",            "COST TRANSACTIONS",    Text,   ExcelTable,                   "PostCostTransaction"},
    {"COST TRANSACTIONS",         Itself,                 Text,   Tables | Vouchers,            "PostCostTransaction"},
    {"COSTTRANSACTIONSGST",       "COST TRANSACTIONSGST", NoText, Repaired,                     NotRouted},
    {"C_TRANSACTIONSGST",         "COST TRANSACTIONSGST", NoText, Tables,                       NoPoster},
    {"COST TRANSACTIONSGST",      Itself,                 NoText, Tables,                       NoPoster},
    {"LEDGER GROUPS",             Itself,                 Text,   Tables,                       "PostLedgerGroups"},
    {"LEDGERGROUPS",              "LEDGER GROUPS",        Text,   NoList,                       NotRouted},
    {"LEDGER GROUPSGST",          Itself,                 NoText, Tables,                       "PostLedgerGroupsGST"},
    {"LEDGERGROUPSGST",           "LEDGER GROUPSGST",     NoText, NoList,                       NotRouted},
    {"LEDGERS",                   Itself,                 Text,   Tables,                       "PostLedgers"},
    {"LEDGERSGST",                Itself,                 NoText, Tables,                       "PostLedgersGST"},
    {"UNITS",                     Itself,                 Text,   Tables,                       "PostUnits"},
    {"UNITSGST",                  Itself,                 NoText, Tables,                       "PostUnitsGST"},
    {"GODOWNS",                   Itself,                 Text,   Tables,                       "PostGodowns"},
    {"GODOWNSGST",                Itself,                 NoText, Tables,                       "PostGodownsGST"},
    {"STOCK GROUPS",              Itself,                 Text,   Tables,                       "PostStockGroups"},
    {"STOCKGROUPS",               "STOCK GROUPS",         Text,   NoList,                       NotRouted},
    {"STOCK GROUPSGST",           Itself,                 NoText, Tables,                       "PostStockGroupsGST"},
    {"STOCKGROUPSGST",            "STOCK GROUPSGST",      NoText, NoList,                       NotRouted},
    {"STOCK CATEGORIES",          Itself,                 Text,   Tables,                       "PostStockCategories"},
    {"STOCKCATEGORIES",           "STOCK CATEGORIES",     Text,   NoList,                       NotRouted},
    {"STOCK CATEGORIESGST",       Itself,                 NoText, Tables,                       "PostStockCategoriesGST"},
    {"STOCKCATEGORIESGST",        "STOCK CATEGORIESGST",  NoText, NoList,                       NotRouted},
    {"STOCK ITEMS",               Itself,                 Text,   Tables,                       "PostStockItems"},
    {"STOCKITEMS",                "STOCK ITEMS",          Text,   NoList,                       NotRouted},
    {"STOCK ITEMSGST",            Itself,                 NoText, Tables,                       "PostStockItemsGST"},
    {"STOCKITEMSGST",             "STOCK ITEMSGST",       NoText, NoList,                       NotRouted},
    {"COST CATEGORIES",           Itself,                 Text,   Tables,                       "PostCostCategories"},
    {"COSTCATEGORIES",            "COST CATEGORIES",      Text,   NoList,                       NotRouted},
    {"COST CATEGORIESGST",        Itself,                 NoText, Tables,                       NoPoster},
    {"COSTCATEGORIESGST",         "COST CATEGORIESGST",   NoText, NoList,                       NotRouted},
    {"COST CENTRES",              Itself,                 Text,   Tables,                       "PostCostCentres"},
    {"COSTCENTRES",               "COST CENTRES",         Text,   NoList,                       NotRouted},
    {"COST CENTRESGST",           Itself,                 NoText, Tables,                       NoPoster},
    {"COSTCENTRESGST",            "COST CENTRESGST",      NoText, NoList,                       NotRouted},
    {"SALE REGISTER",             Itself,                 Text,   Register,                     "PostVoucherRegister"},
    {"SALEREGISTER",              Itself,                 Text,   Register,                     "PostVoucherRegister"},
    {"PURCHASE REGISTER",         Itself,                 Text,   NoList,                       NotRouted},
    {"PURCHASEREGISTER",          Itself,                 Text,   NoList,                       NotRouted},
    {"V_TRANSACTIONS",            Itself,                 Text,   Register,                     "PostVoucherRegister"},
    {"VOUCHERREGISTER",           Itself,                 Text,   Register,                     "PostVoucherRegister"},
    {"VOUCHER REGISTER",          Itself,                 Text,   Register,                     "PostVoucherRegister"},
    {"SALE REGISTERGST",          Itself,                 NoText, NoList,                       NoPoster},
    {"SALEREGISTERGST",           Itself,                 NoText, NoList,                       NoPoster},
    {"PURCHASE REGISTERGST",      Itself,                 NoText, NoList,                       NotRouted},
    {"PURCHASEREGISTERGST",       Itself,                 NoText, NoList,                       NotRouted},
    {"V_TRANSACTIONSGST",         Itself,                 NoText, NoList,                       NoPoster},
    {"VOUCHERREGISTERGST",        Itself,                 NoText, NoList,                       NoPoster},
    {"VOUCHER REGISTERGST",       Itself,                 NoText, NoList,                       NoPoster},
    {"UPDATEPARTYGSTIN",          Itself,                 NoText, Tables,                       NotRouted},
    {"UPDATELEDGERALIAS",         Itself,                 NoText, Tables,                       NotRouted},
    {"UPDATEGROUPALIAS",          Itself,                 NoText, Tables,                       NotRouted},
    {"UPDATESTOCKITEMALIAS",      Itself,                 NoText, Tables,                       NotRouted},
    {"UPDATELEDGEROPENING",       Itself,                 NoText, Tables,                       NotRouted},
    {"UPDATESTOCKITEMOPENING",    Itself,                 NoText, Tables,                       NotRouted},
    // Names only a loader knows: the box never offers them (a custom format of that name aside).
    {"DVOISJOURNAL",              NoEntry,                NoText, ExcelVoucher,                 NotRouted},
    {"DVOISRECEIPT",              NoEntry,                NoText, ExcelVoucher,                 NotRouted},
    {"ECOMSALES",                 NoEntry,                NoText, ExcelVoucher,                 NotRouted},
    {"UPD03",                     NoEntry,                NoText, AccessTable | OdbcTable,      NotRouted},
    {"UPD04",                     NoEntry,                NoText, AccessTable | OdbcTable,      NotRouted},
    {"UPD05",                     NoEntry,                NoText, AccessTable | OdbcTable,      NotRouted},
};
// clang-format on

// The first format row of that name, or an empty record set.
RecordSet FindFormat(FormModel& form, const QString& name) {
    LocalDatabase db(form.services().dataFolder);
    return db.query(QStringLiteral("Select * from QuiboMst_ where QuiboMst_.TName = ? COLLATE NOCASE"),
                    {QVariant(name)});
}

} // namespace

std::span<const ImportType> ImportTypes() {
    return Table;
}

const ImportType* FindImportType(const QString& name) {
    for (const ImportType& row : Table)
        if (name == QLatin1String(row.name)) return &row;
    return nullptr;
}

bool InImportList(const QString& name, unsigned lists) {
    const ImportType* row = FindImportType(name);
    return row && (row->lists & lists) != 0;
}

std::optional<QString> ImportTypePost(const QString& name) {
    const ImportType* row = FindImportType(name);
    if (!row || row->post == NotRouted) return std::nullopt;
    return QString::fromLatin1(row->post);
}

std::optional<QString> ImportTypeEntry(const QString& name) {
    const ImportType* row = FindImportType(name);
    if (!row || row->entry == NoEntry) return std::nullopt;
    return *row->entry == '\0' ? name : QString::fromLatin1(row->entry);
}

std::optional<QString> TextImportTypeEntry(const QString& name) {
    const ImportType* row = FindImportType(name);
    if (!row || !row->text) return std::nullopt;
    return ImportTypeEntry(name);
}

QString IsCustomFormat(FormModel& form, const QString& name) {
    const RecordSet rs = FindFormat(form, name);
    if (rs.isEmpty() || rs.value(0, u"TType").isNull()) return {};
    return rs.value(0, u"TType").toString();
}

QString GetCustomFormatName(FormModel& form, const QString& name) {
    const RecordSet rs = FindFormat(form, name);
    if (rs.isEmpty() || rs.value(0, u"TType").isNull()) return {};
    return rs.value(0, u"TName").toString();
}

} // namespace quibo
