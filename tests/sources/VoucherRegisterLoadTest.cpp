#include "sources/VoucherRegisterLoad.h"

#include "sources/backends/SourceTable.h"
#include "sources/LoaderFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace quibo {
namespace {

using test::blank;

// A column tag: the given parts, then empty ones up to sixteen, each followed by "|".
QString Tag(QStringList parts) {
    while (parts.size() < 16)
        parts.append(QString());
    return parts.join(QLatin1Char('|')) + QLatin1Char('|');
}

const QString InvalidColumns = QStringLiteral("Column Names in VoucherRegister are Invalid.\r\nDo not use "
                                              "special characters like ! @ # $ % ^ & * ( ) { } [ ] "
                                              "< > , . and spaces.");

class RegisterLoadTest : public test::LoaderTest {};

TEST_F(RegisterLoadTest, TagHasSixteenPartsWhicheverOptionalColumnsTheMapHas) {
    // A map with VATRate and ServiceTaxLedger but no VATClassification: each part keeps its place.
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("VOUCHER REGISTER"));
    EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "LEDGER", "AMOUNT1", "AMOUNT2", "ID", "PROCESSSTATUS"}));
    EXPECT_EQ(tags(), (QStringList{"", "", "AMOUNT1|Sales|Cr|1||18|||||||||ST Ledger||",
                                   Tag({"AMOUNT2", "", "Cr", "2"}), "", ""}));
    // With VchType alone the built ID is just the type.
    EXPECT_EQ(rows(),
              (QList<QStringList>{{"Payment", "Party", "100", "5", "Payment", ""}, blank(6), blank(6)}));
}

TEST_F(RegisterLoadTest, WorkbookMapWithEveryOptionalColumn) {
    struct Case {
        const char* file;
    };
    for (const Case c : {Case{"loader.xls"}, Case{"loader.xlsx"}}) {
        SCOPED_TRACE(c.file);
        previousTable();
        statusLine.changes.clear();
        yield.count = 0;
        pickExcel(QString::fromLatin1(c.file), QStringLiteral("SALE REGISTER"));
        EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "TOTALAMOUNT",
                                       "AMOUNT1", "AMOUNT2", "ID", "PROCESSSTATUS"}));
        EXPECT_EQ(headers(), (QStringList{"VchType", "VchNo", "VchDate", "RefNo", "Ledger", "TotalAmount",
                                          "Amount1", "Amount2", "ID", "Process Status"}));
        EXPECT_EQ(tags(),
                  (QStringList{"", "", "", "", "", Tag({"TOTALAMOUNT", "Auto", "Dr", "1"}),
                               Tag({"AMOUNT1", "Sales", "Cr", "2", "Output VAT 18%", "18", "TotalAmount"}),
                               // The map names it in lower case; the tag holds it upper-cased.
                               Tag({"AMOUNT2", "Service Tax", "Cr", "3", "", "", "Amount1", "Yes", "12.36",
                                    "Amount2", "2", "Amount2", "1", "Amount2", "ST Ledger", "Amount1"}),
                               "", ""}));
        // Every register row is kept, the empty one too, with its cells as read; two blank rows end it.
        const QList<QStringList> expected = {
            {"Sales", "1", "08-Dec-2026", "R1", "Party", "1180", "1000", "180", "Sales-1-08-Dec-2026-R1", ""},
            blank(10),
            {"Sales", "2", "09-Dec-2026", "", "Party", "590", "500", "90", "Sales-2-09-Dec-2026-", ""},
            blank(10),
            blank(10),
        };
        EXPECT_EQ(rows(), expected);
        EXPECT_EQ(messages(),
                  (QStringList{".........Reading Records => 1/3", ".........Reading Records => 2/3",
                               ".........Reading Records => 3/3", ""}));
        EXPECT_EQ(yield.count, 3);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(errors.reportCount(), 0);
        EXPECT_TRUE(form.GR1.Redraw());
    }
}

TEST_F(RegisterLoadTest, MapWithTheFourRequiredColumnsAndAnIdOfItsOwn) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("V_TRANSACTIONS"));
    EXPECT_EQ(keys(), (QStringList{"ID", "VCHTYPE", "LEDGER", "AMOUNT1", "PROCESSSTATUS"}));
    EXPECT_EQ(tags(), (QStringList{"", "", "", Tag({"AMOUNT1", "Sales", "Cr", "1"}), ""}));
    EXPECT_EQ(rows(), (QList<QStringList>{{"T1", "Journal", "Party", "10", ""}, blank(5), blank(5)}));
}

TEST_F(RegisterLoadTest, AccessMapGivesTheFourRequiredPartsOnly) {
    pickAccess(QStringLiteral("loader.mdb"), QStringLiteral("SALEREGISTER"));
    EXPECT_EQ(tags(), (QStringList{"", "", "", "", "", Tag({"TOTALAMOUNT", "Auto", "Dr", "1"}),
                                   Tag({"AMOUNT1", "Sales", "Cr", "2"}),
                                   Tag({"AMOUNT2", "Service Tax", "Cr", "3"}), "", ""}));
    const QList<QStringList> expected = {
        {"Sales", "1", "08-Dec-2026", "R1", "Party", "1180", "1000", "180", "Sales-1-08-Dec-2026-R1", ""},
        blank(10),
        {"Sales", "2", "09-Dec-2026", "", "Party", "590", "500", "90", "Sales-2-09-Dec-2026-", ""},
        blank(10),
    };
    EXPECT_EQ(rows(), expected);

    pickAccess(QStringLiteral("loader.mdb"), QStringLiteral("VOUCHERREGISTER"));
    EXPECT_EQ(tags(), (QStringList{"", "", Tag({"AMOUNT1", "Sales", "Cr", "1"}),
                                   Tag({"AMOUNT2", "", "Cr", "2"}), "", ""}));
    // An empty ledger name is an empty part; twelve empty optional parts follow the four.
    EXPECT_EQ(form.GR1.ColumnTag(4), QStringLiteral("AMOUNT2||Cr|2|||||||||||||"));
}

TEST_F(RegisterLoadTest, OdbcRegisterWithoutRecordsAndItsMapAsAView) {
    pickOdbc(QStringLiteral("SALE REGISTER"));
    // The key columns are looked up in the source grid, whose headers are blank without records: no ID.
    EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "AMOUNT1", "PROCESSSTATUS"}));
    EXPECT_EQ(tags(), (QStringList{"", "", "", "", Tag({"AMOUNT1", "Sales", "Cr", "1"}), ""}));
    EXPECT_EQ(rows(), QList<QStringList>{blank(6)});
    EXPECT_EQ(form.lstLedgerTree.Rows(), 2);
    for (const QStringList& row : sourceRows())
        EXPECT_EQ(row, blank(int(row.size())));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RegisterLoadTest, RegisterWithoutItsMapClearsTheGridAndSaysSo) {
    struct Case {
        const char* name;
        std::function<void()> load;
        const char* message;
    };
    const Case cases[] = {
        {"xls", [&] { pickExcel(QStringLiteral("registers.xls"), QStringLiteral("SALE REGISTER")); },
         "Sheet named as  <SALEREGISTER>  not found in the specified Excel file."},
        {"odbc", [&] { pickOdbc(QStringLiteral("V_TRANSACTIONS")); },
         "Sheet named as  <V_TRANSACTIONS>  not found in the specified Excel file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        previousTable();
        boxes.shown.clear();
        statusLine.changes.clear();
        c.load();
        EXPECT_EQ(boxes.texts(), QStringList{QString::fromLatin1(c.message)});
        EXPECT_EQ(boxes.titles(), QStringList{QStringLiteral("Quibo")});
        EXPECT_EQ(messages(), QStringList{QStringLiteral(".........") + QString::fromLatin1(c.message)});
        EXPECT_EQ(form.GR1.ColumnCount(), 0);
        EXPECT_EQ(form.GR1.RowCount(), 1);
    }
}

TEST_F(RegisterLoadTest, InvalidColumnNameStopsTheLoadAndLeavesNoTableBehind) {
    pickExcel(QStringLiteral("loader.xls"), QStringLiteral("LEDGERS"));
    const QList<QStringList> ledgersSource = sourceRows();
    pickExcel(QStringLiteral("registers.xls"), QStringLiteral("V_TRANSACTIONS"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, InvalidColumns);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Invalid Column Names."));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
    EXPECT_EQ(form.GR1.ColumnCount(), 0);
    EXPECT_EQ(form.GR1.RowCount(), 0); // stopped before the ending's blank row
    EXPECT_EQ(sourceRows(), ledgersSource);
}

TEST_F(RegisterLoadTest, MapNamingAMissingColumnStopsAfterTheTagsBeforeIt) {
    pickExcel(QStringLiteral("registers.xls"), QStringLiteral("VOUCHER REGISTER"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(
        boxes.shown[0].text,
        QStringLiteral(
            "Column >Missing< Not found in VoucherRegister.\r\nPlease check VoucherRegisterMap sheet."));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Column Not Found."));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "AMOUNT1", "AMOUNT2", "ID", "PROCESSSTATUS"}));
    EXPECT_EQ(tags(), (QStringList{"", Tag({"AMOUNT1", "Sales", "Cr", "1"}), "", "", ""}));
    EXPECT_EQ(form.GR1.RowCount(), 0);
    EXPECT_TRUE(form.GR1.Redraw());
    EXPECT_TRUE(form.lstLedgerTree.Redraw());
}

// A register whose map lacks the Order column, with one row naming `mapped`, or no rows.
class NoOrderMap final : public Source {
public:
    explicit NoOrderMap(const char* mapped) : m_mapped(mapped) {}
    QStringList tables() override {
        return {QStringLiteral("V_Transactions$"), QStringLiteral("V_TransactionsMap$")};
    }
    SourceTable read(const QString& table, const QString&) override {
        if (table.contains(QLatin1String("Map"))) {
            SourceTable map({{QStringLiteral("ColumnName"), ColumnKind::Text},
                             {QStringLiteral("LedgerName"), ColumnKind::Text},
                             {QStringLiteral("LedgerSign"), ColumnKind::Text}});
            if (m_mapped)
                map.appendRow({QString::fromLatin1(m_mapped), QStringLiteral("Sales"), QStringLiteral("Cr")});
            return map;
        }
        SourceTable reg(
            {{QStringLiteral("VchType"), ColumnKind::Text}, {QStringLiteral("Amount1"), ColumnKind::Number}});
        reg.appendRow({QStringLiteral("Sales"), 10.0});
        return reg;
    }
    QString describe() const override { return QStringLiteral("no-order map"); }

private:
    const char* m_mapped;
};

// Map fields are read row by row: a missing required column fails only once a row is tagged.
TEST_F(RegisterLoadTest, MapWithoutARequiredColumn) {
    struct Case {
        const char* name;
        const char* mapped; // nullptr: a map without rows
        QStringList boxes;  // besides the error report's
        const char* error;  // "" for none
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {"RowIsTagged", "Amount1", {}, "Item cannot be found in the collection", {}},
        {"NoRows", nullptr, {}, "", {{"Sales", "10", "Sales", ""}, blank(4), blank(4)}},
        {"MissingRegisterColumnFirst",
         "Missing",
         {"Column >Missing< Not found in VoucherRegister.\r\nPlease check VoucherRegisterMap sheet."},
         "",
         {}},
    };
    form.txtFilePath = QStringLiteral("/data/Books.xls");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        const int before = errors.reportCount();
        TableLoader loader(form, [&c](const QString&, const QString&, const QString&) {
            return std::unique_ptr<Source>(std::make_unique<NoOrderMap>(c.mapped));
        });
        select(QStringLiteral("V_TRANSACTIONS"));
        loader.cmbTableName_Click();
        if (*c.error) {
            EXPECT_EQ(errors.reportCount(), before + 1);
            EXPECT_TRUE(errors.lastReport().contains(QLatin1String("LOCATION CODE: F01-0002")));
            EXPECT_TRUE(errors.lastReport().contains(QLatin1String(c.error)));
        } else {
            EXPECT_EQ(errors.reportCount(), before);
            EXPECT_EQ(boxes.texts(), c.boxes);
        }
        // The load ends where it stood: the register's columns, and rows only when it got that far.
        EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "AMOUNT1", "ID", "PROCESSSTATUS"}));
        EXPECT_EQ(rows(), c.rows);
    }
}

// The register and its map through each ODBC driver, read under the spelling the table list gives:
// PostgreSQL keeps an unquoted VoucherRegister as voucherregister.
class OdbcRegisterLoadTest : public test::LoaderTest, public ::testing::WithParamInterface<const QString*> {};

TEST_P(OdbcRegisterLoadTest, RegisterAndMapReadUnderTheirListedNames) {
    if (GetParam() != &test::OdbcSqliteDsn && !test::OdbcServersUnavailable().isEmpty()) {
        const char* ci = std::getenv("CI");
        if (ci && std::strcmp(ci, "true") == 0) FAIL() << test::OdbcServersUnavailable().toStdString();
        GTEST_SKIP() << "no database servers: " << test::OdbcServersUnavailable().toStdString();
    }
    form.tabSourceIndex = 2;
    form.txtODBCPath = *GetParam();
    if (GetParam() != &test::OdbcSqliteDsn) {
        form.txtODBCUser = test::OdbcServerUser;
        form.txtPass = test::OdbcServerPassword;
    }
    pick(QStringLiteral("VOUCHERREGISTER"));
    EXPECT_EQ(errors.reportCount(), 0);
    EXPECT_EQ(keys(), (QStringList{"VCHTYPE", "LEDGER", "AMOUNT1", "ID", "PROCESSSTATUS"}));
    EXPECT_EQ(tags(), (QStringList{"", "", Tag({"AMOUNT1", "Sales", "Cr", "1"}), "", ""}));
    EXPECT_EQ(rows(), (QList<QStringList>{{"Sales", "Party", "1000", "Sales", ""}, blank(5)}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcRegisterLoadTest,
                         ::testing::Values(&test::OdbcSqliteDsn, &test::OdbcPostgreSqlDsn,
                                           &test::OdbcMariaDbDsn),
                         [](const auto& info) { return info.param->mid(5).toStdString(); });

TEST(FieldExists, ComparesUpperCasedNamesWithoutTrimming) {
    test::FormHarness harness;
    const SourceTable map({{QStringLiteral("ColumnName"), ColumnKind::Text},
                           {QStringLiteral("VATRate"), ColumnKind::Number},
                           {QStringLiteral(" Padded"), ColumnKind::Text}});
    struct Case {
        const char* name;
        bool exists;
    };
    const Case cases[] = {{"VATRate", true}, {"vatrate", true},   {"VATRATE", true}, {" padded", true},
                          {"Padded", false}, {"VATRate ", false}, {"Order", false},  {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FieldExists(harness.errors, map, QString::fromLatin1(c.name)), c.exists);
    }
    EXPECT_EQ(harness.errors.reportCount(), 0);
}

} // namespace
} // namespace quibo
