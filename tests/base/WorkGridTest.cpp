#include "base/WorkGrid.h"

#include "base/RecordingObserver.h"
#include "vb/RuntimeError.h"

#include <gtest/gtest.h>

#include <functional>

namespace quibo {
namespace {

using test::RecordingObserver;

// The columns a loader gives a two-field LEDGERS sheet.
void addLedgerColumns(WorkGrid& grid) {
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddColumn(QStringLiteral("PARENT"), QStringLiteral("Parent"));
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
}

struct Raised {
    int number;
    QString description;
};

Raised raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const vb::RuntimeError& e) {
        return {e.number(), e.description()};
    }
    return {0, QString()};
}

TEST(WorkGrid, StartsEmptyWithRedrawOnAndNoSelection) {
    WorkGrid grid;
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_TRUE(grid.Redraw());
    EXPECT_EQ(grid.SelectedRow(), 0);
}

TEST(WorkGrid, ColumnsKeepKeyHeaderAndAnEmptyTag) {
    WorkGrid grid;
    addLedgerColumns(grid);
    ASSERT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.ColumnIndex(QStringLiteral("PROCESSSTATUS")), 3);
    EXPECT_EQ(grid.ColumnKey(3), QStringLiteral("PROCESSSTATUS"));
    EXPECT_EQ(grid.ColumnHeader(3), QStringLiteral("Process Status"));
    EXPECT_EQ(grid.ColumnHeader(1), QStringLiteral("Name"));
    for (int c = 1; c <= 3; ++c)
        EXPECT_TRUE(grid.ColumnTag(c).isEmpty()) << c;
    grid.SetColumnTag(2, QStringLiteral("map row 4"));
    EXPECT_EQ(grid.ColumnTag(2), QStringLiteral("map row 4"));
    EXPECT_TRUE(grid.ColumnTag(1).isEmpty());
}

TEST(WorkGrid, KeysAreComparedExactlyAndHeadersAreNotKeys) {
    WorkGrid grid;
    addLedgerColumns(grid);
    EXPECT_EQ(grid.FindColumn(QStringLiteral("name")), -1);
    EXPECT_EQ(grid.FindColumn(QStringLiteral("Process Status")), -1);
    EXPECT_EQ(grid.FindColumn(QStringLiteral(" NAME")), -1);
    EXPECT_EQ(grid.FindColumn(QStringLiteral("PARENT")), 2);
}

TEST(WorkGrid, UnknownKeyRaises381NamingTheKey) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    const auto lookup = raisedBy([&] { grid.ColumnIndex(QStringLiteral("GSTIN")); });
    EXPECT_EQ(lookup.number, 381);
    EXPECT_EQ(lookup.description, QStringLiteral("Invalid column key: GSTIN"));
    const auto read = raisedBy([&] { grid.CellText(1, QStringLiteral("name")); });
    EXPECT_EQ(read.number, 381);
    EXPECT_EQ(read.description, QStringLiteral("Invalid column key: name"));
    EXPECT_EQ(raisedBy([&] { grid.SetCellText(1, QStringLiteral("GSTIN"), QStringLiteral("x")); }).number,
              381);
}

TEST(WorkGrid, RefusesRowsAndColumnsPastWhatItHolds) {
    WorkGrid grid;
    for (int c = 0; c < WorkGrid::MaxColumns; ++c)
        grid.AddColumn(QStringLiteral("F"), QString());
    const Raised column = raisedBy([&] { grid.AddColumn(QStringLiteral("G"), QString()); });
    EXPECT_EQ(column.number, 7);
    EXPECT_EQ(column.description,
              QStringLiteral("The grid holds at most 16384 columns; the table has more."));
    EXPECT_EQ(grid.ColumnCount(), WorkGrid::MaxColumns);

    grid.Clear(true); // rows without columns cost nothing
    for (int r = 0; r < WorkGrid::MaxRows; ++r)
        grid.AddRow();
    const Raised row = raisedBy([&] { grid.AddRow(); });
    EXPECT_EQ(row.number, 7);
    EXPECT_EQ(row.description, QStringLiteral("The grid holds at most 16777216 rows; the table has more."));
    EXPECT_EQ(grid.RowCount(), WorkGrid::MaxRows);
}

TEST(WorkGrid, RepeatedKeyFindsTheLeftmostColumn) {
    // A sheet with fields "Rate" and "RATE" gives two columns keyed RATE.
    WorkGrid grid;
    grid.AddColumn(QStringLiteral("RATE"), QStringLiteral("Rate"));
    grid.AddColumn(QStringLiteral("RATE"), QStringLiteral("RATE"));
    EXPECT_EQ(grid.ColumnCount(), 2);
    EXPECT_EQ(grid.ColumnIndex(QStringLiteral("RATE")), 1);
}

TEST(WorkGrid, AddRowAppendsABlankRowAtTheEnd) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.SetCellText(1, 1, QStringLiteral("Cash"));
    grid.AddRow();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("Cash"));
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(grid.CellText(2, c), QString()) << c;
}

TEST(WorkGrid, CellsByNumberAndByKeyAreTheSameCell) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    grid.SetCellText(2, QStringLiteral("PROCESSSTATUS"), QStringLiteral("CREATED"));
    grid.SetCellText(2, 1, QStringLiteral("Sales"));
    EXPECT_EQ(grid.CellText(2, 3), QStringLiteral("CREATED"));
    EXPECT_EQ(grid.CellText(2, QStringLiteral("NAME")), QStringLiteral("Sales"));
    EXPECT_EQ(grid.CellText(1, QStringLiteral("PROCESSSTATUS")), QString());
}

TEST(WorkGrid, SharedTextsAreTakenOnAndEarlierCellsKeepTheirs) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.SetCellText(1, 1, QStringLiteral("Cash"));
    const auto pool = std::make_shared<core::TextPool>();
    const core::TextPool::Id bank = pool->intern(QStringLiteral("Bank"));
    grid.ShareTexts(pool);
    grid.SetCellTextId(1, 2, bank);
    EXPECT_EQ(grid.Texts(), pool);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("Cash"));
    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("Bank"));
    grid.Clear(false);
    EXPECT_NE(grid.Texts(), pool); // an emptied grid lets the texts go
}

struct OutOfRangeCase {
    const char* name;
    std::function<void(WorkGrid&)> action;
    const char* description;
};

class WorkGridOutOfRange : public ::testing::TestWithParam<OutOfRangeCase> {};

TEST_P(WorkGridOutOfRange, Raises381) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    const auto raised = raisedBy([&] { GetParam().action(grid); });
    EXPECT_EQ(raised.number, 381);
    EXPECT_EQ(raised.description, QString::fromLatin1(GetParam().description));
}

const QString kText = QStringLiteral("x");

INSTANTIATE_TEST_SUITE_P(
    Cells, WorkGridOutOfRange,
    ::testing::Values(
        OutOfRangeCase{"ReadRow0", [](WorkGrid& g) { g.CellText(0, 1); }, "Invalid Row value"},
        OutOfRangeCase{"ReadRowPastEnd", [](WorkGrid& g) { g.CellText(3, 1); }, "Invalid Row value"},
        OutOfRangeCase{"ReadColumn0", [](WorkGrid& g) { g.CellText(1, 0); }, "Invalid Col value"},
        OutOfRangeCase{"ReadColumnPastEnd", [](WorkGrid& g) { g.CellText(1, 4); }, "Invalid Col value"},
        OutOfRangeCase{"WriteRowPastEnd", [](WorkGrid& g) { g.SetCellText(3, 1, kText); },
                       "Invalid Row value"},
        OutOfRangeCase{"WriteByKeyRowPastEnd",
                       [](WorkGrid& g) { g.SetCellText(3, QStringLiteral("NAME"), kText); },
                       "Invalid Row value"},
        OutOfRangeCase{"ColorColumnPastEnd", [](WorkGrid& g) { g.SetCellColor(1, 4, 255); },
                       "Invalid Col value"},
        OutOfRangeCase{"IconRow0", [](WorkGrid& g) { g.SetCellIcon(0, 1, 1); }, "Invalid Row value"},
        OutOfRangeCase{"FontRowPastEnd", [](WorkGrid& g) { g.CellFont(3, 3); }, "Invalid Row value"},
        OutOfRangeCase{"RowOfTextsPastTheColumns",
                       [](WorkGrid& g) {
                           const core::TextPool::Id ids[3] = {};
                           g.SetRowTextIds(1, 2, ids, 3);
                       },
                       "Invalid Col value"},
        OutOfRangeCase{"RowOfAlignsRow0",
                       [](WorkGrid& g) {
                           const int aligns[1] = {1};
                           g.SetRowTextAligns(0, 1, aligns, 1);
                       },
                       "Invalid Row value"},
        OutOfRangeCase{"AlignColumn0", [](WorkGrid& g) { g.SetCellTextAlign(1, 0, 2); }, "Invalid Col value"},
        OutOfRangeCase{"HeaderColumnPastEnd", [](WorkGrid& g) { g.ColumnHeader(4); }, "Invalid Col value"},
        OutOfRangeCase{"KeyColumn0", [](WorkGrid& g) { g.ColumnKey(0); }, "Invalid Col value"},
        OutOfRangeCase{"TagColumnPastEnd", [](WorkGrid& g) { g.SetColumnTag(4, kText); },
                       "Invalid Col value"},
        OutOfRangeCase{"SelectRow0", [](WorkGrid& g) { g.SetSelectedRow(0); }, "Invalid Row value"},
        OutOfRangeCase{"SelectRowPastEnd", [](WorkGrid& g) { g.SetSelectedRow(3); }, "Invalid Row value"},
        OutOfRangeCase{"FitColumnPastEnd", [](WorkGrid& g) { g.FitColumn(4); }, "Invalid Col value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WorkGrid, FitColumnOfAnUnknownKeyDoesNothing) {
    WorkGrid grid;
    addLedgerColumns(grid);
    RecordingObserver seen;
    grid.SetObserver(&seen);
    EXPECT_NO_THROW(grid.FitColumn(QStringLiteral("GSTIN")));
    EXPECT_NO_THROW(grid.FitColumn(QStringLiteral("Name")));
    EXPECT_TRUE(seen.calls.isEmpty()) << seen.calls.join(u'|').toStdString();
    grid.FitColumn(QStringLiteral("PARENT"));
    EXPECT_EQ(seen.calls, QStringList{QStringLiteral("fit 2")});
}

TEST(WorkGrid, ClearWithColumnsLetsALoadAddTheSameKeysAnew) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.SetCellText(1, 1, QStringLiteral("Cash"));
    grid.SetCellColor(1, 1, 255);
    grid.SetSelectedRow(1);
    grid.Clear(true);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.SelectedRow(), 0);
    EXPECT_EQ(grid.FindColumn(QStringLiteral("NAME")), -1);

    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddRow();
    EXPECT_EQ(grid.ColumnIndex(QStringLiteral("NAME")), 2);
    EXPECT_EQ(grid.CellText(1, 2), QString());
    EXPECT_EQ(grid.CellColor(1, 1), 0);
}

TEST(WorkGrid, ClearWithoutColumnsDropsOnlyTheRows) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.SetColumnTag(1, QStringLiteral("tag"));
    grid.Clear(false);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.ColumnIndex(QStringLiteral("PARENT")), 2);
    EXPECT_EQ(grid.ColumnTag(1), QStringLiteral("tag"));
}

TEST(WorkGrid, AttributesStartAtTheirDefaults) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    EXPECT_EQ(grid.CellTextAlign(1, 1), 0);
    EXPECT_EQ(grid.CellColor(1, 1), 0);
    EXPECT_EQ(grid.CellIcon(1, 1), -1);
    EXPECT_FALSE(grid.CellFont(1, 1).bold);
}

TEST(WorkGrid, AttributesBelongToTheirCellOnly) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    // What a poster writes for a refused record on row 2.
    for (int c = 1; c <= 3; ++c)
        grid.SetCellColor(2, c, 255);
    grid.SetCellIcon(2, 1, 1);
    grid.SetCellFont(2, 3, GridFont{true});
    grid.SetCellTextAlign(2, 2, 2);

    EXPECT_EQ(grid.CellColor(2, 2), 255);
    EXPECT_EQ(grid.CellColor(1, 2), 0);
    EXPECT_EQ(grid.CellIcon(2, 1), 1);
    EXPECT_EQ(grid.CellIcon(2, 2), -1);
    EXPECT_TRUE(grid.CellFont(2, 3).bold);
    EXPECT_FALSE(grid.CellFont(2, 1).bold);
    EXPECT_EQ(grid.CellTextAlign(2, 2), 2);
    EXPECT_EQ(grid.CellTextAlign(2, 3), 0);

    grid.SetCellIcon(2, 1, 0);
    EXPECT_EQ(grid.CellIcon(2, 1), 0);
    grid.SetCellIcon(2, 1, -1);
    EXPECT_EQ(grid.CellIcon(2, 1), -1);
    grid.SetCellColor(2, 1, 16711680);
    EXPECT_EQ(grid.CellColor(2, 1), 16711680);
}

TEST(WorkGrid, CellsStayInPlaceWhenRowsAndColumnsAreAdded) {
    WorkGrid grid;
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddColumn(QStringLiteral("PARENT"), QStringLiteral("Parent"));
    grid.AddRow();
    grid.AddRow();
    grid.SetCellText(1, 2, QStringLiteral("Sundry Debtors"));
    grid.SetCellText(2, 1, QStringLiteral("Acme"));
    grid.SetCellColor(2, 2, 255);
    grid.SetCellFont(1, 1, GridFont{true});

    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    grid.AddRow();

    EXPECT_EQ(grid.CellText(1, 2), QStringLiteral("Sundry Debtors"));
    EXPECT_EQ(grid.CellText(2, 1), QStringLiteral("Acme"));
    EXPECT_EQ(grid.CellText(1, 3), QString());
    EXPECT_EQ(grid.CellText(2, 3), QString());
    EXPECT_EQ(grid.CellColor(2, 2), 255);
    EXPECT_EQ(grid.CellColor(2, 3), 0);
    EXPECT_TRUE(grid.CellFont(1, 1).bold);
    EXPECT_FALSE(grid.CellFont(3, 1).bold);
    EXPECT_EQ(grid.CellIcon(3, 3), -1);
}

TEST(WorkGrid, RowsAreSetWholeAndMinus1LeavesACellsAlignment) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    grid.SetCellTextAlign(2, 3, 1);
    const core::TextPool::Id ids[2] = {grid.Texts()->intern(QStringLiteral("Cash")),
                                       grid.Texts()->intern(QStringLiteral("Cash-in-Hand"))};
    grid.SetRowTextIds(2, 1, ids, 2);
    const int aligns[3] = {2, -1, 0};
    grid.SetRowTextAligns(1, 1, aligns, 3);
    grid.SetRowTextAligns(2, 1, aligns, 3);
    EXPECT_EQ(grid.CellText(2, 1), QStringLiteral("Cash"));
    EXPECT_EQ(grid.CellText(2, 2), QStringLiteral("Cash-in-Hand"));
    EXPECT_TRUE(grid.CellText(1, 1).isEmpty());
    for (const int row : {1, 2}) {
        EXPECT_EQ(grid.CellTextAlign(row, 1), 2) << row;
        EXPECT_EQ(grid.CellTextAlign(row, 2), 0) << row;
        EXPECT_EQ(grid.CellTextAlign(row, 3), 0) << row;
    }
    const int wrong[1] = {3};
    EXPECT_EQ(raisedBy([&] { grid.SetRowTextAligns(1, 1, wrong, 1); }).number, 380);
}

TEST(WorkGrid, AttributeValuesOutsideTheirRangeRaise380) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    EXPECT_EQ(raisedBy([&] { grid.SetCellTextAlign(1, 1, 3); }).number, 380);
    EXPECT_EQ(raisedBy([&] { grid.SetCellTextAlign(1, 1, -1); }).number, 380);
    EXPECT_EQ(raisedBy([&] { grid.SetCellIcon(1, 1, -2); }).number, 380);
    EXPECT_EQ(grid.CellTextAlign(1, 1), 0);
    EXPECT_EQ(grid.CellIcon(1, 1), -1);
}

TEST(WorkGrid, TellsItsObserverWhatChanged) {
    WorkGrid grid;
    RecordingObserver seen;
    grid.SetObserver(&seen);
    grid.SetRedraw(false);
    addLedgerColumns(grid);
    grid.AddRow();
    grid.SetCellText(1, QStringLiteral("NAME"), QStringLiteral("Cash"));
    grid.SetCellTextAlign(1, 2, 0);
    grid.SetCellColor(1, 3, 255);
    grid.SetCellIcon(1, 1, 1);
    grid.SetCellFont(1, 3, GridFont{true});
    grid.SetColumnTag(1, QStringLiteral("tag"));
    grid.FitColumn(1);
    grid.SetRedraw(false);
    grid.SetRedraw(true);
    grid.SetRedraw(true);
    grid.SetSelectedRow(1);
    grid.Clear(true);
    grid.SetObserver(nullptr);
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));

    const QStringList expected{"redraw off", "columns 1-1", "columns 2-2", "columns 3-3", "rows 1-1",
                               "cell 1,1",   "cell 1,2",    "cell 1,3",    "cell 1,1",    "cell 1,3",
                               "fit 1",      "redraw on",   "select 1",    "reset"};
    EXPECT_EQ(seen.calls, expected);
}

TEST(WorkGrid, RowsSetWholeTellTheObserverOfEachCellSetOrChanged) {
    WorkGrid grid;
    addLedgerColumns(grid);
    grid.AddRow();
    RecordingObserver seen;
    grid.SetObserver(&seen);
    const core::TextPool::Id ids[2] = {};
    grid.SetRowTextIds(1, 2, ids, 2);
    const int aligns[3] = {-1, 1, -1};
    grid.SetRowTextAligns(1, 1, aligns, 3);
    EXPECT_EQ(seen.calls, (QStringList{"cell 1,2", "cell 1,3", "cell 1,2"}));
    grid.SetCellColor(1, 2, 255);
    seen.calls.clear();
    grid.SetRowColor(1, 255); // only the cells not yet red change
    EXPECT_EQ(seen.calls, (QStringList{"cell 1,1", "cell 1,3"}));
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(grid.CellColor(1, c), 255) << c;
}

} // namespace
} // namespace quibo
