// An Access database read as Jet reads it (tests/data/sources/access.mdb, written by
// make_fixtures.py): rows that still hold deleted columns, Decimals, replication IDs, the tables
// Access keeps for itself, calculated columns, a Yes/No column added after the rows, and copies of
// it cut short, patched or encrypted.

#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>

namespace quibo {
namespace {

using test::SourcesData;

const QString Fixture = SourcesData(QStringLiteral("access.mdb"));

std::unique_ptr<Source> Open(const QString& path) {
    return OpenConnection(AccessConnectionString(path, QString()), QString(), QString());
}

std::vector<QStringList> Rows(const SourceTable& table) {
    std::vector<QStringList> rows;
    for (int r = 0; r < table.recordCount(); ++r)
        rows.push_back(table.rowTexts(r));
    return rows;
}

QStringList L(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(QString::fromUtf8(t));
    return list;
}

TEST(AccessSource, TablesAccessKeepsForItselfAreNotListed) {
    EXPECT_EQ(Open(Fixture)->tables(), L({"Calculated", "Decimals", "Edited", "Later", "Replicas"}));
}

// Access keeps a deleted column in every row until the file is compacted.
TEST(AccessSource, RowsThatStillHoldDeletedColumnsReadTheTablesOwnColumns) {
    const SourceTable table = Open(Fixture)->read(QStringLiteral("Edited"));
    EXPECT_EQ(table.columnNames(), L({"ID", "Name", "Closing"}));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{L({"1", "Cash", "1500.5"}), L({"2", "Bank", "-20"}),
                                                     L({"3", "Sales", ""})}));
}

TEST(AccessSource, DecimalsKeepEveryDigit) {
    const SourceTable table = Open(Fixture)->read(QStringLiteral("Decimals"));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{
                               L({"Large", "12345678901234.56", "1234567890123456789012.345678", "42"}),
                               L({"Small", "-0.5", "0.000001", "-7"}),
                               L({"Round", "1.5", "2", "0"}),
                               L({"Empty", "", "", ""}),
                           }));
    EXPECT_EQ(table.columns()[1].kind, ColumnKind::Number);
    EXPECT_TRUE(IsNull(table.cell(3, 1)));
}

TEST(AccessSource, ReplicationIdsReadAsJetGivesThem) {
    EXPECT_EQ(Rows(Open(Fixture)->read(QStringLiteral("Replicas"))),
              (std::vector<QStringList>{L({"Head office", "{8E39276A-BCA8-4AC4-891E-49911D8438DD}"}),
                                        L({"None", ""})}));
}

// libmdb reads the files of Access 2007 and later (.accdb) as it reads Access 2000 ones.
TEST(AccessSource, AnAccess2007DatabaseLoads) {
    const test::TempFolder folder;
    const QString path = folder.file(QStringLiteral("ledgers.accdb"));
    ASSERT_TRUE(QFile::copy(Fixture, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(0x14));
    file.write("\x02", 1); // the version of Access 2007
    file.close();
    EXPECT_EQ(Rows(Open(path)->read(QStringLiteral("Edited"))).size(), 3u);
}

// The values Access computed and stored, each in its result type (a Currency declared Double, a
// Yes/No declared Integer, a Single declared Decimal, a memo declared Text, a Decimal in its own
// layout) as Access lays them out.
TEST(AccessSource, CalculatedColumnsReadTheValuesAccessStored) {
    const SourceTable table = Open(Fixture)->read(QStringLiteral("Calculated"));
    EXPECT_EQ(table.columnNames(),
              L({"Name", "Total", "Full", "Share", "Exact", "Paid", "Due", "Note", "Monthly", "Ratio"}));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{
                               L({"Wayne", "50", "Wayne, Bruce", "50.325", "56505085819.42479129657228018",
                                  "True", "31-Jan-2024", "Caped crusader", "83333.3333", "2583.2092"}),
                               L({"Kent", "-7", "Kent, Clark", "0.1", "-0.5", "False", "31-Dec-1999 13:45:10",
                                  "", "-0.0833", "0.0035889593"}),
                               L({"Empty", "", "", "", "", "", "", "", "", ""})}));
    EXPECT_EQ(table.columns()[5].kind, ColumnKind::Boolean);
    EXPECT_EQ(table.columns()[8].kind, ColumnKind::Number);
    EXPECT_TRUE(IsNull(table.cell(2, 5)));
}

TEST(AccessSource, AYesNoColumnAddedAfterTheRowsReadsNoInThem) {
    const SourceTable table = Open(Fixture)->read(QStringLiteral("Later"));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{L({"Cash", "False"}), L({"Bank", "False"})}));
}

// A database the fixture writer makes in `folder` of one table `name`, from the typed CSV `csv`.
QString Written(const test::TempFolder& folder, const QString& name, const QString& csv,
                const QStringList& options = {}) {
    QFile file(folder.file(name + QStringLiteral(".csv")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv.toUtf8());
    file.close();
    const QString path = folder.file(name + QStringLiteral(".mdb"));
    EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                QStringList{QStringLiteral(QUIBO_TEST_DATA "/../tools/mkmdb.py")} + options +
                                    QStringList{path, name + QLatin1Char('=') + file.fileName()}),
              0);
    return path;
}

// Until the file is compacted, Access keeps deleted rows in their pages and their objects in the
// catalog, and counts them still: the table and the catalog count more rows than they hold.
TEST(AccessSource, CountsLeftStaleByDeletionsReadTheLiveRows) {
    const test::TempFolder folder;
    const QString path =
        Written(folder, QStringLiteral("Ledgers"), QStringLiteral("Name:text\nCash\nBank\nSales\n"),
                {QStringLiteral("--deleted=2")});
    const std::unique_ptr<Source> source = Open(path);
    EXPECT_EQ(source->tables(), L({"Ledgers"}));
    EXPECT_EQ(Rows(source->read(QStringLiteral("Ledgers"))), (std::vector<QStringList>{L({"Cash"})}));
}

// Access keeps the properties of a column deleted in design view.
TEST(AccessSource, PropertiesOfADeletedColumnReadTheTablesOwnColumns) {
    const test::TempFolder folder;
    const QString path = Written(folder, QStringLiteral("Prices"),
                                 QStringLiteral("ID:long,VideoID:long:dropped,Price:text\n1,7,Low\n"));
    const SourceTable table = Open(path)->read(QStringLiteral("Prices"));
    EXPECT_EQ(table.columnNames(), L({"ID", "Price"}));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{L({"1", "Low"})}));
}

// Rows Access moved to another page when they grew too big for their own, read where they stand
// now, in the order of the places they left: jackcess's order and cells.
TEST(AccessSource, RowsAccessMovedReadWhereTheyLeft) {
    const SourceTable table =
        Open(SourcesData(QStringLiteral("jackcess/overflowTestV2000.mdb")))->read(QStringLiteral("Table1"));
    EXPECT_EQ(table.columnNames(),
              L({"data1", "data3", "data4", "data5", "data6", "data7", "data8", "data9", "data10"}));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{
                               L({"row1col1", "", "", "", "", "", "", "", ""}),
                               L({"row2col1", "row2col3", "", "", "", "", "", "", ""}),
                               L({"", "row3col3", "", "", "", "", "", "row3col9", ""}),
                               L({"row4col1", "row4col2", "", "", "", "", "", "", ""}),
                               L({"", "row5col2", "", "", "", "", "", "", ""}),
                               L({"", "row6col2", "row6col3", "", "", "", "", "", ""}),
                               L({"row7col1", "", "", "", "", "row7col7", "", "", ""}),
                           }));
    EXPECT_TRUE(IsNull(table.cell(2, 0)));
}

// A memo reads whole wherever Access keeps it: in its row, on one other page, or in a chain of parts.
TEST(AccessSource, MemosReadWhole) {
    QStringList memos;
    for (const int length : {10, 3000, 20000, 70000})
        memos.append((QStringLiteral("\u00e9\u0905 \u00e9") + QStringLiteral("abcdefghij").repeated(7000))
                         .left(length));
    memos.append(QStringLiteral("a\u0000b")); // U+0000 ends libmdb's C string, not the text
    const test::TempFolder folder;
    const QString path =
        Written(folder, QStringLiteral("Memos"), QStringLiteral("Text:memo\n%1\n").arg(memos.join(u'\n')));
    const SourceTable table = Open(path)->read(QStringLiteral("Memos"));
    ASSERT_EQ(table.recordCount(), memos.size());
    for (int r = 0; r < memos.size(); ++r) {
        const QString read = table.rowTexts(r)[0];
        EXPECT_EQ(read.size(), memos[r].size());
        EXPECT_TRUE(read == memos[r]) << "memo " << r;
    }
}

// A character beyond U+FFFF, a pair of UTF-16 surrogates, in a text and in a memo: compressed (the
// pair in a run of two-byte characters) and not (a surrogate with a low byte of 0 stops compression).
TEST(AccessSource, CharactersBeyondTheBasicPlaneReadWhole) {
    const QString compressed = QStringLiteral("a\U0001F601a");
    const QString plain = QStringLiteral("\U00020000\u4E2D");
    const test::TempFolder folder;
    const QString path =
        Written(folder, QStringLiteral("Texts"),
                QStringLiteral("Text:text,Memo:memo\n%1,%1\n%2,%2\n").arg(compressed, plain));
    const SourceTable table = Open(path)->read(QStringLiteral("Texts"));
    EXPECT_EQ(Rows(table), (std::vector<QStringList>{{compressed, compressed}, {plain, plain}}));
}

// The fixture's pages: 0-3 the header, the page maps and the catalog, then each table's design and
// its one page of rows: Calculated 4-5 (and 6, the long value holding its properties), Later 7-8,
// Edited 9-10, Decimals 11-12, Replicas 13-14, MSysCompactError 15-16.
constexpr qint64 Page = 4096;
constexpr quint32 PropertiesPage = 6;
constexpr qint64 Replicas = 13 * Page;

// A copy of the fixture, cut to `bytes` (when not negative) and patched.
QString Damaged(const test::TempFolder& folder, qint64 bytes,
                const std::vector<std::pair<qint64, QByteArray>>& patches = {}) {
    const QString path = folder.file(QStringLiteral("damaged.mdb"));
    EXPECT_TRUE(QFile::copy(Fixture, path));
    if (bytes >= 0) {
        EXPECT_TRUE(QFile::resize(path, bytes));
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    for (const auto& [at, patch] : patches)
        EXPECT_TRUE(file.seek(at) && file.write(patch) == patch.size());
    return path;
}

QByteArray Le32(quint32 v) {
    const char bytes[] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char(v >> 24)};
    return QByteArray(bytes, 4);
}

// What opening the file and reading `table` raises (or "read"), under a watchdog of its own: a
// damaged file that made the library loop would hang the suite, and fails the case instead.
std::string RefusalOf(const QString& path, const QString& table) {
    auto refusal = std::async(std::launch::async, [path, table] {
        try {
            Open(path)->read(table);
            return std::string("read");
        } catch (const vb::RuntimeError& e) {
            return e.description().toStdString();
        }
    });
    if (refusal.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        std::fprintf(stderr, "reading %s did not end within 5 seconds\n", qPrintable(path));
        std::_Exit(1); // the loop cannot be stopped from here
    }
    return refusal.get();
}

std::string Refused(const QString& path, const QString& what) {
    return QStringLiteral("The source \"%1\" %2").arg(path, what).toStdString();
}

// Damage the library could not be trusted with: it looped, grew without end, or read a page it
// never had; each is refused, naming what is damaged.
struct Damage {
    const char* name;
    qint64 bytes; // the file is cut to, or -1
    std::vector<std::pair<qint64, QByteArray>> patches;
    const char* table; // read after the open
    const char* what;  // the refusal, after the file's name
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

class ADamagedDatabase : public ::testing::TestWithParam<Damage> {};

TEST_P(ADamagedDatabase, IsRefusedInTime) {
    const test::TempFolder folder;
    const QString path = Damaged(folder, GetParam().bytes, GetParam().patches);
    EXPECT_EQ(RefusalOf(path, QString::fromUtf8(GetParam().table)),
              Refused(path, QString::fromUtf8(GetParam().what)));
}

// Where the properties' block begins in the fixture: in the one row of the long-value page, after
// the 4 bytes that name the next part (none). A design's page map is named at byte 55 of its page.
qint64 PropertiesAt() {
    QFile file(Fixture);
    return file.open(QIODevice::ReadOnly) ? file.readAll().indexOf(QByteArrayLiteral("MR2\0")) : -1;
}
const qint64 Properties = PropertiesAt();

// Page `page` of the fixture, whole.
QByteArray FixturePage(qint64 page) {
    QFile file(Fixture);
    return file.open(QIODevice::ReadOnly) && file.seek(page * Page) ? file.read(Page) : QByteArray();
}

// The patches that swap two pages of the fixture.
std::vector<std::pair<qint64, QByteArray>> Swapped(qint64 one, qint64 other) {
    return {{one * Page, FixturePage(other)}, {other * Page, FixturePage(one)}};
}

QByteArray Le16(quint16 v) {
    return Le32(v).left(2);
}

// Where the bitmap of the catalog's page map lies: row 0 of page 1, a kind byte and a first page
// before its bits.
qint64 CatalogMapBits() {
    const QByteArray maps = FixturePage(1);
    const auto at = static_cast<unsigned char>(maps[14]) | static_cast<unsigned char>(maps[15]) << 8;
    return Page + (at & 0x1fff) + 5;
}

const Damage Damages[] = {
    {"ItsPropertiesPageMissing",
     PropertiesPage* Page,
     {},
     "Calculated",
     "has a table \"Calculated\" that names page 6, past the end of the file; it is damaged."},
    {"ItsPropertiesLooping",
     -1,
     {{Properties - 4, Le32(PropertiesPage << 8)}},
     "Calculated",
     "has a table \"Calculated\" whose properties cannot be read; it is damaged."},
    {"ItsPropertiesWithAPartOfNoLength",
     -1,
     {{Properties + 4, Le32(0)}},
     "Calculated",
     "has a table \"Calculated\" whose properties cannot be read; it is damaged."},
    {"APageMapPastTheEnd",
     -1,
     {{Replicas + 55, Le32(99u << 8)}},
     "Replicas",
     "has a table \"Replicas\" that names page 99, past the end of the file; it is damaged."},
    {"APageMapRowMissing",
     -1,
     {{Replicas + 55, Le32((1u << 8) | 40)}},
     "Replicas",
     "has a table \"Replicas\" whose page map cannot be read; it is damaged."},
    {"ADesignContinuedPastTheEnd",
     -1,
     {{Replicas + 4, Le32(99)}},
     "Replicas",
     "has a table \"Replicas\" that names page 99, past the end of the file; it is damaged."},
    {"ADesignContinuedInALoop",
     -1,
     {{Replicas + 4, Le32(13)}},
     "Replicas",
     "has a table \"Replicas\" whose design cannot be read; it is damaged."},
    {"NotWholePages",
     14 * Page + 100,
     {},
     "Replicas",
     "is 57444 bytes long, not a whole number of its 4096-byte pages; it is damaged."},
    {"TwoPagesOfRowsSwapped", -1, Swapped(12, 14), "Replicas",
     "has a table \"Replicas\" whose page 14 is not one of its pages; it is damaged."},
    {"APageOfRowsZeroed",
     -1,
     {{14 * Page, QByteArray(Page, '\0')}},
     "Replicas",
     "has a table \"Replicas\" whose page 14 is not one of its pages; it is damaged."},
    {"ARowOffsetInsideTheRowTable",
     -1,
     {{14 * Page + 14, Le16(5)}},
     "Replicas",
     "has a table \"Replicas\" whose row 0 on page 14 cannot be read; it is damaged."},
    {"TwoDesignsSwapped", -1, Swapped(11, 13), "Replicas",
     "has a table \"Replicas\" whose page 12 is not one of its pages; it is damaged."},
    {"ADesignSwappedWithOneItsPropertiesDoNotDescribe", -1, Swapped(4, 7), "Calculated",
     "has a table \"Calculated\" whose design lacks its column \"Total\"; it is damaged."},
    // The column entries start at byte 63 of a design without indexes, 25 bytes each, the column's
    // number at byte 5 of its entry: Key (the second) given Name's.
    {"TwoColumnsOfOneNumber",
     -1,
     {{Replicas + 63 + 25 + 5, Le16(0)}},
     "Replicas",
     "has a table \"Replicas\" whose design cannot be read; it is damaged."},
    {"ACatalogRowOffsetPastItsRow",
     -1,
     {{3 * Page + 14 + 2, Le16(Page - 1)}},
     "Replicas",
     "has a catalog whose row 1 on page 3 cannot be read; it is damaged."},
    {"ACatalogMappingNoPage",
     -1,
     {{CatalogMapBits(), QByteArray(1, '\0')}},
     "Replicas",
     "has a catalog that cannot be read; it is damaged."},
    {"ACatalogPageSwapped", -1, Swapped(3, 5), "Replicas",
     "has a catalog whose page 3 is not one of its pages; it is damaged."},
    {"CutToItsFirstPage",
     Page,
     {},
     "Replicas",
     "has a catalog that names page 2, past the end of the file; it is damaged."},
    {"CutToItsFirstTwoPages",
     2 * Page,
     {},
     "Replicas",
     "has a catalog that names page 2, past the end of the file; it is damaged."},
};

INSTANTIATE_TEST_SUITE_P(AccessSource, ADamagedDatabase, ::testing::ValuesIn(Damages),
                         [](const auto& info) { return std::string(info.param.name); });

// 300 ledgers under a primary key, written over two pages of rows (5 and 6) after the header, the
// page maps, the catalog and the design; the table's page map is row 2 of page 1.
struct LedgersDamage {
    const char* name;
    void (*damage)(QByteArray& file);
    const char* what;
};

void PrintTo(const LedgersDamage& damage, std::ostream* out) {
    *out << damage.name;
}

class DamagedLedgers : public ::testing::TestWithParam<LedgersDamage> {};

TEST_P(DamagedLedgers, AreRefused) {
    QString csv = QStringLiteral("ID:long:key,Name:text\n");
    for (int id = 1; id <= 300; ++id)
        csv += QStringLiteral("%1,Ledger %1\n").arg(id);
    const test::TempFolder folder;
    const QString path = Written(folder, QStringLiteral("Ledgers"), csv);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 7 * Page);
    GetParam().damage(bytes);
    ASSERT_TRUE(file.seek(0) && file.write(bytes) == bytes.size());
    file.close();
    EXPECT_EQ(RefusalOf(path, QStringLiteral("Ledgers")), Refused(path, QString::fromUtf8(GetParam().what)));
}

const LedgersDamage LedgersDamages[] = {
    // Every page still the table's, every row whole: only the keys show the rows read twice.
    {"APageCopiedOverAnotherOfItsTable",
     [](QByteArray& file) { file.replace(6 * Page, Page, file.mid(5 * Page, Page)); },
     "has a table \"Ledgers\" with two rows of one key its design keeps unique; it is damaged."},
    // The count at byte 16 of the design (page 4) is no measure of what a key's set must hold.
    {"ItsDesignCountingFourBillionRows",
     [](QByteArray& file) { file.replace(4 * Page + 16, 4, QByteArray(4, '\xff')); },
     "has a table \"Ledgers\" whose design counts 4294967295 rows where its pages list 300; it is damaged."},
    {"ItsLastPageDroppedFromItsMap",
     [](QByteArray& file) {
         const auto offset = [&](qsizetype at) { return static_cast<unsigned char>(file[at]); };
         const qsizetype row = (offset(Page + 18) | offset(Page + 19) << 8) & 0x1fff;
         file[Page + row + 5] =
             char(file[Page + row + 5] & ~0x40); // page 6: bit 6 of the bitmap's first byte
     },
     "has a table \"Ledgers\" whose design counts 300 rows where its pages list 155; it is damaged."},
};

INSTANTIATE_TEST_SUITE_P(AccessSource, DamagedLedgers, ::testing::ValuesIn(LedgersDamages),
                         [](const auto& info) { return std::string(info.param.name); });

// A memo field of 5 bytes, shorter than the 12 of its header: its row's end of data moved back.
TEST(AccessSource, AMemoShorterThanItsHeaderIsRefused) {
    const test::TempFolder folder;
    const QString path = Written(folder, QStringLiteral("Notes"), QStringLiteral("Note:memo\nabc\n"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    // The row: its column count, the memo (its header, then "abc" compressed), its end of data.
    const qint64 memo = file.readAll().indexOf(QByteArrayLiteral("\x05\x00\x00\x80"));
    ASSERT_GT(memo, 0);
    ASSERT_TRUE(file.seek(memo + 17) && file.write(QByteArray("\x07\x00", 2)) == 2);
    file.close();
    EXPECT_EQ(
        RefusalOf(path, QStringLiteral("Notes")),
        Refused(path, QStringLiteral("has a table \"Notes\" whose memo cannot be read; it is damaged.")));
}

// An Access 2007 database encrypted with a password: its header keeps the key (masked as the rest
// of its settings are), and its pages are unreadable without the password.
TEST(AccessSource, AnEncryptedAccess2007DatabaseIsRefusedAsProtected) {
    const test::TempFolder folder;
    const QString path = Damaged(folder, -1, {{0x14, QByteArray("\x02", 1)}});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(0x3E));
    const QByteArray key = file.read(1);
    ASSERT_TRUE(file.seek(0x3E) && file.write(QByteArray(1, char(key[0] ^ 0x5A))) == 1);
    file.close();
    EXPECT_EQ(RefusalOf(path, QStringLiteral("Edited")),
              Refused(path, QStringLiteral("is protected by a password; it cannot be read.")));
}

struct Cut {
    const char* name;
    qint64 bytes; // the file is cut to
    bool reading; // the refusal comes when Replicas is read, not when the file is opened
    int page;     // the page named
};

void PrintTo(const Cut& cut, std::ostream* out) {
    *out << cut.name;
}

class ADatabaseCutShort : public ::testing::TestWithParam<Cut> {};

TEST_P(ADatabaseCutShort, IsRefusedNamingTheFile) {
    const test::TempFolder folder;
    const QString path = folder.file(QStringLiteral("cut.mdb"));
    ASSERT_TRUE(QFile::copy(Fixture, path));
    ASSERT_TRUE(QFile::resize(path, GetParam().bytes));
    std::string raised;
    try {
        const std::unique_ptr<Source> source = Open(path);
        EXPECT_TRUE(GetParam().reading) << "opened";
        source->read(QStringLiteral("Replicas"));
    } catch (const vb::RuntimeError& e) {
        raised = e.description().toStdString();
    }
    EXPECT_EQ(raised,
              QStringLiteral("The source \"%1\" has a table \"Replicas\" that names page %2, past the end "
                             "of the file; it is damaged.")
                  .arg(path)
                  .arg(GetParam().page)
                  .toStdString());
}

INSTANTIATE_TEST_SUITE_P(AccessSource, ADatabaseCutShort,
                         ::testing::Values(Cut{"InsideItsRows", 14 * Page, true, 14},
                                           Cut{"BeforeItsDesign", 13 * Page, false, 13}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
