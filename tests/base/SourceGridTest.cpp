#include "base/SourceGrid.h"

#include "base/RecordingObserver.h"
#include "vb/RuntimeError.h"

#include <gtest/gtest.h>

#include <functional>

namespace quibo {
namespace {

using test::RecordingObserver;

int numberRaisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const vb::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Every cell of the grid, row by row, cells joined by "|".
QStringList contents(const SourceGrid& grid) {
    QStringList rows;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.Cols(); ++c)
            cells.append(grid.TextMatrix(r, c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

SourceGrid& loadLedgers(SourceGrid& grid) {
    grid.Bind({QStringLiteral("Name"), QStringLiteral("Parent"), QStringLiteral("OpeningBalance")},
              {1, 1, 7});
    grid.AppendRecord({QStringLiteral("Cash"), QStringLiteral("Cash-in-Hand"), QStringLiteral("100")});
    grid.AppendRecord({QStringLiteral("Acme"), QStringLiteral("Sundry Debtors"), QStringLiteral("")});
    return grid;
}

TEST(SourceGrid, HasItsDesignSizeAndBlankCells) {
    SourceGrid grid;
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(contents(grid), (QStringList{"|", "|"}));
    EXPECT_EQ(grid.ColAlignment(0), 0);
    EXPECT_EQ(grid.ColAlignment(1), 0);
    EXPECT_TRUE(grid.Redraw());
}

TEST(SourceGrid, BindPutsFieldNamesInRow0AndRecordsBelow) {
    SourceGrid grid;
    loadLedgers(grid);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Cols(), 3);
    EXPECT_EQ(contents(grid),
              (QStringList{"Name|Parent|OpeningBalance", "Cash|Cash-in-Hand|100", "Acme|Sundry Debtors|"}));
    EXPECT_EQ(grid.ColAlignment(0), 1);
    EXPECT_EQ(grid.ColAlignment(2), 7);
}

TEST(SourceGrid, BindWithoutRecordsLeavesOnlyTheFieldNames) {
    SourceGrid grid;
    grid.SetTextMatrix(1, 1, QStringLiteral("old"));
    grid.Bind({QStringLiteral("ID"), QStringLiteral("VchType"), QStringLiteral("VchNo")}, {9, 1, 1});
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(contents(grid), (QStringList{"ID|VchType|VchNo"}));
}

TEST(SourceGrid, AShortRecordEndsInBlankCells) {
    SourceGrid grid;
    loadLedgers(grid);
    grid.AppendRecord({QStringLiteral("Bank")});
    EXPECT_EQ(contents(grid).last(), QStringLiteral("Bank||"));
}

TEST(SourceGrid, ARecordWiderThanTheFieldsRaisesAndAddsNothing) {
    SourceGrid grid;
    loadLedgers(grid);
    EXPECT_EQ(numberRaisedBy([&] {
                  grid.AppendRecord(
                      {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
              }),
              381);
    EXPECT_EQ(grid.Rows(), 3);
}

TEST(SourceGrid, BoundToAPoolItsRecordsNameThatPoolsTexts) {
    const auto pool = std::make_shared<core::TextPool>();
    const core::TextPool::Id cash = pool->intern(QStringLiteral("Cash"));
    SourceGrid grid;
    grid.Bind({QStringLiteral("Name"), QStringLiteral("Parent")}, {1, 1}, pool);
    grid.AppendRecord(std::vector<core::TextPool::Id>{cash});
    EXPECT_EQ(grid.Texts(), pool);
    EXPECT_EQ(contents(grid), (QStringList{"Name|Parent", "Cash|"}));
    EXPECT_EQ(grid.TextId(1, 0), cash);
    grid.SetTextId(1, 1, cash);
    EXPECT_EQ(grid.TextMatrix(1, 1), QStringLiteral("Cash"));
    EXPECT_EQ(numberRaisedBy([&] {
                  grid.AppendRecord(std::vector<core::TextPool::Id>{cash, cash, cash});
              }),
              381);
    EXPECT_EQ(grid.Rows(), 2);
}

TEST(SourceGrid, BindNeedsOneAlignmentPerFieldAndCodes0To9) {
    SourceGrid grid;
    EXPECT_NE(numberRaisedBy([&] { grid.Bind({QStringLiteral("Name"), QStringLiteral("Parent")}, {1}); }), 0);
    EXPECT_EQ(numberRaisedBy([&] { grid.Bind({QStringLiteral("Name")}, {10}); }), 380);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 2);
}

// Growing and shrinking the row count, as the loader does for an empty record set.
struct RowsCase {
    const char* name;
    std::vector<int> steps;
    QStringList expected;
};

class SourceGridRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(SourceGridRows, KeepsTheCellsThatRemain) {
    SourceGrid grid;
    loadLedgers(grid);
    for (const int rows : GetParam().steps)
        grid.SetRows(rows);
    EXPECT_EQ(grid.Rows(), GetParam().expected.size());
    EXPECT_EQ(contents(grid), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SourceGridRows,
    ::testing::Values(
        RowsCase{"Grow",
                 {5},
                 {"Name|Parent|OpeningBalance", "Cash|Cash-in-Hand|100", "Acme|Sundry Debtors|", "||", "||"}},
        RowsCase{"Shrink", {2}, {"Name|Parent|OpeningBalance", "Cash|Cash-in-Hand|100"}},
        RowsCase{"ShrinkThenGrowGivesBlankRows", {1, 3}, {"Name|Parent|OpeningBalance", "||", "||"}},
        RowsCase{
            "Same", {3}, {"Name|Parent|OpeningBalance", "Cash|Cash-in-Hand|100", "Acme|Sundry Debtors|"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceGrid, EmptyRecordSetLeavesTwoBlankRowsOverTheOldColumns) {
    // What the loader does when the table has no records: 2 rows, every cell "".
    SourceGrid grid;
    loadLedgers(grid);
    grid.SetRows(2);
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            grid.SetTextMatrix(r, c, QString());
    EXPECT_EQ(contents(grid), (QStringList{"||", "||"}));
}

TEST(SourceGrid, SetColsKeepsEachRowsCells) {
    SourceGrid grid;
    loadLedgers(grid);
    grid.SetCols(2);
    EXPECT_EQ(contents(grid), (QStringList{"Name|Parent", "Cash|Cash-in-Hand", "Acme|Sundry Debtors"}));
    grid.SetCols(4);
    EXPECT_EQ(contents(grid), (QStringList{"Name|Parent||", "Cash|Cash-in-Hand||", "Acme|Sundry Debtors||"}));
    EXPECT_EQ(grid.ColAlignment(3), 0);
    EXPECT_EQ(grid.ColAlignment(0), 1);
}

TEST(SourceGrid, CellsAndAlignmentsCanBeSet) {
    SourceGrid grid;
    grid.SetTextMatrix(0, 1, QStringLiteral("Name"));
    grid.SetTextMatrix(1, 0, QStringLiteral("x"));
    grid.SetColAlignment(1, 9);
    EXPECT_EQ(contents(grid), (QStringList{"|Name", "x|"}));
    EXPECT_EQ(grid.ColAlignment(1), 9);
}

struct SourceOutOfRangeCase {
    const char* name;
    std::function<void(SourceGrid&)> action;
    int number;
};

class SourceGridOutOfRange : public ::testing::TestWithParam<SourceOutOfRangeCase> {};

TEST_P(SourceGridOutOfRange, Raises) {
    SourceGrid grid;
    EXPECT_EQ(numberRaisedBy([&] { GetParam().action(grid); }), GetParam().number);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.Cols(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SourceGridOutOfRange,
    ::testing::Values(
        SourceOutOfRangeCase{"ReadRowMinus1", [](SourceGrid& g) { g.TextMatrix(-1, 0); }, 381},
        SourceOutOfRangeCase{"ReadRowPastEnd", [](SourceGrid& g) { g.TextMatrix(2, 0); }, 381},
        SourceOutOfRangeCase{"ReadColumnPastEnd", [](SourceGrid& g) { g.TextMatrix(0, 2); }, 381},
        SourceOutOfRangeCase{"WriteColumnMinus1", [](SourceGrid& g) { g.SetTextMatrix(0, -1, QString()); },
                             381},
        SourceOutOfRangeCase{"RowPastEnd",
                             [](SourceGrid& g) {
                                 core::TextPool::Id ids[2];
                                 g.RowTextIds(2, 0, 2, ids);
                             },
                             381},
        SourceOutOfRangeCase{"RowWiderThanTheGrid",
                             [](SourceGrid& g) {
                                 core::TextPool::Id ids[3];
                                 g.RowTextIds(0, 0, 3, ids);
                             },
                             381},
        SourceOutOfRangeCase{"AlignmentColumnPastEnd", [](SourceGrid& g) { g.ColAlignment(2); }, 381},
        SourceOutOfRangeCase{"AlignmentCode10", [](SourceGrid& g) { g.SetColAlignment(0, 10); }, 380},
        SourceOutOfRangeCase{"NoRowForTheFieldNames", [](SourceGrid& g) { g.SetRows(0); }, 381},
        SourceOutOfRangeCase{"NegativeColumnCount", [](SourceGrid& g) { g.SetCols(-1); }, 381},
        SourceOutOfRangeCase{"RowsPastTheBound", [](SourceGrid& g) { g.SetRows(SourceGrid::MaxRows + 1); },
                             7},
        SourceOutOfRangeCase{"ColumnsPastTheBound",
                             [](SourceGrid& g) { g.SetCols(SourceGrid::MaxColumns + 1); }, 7},
        SourceOutOfRangeCase{"BoundFieldsPastTheBound",
                             [](SourceGrid& g) {
                                 g.Bind(QStringList(SourceGrid::MaxColumns + 1, QStringLiteral("F")),
                                        QList<int>(SourceGrid::MaxColumns + 1, 0));
                             },
                             7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceGrid, RowsAreTakenWholeAndReservedRoomHoldsTheRecords) {
    SourceGrid grid;
    grid.Bind({QStringLiteral("Name"), QStringLiteral("Parent")}, {1, 1});
    grid.Reserve(3);
    for (int r = 0; r < 3; ++r)
        grid.AppendRecord({QString::number(r), QStringLiteral("Cash")});
    EXPECT_EQ(contents(grid), (QStringList{"Name|Parent", "0|Cash", "1|Cash", "2|Cash"}));
    core::TextPool::Id ids[2] = {};
    grid.RowTextIds(2, 0, 2, ids);
    EXPECT_EQ(ids[0], grid.TextId(2, 0));
    EXPECT_EQ(ids[1], grid.TextId(2, 1));
    grid.RowTextIds(3, 1, 1, ids);
    EXPECT_EQ(grid.Texts()->text(ids[0]), QStringLiteral("Cash"));
}

TEST(SourceGrid, TellsItsObserverWhatChanged) {
    SourceGrid grid;
    RecordingObserver seen;
    grid.SetObserver(&seen);
    grid.SetRedraw(false);
    loadLedgers(grid);
    grid.SetRedraw(true);
    grid.SetTextMatrix(1, 2, QStringLiteral("200"));
    grid.SetColAlignment(2, 8);
    grid.SetRows(5);
    grid.SetRows(2);
    grid.SetCols(4);
    grid.SetCols(1);
    const QStringList expected{"redraw off", "reset",    "rows 1-1", "rows 2-2",    "redraw on", "cell 1,2",
                               "column 2",   "rows 3-4", "reset",    "columns 3-3", "reset"};
    EXPECT_EQ(seen.calls, expected);
}

} // namespace
} // namespace quibo
