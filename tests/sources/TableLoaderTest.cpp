#include "sources/TableLoader.h"

#include "localdb/LocalDatabase.h"
#include "sources/backends/Source.h"
#include "sources/LoaderFixture.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::blank;
using test::Placeholder;

const QString NotFoundTitle = QStringLiteral("Quibo");

QString NotFound(const char* name) {
    return QStringLiteral("Sheet named as  <%1>  not found in the specified Excel file.")
        .arg(QLatin1String(name));
}

// ---------------------------------------------------------------- a source that answers from a list

// Lists every name it is given and reads a two-column table of one record; records each read.
class ListedSource final : public Source {
public:
    struct Read {
        QString table, orderBy;
    };
    ListedSource(QStringList tables, QStringList views, std::vector<Read>& reads)
        : m_tables(std::move(tables)), m_views(std::move(views)), m_reads(reads) {}
    QStringList tables() override { return m_tables; }
    QStringList views() override { return m_views; }
    SourceTable read(const QString& table, const QString& orderBy) override {
        m_reads.push_back({table, orderBy});
        SourceTable t(
            {{QStringLiteral("Name"), ColumnKind::Text}, {QStringLiteral("SrNo"), ColumnKind::Number}});
        t.appendRow({QStringLiteral("one"), qint64(1)});
        return t;
    }
    QString describe() const override { return QStringLiteral("listed source"); }

private:
    QStringList m_tables, m_views;
    std::vector<Read>& m_reads;
};

struct Opened {
    QString connection, user, password;
};

class DispatchTest : public test::LoaderTest {
protected:
    ConnectionOpener opener() {
        return [this](const QString& connection, const QString& user, const QString& password) {
            opened.push_back({connection, user, password});
            if (fail)
                vb::Raise(vb::err::DatabaseError, QStringLiteral("Could not open."), QStringLiteral("Test"));
            return std::unique_ptr<Source>(std::make_unique<ListedSource>(tables, views, reads));
        };
    }
    void pickOn(int tab, const QString& entry) {
        form.tabSourceIndex = tab;
        pick(entry);
    }

    QStringList tables, views;
    std::vector<ListedSource::Read> reads;
    std::vector<Opened> opened;
    bool fail = false;
    TableLoader fake{form, opener()};

    void pick(const QString& entry) {
        select(entry);
        fake.cmbTableName_Click();
    }
};

TEST_F(DispatchTest, EachTabOpensItsOwnSourceWithItsOwnBoxes) {
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    form.txtMdbPath = QStringLiteral("/data/Books.mdb");
    form.txtMDBUser = QStringLiteral("admin");
    form.txtMDBPass = QStringLiteral("secret");
    form.txtODBCPath = QStringLiteral("Accounts");
    form.txtODBCUser = QStringLiteral("clerk");
    form.txtPass = QStringLiteral("pw");
    tables = {QStringLiteral("Ledgers$"), QStringLiteral("Ledgers")};

    pickOn(0, QStringLiteral("LEDGERS"));
    pickOn(1, QStringLiteral("LEDGERS"));
    pickOn(2, QStringLiteral("LEDGERS"));
    form.txtFilePath = QStringLiteral("/data/Books.XLSX");
    pickOn(0, QStringLiteral("LEDGERS"));
    form.txtFilePath = QStringLiteral("/data/text/ledgers.csv");
    pickOn(0, QStringLiteral("LEDGERS"));

    ASSERT_EQ(opened.size(), 5u);
    EXPECT_EQ(opened[0].connection,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/Books.xls;"
                             "Extended Properties=\"Excel 8.0;HDR=YES;\""));
    EXPECT_EQ(opened[1].connection,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/Books.mdb;"
                             "Jet OLEDB:Database Password=secret"));
    EXPECT_EQ(opened[2].connection, QStringLiteral("DSN=Accounts"));
    EXPECT_EQ(opened[3].connection,
              QStringLiteral(
                  "Driver={Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)};DBQ=/data/Books.XLSX;"));
    EXPECT_EQ(opened[4].connection,
              QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)};Dbq=/data/text;\""));
    for (const size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_EQ(opened[i].user, QString()) << i;
        EXPECT_EQ(opened[i].password, QString()) << i;
    }
    EXPECT_EQ(opened[2].user, QStringLiteral("clerk"));
    EXPECT_EQ(opened[2].password, QStringLiteral("pw"));
    // The .xls and .xlsx workbooks read the sheet, the databases the table.
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(reads[0].table, QStringLiteral("Ledgers$"));
    EXPECT_EQ(reads[1].table, QStringLiteral("Ledgers"));
    EXPECT_EQ(reads[2].table, QStringLiteral("Ledgers"));
    EXPECT_EQ(reads[3].table, QStringLiteral("Ledgers$"));
}

TEST_F(DispatchTest, PlaceholderAndUnknownTabLoadNothing) {
    previousTable();
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    form.cmbTableName.Clear();
    form.cmbTableName.AddItem(Placeholder);
    form.cmbTableName.SetListIndex(0);
    fake.cmbTableName_Click();
    form.tabSourceIndex = -1;
    pick(QStringLiteral("LEDGERS"));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(form.GR1.RowCount(), 2);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DispatchTest, PlaceholderCalledDirectlyClearsTheGrid) {
    previousTable();
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    form.cmbTableName.Clear();
    form.cmbTableName.AddItem(Placeholder);
    form.cmbTableName.SetListIndex(0);
    fake.LoadExcelRecords(QStringLiteral(">>SelectImportType<<"));
    EXPECT_EQ(form.GR1.ColumnCount(), 0);
    EXPECT_EQ(form.GR1.RowCount(), 1);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DispatchTest, EmptyFilePathIsToldAndLeavesNoTableBehind) {
    previousTable();
    form.txtFilePath.clear();
    pickOn(0, QStringLiteral("LEDGERS"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("File Path not entered"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(".........File Path not entered")});
    EXPECT_EQ(form.GR1.ColumnCount(), 0);
    EXPECT_EQ(form.GR1.RowCount(), 1);
    EXPECT_TRUE(opened.empty());
}

// Which import types each loader reads as a table, takes to the register road or refuses.
TEST_F(DispatchTest, ImportTypeListsOfEachLoader) {
    enum Road { Table, Register, Refused };
    struct Case {
        const char* entry;
        Road excel, access, odbc;
    };
    const Case cases[] = {
        {"LEDGERS", Table, Table, Table},
        {"ITEM TRANSACTIONS", Table, Table, Table},
        {"H_TRANSACTIONSGST", Table, Table, Table},
        {"UPDATESTOCKITEMOPENING", Table, Table, Table},
        {"C_TRANSACTIONS", Table, Refused, Refused},
        {"EMPLOYEECATEGORIES", Table, Refused, Refused},
        {"EMPLOYEES", Table, Refused, Refused},
        {"ATTENDANCEGST", Refused, Table, Table},
        {"STTDSTRANSACTIONSGST", Refused, Table, Table},
        {"UPD05", Refused, Table, Table},
        {"SALE REGISTER", Register, Register, Register},
        {"VOUCHER REGISTER", Register, Register, Register},
        {"V_TRANSACTIONS", Register, Register, Register},
        {"PURCHASE REGISTER", Refused, Refused, Refused},
        {"SALE REGISTERGST", Refused, Refused, Refused},
        {"Ledgers", Table, Table, Table}, // the combo text is upper-cased before the lists are searched
    };
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    for (const Case& c : cases) {
        const QString entry = QString::fromLatin1(c.entry);
        const QString name = QString(entry).remove(QLatin1Char(' '));
        // Every name the loaders could look for is there, as a sheet and as a table.
        tables = {name + QStringLiteral("$"), name + QStringLiteral("Map$"), name,
                  name + QStringLiteral("Map")};
        const Road roads[] = {c.excel, c.access, c.odbc};
        for (int tab = 0; tab < 3; ++tab) {
            SCOPED_TRACE(std::string(c.entry) + " on tab " + std::to_string(tab));
            reads.clear();
            boxes.shown.clear();
            pickOn(tab, entry);
            switch (roads[tab]) {
            case Table:
                ASSERT_EQ(reads.size(), 1u);
                EXPECT_TRUE(boxes.shown.empty());
                break;
            case Register:
                // The register and then its map.
                ASSERT_EQ(reads.size(), 2u);
                EXPECT_TRUE(reads[1].table.endsWith(QLatin1String("Map")) ||
                            reads[1].table.endsWith(QLatin1String("Map$")));
                break;
            case Refused:
                EXPECT_TRUE(reads.empty());
                ASSERT_EQ(boxes.shown.size(), 1u);
                EXPECT_EQ(boxes.shown[0].text, NotFound(qPrintable(name.toUpper())));
                EXPECT_EQ(boxes.shown[0].title, NotFoundTitle);
                EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
                EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
                break;
            }
        }
    }
}

TEST_F(DispatchTest, VoucherTypesAreReadInSerialOrderAndAskToCheckMasters) {
    struct Case {
        const char* entry;
        int tab;
        bool voucher;
    };
    const Case cases[] = {
        {"TRANSACTIONS", 0, true},     {"TRANSACTIONS", 1, true}, {"COST TRANSACTIONS", 2, true},
        {"I_TRANSACTIONS", 0, true},   {"ATTENDANCE", 1, true},   {"LEDGERS", 0, false},
        {"TRANSACTIONSGST", 0, false}, {"STOCK ITEMS", 2, false}, {"C_TRANSACTIONS", 0, false},
    };
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const QString name = QString::fromLatin1(c.entry).remove(QLatin1Char(' '));
        tables = {name + QStringLiteral("$"), name};
        reads.clear();
        form.chkChkMst.visible = !c.voucher;
        form.chkSkipMst.visible = c.voucher;
        pickOn(c.tab, QString::fromLatin1(c.entry));
        ASSERT_EQ(reads.size(), 1u);
        EXPECT_EQ(reads[0].orderBy, c.voucher ? QStringLiteral("SrNo") : QString());
        EXPECT_EQ(form.chkChkMst.visible, c.voucher);
        EXPECT_EQ(form.chkSkipMst.visible, !c.voucher);
    }
}

TEST_F(DispatchTest, TablesAreFoundIgnoringCaseAndBlanksAndReadAsSpelled) {
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    tables = {QStringLiteral("Other$"), QStringLiteral("Stock Items$"), QStringLiteral("stockitems$")};
    pickOn(0, QStringLiteral("STOCK ITEMS"));
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].table, QStringLiteral("Stock Items$"));
}

TEST_F(DispatchTest, OdbcViewsAreSearchedAfterTables) {
    form.txtODBCPath = QStringLiteral("Accounts");
    tables = {QStringLiteral("Other")};
    views = {QStringLiteral("Ledgers"), QStringLiteral("LEDGERS")};
    pickOn(2, QStringLiteral("LEDGERS"));
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].table, QStringLiteral("Ledgers"));

    // The Access loader looks at tables only.
    reads.clear();
    form.txtMdbPath = QStringLiteral("/data/Books.mdb");
    pickOn(1, QStringLiteral("LEDGERS"));
    EXPECT_TRUE(reads.empty());
    EXPECT_EQ(boxes.texts().last(), NotFound("LEDGERS"));
}

TEST_F(DispatchTest, CustomFormatCountsWhateverTheCaseOfItsName) {
    {
        LocalDatabase db(folder.path());
        db.insert(QStringLiteral("QuiboMst_"),
                  {QStringLiteral("TName"), QStringLiteral("TType"), QStringLiteral("TNo")},
                  {QStringLiteral("MyFormat"), QStringLiteral("LEDGER"), 1});
    }
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    tables = {QStringLiteral("MyFormat$")};
    pickOn(0, QStringLiteral("MYFORMAT"));
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].table, QStringLiteral("MyFormat$"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(keys(),
              (QStringList{QStringLiteral("NAME"), QStringLiteral("SRNO"), QStringLiteral("PROCESSSTATUS")}));

    // Without a format of that name the type is refused.
    pickOn(0, QStringLiteral("OTHERFORMAT"));
    EXPECT_EQ(boxes.texts(), QStringList{NotFound("OTHERFORMAT")});
}

TEST_F(DispatchTest, SourceThatCannotBeOpenedIsReportedAndLeavesNoTableBehind) {
    struct Case {
        int tab;
        const char* location;
    };
    for (const Case c : {Case{0, "F01-0002"}, Case{1, "F01-0004"}, Case{2, "F01-0006"}}) {
        SCOPED_TRACE(c.location);
        previousTable();
        form.txtFilePath = QStringLiteral("/data/Books.xls");
        form.txtODBCPath = QStringLiteral("Accounts");
        fail = true;
        const int before = errors.reportCount();
        pickOn(c.tab, QStringLiteral("LEDGERS"));
        EXPECT_EQ(errors.reportCount(), before + 1);
        EXPECT_TRUE(
            errors.lastReport().contains(QLatin1String("LOCATION CODE: ") + QLatin1String(c.location)));
        EXPECT_EQ(form.GR1.ColumnCount(), 0);
        EXPECT_EQ(form.GR1.RowCount(), 0);
        EXPECT_TRUE(form.GR1.Redraw());
        EXPECT_TRUE(form.lstLedgerTree.Redraw());
    }
}

// ---------------------------------------------------------------- loads from the fixtures

const QStringList TransactionKeys = {"SRNO",  "VCHTYPE", "VCHNO",     "VCHDATE", "REFNO",        "LEDGER",
                                     "DEBIT", "CREDIT",  "NARRATION", "ID",      "PROCESSSTATUS"};
const QStringList TransactionHeaders = {"SrNo",  "VchType", "VchNo",     "VchDate", "RefNo",         "Ledger",
                                        "Debit", "Credit",  "Narration", "ID",      "Process Status"};

// Rows of the Transactions fixture after an Excel-tab load: ordered by SrNo, blank keys filled down (a
// VchNo of one blank too), dates and amounts in the default patterns, the ID built.
const QList<QStringList> ExcelTransactions = {
    {"1", "Sales", "1", "08-Dec-2026", "R1", "Cash", "1500.000", "", "First", "Sales-1-08-Dec-2026-R1", ""},
    {"2", "Sales", "1", "08-Dec-2026", "R1", "Sales", "", "1500.000", "", "Sales-1-08-Dec-2026-R1", ""},
    {"3", "Sales", "1", "08-Dec-2026", "R1", "Tax", "", "0.000", "", "Sales-1-08-Dec-2026-R1", ""},
    {"4", "Receipt", "2", "09-Dec-2026", "", "Bank", "", "250.500", "", "Receipt-2-09-Dec-2026-", ""},
    {"5", "Receipt", "2", "09-Dec-2026", "", "Cash", "250.500", "", "", "Receipt-2-09-Dec-2026-", ""},
    QStringList(11, QString()),
    QStringList(11, QString()),
};

// The Access and ODBC loaders fill VchNo only when it is empty: the blank stays and runs down.
const QList<QStringList> DatabaseTransactions = {
    {"1", "Sales", "1", "08-Dec-2026", "R1", "Cash", "1500.000", "", "First", "Sales-1-08-Dec-2026-R1", ""},
    {"2", "Sales", " ", "08-Dec-2026", "R1", "Sales", "", "1500.000", "", "Sales- -08-Dec-2026-R1", ""},
    {"3", "Sales", " ", "08-Dec-2026", "R1", "Tax", "", "0.000", "", "Sales- -08-Dec-2026-R1", ""},
    {"4", "Receipt", "2", "09-Dec-2026", "", "Bank", "", "250.500", "", "Receipt-2-09-Dec-2026-", ""},
    {"5", "Receipt", "2", "09-Dec-2026", "", "Cash", "250.500", "", "", "Receipt-2-09-Dec-2026-", ""},
    QStringList(11, QString()),
};

class FixtureLoadTest : public test::LoaderTest {};

// Each load ends with its blank rows: two from the Excel tab, one from the databases.
TEST_F(FixtureLoadTest, TransactionsFromEveryKindOfSource) {
    struct Case {
        const char* name;
        std::function<void()> load;
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {"xls", [&] { pickExcel(QStringLiteral("loader.xls"), QStringLiteral("TRANSACTIONS")); },
         ExcelTransactions},
        {"xlsx", [&] { pickExcel(QStringLiteral("loader.xlsx"), QStringLiteral("TRANSACTIONS")); },
         ExcelTransactions},
        {"csv",
         [&] { pickExcel(QStringLiteral("loadertext/transactions.csv"), QStringLiteral("TRANSACTIONS")); },
         ExcelTransactions},
        {"mdb", [&] { pickAccess(QStringLiteral("loader.mdb"), QStringLiteral("TRANSACTIONS")); },
         DatabaseTransactions},
        {"odbc", [&] { pickOdbc(QStringLiteral("TRANSACTIONS")); }, DatabaseTransactions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        previousTable();
        c.load();
        EXPECT_EQ(keys(), TransactionKeys);
        EXPECT_EQ(headers(), TransactionHeaders);
        EXPECT_EQ(rows(), c.rows);
        EXPECT_TRUE(form.chkChkMst.visible);
        EXPECT_FALSE(form.chkSkipMst.visible);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(errors.reportCount(), 0);
    }
}

// One table written as .xls, .xlsx and a Windows-1252 text file loads alike: a boolean as "True", a
// date-time whole whatever its format shows, 01-Mar-2100 and serial 60 on the calendar, a date and a
// time in amount columns as they stand, a number from 15 significant digits, accents and curly quotes.
TEST_F(FixtureLoadTest, EveryKindOfTheExcelTabLoadsACellAlike) {
    const QList<QStringList> expected = {
        {"1", "Sales", "1", "08-Dec-2026", "Café Noir", "1500.000", "", "True", "08-Dec-2026 18:00:00",
         "Sales-1-08-Dec-2026", ""},
        {"2", "Sales", "1", "08-Dec-2026", "D’Souza", "08-Dec-2026", "True", "False", "08-Dec-2026 18:00:00",
         "Sales-1-08-Dec-2026", ""},
        {"3", "Receipt", "2", "01-Mar-2100", "Bank", "123456789012346000.000", "12:30:00", "True",
         "28-Feb-1900", "Receipt-2-01-Mar-2100", ""},
        QStringList(11, QString()),
        QStringList(11, QString()),
    };
    QList<QStringList> firstSource;
    for (const char* file : {"kinds.xls", "kinds.xlsx", "kindstext/transactions.csv"}) {
        SCOPED_TRACE(file);
        pickExcel(QString::fromLatin1(file), QStringLiteral("TRANSACTIONS"));
        EXPECT_EQ(rows(), expected);
        if (firstSource.isEmpty())
            firstSource = sourceRows();
        else
            EXPECT_EQ(sourceRows(), firstSource);
        EXPECT_EQ(errors.reportCount(), 0);
    }
}

TEST_F(FixtureLoadTest, SourceGridHoldsTheRepairedTable) {
    pickExcel(QStringLiteral("loadertext/transactions.csv"), QStringLiteral("TRANSACTIONS"));
    const QList<QStringList> expected = {
        {"SrNo", "VchType", "VchNo", "VchDate", "RefNo", "Ledger", "Debit", "Credit", "Narration"},
        {"1", "Sales", "1", "08-Dec-2026", "R1", "Cash", "1500.000", "", "First"},
        {"2", "Sales", "1", "08-Dec-2026", "R1", "Sales", "", "1500.000", ""},
        {"3", "Sales", "1", "08-Dec-2026", "R1", "Tax", "", "0.000", ""},
        {"4", "Receipt", "2", "09-Dec-2026", "", "Bank", "", "250.500", ""},
        {"5", "Receipt", "2", "09-Dec-2026", "", "Cash", "250.500", "", ""},
    };
    EXPECT_EQ(sourceRows(), expected);
}

// The user's patterns rewrite dates and amounts, and the built ID with them; empty ones leave the general
// text.
TEST_F(FixtureLoadTest, PatternsRewriteDatesAndAmountsAndTheBuiltId) {
    struct Case {
        const char* dateFormat;
        const char* decimalPlaces;
        QStringList first, fourth;
    };
    const Case cases[] = {
        {"yyyy/mm/dd",
         "0.00",
         {"1", "Sales", "1", "2026/12/08", "R1", "Cash", "1500.00", "", "First", "Sales-1-2026/12/08-R1", ""},
         {"4", "Receipt", "2", "2026/12/09", "", "Bank", "", "250.50", "", "Receipt-2-2026/12/09-", ""}},
        {"",
         "",
         {"1", "Sales", "1", "2026-12-08", "R1", "Cash", "1500", "", "First", "Sales-1-2026-12-08-R1", ""},
         {"4", "Receipt", "2", "2026-12-09", "", "Bank", "", "250.5", "", "Receipt-2-2026-12-09-", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dateFormat);
        form.DateFormat = QString::fromLatin1(c.dateFormat);
        form.DecimalPlaces = QString::fromLatin1(c.decimalPlaces);
        pickExcel(QStringLiteral("loadertext/transactions.csv"), QStringLiteral("TRANSACTIONS"));
        ASSERT_GE(rows().size(), 4);
        EXPECT_EQ(rows()[0], c.first);
        EXPECT_EQ(rows()[3], c.fourth);
    }
}

TEST_F(FixtureLoadTest, IdFieldOfTheSourceIsFilledDownWithItsNarration) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("ORDERS"));
    EXPECT_EQ(keys(), (QStringList{"ID", "VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "AMOUNT", "NARRATION",
                                   "SRNO", "PROCESSSTATUS"}));
    const QList<QStringList> expected = {
        {"A1", "Sales Order", "7", "08-Dec-2026", "Cash", "100.000", "Note A", "1", ""},
        {"A1", "Sales Order", "7", "08-Dec-2026", "Sales", "100.000", "Note A", "2", ""},
        // A new ID: its date runs on from the row above, its narration does not.
        {"A2", "Sales Order", "8", "08-Dec-2026", "Cash", "50.000", "", "3", ""},
        {"A2", "Sales Order", "8", "08-Dec-2026", "Sales", "50.000", "Own", "4", ""},
        blank(9),
        blank(9),
    };
    EXPECT_EQ(rows(), expected);
}

TEST_F(FixtureLoadTest, BlankRowsAreSkippedButCountedAndMastersAreNotRepaired) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("LEDGERS"));
    EXPECT_EQ(keys(), (QStringList{"NAME", "PARENT", "OPENINGBALANCE", "PROCESSSTATUS"}));
    EXPECT_EQ(headers(), (QStringList{"Name", "Parent", "OpeningBalance", "Process Status"}));
    const QList<QStringList> expected = {
        {"Cash", "Cash-in-hand", "1500", ""},
        {"Bank", "Bank Accounts", "0.5", ""},
        blank(4),
        blank(4),
    };
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(messages(), (QStringList{".........Reading Records => 1/3", ".........Reading Records => 2/3",
                                       ".........Reading Records => 3/3", ""}));
    EXPECT_EQ(form.SB.panel(QStringLiteral("msg")), QString());
    EXPECT_EQ(yield.count, 3);
    EXPECT_FALSE(form.chkChkMst.visible);
    EXPECT_TRUE(form.chkSkipMst.visible);
}

TEST_F(FixtureLoadTest, NumbersAlignRightAndTextLeft) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("TRANSACTIONS"));
    ASSERT_GE(form.GR1.RowCount(), 1);
    QList<int> align;
    for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
        align.append(form.GR1.CellTextAlign(1, c));
    // SrNo, VchType, VchNo, VchDate, RefNo, Ledger, Debit, Credit, Narration, ID, Process Status
    EXPECT_EQ(align, (QList<int>{2, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0}));
}

TEST_F(FixtureLoadTest, AccessFormatsAmountsOfEveryTableWhileCopying) {
    pickAccess(QStringLiteral("loader.mdb"), QStringLiteral("STOCK ITEMS"));
    EXPECT_EQ(keys(), (QStringList{"NAME", "RATE", "QUANTITY", "OPENINGBALANCE", "NOTE", "PROCESSSTATUS"}));
    // Rate and Quantity take the pattern; OpeningBalance and Note are no copy-formatted headers.
    EXPECT_EQ(rows(), (QList<QStringList>{{"Nails", "12.500", "3.000", "100", "7", ""}, blank(6)}));
    // The source grid keeps the values as read.
    EXPECT_EQ(sourceRows()[1], (QStringList{"Nails", "12.5", "3", "100", "7"}));
}

TEST_F(FixtureLoadTest, OdbcViewLoadsLikeATable) {
    pickOdbc(QStringLiteral("UNITS"));
    EXPECT_EQ(keys(), (QStringList{"NAME", "SYMBOL", "PROCESSSTATUS"}));
    EXPECT_EQ(rows(), (QList<QStringList>{{"Numbers", "Nos", ""}, blank(3)}));
}

TEST_F(FixtureLoadTest, EmptySheetGivesColumnsAndTheBlankRows) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("UNITS"));
    EXPECT_EQ(keys(), (QStringList{"F1", "PROCESSSTATUS"}));
    EXPECT_EQ(rows(), (QList<QStringList>{blank(2), blank(2)}));
    EXPECT_EQ(form.lstLedgerTree.Rows(), 2);
    for (const QStringList& row : sourceRows())
        for (const QString& cell : row)
            EXPECT_EQ(cell, QString());
}

// The blank grid names none of the previous table's texts, so they go, however large that table was.
TEST_F(FixtureLoadTest, EmptySheetAfterATableKeepsNoneOfItsTexts) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("LEDGERS"));
    const int columns = form.lstLedgerTree.Cols();
    QList<int> alignments;
    for (int c = 0; c < columns; ++c)
        alignments.append(form.lstLedgerTree.ColAlignment(c));
    const std::weak_ptr<core::TextPool> previous = form.lstLedgerTree.Texts();
    ASSERT_GT(previous.lock()->size(), 1u);

    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("UNITS"));
    EXPECT_TRUE(previous.expired());
    EXPECT_EQ(form.lstLedgerTree.Rows(), 2);
    ASSERT_EQ(form.lstLedgerTree.Cols(), columns);
    for (int c = 0; c < columns; ++c) {
        EXPECT_EQ(form.lstLedgerTree.ColAlignment(c), alignments[c]) << c;
        for (int r = 0; r < 2; ++r)
            EXPECT_EQ(form.lstLedgerTree.TextMatrix(r, c), QString()) << r << ',' << c;
    }
}

TEST_F(FixtureLoadTest, MissingSheetClearsThePreviousTableAndSaysSo) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("LEDGERS"));
    ASSERT_EQ(form.GR1.RowCount(), 4);
    statusLine.changes.clear();

    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("STOCK ITEMS"));
    EXPECT_EQ(boxes.texts(), QStringList{NotFound("STOCKITEMS")});
    EXPECT_EQ(boxes.titles(), QStringList{NotFoundTitle});
    EXPECT_EQ(messages(), QStringList{QStringLiteral(".........") + NotFound("STOCKITEMS")});
    EXPECT_EQ(form.GR1.ColumnCount(), 0);
    EXPECT_EQ(form.GR1.RowCount(), 1); // the final blank row
    EXPECT_EQ(errors.reportCount(), 0);
}

TEST_F(FixtureLoadTest, TextFileRegisterIsNeverFound) {
    previousTable();
    pickExcel(QStringLiteral("loadertext/transactions.csv"), QStringLiteral("SALE REGISTER"));
    EXPECT_EQ(boxes.texts(), QStringList{NotFound("SALEREGISTER")});
    EXPECT_EQ(form.GR1.ColumnCount(), 0);
    EXPECT_EQ(form.GR1.RowCount(), 1);
}

TEST_F(FixtureLoadTest, GridsAreFilledWithRedrawOffAndShownAtTheEnd) {
    test::GridEvents work, source;
    form.GR1.SetObserver(&work);
    form.lstLedgerTree.SetObserver(&source);
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("LEDGERS"));
    form.GR1.SetObserver(nullptr);
    form.lstLedgerTree.SetObserver(nullptr);
    EXPECT_EQ(work.events, (QStringList{"reset", "redraw off", "columns", "rows", "cell", "rows", "cell",
                                        "rows", "redraw on", "rows"}));
    EXPECT_EQ(source.events.first(), QStringLiteral("redraw off"));
    EXPECT_EQ(source.events.last(), QStringLiteral("redraw on"));
    EXPECT_TRUE(form.GR1.Redraw());
    EXPECT_TRUE(form.lstLedgerTree.Redraw());
}

} // namespace
} // namespace quibo
