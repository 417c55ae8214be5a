#include "base/ColumnLookup.h"

#include "base/ErrorReporter.h"
#include "base/SourceGrid.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(FindSourceColumn, TrimsBlanksOnlyIgnoresCaseAndTakesTheLeftmost) {
    SourceGrid grid;
    grid.Bind({QStringLiteral("Name"), QStringLiteral(" Parent"), QStringLiteral("Rate"),
               QStringLiteral("RATE"), QStringLiteral("\tNarration")},
              QList<int>(5, 0));
    const struct {
        const char* name;
        int index;
    } cases[] = {
        {"Name", 0},       {" NAME ", 0},      {"name", 0}, {"PARENT", 1}, {"rate", 2},
        {"Narration", -1}, {"\tnarration", 4}, {"", -1},    {"   ", -1},   {"Amount", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindSourceColumn(grid, QString::fromLatin1(c.name)), c.index) << c.name;
}

TEST(FindSourceColumn, BeforeAnyLoadOnlyABlankNameMatches) {
    const SourceGrid grid; // design size: 2 x 2 blank cells
    EXPECT_EQ(FindSourceColumn(grid, u"NAME"), -1);
    EXPECT_EQ(FindSourceColumn(grid, u" "), 0);
}

// The trapped forms: their two answers, and that neither reports.
TEST(ColumnLookup, IndexCountsFromZeroAndPresenceFollowsIt) {
    test::TempFolder folder;
    test::ScriptedMessageBox boxes;
    test::FakeClock clock;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    SourceGrid grid;
    grid.Bind({QStringLiteral("Name"), QStringLiteral("Rate"), QStringLiteral("RATE")}, {0, 0, 0});
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("NAME")), 0);
    EXPECT_TRUE(ColumnExists(errors, grid, QStringLiteral(" name ")));
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("rate")), 1);
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("Parent")), -1);
    EXPECT_FALSE(ColumnExists(errors, grid, QStringLiteral("Parent")));
    EXPECT_FALSE(ColumnExists(errors, grid, QString()));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace quibo
