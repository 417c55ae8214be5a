#include "base/ColumnLookup.h"

#include "base/ErrorReporter.h"
#include "base/SourceGrid.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

// The search itself is FindSourceColumn; here, its two answers and that neither reports.
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
