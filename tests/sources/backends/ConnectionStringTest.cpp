#include "sources/backends/ConnectionString.h"

#include "sources/backends/Connection.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/backends/ProviderError.h"
#include "support/TestServices.h"

#include <QFile>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::SourcesData;

// A ";" in a path would cut the string short; such values are quoted and read back whole.
TEST(ConnectionStrings, ValuesThatWouldBreakTheStringAreQuoted) {
    const QString path = QStringLiteral("/data/a;b \"x\".xls");
    const QString excel = ExcelConnectionString(path);
    EXPECT_EQ(excel,
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/data/a;b \"\"x\"\".xls\";"
                             "Extended Properties=\"Excel 8.0;HDR=YES;\""));
    EXPECT_EQ(ConnectionString(excel).value(QStringLiteral("data source")), path);

    EXPECT_EQ(AccessConnectionString(QStringLiteral("/data/Books.mdb"), QStringLiteral("s3cret ")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/Books.mdb;"
                             "Jet OLEDB:Database Password=\"s3cret \""));

    const QString folder = QStringLiteral("/data/{odd};dir");
    const QString text = TextConnectionString(folder);
    EXPECT_EQ(text,
              QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)};Dbq={/data/{odd}};dir};\""));
    EXPECT_EQ(ConnectionString(text).value(QStringLiteral("DBQ")), folder);
}

TEST(ConnectionStrings, ReadBack) {
    const ConnectionString cs(ExcelConnectionString(QStringLiteral("/data/Quibo.xls")));
    EXPECT_EQ(cs.value(QStringLiteral("PROVIDER")), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(cs.value(QStringLiteral("Extended Properties")), QStringLiteral("Excel 8.0;HDR=YES;"));
    EXPECT_FALSE(cs.has(QStringLiteral("DSN")));
    EXPECT_EQ(cs.value(QStringLiteral("DSN")), QString());

    const ConnectionString dsn(QStringLiteral(" DSN = Accounts ;DSN=Other;PWD={a;b}}c}"));
    EXPECT_EQ(dsn.value(QStringLiteral("dsn")), QStringLiteral("Accounts"));
    EXPECT_EQ(dsn.value(QStringLiteral("PWD")), QStringLiteral("a;b}c"));
}

struct OpenCase {
    const char* name;
    QString connection;
    QString describe;
};

class OpenConnectionTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenConnectionTest, OpensTheBackendTheStringNames) {
    EXPECT_EQ(OpenConnection(GetParam().connection, QString(), QString())->describe(), GetParam().describe);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramStrings, OpenConnectionTest,
    ::testing::Values(
        OpenCase{"JetExcel", ExcelConnectionString(SourcesData(QStringLiteral("sample.xls"))),
                 QStringLiteral("Excel workbook '%1'").arg(SourcesData(QStringLiteral("sample.xls")))},
        OpenCase{"ExcelDriverXlsx", XlsxConnectionString(SourcesData(QStringLiteral("sample.xlsx"))),
                 QStringLiteral("Excel workbook '%1'").arg(SourcesData(QStringLiteral("sample.xlsx")))},
        OpenCase{"ExcelDriverXls", XlsxConnectionString(SourcesData(QStringLiteral("sample.xls"))),
                 QStringLiteral("Excel workbook '%1'").arg(SourcesData(QStringLiteral("sample.xls")))},
        OpenCase{"TextDriver", TextConnectionString(SourcesData(QStringLiteral("text"))),
                 QStringLiteral("text files in '%1'").arg(SourcesData(QStringLiteral("text")))},
        OpenCase{"JetAccess", AccessConnectionString(SourcesData(QStringLiteral("sample.mdb")), QString()),
                 QStringLiteral("Access database '%1'").arg(SourcesData(QStringLiteral("sample.mdb")))},
        OpenCase{"JetAccessWithPassword",
                 AccessConnectionString(SourcesData(QStringLiteral("sample.mdb")), QStringLiteral("any")),
                 QStringLiteral("Access database '%1'").arg(SourcesData(QStringLiteral("sample.mdb")))},
        OpenCase{"Dsn", OdbcConnectionString(test::OdbcTestDsn),
                 QStringLiteral("ODBC data source 'QuiboTest'")}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailCase {
    const char* name;
    QString connection;
    QString source;
    QString description;
};

// The source files' own errors.
const QString Own = QStringLiteral("Quibo");

class OpenFailureTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(OpenFailureTest, RaisesWithTheProvidersWording) {
    try {
        OpenConnection(GetParam().connection, QString(), QString());
        FAIL() << "opened";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.info().source, GetParam().source);
        EXPECT_EQ(e.description(), GetParam().description);
        EXPECT_NE(e.number(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, OpenFailureTest,
    ::testing::Values(
        FailCase{"MissingWorkbook", ExcelConnectionString(QStringLiteral("/nonexistent/a.xls")), Own,
                 QStringLiteral("The source \"/nonexistent/a.xls\" does not exist.")},
        FailCase{"TextIsNoWorkbook", ExcelConnectionString(SourcesData(QStringLiteral("text/ledgers.csv"))),
                 Own,
                 QStringLiteral("The source \"%1\" is not an Excel workbook (.xls).")
                     .arg(SourcesData(QStringLiteral("text/ledgers.csv")))},
        FailCase{"XlsxIsNoXlsWorkbook", ExcelConnectionString(SourcesData(QStringLiteral("sample.xlsx"))),
                 Own,
                 QStringLiteral("The source \"%1\" is not an Excel workbook (.xls).")
                     .arg(SourcesData(QStringLiteral("sample.xlsx")))},
        FailCase{"TextIsNoXlsx", XlsxConnectionString(SourcesData(QStringLiteral("text/ledgers.csv"))), Own,
                 QStringLiteral("The source \"%1\" is not an Excel workbook (.xlsx).")
                     .arg(SourcesData(QStringLiteral("text/ledgers.csv")))},
        FailCase{"WorkbookIsNoDatabase",
                 AccessConnectionString(SourcesData(QStringLiteral("sample.xls")), QString()), Own,
                 QStringLiteral("The source \"%1\" is not an Access database (.mdb or .accdb).")
                     .arg(SourcesData(QStringLiteral("sample.xls")))},
        FailCase{"MissingDatabase", AccessConnectionString(QStringLiteral("/nonexistent/b.mdb"), QString()),
                 Own, QStringLiteral("The source \"/nonexistent/b.mdb\" does not exist.")},
        FailCase{"UnknownDsn", OdbcConnectionString(QStringLiteral("NoSuchSource")), provider::Odbc,
                 QStringLiteral("[unixODBC][Driver Manager]Data source name not found and no default driver "
                                "specified")},
        FailCase{"OtherProvider", QStringLiteral("Provider=SQLOLEDB;Data Source=server"),
                 QStringLiteral("ADODB.Connection"),
                 QStringLiteral("Provider cannot be found. It may not be properly installed.")}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
