#include "sources/ImportTypes.h"

#include "base/FormModel.h"
#include "localdb/LocalDatabase.h"

#include <vector>

namespace quibo {

namespace {

struct VocabularyRow {
    std::vector<const char*> names;
    const char* entry; // nullptr: the name itself
    bool text;         // also offered for a text file
};

const std::vector<VocabularyRow>& Vocabulary() {
    static const std::vector<VocabularyRow> rows = {
        {{"ATTENDANCE"}, "ATTENDANCE", true},
        {{"EMPLOYEECATEGORIES"}, "EMPLOYEECATEGORIES", false},
        {{"EMPLOYEEGROUPS"}, "EMPLOYEEGROUPS", false},
        {{"EMPLOYEES"}, "EMPLOYEES", false},
        {{"ATTENDANCEGST"}, "ATTENDANCEGST", false},
        {{"TRANSACTIONS", "H_TRANSACTIONS"}, "TRANSACTIONS", true},
        {{"TRANSACTIONSGST", "H_TRANSACTIONSGST"}, "TRANSACTIONSGST", false},
        {{"QUICKTRANSACTIONS"}, "QUICKTRANSACTIONS", true},
        {{"QUICKTRANSACTIONSGST"}, "QUICKTRANSACTIONSGST", false},
        {{"BANKSTMT"}, "BANKSTMT", true},
        {{"BANKSTMTGST"}, "BANKSTMTGST", false},
        {{"SERVICETAXTRANSACTIONS"}, "SERVICETAXTRANSACTIONS", true},
        {{"SERVICETAXTRANSACTIONSGST"}, "SERVICETAXTRANSACTIONSGST", false},
        {{"TDSTRANSACTIONS"}, "TDSTRANSACTIONS", true},
        {{"TDSTRANSACTIONSGST"}, "TDSTRANSACTIONSGST", false},
        {{"STTDSTRANSACTIONS"}, "STTDSTRANSACTIONS", true},
        {{"STTDSTRANSACTIONSGST"}, "STTDSTRANSACTIONSGST", false},
        {{"VATTRANSACTIONS"}, "VATTRANSACTIONS", true},
        {{"VATTRANSACTIONSGST"}, "VATTRANSACTIONSGST", false},
        {{"VATTRANSACTIONSMC"}, "VATTRANSACTIONSMC", true},
        {{"VATTRANSACTIONSMCGST"}, "VATTRANSACTIONSMCGST", false},
        {{"ORDERS"}, "ORDERS", true},
        {{"ORDERSGST"}, "ORDERSGST", false},
        {{"NOTES"}, "NOTES", true},
        {{"NOTESGST"}, "NOTESGST", false},
        {{"PHYSICALSTOCK"}, "PHYSICALSTOCK", true},
        {{"PHYSICALSTOCKGST"}, "PHYSICALSTOCKGST", false},
        {{"STOCKJV"}, "STOCKJV", true},
        {{"STOCKJVGST"}, "STOCKJVGST", false},
        {{"CRDRNOTES"}, "CRDRNOTES", true},
        {{"CRDRNOTESGST"}, "CRDRNOTESGST", false},
        {{"ITEMTRANSACTIONS", "I_TRANSACTIONS", "ITEM TRANSACTIONS"}, "ITEM TRANSACTIONS", true},
        {{"ITEMTRANSACTIONSGST", "I_TRANSACTIONSGST", "ITEM TRANSACTIONSGST"}, "ITEM TRANSACTIONSGST", false},
        {{"COSTTRANSACTIONS", "C_TRANSACTIONS", "COST TRANSACTIONS"}, "COST TRANSACTIONS", true},
        {{"COSTTRANSACTIONSGST", "C_TRANSACTIONSGST", "COST TRANSACTIONSGST"}, "COST TRANSACTIONSGST", false},
        {{"LEDGER GROUPS", "LEDGERGROUPS"}, "LEDGER GROUPS", true},
        {{"LEDGER GROUPSGST", "LEDGERGROUPSGST"}, "LEDGER GROUPSGST", false},
        {{"LEDGERS"}, "LEDGERS", true},
        {{"LEDGERSGST"}, "LEDGERSGST", false},
        {{"UNITS"}, "UNITS", true},
        {{"UNITSGST"}, "UNITSGST", false},
        {{"GODOWNS"}, "GODOWNS", true},
        {{"GODOWNSGST"}, "GODOWNSGST", false},
        {{"STOCK GROUPS", "STOCKGROUPS"}, "STOCK GROUPS", true},
        {{"STOCK GROUPSGST", "STOCKGROUPSGST"}, "STOCK GROUPSGST", false},
        {{"STOCK CATEGORIES", "STOCKCATEGORIES"}, "STOCK CATEGORIES", true},
        {{"STOCK CATEGORIESGST", "STOCKCATEGORIESGST"}, "STOCK CATEGORIESGST", false},
        {{"STOCK ITEMS", "STOCKITEMS"}, "STOCK ITEMS", true},
        {{"STOCK ITEMSGST", "STOCKITEMSGST"}, "STOCK ITEMSGST", false},
        {{"COST CATEGORIES", "COSTCATEGORIES"}, "COST CATEGORIES", true},
        {{"COST CATEGORIESGST", "COSTCATEGORIESGST"}, "COST CATEGORIESGST", false},
        {{"COST CENTRES", "COSTCENTRES"}, "COST CENTRES", true},
        {{"COST CENTRESGST", "COSTCENTRESGST"}, "COST CENTRESGST", false},
        {{"SALE REGISTER", "SALEREGISTER", "PURCHASE REGISTER", "PURCHASEREGISTER", "V_TRANSACTIONS",
          "VOUCHERREGISTER", "VOUCHER REGISTER"},
         nullptr,
         true},
        {{"SALE REGISTERGST", "SALEREGISTERGST", "PURCHASE REGISTERGST", "PURCHASEREGISTERGST",
          "V_TRANSACTIONSGST", "VOUCHERREGISTERGST", "VOUCHER REGISTERGST"},
         nullptr,
         false},
        {{"UPDATEPARTYGSTIN"}, "UPDATEPARTYGSTIN", false},
        {{"UPDATELEDGERALIAS"}, "UPDATELEDGERALIAS", false},
        {{"UPDATEGROUPALIAS"}, "UPDATEGROUPALIAS", false},
        {{"UPDATESTOCKITEMALIAS"}, "UPDATESTOCKITEMALIAS", false},
        {{"UPDATELEDGEROPENING"}, "UPDATELEDGEROPENING", false},
        {{"UPDATESTOCKITEMOPENING"}, "UPDATESTOCKITEMOPENING", false},
    };
    return rows;
}

std::optional<QString> Lookup(const QString& name, bool textOnly) {
    for (const VocabularyRow& row : Vocabulary()) {
        if (textOnly && !row.text) continue;
        for (const char* n : row.names)
            if (name == QLatin1String(n)) return row.entry ? QString::fromLatin1(row.entry) : name;
    }
    return std::nullopt;
}

// The first format row of that name, or an empty record set.
RecordSet FindFormat(FormModel& form, const QString& name) {
    LocalDatabase db(form.services().dataFolder);
    return db.query(QStringLiteral("Select * from QuiboMst_ where QuiboMst_.TName = ? COLLATE NOCASE"),
                    {QVariant(name)});
}

} // namespace

std::optional<QString> ImportTypeEntry(const QString& name) {
    return Lookup(name, false);
}

std::optional<QString> TextImportTypeEntry(const QString& name) {
    return Lookup(name, true);
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
