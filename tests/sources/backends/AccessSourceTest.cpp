// An Access database read as Jet reads it (tests/data/sources/access.mdb, written by
// make_fixtures.py): rows that still hold deleted columns, Decimals, replication IDs, the tables
// Access keeps for itself, and a database cut short.

#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include <QFile>

#include <gtest/gtest.h>

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
    EXPECT_EQ(Open(Fixture)->tables(), L({"Decimals", "Edited", "Replicas"}));
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

// The fixture's pages: 0-3 the header, the page maps and the catalog, then each table's design and
// its one page of rows: Edited 4-5, Decimals 6-7, Replicas 8-9, MSysCompactError 10-11.
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
                         ::testing::Values(Cut{"InsideItsRows", 9 * 4096 + 100, true, 9},
                                           Cut{"BeforeItsDesign", 8 * 4096, false, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
