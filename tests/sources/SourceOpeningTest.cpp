#include "sources/SourceOpening.h"

#include "base/FormFixture.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/ImportTypes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QString Placeholder = QStringLiteral(">>Select Import Type<<");

class ListedSource final : public Source {
public:
    explicit ListedSource(QStringList names) : m_names(std::move(names)) {}
    QStringList tables() override { return m_names; }
    SourceTable read(const QString&, const QString&) override { return {}; }
    QString describe() const override { return QStringLiteral("listed source"); }

private:
    QStringList m_names;
};

// Records every connection the form opens; answers with a fixed table list or fails.
struct RecordingOpener {
    struct Call {
        QString connection, user, password;
    };
    std::vector<Call> calls;
    QStringList tables;
    bool fail = false;

    ConnectionOpener opener() {
        return [this](const QString& connection, const QString& user, const QString& password) {
            calls.push_back({connection, user, password});
            if (fail)
                vb::Raise(vb::err::DatabaseError, QStringLiteral("Could not open."), QStringLiteral("Test"));
            return std::unique_ptr<Source>(std::make_unique<ListedSource>(tables));
        };
    }
};

class SourceOpeningTest : public test::FormTest {
protected:
    void SetUp() override {
        opening.cmbTableName_Click = [this] { clicks.append(form.cmbTableName.Text()); };
        seedGrid();
    }
    // A loaded table: one column, one row.
    void seedGrid() {
        form.GR1.Clear(true);
        form.GR1.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
        form.GR1.AddRow();
    }
    QString touch(const QString& name) {
        QFile file(folder.file(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }
    // The box as a listing left it, "UNITS" chosen.
    void chose(const QStringList& items, const QString& choice) {
        form.cmbTableName.Clear();
        for (const QString& item : items)
            form.cmbTableName.AddItem(item);
        form.cmbTableName.SelectText(choice);
    }
    bool gridCleared() const { return form.GR1.ColumnCount() == 0 && form.GR1.RowCount() == 0; }
    QStringList entries() const { return form.cmbTableName.items(); }

    RecordingOpener connections;
    SourceOpening opening{form, connections.opener()};
    QStringList clicks;
};

// ---------------------------------------------------------------- blank and missing paths

TEST_F(SourceOpeningTest, BlankPathEmptiesTheBoxWithoutPlaceholderAndClearsTheGrid) {
    const std::vector<std::pair<const char*, std::function<void()>>> listings = {
        {"Excel", [&] { opening.LoadExcelSheets(QStringLiteral("  ")); }},
        {"Access",
         [&] { opening.LoadAccessTables(QString(), QStringLiteral("admin"), QStringLiteral("pw")); }},
        {"ODBC", [&] { opening.LoadODBCTables(QStringLiteral(" "), QString(), QString()); }},
    };
    for (const auto& [name, listing] : listings) {
        SCOPED_TRACE(name);
        chose({Placeholder, QStringLiteral("UNITS")}, QStringLiteral("UNITS"));
        form.GR1.AddColumn(QStringLiteral("X"), QStringLiteral("X"));
        listing();
        EXPECT_TRUE(entries().isEmpty());
        EXPECT_EQ(form.cmbTableName.Text(), QString());
        EXPECT_TRUE(gridCleared());
    }
    EXPECT_TRUE(connections.calls.empty());
    EXPECT_TRUE(clicks.isEmpty());
}

// A missing file, or a path of another extension, leaves the box as it was: the same entry stays selected,
// so no Click runs.
TEST_F(SourceOpeningTest, MissingFileOrAnotherExtensionChangesNothing) {
    chose({Placeholder, QStringLiteral("UNITS")}, QStringLiteral("UNITS"));
    opening.LoadExcelSheets(folder.file(QStringLiteral("gone.xls")));
    opening.LoadExcelSheets(folder.file(QStringLiteral("gone.csv")));
    opening.LoadAccessTables(folder.file(QStringLiteral("gone.mdb")), QString(), QString());
    opening.LoadExcelSheets(touch(QStringLiteral("notes.doc")));
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("UNITS")}));
    EXPECT_EQ(form.cmbTableName.Text(), QStringLiteral("UNITS"));
    EXPECT_EQ(form.GR1.ColumnCount(), 1);
    EXPECT_TRUE(connections.calls.empty());
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_EQ(errors.reportCount(), 0);
}

// ---------------------------------------------------------------- listings

TEST_F(SourceOpeningTest, WorkbookListedThroughItsConnection) {
    connections.tables = {QStringLiteral("Ledgers$"), QStringLiteral("Units$")};
    const QString xls = touch(QStringLiteral("Books.xls"));
    const QString xlsx = touch(QStringLiteral("Books.XLSX"));
    opening.LoadExcelSheets(xls);
    opening.LoadExcelSheets(xlsx);
    ASSERT_EQ(connections.calls.size(), 2u);
    EXPECT_EQ(
        connections.calls[0].connection,
        QStringLiteral(
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Extended Properties=\"Excel 8.0;HDR=YES;\"")
            .arg(xls));
    EXPECT_EQ(
        connections.calls[1].connection,
        QStringLiteral("Driver={Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)};DBQ=%1;").arg(xlsx));
    for (const auto& call : connections.calls) {
        EXPECT_EQ(call.user, QString());
        EXPECT_EQ(call.password, QString());
    }
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("UNITS")}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    EXPECT_EQ(clicks, (QStringList{Placeholder, Placeholder}));
}

TEST_F(SourceOpeningTest, TextFileListsItsBaseNameWithoutAConnection) {
    struct Case {
        const char* file;
        QStringList entries;
    };
    const Case cases[] = {
        {"ledgers.csv", {Placeholder, QStringLiteral("LEDGERS")}},
        {"Stock Items.CSV", {Placeholder, QStringLiteral("STOCK ITEMS")}},
        {"h_transactions.txt", {Placeholder, QStringLiteral("TRANSACTIONS")}},
        {"ledgersgst.txt", {Placeholder}},
        {"sheet1.csv", {Placeholder}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        opening.LoadExcelSheets(touch(QString::fromLatin1(c.file)));
        EXPECT_EQ(entries(), c.entries);
        EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    }
    EXPECT_TRUE(connections.calls.empty());
}

// Re-listing selects the former choice again (running its Click): exactly for a workbook or text file,
// ignoring case for an Access database, never for an ODBC source.
TEST_F(SourceOpeningTest, RelistingKeepsTheFormerChoice) {
    struct Case {
        const char* name;
        const char* choice;
        std::function<void()> listing;
        QStringList entries; // after the placeholder
        const char* selected;
    };
    const QString xls = touch(QStringLiteral("Books.xls"));
    const QString mdb = touch(QStringLiteral("Books.mdb"));
    const QString txt = touch(QStringLiteral("ledgers.txt"));
    const QStringList both = {QStringLiteral("LEDGERS"), QStringLiteral("UNITS")};
    const Case cases[] = {
        {"WorkbookExactly", "UNITS", [&] { opening.LoadExcelSheets(xls); }, both, "UNITS"},
        {"WorkbookNotInAnotherCase", "units", [&] { opening.LoadExcelSheets(xls); }, both,
         ">>Select Import Type<<"},
        {"TextFile",
         "LEDGERS",
         [&] { opening.LoadExcelSheets(txt); },
         {QStringLiteral("LEDGERS")},
         "LEDGERS"},
        {"AccessIgnoringCase", "units", [&] { opening.LoadAccessTables(mdb, QString(), QString()); }, both,
         "UNITS"},
        {"OdbcNever", "UNITS",
         [&] { opening.LoadODBCTables(QStringLiteral("Accounts"), QString(), QString()); }, both,
         ">>Select Import Type<<"},
    };
    connections.tables = {QStringLiteral("Ledgers$"), QStringLiteral("Units$")};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString choice = QString::fromLatin1(c.choice);
        chose({Placeholder, choice}, choice);
        clicks.clear();
        c.listing();
        const QString selected = QString::fromLatin1(c.selected);
        EXPECT_EQ(entries(), QStringList{Placeholder} + c.entries);
        EXPECT_EQ(form.cmbTableName.Text(), selected);
        EXPECT_EQ(clicks,
                  selected == Placeholder ? QStringList{Placeholder} : (QStringList{Placeholder, selected}));
    }
}

TEST_F(SourceOpeningTest, OdbcButtonConnectsWithUserAndPasswordAndEmptiesTheStatusPanel) {
    connections.tables = {QStringLiteral("Ledgers"), QStringLiteral("Units")};
    form.txtODBCPath = QStringLiteral("Accounts");
    form.txtODBCUser = QStringLiteral("clerk");
    form.txtPass = QStringLiteral("pw");
    form.stat(QStringLiteral("old"), QStringLiteral("msg"));
    statusLine.changes.clear();
    opening.cmdODBCPath_Click();
    ASSERT_EQ(connections.calls.size(), 1u);
    EXPECT_EQ(connections.calls[0].connection, QStringLiteral("DSN=Accounts"));
    EXPECT_EQ(connections.calls[0].user, QStringLiteral("clerk"));
    EXPECT_EQ(connections.calls[0].password, QStringLiteral("pw"));
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("UNITS")}));
    EXPECT_EQ(statusLine.changes,
              (QStringList{QStringLiteral("msg="), QStringLiteral("msg=.........Ledgers"),
                           QStringLiteral("msg=.........Units"), QStringLiteral("msg=")}));
}

TEST_F(SourceOpeningTest, AccessPasswordOnlyInTheConnectionString) {
    const QString path = touch(QStringLiteral("Books.mdb"));
    opening.LoadAccessTables(path, QStringLiteral("admin"), QString());
    opening.LoadAccessTables(path, QStringLiteral("admin"), QStringLiteral("Secret#1"));
    ASSERT_EQ(connections.calls.size(), 2u);
    EXPECT_EQ(connections.calls[0].connection,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    EXPECT_EQ(connections.calls[1].connection,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                  QStringLiteral(";Jet OLEDB:Database Password=Secret#1"));
    for (const auto& call : connections.calls) {
        EXPECT_FALSE(call.connection.contains(QLatin1String("admin")));
        EXPECT_EQ(call.user, QString());
        EXPECT_EQ(call.password, QString());
    }
}

struct FailedListing {
    const char* name;
    const char* file; // "" for ODBC
    const char* location;
};

class FailedConnectionTest : public SourceOpeningTest, public ::testing::WithParamInterface<FailedListing> {};

TEST_P(FailedConnectionTest, LeavesOnlyThePlaceholderAndReportsTheListingsCode) {
    connections.fail = true;
    chose({Placeholder, QStringLiteral("UNITS")}, QStringLiteral("UNITS"));
    const QString file = QString::fromLatin1(GetParam().file);
    if (file.endsWith(QLatin1String(".mdb")))
        opening.LoadAccessTables(touch(file), QString(), QString());
    else if (file.isEmpty())
        opening.LoadODBCTables(QStringLiteral("Accounts"), QString(), QString());
    else
        opening.LoadExcelSheets(touch(file));

    EXPECT_EQ(entries(), QStringList{Placeholder});
    EXPECT_EQ(form.cmbTableName.ListIndex(), -1);
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_EQ(errors.reportCount(), 1);
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("LOCATION CODE: %1()").arg(GetParam().location)))
        << errors.lastReport().toStdString();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(form.GR1.ColumnCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Listings, FailedConnectionTest,
                         ::testing::Values(FailedListing{"Xls", "Books.xls", "F01-0003"},
                                           FailedListing{"Xlsx", "Books.xlsx", "F01-0003"},
                                           FailedListing{"Access", "Books.mdb", "F01-0005"},
                                           FailedListing{"Odbc", "", "F01-0007"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- browse buttons

TEST_F(SourceOpeningTest, ExcelBrowseButton) {
    connections.tables = {QStringLiteral("Ledgers$")};
    const QString path = touch(QStringLiteral("Books.xls"));
    files.answerNext(path);
    opening.cmdFilePath_Click();
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].filter, QStringLiteral("Microsoft Excel (*.xls)|*.xls| All Files (*.*)|*.*"));
    EXPECT_EQ(files.asked[0].defaultExtension, QStringLiteral(".xls"));
    EXPECT_EQ(files.asked[0].title, QString());
    EXPECT_EQ(form.txtFilePath, path);
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS")}));
    EXPECT_EQ(form.GR1.ColumnCount(), 1);
}

TEST_F(SourceOpeningTest, AccessBrowseButton) {
    connections.tables = {QStringLiteral("Ledgers")};
    form.txtMDBUser = QStringLiteral("admin");
    form.txtMDBPass = QStringLiteral("pw");
    const QString path = touch(QStringLiteral("Books.mdb"));
    files.answerNext(path);
    opening.cmdMDBPath_Click();
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].filter, QStringLiteral("Microsoft Access (*.mdb)|*.mdb| All Files (*.*)|*.*"));
    EXPECT_EQ(files.asked[0].defaultExtension, QStringLiteral(".mdb"));
    EXPECT_EQ(form.txtMdbPath, path);
    ASSERT_EQ(connections.calls.size(), 1u);
    EXPECT_EQ(connections.calls[0].connection,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                  QStringLiteral(";Jet OLEDB:Database Password=pw"));
    EXPECT_EQ(entries(), (QStringList{Placeholder, QStringLiteral("LEDGERS")}));
}

// A cancelled browse (or a dialog answer of blanks, or the ODBC button without a name) leaves only the
// placeholder, selected; only the Excel button also clears the grid.
TEST_F(SourceOpeningTest, BrowseCancelled) {
    enum Button { Excel, Access, Odbc };
    struct Case {
        const char* name;
        Button button;
        const char* answer; // nullptr: the dialog is cancelled
        bool clearsGrid;
    };
    const Case cases[] = {{"Excel", Excel, nullptr, true},
                          {"ExcelAnswerOfBlanks", Excel, "   ", true},
                          {"Access", Access, nullptr, false},
                          {"OdbcWithoutAName", Odbc, nullptr, false}};
    form.txtODBCPath = QStringLiteral("  ");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seedGrid();
        chose({Placeholder, QStringLiteral("UNITS")}, QStringLiteral("UNITS"));
        clicks.clear();
        if (c.answer)
            files.answerNext(QString::fromLatin1(c.answer));
        else if (c.button != Odbc)
            files.cancelNext();
        if (c.button == Excel) opening.cmdFilePath_Click();
        if (c.button == Access) opening.cmdMDBPath_Click();
        if (c.button == Odbc) opening.cmdODBCPath_Click();
        EXPECT_EQ(entries(), QStringList{Placeholder});
        EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
        EXPECT_EQ(clicks, QStringList{Placeholder});
        EXPECT_EQ(gridCleared(), c.clearsGrid);
        EXPECT_EQ(form.txtFilePath, QString());
        EXPECT_EQ(form.txtMdbPath, QString());
    }
    EXPECT_TRUE(connections.calls.empty());
}

// ---------------------------------------------------------------- validate handlers

TEST_F(SourceOpeningTest, FilePathValidate) {
    struct Case {
        const char* name;
        QString text;
        QStringList entries;
        QString selected;
    };
    connections.tables = {QStringLiteral("Ledgers$")};
    const Case cases[] = {
        {"Blank", QStringLiteral(" "), {Placeholder}, Placeholder},
        {"MissingWorkbook", folder.file(QStringLiteral("gone.xls")), {Placeholder}, Placeholder},
        {"MissingWorkbookAnyCase", folder.file(QStringLiteral("gone.Xls")), {Placeholder}, Placeholder},
        {"MissingTextFile",
         folder.file(QStringLiteral("gone.csv")),
         {Placeholder, QStringLiteral("UNITS")},
         QStringLiteral("UNITS")},
        {"OtherExtension",
         folder.file(QStringLiteral("gone.doc")),
         {Placeholder, QStringLiteral("UNITS")},
         QStringLiteral("UNITS")},
        {"Workbook",
         touch(QStringLiteral("Books.xls")),
         {Placeholder, QStringLiteral("LEDGERS")},
         Placeholder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chose({Placeholder, QStringLiteral("UNITS")}, QStringLiteral("UNITS"));
        form.txtFilePath = c.text;
        bool cancel = false;
        opening.txtFilePath_Validate(cancel);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(entries(), c.entries);
        EXPECT_EQ(form.cmbTableName.Text(), c.selected);
        EXPECT_EQ(form.txtFilePath, c.text);
    }
}

TEST_F(SourceOpeningTest, MdbPathValidate) {
    struct Case {
        const char* name;
        QString text;
        QStringList entries;
        QString selected;
    };
    connections.tables = {QStringLiteral("Units")};
    const Case cases[] = {
        {"Blank", QString(), {Placeholder}, Placeholder},
        {"MissingDatabase", folder.file(QStringLiteral("gone.MDB")), {Placeholder}, Placeholder},
        {"MissingOtherExtension",
         folder.file(QStringLiteral("gone.accdb")),
         {Placeholder, QStringLiteral("LEDGERS")},
         QStringLiteral("LEDGERS")},
        {"Database", touch(QStringLiteral("Books.mdb")), {Placeholder, QStringLiteral("UNITS")}, Placeholder},
    };
    form.txtMDBUser = QStringLiteral("admin");
    form.txtMDBPass = QStringLiteral("pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chose({Placeholder, QStringLiteral("LEDGERS")}, QStringLiteral("LEDGERS"));
        form.txtMdbPath = c.text;
        bool cancel = false;
        opening.txtMdbPath_Validate(cancel);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(entries(), c.entries);
        EXPECT_EQ(form.cmbTableName.Text(), c.selected);
    }
    ASSERT_EQ(connections.calls.size(), 1u);
    EXPECT_TRUE(connections.calls[0].connection.endsWith(QLatin1String(";Jet OLEDB:Database Password=pw")));
}

// ---------------------------------------------------------------- through the real backends

class RealSourcesTest : public test::FormTest {
protected:
    SourceOpening opening{form};
    QStringList expected{Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("TRANSACTIONS")};
};

TEST_F(RealSourcesTest, ListsEachFixture) {
    opening.LoadExcelSheets(test::SourcesData(QStringLiteral("sample.xls")));
    EXPECT_EQ(form.cmbTableName.items(), expected);
    opening.LoadExcelSheets(test::SourcesData(QStringLiteral("sample.xlsx")));
    EXPECT_EQ(form.cmbTableName.items(), expected);
    opening.LoadAccessTables(test::SourcesData(QStringLiteral("sample.mdb")), QString(),
                             QStringLiteral("any"));
    EXPECT_EQ(form.cmbTableName.items(), expected);
    opening.LoadODBCTables(test::OdbcTestDsn, QString(), QString());
    EXPECT_EQ(form.cmbTableName.items(), expected);
    opening.LoadExcelSheets(test::SourcesData(QStringLiteral("text/transactions.txt")));
    EXPECT_EQ(form.cmbTableName.items(), (QStringList{Placeholder, QStringLiteral("TRANSACTIONS")}));
    EXPECT_EQ(errors.reportCount(), 0);
}

TEST_F(RealSourcesTest, FileInAnotherFormatIsReportedUnderTheListingsCode) {
    const QString fake = folder.file(QStringLiteral("fake.xls"));
    QFile::copy(test::SourcesData(QStringLiteral("text/ledgers.csv")), fake);
    opening.LoadExcelSheets(fake);
    EXPECT_EQ(form.cmbTableName.items(), QStringList{Placeholder});
    EXPECT_TRUE(errors.lastReport().contains(QLatin1String("is not an Excel workbook (.xls).")));
    EXPECT_TRUE(errors.lastReport().contains(QLatin1String("LOCATION CODE: F01-0003()")));

    opening.LoadODBCTables(QStringLiteral("NoSuchSource"), QString(), QString());
    EXPECT_EQ(form.cmbTableName.items(), QStringList{Placeholder});
    EXPECT_TRUE(errors.lastReport().contains(QLatin1String("Data source name not found")));
    EXPECT_TRUE(errors.lastReport().contains(QLatin1String("LOCATION CODE: F01-0007()")));
}

} // namespace
} // namespace quibo
