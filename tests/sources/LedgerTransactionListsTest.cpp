#include "sources/LedgerTransactionLists.h"

#include "base/FormFixture.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/backends/SourceTable.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Rows = QList<QStringList>;

Rows GridRows(const SourceGrid& grid) {
    Rows out;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.Cols(); ++c)
            row.append(grid.TextMatrix(r, c));
        out.append(row);
    }
    return out;
}

const Rows Untouched = {{"", ""}, {"", ""}};

TEST(LoadRec, FillsTheGridFromTheTableAlone) {
    struct Case {
        const char* name;
        int oldRows, oldCols; // the grid before, every cell "old"
        SourceTable table;
        Rows expected;
    };
    SourceTable typed({{"Name", ColumnKind::Text}, {"Amount", ColumnKind::Number}, {"On", ColumnKind::Date}});
    typed.appendRow({QStringLiteral("Cash"), {}, QDateTime(QDate(2026, 12, 8), QTime(0, 0), Qt::UTC)});
    typed.appendRow({{}, 12.5, true});
    const Case cases[] = {
        {"NullCellsDoNotKeepEarlierText",
         5,
         4,
         typed,
         {{"Name", "Amount", "On"}, {"Cash", "", "08-Dec-2026"}, {"", "12.5", "True"}}},
        {"NoRecordsLeavesTheFieldNames", 2, 2, SourceTable({{"Name", ColumnKind::Text}}), {{"Name"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SourceGrid grid;
        grid.SetRows(c.oldRows);
        grid.SetCols(c.oldCols);
        for (int r = 0; r < c.oldRows; ++r)
            for (int col = 0; col < c.oldCols; ++col)
                grid.SetTextMatrix(r, col, QStringLiteral("old"));
        LoadRec(grid, c.table);
        EXPECT_EQ(GridRows(grid), c.expected);
    }
}

const Rows Ledgers = {{"Name", "Parent", "OpeningBalance"},
                      {"Cash", "Cash-in-hand", "1500"},
                      {"", "", ""},
                      {"Bank", "Bank Accounts", "0.5"}};

TEST(LoadLedgerTransactionLists, ReadsBothSheetsOrTellsWhyNot) {
    struct Case {
        const char* name;
        const char* file; // "" leaves the path box empty
        Rows ledgers, transactions;
        QString title, text;  // of the one critical box shown, "" when none; the text it holds
        const char* location; // of the error report made, "" when none
    };
    const Case cases[] = {
        {"BothSheets",
         "ledgerlists.xls",
         Ledgers,
         {{"ID", "VchType", "VchNo", "RefNo", "VchDate", "Narration", "Ledger", "Debit", "Credit", "Remark"},
          {"S1", "Sales", "1", "R1", "08-Dec-2026", "First sale", "Cash", "1500", "", "paid"},
          {"S1", "", "", "", "", "", "Sales", "", "1500", ""},
          {"R2", "Receipt", "2", "", "09-Dec-2026", "", "Bank", "250.5", "", ""}},
         "",
         "",
         ""},
        {"EmptyPath", "", Untouched, Untouched, "Excel to Tally", "File Path not entered", ""},
        {"NoLedgersSheet", "registers.xls", Untouched, Untouched, "Quibo 1.0 Error = -2147217865",
         "The Microsoft Jet database engine could not find the object 'Ledgers$'.", "F01-0028"},
        {"TransactionsWithoutAnIdColumn", "loader.xls", Ledgers, Untouched, "Quibo 1.0 Error = -2147217904",
         "No value given for one or more required parameters. (ID)", "F01-0028"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FormHarness h;
        h.form.txtFilePath = *c.file ? test::SourcesData(QString::fromLatin1(c.file)) : QString();
        LoadLedgerTransactionLists(h.form);
        EXPECT_EQ(GridRows(h.form.lstLedgerTree), c.ledgers);
        EXPECT_EQ(GridRows(h.form.lstTransactions), c.transactions);
        EXPECT_EQ(h.boxes.titles(), c.title.isEmpty() ? QStringList() : QStringList{c.title});
        for (const MessageBoxRequest& box : h.boxes.shown) {
            EXPECT_EQ(box.icon, MsgIcon::Critical);
            // A report holds the error's description among its lines; a message is its text alone.
            EXPECT_TRUE(*c.location ? box.text.contains(c.text) : box.text == c.text)
                << box.text.toStdString();
        }
        EXPECT_EQ(h.errors.reportCount(), *c.location ? 1 : 0);
        EXPECT_EQ(h.errors.lastLocation(), QString::fromLatin1(c.location));
    }
}

} // namespace
} // namespace quibo
