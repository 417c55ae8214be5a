#include "tally/ColumnLookup.h"

#include "app/base/ErrorReporter.h"
#include "app/grid/SourceGrid.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct LookupFixture : ::testing::Test {
    test::TempFolder folder;
    test::ScriptedMessageBox boxes;
    test::FakeClock clock;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    SourceGrid grid;
};

TEST_F(LookupFixture, TheFirstFieldIsColumnZero) {
    grid.Bind({QStringLiteral("Name"), QStringLiteral("Rate"), QStringLiteral("RATE")}, {0, 0, 0});
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("NAME")), 0);
    EXPECT_TRUE(ColumnExists(errors, grid, QStringLiteral(" name ")));
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("rate")), 1);
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("Parent")), -1);
    EXPECT_FALSE(ColumnExists(errors, grid, QStringLiteral("Parent")));
    EXPECT_FALSE(ColumnExists(errors, grid, QString()));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LookupFixture, BeforeAnyLoadNoNamedColumnIsPresent) {
    EXPECT_EQ(GetColumnIndex(errors, grid, QStringLiteral("ID")), -1);
    EXPECT_FALSE(ColumnExists(errors, grid, QStringLiteral("ID")));
}

} // namespace
} // namespace quibo
