// Each backend lists and reads its fixture under tests/data/sources (written by make_fixtures.py).

#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/TableRows.h"
#include "support/TestServices.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::ExpectRows;
using test::L;
using test::Null;

using test::SourcesData;

struct Backend {
    const char* name;
    QString (*connection)();
    QStringList tables;
    QStringList views;
    QString ledgers;
    QString transactions;
    QString empty;
    QStringList emptyColumns;
    std::vector<QStringList> ledgerRows; // Null marks a Null cell
    QList<int> ledgerAlignments;
};

QString Xls() {
    return ExcelConnectionString(SourcesData(QStringLiteral("sample.xls")));
}
QString Xlsx() {
    return XlsxConnectionString(SourcesData(QStringLiteral("sample.xlsx")));
}
QString Mdb() {
    return AccessConnectionString(SourcesData(QStringLiteral("sample.mdb")), QString());
}
QString Odbc() {
    return OdbcConnectionString(test::OdbcTestDsn);
}

// What every typed backend reads from input/ledgers.csv.
std::vector<QStringList> TypedLedgers() {
    return {L({"Cash", "Cash-in-hand", "1234.5", "01-Apr-2024", "True", "Petty cash"}),
            L({"Bank – Überweisung", "Bank Accounts", "-99.99", "31-Jan-2024 13:45:10", "False", ""}),
            L({"नकद खाता", "Sundry Debtors", "0.1", Null, "True", Null}),
            L({"Sales \"quoted\", comma", "Sales Accounts", "123456789012.25", "31-Dec-1999", "False",
               "Year end"})};
}

// An .xls cell cannot hold an empty text.
std::vector<QStringList> XlsLedgers() {
    return {L({"Cash", "Cash-in-hand", "1234.5", "01-Apr-2024", "True", "Petty cash"}),
            L({"Bank – Überweisung", "Bank Accounts", "-99.99", "31-Jan-2024 13:45:10", "False", Null}),
            L({"नकद खाता", "Sundry Debtors", "0.1", Null, "True", Null}),
            L({"Sales \"quoted\", comma", "Sales Accounts", "123456789012.25", "31-Dec-1999", "False",
               "Year end"})};
}

const QStringList LedgerColumns = L({"Name", "Parent", "OpeningBalance", "Opened", "Active", "Note"});
const QStringList Sheets = L({"Empty$", "Headers$", "Ledgers$", "Transactions$"});

std::vector<Backend> Backends() {
    return {
        {"Xls",
         Xls,
         Sheets,
         {},
         QStringLiteral("Ledgers$"),
         QStringLiteral("Transactions$"),
         QStringLiteral("Empty$"),
         L({"F1"}),
         XlsLedgers(),
         {1, 1, 7, 1, 1, 1}},
        {"Xlsx",
         Xlsx,
         Sheets,
         {},
         QStringLiteral("Ledgers$"),
         QStringLiteral("Transactions$"),
         QStringLiteral("Empty$"),
         L({"F1"}),
         TypedLedgers(),
         {1, 1, 7, 1, 1, 1}},
        {"Access",
         Mdb,
         L({"EMPTY", "LEDGERS", "Transactions"}),
         {},
         QStringLiteral("LEDGERS"),
         QStringLiteral("Transactions"),
         QStringLiteral("EMPTY"),
         L({"Name", "Amount"}),
         TypedLedgers(),
         {1, 1, 7, 1, 1, 1}},
        {"Odbc",
         Odbc,
         L({"Ledgers", "Transactions", "Empty", "LedgerNames"}),
         L({"LedgerNames"}),
         QStringLiteral("Ledgers"),
         QStringLiteral("Transactions"),
         QStringLiteral("Empty"),
         L({"Name", "Amount"}),
         TypedLedgers(),
         {1, 1, 7, 1, 1, 1}},
    };
}

class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    std::unique_ptr<Source> open() { return OpenConnection(GetParam().connection(), QString(), QString()); }
};

TEST_P(BackendTest, ListsTablesAsTheSourceSpellsThem) {
    auto source = open();
    EXPECT_EQ(source->tables(), GetParam().tables);
    EXPECT_EQ(source->views(), GetParam().views);
}

TEST_P(BackendTest, ReadsTypedCells) {
    const SourceTable table = open()->read(GetParam().ledgers);
    EXPECT_EQ(table.columnNames(), LedgerColumns);
    EXPECT_EQ(table.alignments(), GetParam().ledgerAlignments);
    ExpectRows(table, GetParam().ledgerRows);
}

TEST_P(BackendTest, OrdersBySerialNumber) {
    const SourceTable table = open()->read(GetParam().transactions, QStringLiteral("SrNo"));
    QStringList serials, ledgers;
    for (int r = 0; r < table.recordCount(); ++r) {
        serials.append(table.text(r, 0));
        ledgers.append(table.text(r, 4));
    }
    EXPECT_EQ(serials, L({"1", "2", "3", "9", "10"}));
    EXPECT_EQ(ledgers, L({"Cash", "Sales", "Cash", "Cash", "Sales"}));
    EXPECT_EQ(table.text(4, 6), QStringLiteral("2500.75"));
    EXPECT_EQ(table.text(4, 3), QStringLiteral("05-Apr-2024"));
}

TEST_P(BackendTest, MissingSerialNumberColumnIsAnError) {
    auto source = open();
    try {
        source->read(GetParam().ledgers, QStringLiteral("SrNo"));
        FAIL() << "read without SrNo";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), provider::MissingParameter);
    }
}

TEST_P(BackendTest, EmptyTable) {
    const SourceTable table = open()->read(GetParam().empty);
    EXPECT_EQ(table.columnNames(), GetParam().emptyColumns);
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_P(BackendTest, TableNamesMatchWithoutRegardToCase) {
    EXPECT_EQ(open()->read(GetParam().ledgers.toLower()).recordCount(), 4);
}

TEST_P(BackendTest, MissingTableIsAnError) {
    EXPECT_THROW(open()->read(QStringLiteral("NoSuchTable")), vb::RuntimeError);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BackendTest, ::testing::ValuesIn(Backends()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileBackends, MissingTableIsTheEnginesObjectNotFound) {
    for (const QString& connection : {Xls(), Xlsx(), Mdb()}) {
        try {
            OpenConnection(connection, QString(), QString())->read(QStringLiteral("Sheet9$"));
            ADD_FAILURE() << connection.toStdString();
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.number(), provider::ObjectNotFound);
            EXPECT_TRUE(e.description().contains(QLatin1String("could not find the object 'Sheet9$'")));
        }
    }
}

TEST(Workbooks, BlankHeaderAndCellsBeyondTheHeaderGetJetNames) {
    for (const QString& connection : {Xls(), Xlsx()}) {
        const SourceTable table =
            OpenConnection(connection, QString(), QString())->read(QStringLiteral("Headers$"));
        EXPECT_EQ(table.columnNames(), L({"Code", "F2", "Amount", "F4"}));
        ASSERT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.rowTexts(0), L({"X1", "unnamed", "5", "beyond"}));
    }
}

SourceTable ReadXlsx(const char* file, const char* sheet) {
    return OpenConnection(XlsxConnectionString(SourcesData(QString::fromLatin1(file))), QString(), QString())
        ->read(QString::fromLatin1(sheet));
}

QStringList ColumnTexts(const SourceTable& table, int column) {
    QStringList texts;
    for (int r = 0; r < table.recordCount(); ++r)
        texts.append(table.text(r, column));
    return texts;
}

TEST(Workbooks, XlsxOnThe1904DateSystem) {
    const SourceTable table = ReadXlsx("dates1904.xlsx", "Dates$");
    EXPECT_EQ(ColumnTexts(table, 0), L({"01-Apr-2024", "02-Jan-1904"}));
    EXPECT_EQ(table.columns()[0].kind, ColumnKind::Date);
}

TEST(Workbooks, XlsxSerialsAroundThePhantomLeapDay) {
    // Serials 1 to 59 are one day behind the 1899-12-30 base; 60, the 29 Feb 1900 that never was, is
    // the 28th again; from 61 on the base holds.
    EXPECT_EQ(ColumnTexts(ReadXlsx("cells.xlsx", "Dates$"), 0),
              L({"01-Jan-1900", "28-Feb-1900", "28-Feb-1900", "01-Mar-1900"}));
}

TEST(Workbooks, XlsxEscapesInSharedAndInlineStrings) {
    const SourceTable table = ReadXlsx("cells.xlsx", "Escapes$");
    EXPECT_EQ(table.columnNames(), L({"Shared", "Inline"}));
    for (int column : {0, 1}) {
        SCOPED_TRACE(table.columnNames()[column].toStdString());
        EXPECT_EQ(ColumnTexts(table, column), L({"A\rB", "_x000D_"}));
    }
}

TEST(Odbc, ViewsReadLikeTables) {
    const SourceTable table =
        OpenConnection(Odbc(), QString(), QString())->read(QStringLiteral("LedgerNames"));
    EXPECT_EQ(table.columnNames(), L({"Name"}));
    ASSERT_EQ(table.recordCount(), 4);
    EXPECT_EQ(table.text(2, 0), QString::fromUtf8("नकद खाता"));
}

TEST(Odbc, UserAndPasswordReachTheDriver) {
    // The SQLite driver ignores them; the connection must still open with characters that need quoting.
    auto source = OpenConnection(Odbc(), QStringLiteral("clerk"), QStringLiteral("p;w}d"));
    EXPECT_EQ(source->tables().size(), 4);
}

class TextFiles : public ::testing::Test {
protected:
    std::unique_ptr<Source> source =
        OpenConnection(TextConnectionString(SourcesData(QStringLiteral("text"))), QString(), QString());
};

TEST_F(TextFiles, ListsTheFolderCsvAndTxtFiles) {
    EXPECT_EQ(source->tables(), L({"empty.csv", "ledgers.csv", "transactions.txt"}));
}

TEST_F(TextFiles, CellsAsTheyStand) {
    const SourceTable table = source->read(QStringLiteral("ledgers.csv"));
    // The byte order mark is not part of the first name.
    EXPECT_EQ(table.columnNames(), L({"Name", "Parent", "OpeningBalance", "Note"}));
    EXPECT_EQ(table.alignments(), (QList<int>{1, 1, 1, 1}));
    ASSERT_EQ(table.recordCount(), 4);
    EXPECT_EQ(table.rowTexts(0), L({"Cash", "Cash-in-hand", "1234.50", "Petty cash"}));
    EXPECT_EQ(table.rowTexts(1), L({"Sales \"quoted\", comma", "Sales Accounts", "-99.99", ""}));
    EXPECT_EQ(table.rowTexts(2), L({"नकद खाता", "Sundry Debtors", "", "first line\r\nsecond line"}));
    EXPECT_EQ(table.rowTexts(3), L({" Padded ", "Bank Accounts", "0.10", ""}));
    // A quoted empty cell is an empty text, an unquoted one Null.
    EXPECT_FALSE(IsNull(table.cell(1, 3)));
    EXPECT_TRUE(IsNull(table.cell(2, 2)));
    EXPECT_TRUE(IsNull(table.cell(3, 3)));
}

// Cells with a doubled quote are unescaped into one buffer by the splitter: each keeps its own text.
TEST(TextFile, CellsWithDoubledQuotesKeepTheirOwnTexts) {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("quotes.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "A,B,C,D\n\"x\"\"1\",\"y\"\"2\",plain,\"z\"\"3 and a longer text than fits a short string\"\n");
    file.close();
    const SourceTable table = OpenConnection(TextConnectionString(folder.path()), QString(), QString())
                                  ->read(QStringLiteral("quotes.csv"));
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.rowTexts(0),
              L({"x\"1", "y\"2", "plain", "z\"3 and a longer text than fits a short string"}));
}

TEST_F(TextFiles, NumbersAsTextStillOrderNumerically) {
    const SourceTable table = source->read(QStringLiteral("TRANSACTIONS.TXT"), QStringLiteral("SrNo"));
    QStringList serials;
    for (int r = 0; r < table.recordCount(); ++r)
        serials.append(table.text(r, 0));
    EXPECT_EQ(serials, L({"1", "2", "3", "9", "10"}));
    EXPECT_EQ(table.text(0, 3), QStringLiteral("01-04-2024"));
}

TEST_F(TextFiles, EmptyFileReadsAsOneUnnamedColumn) {
    const SourceTable table = source->read(QStringLiteral("empty.csv"));
    EXPECT_EQ(table.columnNames(), L({"F1"}));
    EXPECT_EQ(table.recordCount(), 0);
}

TEST_F(TextFiles, OtherFilesAreNoTables) {
    EXPECT_THROW(source->read(QStringLiteral("other.dat")), vb::RuntimeError);
}

TEST(TextFile, RowLongerThanTheHeaderGainsJetNamedColumns) {
    test::TempFolder folder;
    QFile file(folder.file(QStringLiteral("wide.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A,B\n1\n1,2,3,4\n");
    file.close();
    const SourceTable table = OpenConnection(TextConnectionString(folder.path()), QString(), QString())
                                  ->read(QStringLiteral("wide.csv"));
    EXPECT_EQ(table.columnNames(), L({"A", "B", "F3", "F4"}));
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_TRUE(IsNull(table.cell(0, 1)));
    EXPECT_TRUE(IsNull(table.cell(0, 3)));
    EXPECT_EQ(table.rowTexts(1), L({"1", "2", "3", "4"}));
}

// A large file is read a piece at a time: rows, quoted cells with doubled quotes and line ends, and
// a cell longer than a piece read as they would from a small file, wherever the pieces end.
TEST(TextFile, ALargeFileReadsAsASmallOne) {
    QByteArray bytes("\xEF\xBB\xBFNo,Name,Note\r\n");
    std::vector<QStringList> rows;
    for (int r = 0; r < 40000; ++r) {
        const QString no = QString::number(r);
        const QString name = r % 7 == 0 ? QStringLiteral("say \"%1\"").arg(r) : QStringLiteral("N%1").arg(r);
        const QString note = r % 5 == 0 ? QStringLiteral("two\r\nlines") : QString();
        bytes += no.toUtf8() + ",\"" + QByteArray(name.toUtf8()).replace("\"", "\"\"") + "\",";
        bytes += (note.isEmpty() ? QByteArray() : "\"" + note.toUtf8() + "\"") + "\r\n";
        rows.push_back({no, name, note});
    }
    const QString longCell(700000, QChar(u'x'));
    bytes += "long,\"" + longCell.toUtf8() + "\",end";
    rows.push_back({QStringLiteral("long"), longCell, QStringLiteral("end")});
    test::TempFolder folder;
    QFile file(folder.file(QStringLiteral("large.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const SourceTable table = OpenConnection(TextConnectionString(folder.path()), QString(), QString())
                                  ->read(QStringLiteral("large.csv"));
    EXPECT_EQ(table.columnNames(), L({"No", "Name", "Note"}));
    ASSERT_EQ(table.recordCount(), static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        ASSERT_EQ(table.rowTexts(static_cast<int>(r)), rows[r]) << r;
}

// A text file's bytes, written to a folder of its own and read as the table "text.csv".
SourceTable ReadTextFile(const QByteArray& bytes) {
    test::TempFolder folder;
    QFile file(folder.file(QStringLiteral("text.csv")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    return OpenConnection(TextConnectionString(folder.path()), QString(), QString())
        ->read(QStringLiteral("text.csv"));
}

// A byte-order mark decides; without one a file that is UTF-8 as a whole reads as UTF-8 and any other
// as Windows-1252, the code page a spreadsheet saves its CSV files in, never with a replacement
// character.
TEST(TextFile, ReadsUtf8OrElseWindows1252) {
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList header, row;
    } cases[] = {
        {"Utf8", "Caf\xC3\xA9,Name\nCaf\xC3\xA9 Noir,D\xE2\x80\x99Souza\n", L({"Café", "Name"}),
         L({"Café Noir", "D’Souza"})},
        {"Utf8Marked",
         "\xEF\xBB\xBF"
         "Caf\xC3\xA9,Name\nCaf\xC3\xA9 Noir,D\xE2\x80\x99Souza\n",
         L({"Café", "Name"}), L({"Café Noir", "D’Souza"})},
        {"Windows1252", "Caf\xE9,Name\nCaf\xE9 Noir,D\x92Souza\n", L({"Café", "Name"}),
         L({"Café Noir", "D’Souza"})},
        // The five bytes the code page leaves free are the control characters of their number.
        {"Windows1252High",
         "A,B\n\x80\x81\x8D\x8F\x90\x9D\x9F,\xA0\xFF\n",
         L({"A", "B"}),
         {QStringLiteral(u"€\u0081\u008D\u008F\u0090\u009DŸ"), QStringLiteral(u"\u00A0ÿ")}},
        // Sequences UTF-8 does not allow: cut off at the end, overlong, a surrogate, past U+10FFFF.
        {"CutAtTheEnd", "A\nD\xE2\x80", L({"A"}), L({"Dâ€"})},
        {"Overlong", "A\n\xC0\xAF", L({"A"}), L({"À¯"})},
        {"Surrogate", "A\n\xED\xA0\x80", L({"A"}), {QStringLiteral(u"í\u00A0€")}},
        {"PastTheLastCharacter", "A\n\xF4\x90\x80\x80", L({"A"}), {QStringLiteral(u"ô\u0090€€")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SourceTable table = ReadTextFile(c.bytes);
        EXPECT_EQ(table.columnNames(), c.header);
        ASSERT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.rowTexts(0), c.row);
    }
}

// The file is read a piece of 256 KiB at a time; whether it is UTF-8 is told of the whole file.
TEST(TextFile, TellsUtf8OfTheWholeFileReadPieceByPiece) {
    constexpr qsizetype Piece = qsizetype(256) << 10;
    auto rowsUpTo = [](qsizetype size) {
        QByteArray bytes("Name\n");
        while (bytes.size() < size - 20)
            bytes += "Ledger " + QByteArray::number(bytes.size()) + "\n";
        return bytes + QByteArray(size - 1 - bytes.size(), 'x') + "\n";
    };
    auto lastRow = [](const SourceTable& table) { return table.rowTexts(table.recordCount() - 1); };

    // A character whose bytes the first piece cuts in two.
    const QByteArray split = rowsUpTo(Piece - 4) + "Caf\xC3\xA9\n";
    ASSERT_EQ(split.indexOf('\xC3'), Piece - 1);
    EXPECT_EQ(lastRow(ReadTextFile(split)), L({"Café"}));

    // Windows-1252 first met past the first piece, after ASCII alone.
    EXPECT_EQ(lastRow(ReadTextFile(rowsUpTo(Piece + 1000) + "Caf\xE9\n")), L({"Café"}));

    // Bytes that read as UTF-8 in the first piece, and Windows-1252 past it: the whole is Windows-1252.
    const SourceTable mixed =
        ReadTextFile("Name\nD\xE2\x80\x99Souza\n" + rowsUpTo(Piece + 1000).mid(5) + "Caf\xE9\n");
    EXPECT_EQ(mixed.rowTexts(0), L({"Dâ€™Souza"}));
    EXPECT_EQ(lastRow(mixed), L({"Café"}));
}

} // namespace
} // namespace quibo
