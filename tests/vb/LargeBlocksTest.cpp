#include "vb/LargeBlocks.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

namespace quibo::vb {
namespace {

// Past many segments.
TEST(StableArray, GrowsWithoutMovingWhatItHolds) {
    StableArray<uint32_t> cells;
    cells.push_back(7);
    const uint32_t* first = &cells[0];
    const uint32_t row[3] = {1, 2, 3};
    for (uint32_t i = 1; i < 1'000'000; i += 3)
        cells.append(row, 3);
    cells.resize(cells.size() + 5, 9);
    EXPECT_EQ(&cells[0], first);
    EXPECT_EQ(cells.size(), 1'000'005u);
    EXPECT_EQ(cells[0], 7u);
    EXPECT_EQ(cells[999'999], 3u);
    EXPECT_EQ(cells[1'000'004], 9u);
    cells.resize(2);
    EXPECT_EQ(cells[1], 1u);
    cells.clear();
    EXPECT_TRUE(cells.empty());
}

TEST(StableArray, CopiesAndMovesHoldTheirOwnElements) {
    StableArray<QString> texts;
    for (int i = 0; i < 3000; ++i)
        texts.emplace_back(QString::number(i));
    StableArray<QString> copy = texts;
    copy[5] = QStringLiteral("five");
    StableArray<QString> moved = std::move(texts);
    EXPECT_EQ(moved.size(), 3000u);
    EXPECT_EQ(moved[5], QStringLiteral("5"));
    EXPECT_EQ(copy[5], QStringLiteral("five"));
    EXPECT_EQ(copy[2999], QStringLiteral("2999"));
}

} // namespace
} // namespace quibo::vb
