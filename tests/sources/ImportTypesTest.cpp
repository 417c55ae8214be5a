#include "sources/ImportTypes.h"

#include "app/form/FormFixture.h"
#include "sources/SourceOpening.h"
#include "staging/db/LocalDatabase.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

// ---------------------------------------------------------------- the vocabulary

struct Fold {
    const char* name; // normalised table name
    const char* entry;
};

// Every name of the vocabulary and the entry it adds, in table order.
const Fold AllFolds[] = {
    {"ATTENDANCE", "ATTENDANCE"},
    {"EMPLOYEECATEGORIES", "EMPLOYEECATEGORIES"},
    {"EMPLOYEEGROUPS", "EMPLOYEEGROUPS"},
    {"EMPLOYEES", "EMPLOYEES"},
    {"ATTENDANCEGST", "ATTENDANCEGST"},
    {"TRANSACTIONS", "TRANSACTIONS"},
    {"H_TRANSACTIONS", "TRANSACTIONS"},
    {"TRANSACTIONSGST", "TRANSACTIONSGST"},
    {"H_TRANSACTIONSGST", "TRANSACTIONSGST"},
    {"QUICKTRANSACTIONS", "QUICKTRANSACTIONS"},
    {"QUICKTRANSACTIONSGST", "QUICKTRANSACTIONSGST"},
    {"BANKSTMT", "BANKSTMT"},
    {"BANKSTMTGST", "BANKSTMTGST"},
    {"SERVICETAXTRANSACTIONS", "SERVICETAXTRANSACTIONS"},
    {"SERVICETAXTRANSACTIONSGST", "SERVICETAXTRANSACTIONSGST"},
    {"TDSTRANSACTIONS", "TDSTRANSACTIONS"},
    {"TDSTRANSACTIONSGST", "TDSTRANSACTIONSGST"},
    {"STTDSTRANSACTIONS", "STTDSTRANSACTIONS"},
    {"STTDSTRANSACTIONSGST", "STTDSTRANSACTIONSGST"},
    {"VATTRANSACTIONS", "VATTRANSACTIONS"},
    {"VATTRANSACTIONSGST", "VATTRANSACTIONSGST"},
    {"VATTRANSACTIONSMC", "VATTRANSACTIONSMC"},
    {"VATTRANSACTIONSMCGST", "VATTRANSACTIONSMCGST"},
    {"ORDERS", "ORDERS"},
    {"ORDERSGST", "ORDERSGST"},
    {"NOTES", "NOTES"},
    {"NOTESGST", "NOTESGST"},
    {"PHYSICALSTOCK", "PHYSICALSTOCK"},
    {"PHYSICALSTOCKGST", "PHYSICALSTOCKGST"},
    {"STOCKJV", "STOCKJV"},
    {"STOCKJVGST", "STOCKJVGST"},
    {"CRDRNOTES", "CRDRNOTES"},
    {"CRDRNOTESGST", "CRDRNOTESGST"},
    {"ITEMTRANSACTIONS", "ITEM TRANSACTIONS"},
    {"I_TRANSACTIONS", "ITEM TRANSACTIONS"},
    {"ITEM TRANSACTIONS", "ITEM TRANSACTIONS"},
    {"ITEMTRANSACTIONSGST", "ITEM TRANSACTIONSGST"},
    {"I_TRANSACTIONSGST", "ITEM TRANSACTIONSGST"},
    {"ITEM TRANSACTIONSGST", "ITEM TRANSACTIONSGST"},
    {"COSTTRANSACTIONS", "COST TRANSACTIONS"},
    {"C_TRANSACTIONS", "COST TRANSACTIONS"},
    {"COST TRANSACTIONS", "COST TRANSACTIONS"},
    {"COSTTRANSACTIONSGST", "COST TRANSACTIONSGST"},
    {"C_TRANSACTIONSGST", "COST TRANSACTIONSGST"},
    {"COST TRANSACTIONSGST", "COST TRANSACTIONSGST"},
    {"LEDGER GROUPS", "LEDGER GROUPS"},
    {"LEDGERGROUPS", "LEDGER GROUPS"},
    {"LEDGER GROUPSGST", "LEDGER GROUPSGST"},
    {"LEDGERGROUPSGST", "LEDGER GROUPSGST"},
    {"LEDGERS", "LEDGERS"},
    {"LEDGERSGST", "LEDGERSGST"},
    {"UNITS", "UNITS"},
    {"UNITSGST", "UNITSGST"},
    {"GODOWNS", "GODOWNS"},
    {"GODOWNSGST", "GODOWNSGST"},
    {"STOCK GROUPS", "STOCK GROUPS"},
    {"STOCKGROUPS", "STOCK GROUPS"},
    {"STOCK GROUPSGST", "STOCK GROUPSGST"},
    {"STOCKGROUPSGST", "STOCK GROUPSGST"},
    {"STOCK CATEGORIES", "STOCK CATEGORIES"},
    {"STOCKCATEGORIES", "STOCK CATEGORIES"},
    {"STOCK CATEGORIESGST", "STOCK CATEGORIESGST"},
    {"STOCKCATEGORIESGST", "STOCK CATEGORIESGST"},
    {"STOCK ITEMS", "STOCK ITEMS"},
    {"STOCKITEMS", "STOCK ITEMS"},
    {"STOCK ITEMSGST", "STOCK ITEMSGST"},
    {"STOCKITEMSGST", "STOCK ITEMSGST"},
    {"COST CATEGORIES", "COST CATEGORIES"},
    {"COSTCATEGORIES", "COST CATEGORIES"},
    {"COST CATEGORIESGST", "COST CATEGORIESGST"},
    {"COSTCATEGORIESGST", "COST CATEGORIESGST"},
    {"COST CENTRES", "COST CENTRES"},
    {"COSTCENTRES", "COST CENTRES"},
    {"COST CENTRESGST", "COST CENTRESGST"},
    {"COSTCENTRESGST", "COST CENTRESGST"},
    {"SALE REGISTER", "SALE REGISTER"},
    {"SALEREGISTER", "SALEREGISTER"},
    {"PURCHASE REGISTER", "PURCHASE REGISTER"},
    {"PURCHASEREGISTER", "PURCHASEREGISTER"},
    {"V_TRANSACTIONS", "V_TRANSACTIONS"},
    {"VOUCHERREGISTER", "VOUCHERREGISTER"},
    {"VOUCHER REGISTER", "VOUCHER REGISTER"},
    {"SALE REGISTERGST", "SALE REGISTERGST"},
    {"SALEREGISTERGST", "SALEREGISTERGST"},
    {"PURCHASE REGISTERGST", "PURCHASE REGISTERGST"},
    {"PURCHASEREGISTERGST", "PURCHASEREGISTERGST"},
    {"V_TRANSACTIONSGST", "V_TRANSACTIONSGST"},
    {"VOUCHERREGISTERGST", "VOUCHERREGISTERGST"},
    {"VOUCHER REGISTERGST", "VOUCHER REGISTERGST"},
    {"UPDATEPARTYGSTIN", "UPDATEPARTYGSTIN"},
    {"UPDATELEDGERALIAS", "UPDATELEDGERALIAS"},
    {"UPDATEGROUPALIAS", "UPDATEGROUPALIAS"},
    {"UPDATESTOCKITEMALIAS", "UPDATESTOCKITEMALIAS"},
    {"UPDATELEDGEROPENING", "UPDATELEDGEROPENING"},
    {"UPDATESTOCKITEMOPENING", "UPDATESTOCKITEMOPENING"},
};

// The names a text file's base name may have: the rows without a GST twin,
// employee or update type.
bool OfferedForText(const QString& name) {
    static const QStringList notForText = {QStringLiteral("EMPLOYEECATEGORIES"),
                                           QStringLiteral("EMPLOYEEGROUPS"),
                                           QStringLiteral("EMPLOYEES"),
                                           QStringLiteral("UPDATEPARTYGSTIN"),
                                           QStringLiteral("UPDATELEDGERALIAS"),
                                           QStringLiteral("UPDATEGROUPALIAS"),
                                           QStringLiteral("UPDATESTOCKITEMALIAS"),
                                           QStringLiteral("UPDATELEDGEROPENING"),
                                           QStringLiteral("UPDATESTOCKITEMOPENING")};
    return !name.endsWith(QLatin1String("GST")) && !notForText.contains(name);
}

TEST(ImportTypeEntry, EveryFoldOfTheVocabulary) {
    for (const Fold& fold : AllFolds) {
        SCOPED_TRACE(fold.name);
        EXPECT_EQ(ImportTypeEntry(QString::fromLatin1(fold.name)), QString::fromLatin1(fold.entry));
    }
}

TEST(ImportTypeEntry, TextFilesOfferOnlyTheirOwnRows) {
    int offered = 0;
    for (const Fold& fold : AllFolds) {
        SCOPED_TRACE(fold.name);
        const QString name = QString::fromLatin1(fold.name);
        if (OfferedForText(name)) {
            EXPECT_EQ(TextImportTypeEntry(name), QString::fromLatin1(fold.entry));
            ++offered;
        } else {
            EXPECT_EQ(TextImportTypeEntry(name), std::nullopt);
        }
    }
    EXPECT_EQ(offered, 43);
}

TEST(ImportTypeEntry, ComparedExactly) {
    for (const char* name : {"Ledgers", "LEDGERS ", " LEDGERS", "LEDGERS$", "STOCK  ITEMS", "SHEET1", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ImportTypeEntry(QString::fromLatin1(name)), std::nullopt);
        EXPECT_EQ(TextImportTypeEntry(QString::fromLatin1(name)), std::nullopt);
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

TEST_F(ImportTypesTest, SheetsBecomeEntriesAndThePlaceholderIsSelected) {
    startList();
    opening.LoadList({QStringLiteral("Ledgers$"), QStringLiteral("StockItems$"), QStringLiteral("Sheet1$")});
    EXPECT_EQ(entries(),
              (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("STOCK ITEMS")}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    EXPECT_EQ(clicks, QStringList{Placeholder});
    EXPECT_EQ(errors.reportCount(), 0);
}

TEST_F(ImportTypesTest, EachTableNameGoesByInTheStatusLine) {
    startList();
    opening.LoadList({QStringLiteral("Ledgers$"), QStringLiteral("Sheet1$")});
    EXPECT_EQ(statusLine.changes,
              (QStringList{QStringLiteral("msg=.........Ledgers$"), QStringLiteral("msg=.........Sheet1$")}));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QStringLiteral(".........Sheet1$"));
}

TEST_F(ImportTypesTest, CustomFormatListedUnderItsUpperCasedName) {
    addFormat(QStringLiteral("Sheet1"), QStringLiteral("Voucher"), 1);
    startList();
    opening.LoadList({QStringLiteral("Ledgers$"), QStringLiteral("sheet1$")});
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("SHEET1")}));
}

TEST_F(ImportTypesTest, FormatWithoutTypeIsNoFormat) {
    addFormat(QStringLiteral("SHEET1"), QVariant(), 1);
    startList();
    opening.LoadList({QStringLiteral("Sheet1$")});
    EXPECT_EQ(entries(), QStringList{Placeholder});
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("SHEET1")), QString());
    EXPECT_EQ(GetCustomFormatName(form, QStringLiteral("SHEET1")), QString());
}

TEST_F(ImportTypesTest, DuplicatesAreKept) {
    startList();
    opening.LoadList({QStringLiteral("H_Transactions$"), QStringLiteral("Transactions$")});
    EXPECT_EQ(entries(),
              (QStringList{Placeholder, QStringLiteral("TRANSACTIONS"), QStringLiteral("TRANSACTIONS")}));
}

TEST_F(ImportTypesTest, NamesWithBlanks) {
    addFormat(QStringLiteral("MY FORMAT"), QStringLiteral("LEDGER"), 1);
    startList();
    opening.LoadList({QStringLiteral("purchase register"), QStringLiteral("My Format"),
                      QStringLiteral("Sale RegisterGST"), QStringLiteral("Stock Items$")});
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("PURCHASE REGISTER"),
                                      QStringLiteral("SALE REGISTERGST"), QStringLiteral("STOCK ITEMS")}));
}

TEST_F(ImportTypesTest, DollarSignsAreDroppedWherever) {
    startList();
    opening.LoadList({QStringLiteral("$Led$gers$"), QStringLiteral("UNITS")});
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("UNITS")}));
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
    startList();
    opening.LoadListTXT(QStringLiteral("LEDGERSGST"));
    EXPECT_EQ(entries(), QStringList{Placeholder});
    opening.LoadListTXT(QStringLiteral("LEDGERS"));
    opening.LoadListTXT(QStringLiteral("SALE REGISTER"));
    opening.LoadListTXT(QStringLiteral("I_TRANSACTIONS"));
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("SALE REGISTER"),
                                      QStringLiteral("ITEM TRANSACTIONS")}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    EXPECT_TRUE(statusLine.changes.isEmpty());
}

TEST_F(ImportTypesTest, TextFilesNeverOfferCustomFormats) {
    addFormat(QStringLiteral("MYFORMAT"), QStringLiteral("LEDGER"), 1);
    startList();
    opening.LoadListTXT(QStringLiteral("MYFORMAT"));
    EXPECT_EQ(entries(), QStringList{Placeholder});
}

TEST_F(ImportTypesTest, FormatLookupIgnoresCaseAndReturnsWhatIsStored) {
    addFormat(QStringLiteral("SalesFmt"), QStringLiteral("Voucher"), 1);
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("SALESFMT")), QStringLiteral("Voucher"));
    EXPECT_EQ(GetCustomFormatName(form, QStringLiteral("SALESFMT")), QStringLiteral("SalesFmt"));
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("SALES")), QString());
    EXPECT_EQ(GetCustomFormatName(form, QStringLiteral("OTHER")), QString());
}

TEST_F(ImportTypesTest, FirstOfTwoFormatsOfOneNameCounts) {
    addFormat(QStringLiteral("Twin"), QStringLiteral("LEDGER"), 1);
    addFormat(QStringLiteral("TWIN"), QStringLiteral("VOUCHER"), 2);
    EXPECT_EQ(IsCustomFormat(form, QStringLiteral("TWIN")), QStringLiteral("LEDGER"));
    EXPECT_EQ(GetCustomFormatName(form, QStringLiteral("TWIN")), QStringLiteral("Twin"));
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
