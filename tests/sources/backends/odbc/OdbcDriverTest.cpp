// The ODBC backend through each driver it meets: SQLite, and PostgreSQL and MariaDB servers of the
// run's own (odbc-servers), on the same tables (tests/data/sources/odbc). What the backend decides is
// pinned here once per driver: the table list, the order by SrNo, decimals and singles, Null against
// '', Unicode and long texts, TEXT columns in blocks, unsigned BIGINT, the tables offered.

#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/odbc/OdbcSource.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/TableRows.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <variant>

namespace quibo {
namespace {

using test::ExpectRows;
using test::L;
using test::Null;

struct Driver {
    const char* name;
    const QString* dsn;
    bool server; // reached through the fixture's servers, with the fixture's user and password
    // 12345678901234.56 and -12345678901234567890.125 as the database holds them: SQLite keeps a
    // decimal of more than 15 digits as a double.
    const char* wideDecimals[2];
};

const Driver Drivers[] = {
    {"SQLite", &test::OdbcSqliteDsn, false, {"12345678901234.6", "-12345678901234600000"}},
    {"PostgreSQL", &test::OdbcPostgreSqlDsn, true, {"12345678901234.56", "-12345678901234567890.125"}},
    {"MariaDB", &test::OdbcMariaDbDsn, true, {"12345678901234.56", "-12345678901234567890.125"}},
};

void PrintTo(const Driver& driver, std::ostream* os) {
    *os << driver.name;
}

class OdbcDriver : public ::testing::TestWithParam<Driver> {
protected:
    void SetUp() override {
        if (!GetParam().server) return;
        const QString why = test::OdbcServersUnavailable();
        if (why.isEmpty()) return;
        const char* ci = std::getenv("CI");
        if (ci && std::strcmp(ci, "true") == 0) FAIL() << "no database servers: " << why.toStdString();
        GTEST_SKIP() << "no database servers: " << why.toStdString();
    }

    std::unique_ptr<Source> open() {
        const bool server = GetParam().server;
        return OpenConnection(OdbcConnectionString(*GetParam().dsn),
                              server ? test::OdbcServerUser : QString(),
                              server ? test::OdbcServerPassword : QString());
    }

    // A table as the source spells it (PostgreSQL folds unquoted names to lower case), as the
    // loaders find it; `blockRows` is set to the rows of each block fetched, `narrow` to whether texts
    // were fetched as UTF-8 bytes.
    SourceTable read(const char* table, const QString& orderBy, size_t* blockRows = nullptr,
                     bool* narrow = nullptr, size_t* executions = nullptr) {
        auto source = open();
        for (const QString& name : source->tables()) {
            if (name.compare(QLatin1String(table), Qt::CaseInsensitive) != 0) continue;
            SourceTable read = source->read(name, orderBy);
            if (blockRows) *blockRows = dynamic_cast<OdbcSource&>(*source).blockRows();
            if (narrow) *narrow = dynamic_cast<OdbcSource&>(*source).narrowTexts();
            if (executions) *executions = dynamic_cast<OdbcSource&>(*source).executions();
            return read;
        }
        ADD_FAILURE() << table << " is not listed";
        return {};
    }
};

// MariaDB's user also sees the database "other" (with its own Texts and a Units), and PostgreSQL's
// database holds a second texts in the schema archive: the list is the data source's own, each once.
TEST_P(OdbcDriver, ListsItsOwnDatabasesTablesOnceEach) {
    auto source = open();
    QStringList tables = source->tables();
    for (QString& name : tables)
        name = name.toUpper();
    tables.sort();
    EXPECT_EQ(tables, L({"BIG", "BLANKS", "DATES", "EMPTY", "NOTES", "NUMBERS", "SCRIPTS", "SPARSE",
                         "TEXTNAMES", "TEXTS", "TRANSACTIONS", "VOUCHERREGISTER", "VOUCHERREGISTERMAP"}));
    ASSERT_EQ(source->views().size(), 1);
    EXPECT_EQ(source->views()[0].toUpper(), QStringLiteral("TEXTNAMES"));
}

// Voucher tables are read in SrNo order, whatever case the server keeps the column's name in.
TEST_P(OdbcDriver, OrdersBySerialNumberAsTheTableSpellsIt) {
    const SourceTable table = read("Transactions", QStringLiteral("SrNo"));
    ExpectRows(table, {L({"1", "Cash", "1500"}), L({"2", "Sales", "10"}), L({"3", "Cash", "0.5"}),
                       L({"9", "Cash", "-5"}), L({"10", "Sales", "2500.75"})});
}

TEST_P(OdbcDriver, MissingSerialNumberColumnIsAnError) {
    try {
        read("Numbers", QStringLiteral("SrNo"));
        FAIL() << "read without SrNo";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), provider::MissingParameter);
    }
}

// Decimals keep every digit without an exponent, trailing fractional zeros dropped; singles read as a
// Single shows them; doubles as a Double.
TEST_P(OdbcDriver, DecimalsAreExactAndSinglesReadAsSingles) {
    const SourceTable table = read("Numbers", QStringLiteral("Id"));
    EXPECT_EQ(table.alignments(), (QList<int>{7, 7, 7, 7, 7, 7}));
    const auto* wide = GetParam().wideDecimals;
    ExpectRows(table, {L({"1", "501004567812345678", wide[0], "82.3", "0.1", "1.1"}),
                       L({"2", "0", "100.5", "0.1", "2.5", "0.01"}),
                       L({"3", "-42", "-0.5", "1234.567", "-1E-07", wide[1]}),
                       L({"4", Null, "0", Null, Null, Null})});
}

// Null is not '', Unicode and apostrophes come through, and a text longer than any buffer whole.
TEST_P(OdbcDriver, TextsNullsAndLongTexts) {
    const SourceTable table = read("Texts", QStringLiteral("Id"));
    ExpectRows(table, {L({"1", "नकद खाता ₹", ""}),
                       L({"2", "D'Souza", Null}),
                       {QStringLiteral("3"), QStringLiteral("Long"), QString(70000, QChar(u'Ü'))}});
}

// PostgreSQL's database also holds archive.units, off the search path: a bare name cannot read it,
// so it is not offered. Every table offered reads.
TEST_P(OdbcDriver, OffersOnlyTablesItCanRead) {
    auto source = open();
    for (const QString& name : source->tables()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_NO_THROW(source->read(name));
    }
}

// The rows of Scripts: each run of up to 32 characters of a script, by its first code point.
std::vector<QStringList> EveryCharacter() {
    std::vector<QStringList> expected;
    for (const auto& [first, last] :
         {std::pair(0x80, 0x7FF), {0x900, 0x97F}, {0x10000, 0x1000F}, {0x1F4C0, 0x1F4DF}}) {
        for (char32_t from = first; from <= char32_t(last); from += 32) {
            std::u32string run;
            for (char32_t c = from; c <= std::min<char32_t>(from + 31, last); ++c)
                run += c;
            expected.push_back({QString::number(from), QString::fromUcs4(run.data(), qsizetype(run.size()))});
        }
    }
    return expected;
}

// Every character reads back whole, whatever length the driver states: MariaDB's wide fetch
// states a text one unit short for each character whose UTF-16 low byte is D8-DB.
TEST_P(OdbcDriver, EveryCharacterReadsWhole) {
    ExpectRows(read("Scripts", QStringLiteral("Id")), EveryCharacter());
}

// PostgreSQL's texts are fetched as their UTF-8 bytes only where its driver hands them out so, which
// it does by the locale the program runs in; elsewhere wide. Every character reads whole either way.
TEST_P(OdbcDriver, TextsNarrowOnlyWhereTheyReadWhole) {
    const bool postgres = std::strcmp(GetParam().name, "PostgreSQL") == 0;
    const char* before = std::getenv("LC_ALL");
    const std::string kept = before ? before : "";
    for (const auto& [locale, narrow] : {std::pair("C.UTF-8", true), {"C", !postgres}}) {
        SCOPED_TRACE(locale);
        ::setenv("LC_ALL", locale, 1);
        bool narrowed = !narrow;
        ExpectRows(read("Scripts", QStringLiteral("Id"), nullptr, &narrowed), EveryCharacter());
        EXPECT_EQ(narrowed, narrow);
    }
    if (before)
        ::setenv("LC_ALL", kept.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

// TEXT columns are read in blocks, each value whole: a value longer than the first buffer has the
// column read again wider.
TEST_P(OdbcDriver, TextColumnsReadInBlocks) {
    size_t blockRows = 0;
    const SourceTable table = read("Notes", QStringLiteral("Id"), &blockRows);
    EXPECT_GT(blockRows, 1u);
    ASSERT_EQ(table.recordCount(), 3000);
    for (int r = 0; r < table.recordCount(); ++r) {
        const int i = r + 1;
        const QString note = i % 700 == 0 ? QString(1000, QChar(u'ü'))
                             : i == 2500  ? QString(20000, QLatin1Char('x'))
                                          : QStringLiteral("Note %1").arg(i);
        ASSERT_EQ(table.rowTexts(r), (QStringList{QString::number(i), note})) << i;
    }
}

// Long texts in many columns, each in a block of its own, are read whole in one run, where the driver
// reads a row of its block again (psqlODBC) or fetches it again alone (SQLite's, MariaDB's).
TEST_P(OdbcDriver, LongTextsInManyBlocksRunTheQueryOnce) {
    size_t blockRows = 0, executions = 0;
    const SourceTable table = read("Sparse", QStringLiteral("Id"), &blockRows, nullptr, &executions);
    EXPECT_EQ(executions, 1u);
    // The run again is bound to fit the longest values, still in blocks.
    EXPECT_GT(blockRows, 1u);
    ASSERT_EQ(table.recordCount(), 3000);
    for (int r = 0; r < table.recordCount(); ++r)
        for (int c = 1; c <= 20; ++c)
            ASSERT_EQ(table.text(r, c),
                      r + 1 == 100 * c + 7 ? QString(600, QLatin1Char('x')) : QStringLiteral("short"))
                << r << " " << c;
}

// A column of empty texts across blocks: each is '', never Null (and, under the sanitizers, no empty
// text's characters are handed to memcmp).
TEST_P(OdbcDriver, EmptyTextsAcrossBlocks) {
    const SourceTable table = read("Blanks", QStringLiteral("Id"));
    ASSERT_EQ(table.recordCount(), 5000);
    for (int r = 0; r < table.recordCount(); ++r) {
        ASSERT_FALSE(IsNull(table.cell(r, 1))) << r;
        ASSERT_EQ(table.text(r, 1), QString()) << r;
    }
}

// MariaDB's BIGINT UNSIGNED past 2^63 - 1 reads its digits, never a negative number.
TEST_P(OdbcDriver, UnsignedBigintReadsItsDigits) {
    ExpectRows(read("Big", QStringLiteral("Id")),
               {L({"1", "18446744073709551615"}), L({"2", "9223372036854775808"}), L({"3", "42"})});
}

// Dates come as the driver's text of them, narrow where texts are. A time of day reads as the time a
// workbook's time cell reads as: on the zero date, shown alone.
TEST_P(OdbcDriver, DatesReadAsDates) {
    const SourceTable table = read("Dates", QStringLiteral("Id"));
    EXPECT_EQ(table.columns()[1].kind, ColumnKind::Date);
    EXPECT_EQ(table.columns()[2].kind, ColumnKind::Date);
    ExpectRows(table, {L({"1", "01-Apr-2024", "07:00:00"}), L({"2", Null, Null}),
                       L({"3", "31-Dec-1999", "23:59:59"})});
    EXPECT_EQ(table.cell(0, 2), SourceCell(QDateTime(QDate(1899, 12, 30), QTime(7, 0), Qt::UTC)));
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcDriver, ::testing::ValuesIn(Drivers),
                         [](const auto& info) { return std::string(info.param.name); });

// Table `table` of a SQLite file that `sql` writes, read through the SQLite driver.
SourceTable ReadSqlite(const char* sql, const char* table) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("table.sqlite")));
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return OpenConnection(QStringLiteral("Driver=SQLite3;Database=") + QFile::decodeName(path), QString(),
                          QString())
        ->read(QLatin1String(table));
}

// SQLite keeps any length in a column of a stated length: a value longer than the driver says its
// column holds is read whole all the same, never cut at the length.
TEST(OdbcSqlite, ValuesLongerThanTheirColumnsStatedLengthReadWhole) {
    const SourceTable table =
        ReadSqlite("create table Overlong (Code varchar(3), Amount numeric(3,1), Name varchar(2));"
                   "insert into Overlong values ('ABCDEFGHIJKLMNOP', '12345678901234567', "
                   "'𝄞𝄞𝄞 Ω');",
                   "Overlong");
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.rowTexts(0), L({"ABCDEFGHIJKLMNOP", "12345678901234567", "𝄞𝄞𝄞 Ω"}));
}

// Rows come in blocks: a text repeated from the row above, within a block or across its edge, after a
// Null or an empty text, reads as itself in every row, as do the singles and days beside it.
TEST(OdbcSqlite, RepeatedTextsReadRightAcrossBlocks) {
    const SourceTable table =
        ReadSqlite("create table Runs (Id integer, Grp varchar(20), Rate real, Opened date);"
                   "with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) "
                   "insert into Runs select i, case when i % 7 = 0 then null when i % 11 = 0 then '' "
                   "when i % 13 = 0 then 'खाता ' || (i / 5) else 'G' || (i / 5) end, (i % 100) / 10.0, "
                   "date('2024-04-01', '+' || (i % 30) || ' days') from n;",
                   "Runs");
    ASSERT_EQ(table.recordCount(), 5000);
    for (int r = 0; r < table.recordCount(); ++r) {
        const int i = r + 1;
        const QString group = i % 11 == 0   ? QString()
                              : i % 13 == 0 ? QStringLiteral("खाता %1").arg(i / 5)
                                            : QStringLiteral("G%1").arg(i / 5);
        EXPECT_EQ(IsNull(table.cell(r, 1)), i % 7 == 0) << i;
        EXPECT_EQ(table.rowTexts(r),
                  (QStringList{QString::number(i), i % 7 == 0 ? QString() : group,
                               QString::number((i % 100) / 10.0),
                               QDate(2024, 4, 1).addDays(i % 30).toString(QStringLiteral("dd-MMM-yyyy"))}))
            << i;
    }
}

// Each SQLite value reads as stored, whatever its column declares: a text in a number column stays its
// text (for the loaders' own amount rule), a number keeps its fraction, a BLOB reads Null.
TEST(OdbcSqlite, CellsReadAsStored) {
    enum Kind { Text, Number, Boolean, Nothing };
    struct Case {
        const char* declared;
        const char* stored;
        const char* shown;
        Kind kind;
    };
    const Case cases[] = {
        {"real", "'1,20,000'", "1,20,000", Text},
        {"real", "'12.5abc'", "12.5abc", Text},
        {"real", "'n/a'", "n/a", Text},
        {"real", "2500.75", "2500.75", Number},
        {"real", "-1e-7", "-1E-07", Number},
        {"real", "x'0a1b'", Null, Nothing},
        {"integer", "12.75", "12.75", Number},
        {"integer", "120000.75", "120000.75", Number},
        {"integer", "'Cash'", "Cash", Text},
        {"integer", "-9223372036854775808", "-9223372036854775808", Number},
        {"double", "'12,5'", "12,5", Text},
        {"bigint", "'1.0e+5x'", "1.0e+5x", Text},
        {"boolean", "1", "True", Boolean},
        {"boolean", "'yes'", "yes", Text},
        // The largest doubles, which the driver writes a little past the largest, and the smallest.
        {"real", "1.7976931348623157e308", "1.79769313486232E+308", Number},
        {"double", "-1.7976931348623157e308", "-1.79769313486232E+308", Number},
        {"boolean", "1.7976931348623157e308", "True", Boolean},
        {"real", "4.9e-324", "4.94065645841247E-324", Number},
        // An infinity reads as the text the driver writes, as a text cell of a workbook would.
        {"real", "9e999", "Inf", Text},
        {"boolean", "-9e999", "-Inf", Text},
        // A BLOB reads Null in every kind of column, one too long for a first buffer or for any; a text
        // written as the driver writes a BLOB stays a text.
        {"text", "x'3132'", Null, Nothing},
        {"varchar(10)", "zeroblob(400)", Null, Nothing},
        {"text", "zeroblob(40000)", Null, Nothing},
        {"date", "x'01'", Null, Nothing},
        {"decimal(10,2)", "x'01'", Null, Nothing},
        {"boolean", "x'01'", Null, Nothing},
        {"text", "'X''3132'''", "X'3132'", Text},
        {"real", "'X''0A1B'''", "X'0A1B'", Text},
        {"date", "'X''01'''", "X'01'", Text},
        {"blob", "'X''3132'''", "X'3132'", Text},
        // A U+FEFF that begins a text is a character of it, no byte-order mark.
        {"text", "char(65279) || 'Cash'",
         "\xEF\xBB\xBF"
         "Cash",
         Text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.declared) + " " + c.stored);
        const std::string sql = std::string("create table Stored (V ") + c.declared +
                                "); insert into Stored values (" + c.stored + ");";
        const SourceTable table = ReadSqlite(sql.c_str(), "Stored");
        ASSERT_EQ(table.recordCount(), 1);
        ExpectRows(table, {L({c.shown})});
        const SourceCell& cell = table.cell(0, 0);
        const Kind kind = std::holds_alternative<QString>(cell) ? Text
                          : std::holds_alternative<double>(cell) || std::holds_alternative<qint64>(cell)
                              ? Number
                          : std::holds_alternative<bool>(cell) ? Boolean
                                                               : Nothing;
        EXPECT_EQ(kind, c.kind);
    }
}

// A column declared without a type holds each row's own type, not its first row's.
TEST(OdbcSqlite, UntypedColumnKeepsEachRowsType) {
    ExpectRows(ReadSqlite("create table Loose (Id integer, V); insert into Loose values (1, 5), (2, 'abc'), "
                          "(3, 2.5), (4, '1,20,000');",
                          "Loose"),
               {L({"1", "5"}), L({"2", "abc"}), L({"3", "2.5"}), L({"4", "1,20,000"})});
}

// A column the driver calls binary (declared BLOB, or without a type and a BLOB in its first row)
// reads as stored too: its amounts post as themselves, its texts as texts, a BLOB as Null.
TEST(OdbcSqlite, BinaryColumnsReadAsStored) {
    const SourceTable declared =
        ReadSqlite("create table LEDGERS (NAME text, PARENT text, OPENINGBALANCE blob); insert into LEDGERS "
                   "values ('DB A', 'Sundry Debtors', 48500), ('DB B', 'Sundry Debtors', '-12.5'), "
                   "('DB C', 'Sundry Debtors', x'3132');",
                   "LEDGERS");
    ExpectRows(declared, {L({"DB A", "Sundry Debtors", "48500"}), L({"DB B", "Sundry Debtors", "-12.5"}),
                          L({"DB C", "Sundry Debtors", Null})});
    EXPECT_EQ(declared.cell(0, 2), SourceCell(qint64(48500)));
    const SourceTable untyped = ReadSqlite("create table Loose (Id integer, V); insert into Loose values "
                                           "(1, x'01'), (2, 48500), (3, 'abc'), (4, 2.5);",
                                           "Loose");
    ExpectRows(untyped, {L({"1", Null}), L({"2", "48500"}), L({"3", "abc"}), L({"4", "2.5"})});
    EXPECT_TRUE(IsNull(untyped.cell(0, 1)));
    EXPECT_EQ(untyped.cell(3, 1), SourceCell(2.5));
}

// A SQLite file `name` that `sql` writes into `dir`; its path.
QString WriteSqlite(const QTemporaryDir& dir, const char* sql, const char* name = "table.sqlite") {
    const QString path = dir.filePath(QLatin1String(name));
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return path;
}

OdbcSource SqliteSource(const QString& path) {
    return OdbcSource(QStringLiteral("Driver=SQLite3;Database=") + path, QString(), QString());
}

// Texts that outgrow their buffers in many columns of one block are read whole in the one run, each
// row of them fetched again alone.
TEST(OdbcSqlite, CutColumnsOfABlockWidenInOneRun) {
    QTemporaryDir dir;
    std::string sql = "create table Wide (Id integer";
    for (int c = 1; c <= 20; ++c)
        sql += ", T" + std::to_string(c) + " text";
    sql += "); with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
           "insert into Wide select i";
    for (int c = 1; c <= 20; ++c)
        sql += ", case when i = 1500 then printf('%.1000c', 'x') else 'short' end";
    sql += " from n;";
    OdbcSource source = SqliteSource(WriteSqlite(dir, sql.c_str()));
    const SourceTable table = source.read(QStringLiteral("Wide"));
    EXPECT_EQ(source.executions(), 1u);
    ASSERT_EQ(table.recordCount(), 3000);
    for (int c = 1; c <= 20; ++c) {
        EXPECT_EQ(table.text(1499, c), QString(1000, QLatin1Char('x')));
        EXPECT_EQ(table.text(1500, c), QStringLiteral("short"));
    }
}

// Values cut short at the edges of the result and of its blocks, two in a row and in rows next to each
// other, a text in a number column among them: each row fetched again alone, every other row once.
TEST(OdbcSqlite, CutValuesAtTheEdgesOfBlocksReadInOneRun) {
    QTemporaryDir dir;
    OdbcSource source = SqliteSource(WriteSqlite(
        dir, "create table Edges (Id integer, Amount integer, Note text);"
             "with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) "
             "insert into Edges select i, case when i in (2, 4999) then printf('%.200c', 'a') else i end, "
             "case when i in (1, 2, 3, 1024, 1025, 5000) then printf('%.3000c', 'x') || i else 'n' || i end "
             "from n;"));
    const SourceTable table = source.read(QStringLiteral("Edges"), QStringLiteral("Id"));
    EXPECT_EQ(source.executions(), 1u);
    ASSERT_EQ(table.recordCount(), 5000);
    for (int r = 0; r < 5000; ++r) {
        const int i = r + 1;
        const bool longNote = i <= 3 || i == 1024 || i == 1025 || i == 5000;
        ASSERT_EQ(table.cell(r, 0), SourceCell(qint64(i))) << i;
        ASSERT_EQ(table.cell(r, 1),
                  i == 2 || i == 4999 ? SourceCell(QString(200, QLatin1Char('a'))) : SourceCell(qint64(i)))
            << i;
        ASSERT_EQ(table.text(r, 2),
                  (longNote ? QString(3000, QLatin1Char('x')) : QStringLiteral("n")) + QString::number(i))
            << i;
    }
}

// A table whose name holds letters past ASCII reads as any other.
TEST(OdbcSqlite, NonAsciiTableNameReads) {
    QTemporaryDir dir;
    OdbcSource source = SqliteSource(
        WriteSqlite(dir, "create table \"खाता Ü\" (\"राशि\" integer); insert into \"खाता Ü\" values (7);"));
    ASSERT_EQ(source.tables(), L({"खाता Ü"}));
    const SourceTable table = source.read(QStringLiteral("खाता Ü"));
    EXPECT_EQ(table.columnNames(), L({"राशि"}));
    ExpectRows(table, {L({"7"})});
}

// A database that lists no table says so, naming it, with the driver's reason; a path that names no
// file is not made into a database.
TEST(OdbcSqlite, SourceWithoutTablesSaysSo) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Ledger,Amount\nCash,10\n");
    file.close();
    const QString good =
        WriteSqlite(dir, "create table T (V text); with recursive n(i) as (select 1 union all "
                         "select i + 1 from n where i < 200) insert into T select "
                         "printf('%.900c', 'x') from n;");
    const QString cut = dir.filePath(QStringLiteral("cut.sqlite"));
    QFile whole(good);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile part(cut);
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.write(whole.read(8192));
    part.close();
    const QString missing = dir.filePath(QStringLiteral("missing.sqlite"));
    const QString empty = WriteSqlite(dir, "create table Gone (V text); drop table Gone;", "empty.sqlite");
    const std::pair<QString, QString> cases[] = {
        {text, QStringLiteral(": [SQLite]file is not a database (26)")},
        {cut, QStringLiteral(": [SQLite]database disk image is malformed (11)")},
        {missing, QStringLiteral(": the file ") + missing + QStringLiteral(" does not exist.")},
        {empty, QStringLiteral(".")},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        try {
            SqliteSource(path).tables();
            ADD_FAILURE() << "no error";
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.description().toStdString(), (QStringLiteral("The ODBC data source '") + path +
                                                      QStringLiteral("' lists no table") + reason)
                                                         .toStdString());
        }
    }
    EXPECT_FALSE(QFile::exists(missing));
}

} // namespace
} // namespace quibo
