#include "sources/ImportTypes.h"

#include "base/FormFixture.h"
#include "localdb/LocalDatabase.h"
#include "sources/SourceOpening.h"

#include <QSet>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// ---------------------------------------------------------------- the vocabulary

struct VocabularyRow {
    std::vector<const char*> names; // normalised table names
    const char* entry;              // nullptr: each name adds itself
    bool text;                      // also offered for a text file
};

// The whole vocabulary, in its order.
const VocabularyRow Vocabulary[] = {
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

// A text file is offered only the rows without a GST twin, employee or update type.
TEST(ImportTypeEntry, EveryFoldOfTheVocabulary) {
    for (const VocabularyRow& row : Vocabulary) {
        for (const char* n : row.names) {
            SCOPED_TRACE(n);
            const QString name = QString::fromLatin1(n);
            const QString entry = row.entry ? QString::fromLatin1(row.entry) : name;
            EXPECT_EQ(ImportTypeEntry(name), entry);
            EXPECT_EQ(TextImportTypeEntry(name), row.text ? std::optional(entry) : std::nullopt);
        }
    }
}

TEST(ImportTypeEntry, ComparedExactly) {
    for (const char* name : {"Ledgers", "LEDGERS ", " LEDGERS", "LEDGERS$", "STOCK  ITEMS", "SHEET1", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ImportTypeEntry(QString::fromLatin1(name)), std::nullopt);
        EXPECT_EQ(TextImportTypeEntry(QString::fromLatin1(name)), std::nullopt);
    }
}

// Each name once; an entry the box offers is itself a row that adds itself, offered to the same
// files, so the loaders and the Post find the chosen entry in the table.
TEST(ImportTypeTable, NamesAreUniqueAndEntriesAreRowsOfTheirOwn) {
    QSet<QString> names;
    for (const ImportType& row : ImportTypes()) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromLatin1(row.name);
        EXPECT_FALSE(names.contains(name));
        names.insert(name);
        EXPECT_EQ(FindImportType(name), &row);
        const std::optional<QString> entry = ImportTypeEntry(name);
        if (!entry) {
            EXPECT_FALSE(row.text);
            continue;
        }
        const ImportType* target = FindImportType(*entry);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(ImportTypeEntry(*entry), entry);
        EXPECT_EQ(target->text, row.text);
    }
}

// ---------------------------------------------------------------- on the form

class ImportTypesTest : public test::FormTest {
protected:
    void SetUp() override {
        opening.cmbTableName_Click = [this] { clicks.append(form.cmbTableName.Text()); };
    }
    void addFormat(const QVariant& name, const QVariant& type, int number) {
        LocalDatabase db(folder.path());
        db.insert(QStringLiteral("QuiboMst_"),
                  {QStringLiteral("TName"), QStringLiteral("TType"), QStringLiteral("TNo")},
                  {name, type, number});
    }
    QStringList entries() const { return form.cmbTableName.items(); }
    void startList() {
        form.cmbTableName.Clear();
        form.cmbTableName.AddItem(SelectImportTypeEntry);
    }

    SourceOpening opening{form};
    QStringList clicks;
};

const QString Placeholder = QStringLiteral(">>Select Import Type<<");

struct Format {
    const char* name;
    const char* type; // nullptr: Null
};

TEST_F(ImportTypesTest, TableNamesBecomeEntriesAndThePlaceholderIsSelected) {
    struct Case {
        const char* name;
        std::vector<Format> formats;
        QStringList tables;
        QStringList entries; // after the placeholder
    };
    const Case cases[] = {
        {"SheetsFoldAndSheet1IsNoFormat",
         {},
         {"Ledgers$", "StockItems$", "Sheet1$"},
         {"LEDGERS", "STOCK ITEMS"}},
        {"CustomFormatUnderItsUpperCasedName",
         {{"Sheet1", "Voucher"}},
         {"Ledgers$", "sheet1$"},
         {"LEDGERS", "SHEET1"}},
        {"FormatWithoutTypeIsNoFormat", {{"SHEET2", nullptr}}, {"Sheet2$"}, {}},
        {"DuplicatesAreKept", {}, {"H_Transactions$", "Transactions$"}, {"TRANSACTIONS", "TRANSACTIONS"}},
        {"NamesWithBlanks",
         {{"MY FORMAT", "LEDGER"}},
         {"purchase register", "My Format", "Sale RegisterGST", "Stock Items$"},
         {"PURCHASE REGISTER", "SALE REGISTERGST", "STOCK ITEMS"}},
        {"DollarSignsAreDroppedWherever", {}, {"$Led$gers$", "UNITS"}, {"LEDGERS", "UNITS"}},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const Format& f : c.formats)
            addFormat(QString::fromLatin1(f.name),
                      f.type ? QVariant(QString::fromLatin1(f.type)) : QVariant(), ++number);
        startList();
        statusLine.changes.clear();
        clicks.clear();
        opening.LoadList(c.tables);
        EXPECT_EQ(entries(), QStringList{Placeholder} + c.entries);
        EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
        EXPECT_EQ(clicks, QStringList{Placeholder});
        // Each table name goes by in the status line.
        QStringList shown;
        for (const QString& table : c.tables)
            shown.append(QStringLiteral("msg=.........") + table);
        EXPECT_EQ(statusLine.changes, shown);
    }
    EXPECT_EQ(errors.reportCount(), 0);
}

TEST_F(ImportTypesTest, UnreadableFormatTableEndsTheListingWhereItStood) {
    // A data folder that is a file: the format table cannot be opened.
    QFile blocker(folder.file(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FormModel blockedForm{
        FormServices{boxes, files, statusLine, yield, clock, settings, errors, blocker.fileName()}};
    SourceOpening blockedOpening(blockedForm);
    int blockedClicks = 0;
    blockedOpening.cmbTableName_Click = [&] { ++blockedClicks; };
    blockedForm.cmbTableName.AddItem(Placeholder);

    blockedOpening.LoadList(
        {QStringLiteral("Ledgers$"), QStringLiteral("Sheet1$"), QStringLiteral("Units$")});

    EXPECT_EQ(blockedForm.cmbTableName.items(), (QStringList{Placeholder, QStringLiteral("LEDGERS")}));
    EXPECT_EQ(blockedForm.cmbTableName.ListIndex(), -1); // not reset to the placeholder
    EXPECT_EQ(blockedClicks, 0);
    EXPECT_EQ(errors.reportCount(), 1);
    EXPECT_TRUE(errors.lastReport().contains(QLatin1String("LOCATION CODE: F01-0007A")));
}

TEST_F(ImportTypesTest, TextFileBaseNames) {
    addFormat(QStringLiteral("MYFORMAT"), QStringLiteral("LEDGER"), 1);
    startList();
    // No GST twin and no custom format for a text file.
    opening.LoadListTXT(QStringLiteral("LEDGERSGST"));
    opening.LoadListTXT(QStringLiteral("MYFORMAT"));
    EXPECT_EQ(entries(), QStringList{Placeholder});
    opening.LoadListTXT(QStringLiteral("LEDGERS"));
    opening.LoadListTXT(QStringLiteral("SALE REGISTER"));
    opening.LoadListTXT(QStringLiteral("I_TRANSACTIONS"));
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("SALE REGISTER"),
                                      QStringLiteral("ITEM TRANSACTIONS")}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    EXPECT_TRUE(statusLine.changes.isEmpty());
}

// The stored name and kind come back whatever the case asked; Null kinds count as no format; of two
// formats of one name the first counts.
TEST_F(ImportTypesTest, FormatLookups) {
    addFormat(QStringLiteral("SalesFmt"), QStringLiteral("Voucher"), 1);
    addFormat(QStringLiteral("Untyped"), QVariant(), 2);
    addFormat(QStringLiteral("Twin"), QStringLiteral("LEDGER"), 3);
    addFormat(QStringLiteral("TWIN"), QStringLiteral("VOUCHER"), 4);
    struct Case {
        const char* asked;
        const char* type;
        const char* name;
    };
    for (const Case& c : {Case{"SALESFMT", "Voucher", "SalesFmt"}, Case{"salesfmt", "Voucher", "SalesFmt"},
                          Case{"SALES", "", ""}, Case{"UNTYPED", "", ""}, Case{"TWIN", "LEDGER", "Twin"}}) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(IsCustomFormat(form, QString::fromLatin1(c.asked)), QString::fromLatin1(c.type));
        EXPECT_EQ(GetCustomFormatName(form, QString::fromLatin1(c.asked)), QString::fromLatin1(c.name));
    }
}

// The name reaches the database as a value, never as SQL.
TEST_F(ImportTypesTest, NamesWithQuotesAreLookedUpSafely) {
    addFormat(QStringLiteral("O'BRIEN"), QStringLiteral("LEDGER"), 1);
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("O'BRIEN")), QStringLiteral("LEDGER"));
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("X' OR '1'='1")), QString());
    startList();
    opening.LoadList({QStringLiteral("O'Brien$"), QStringLiteral("Ledgers$")});
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("O'BRIEN"), QStringLiteral("LEDGERS")}));
    EXPECT_EQ(errors.reportCount(), 0);
}

} // namespace
} // namespace quibo
