#include "core/LargeBlocks.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace quibo::core {
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

// A large block starts at a 2 MiB boundary, so that all of it can be on large pages, and comes zeroed.
TEST(LargeBlocks, ALargeBlockIsAlignedAndZeroed) {
#ifndef __linux__
    GTEST_SKIP() << "large pages are asked for on Linux only";
#endif
    for (const size_t bytes : {size_t(5) << 20, (size_t(6) << 20) + 24}) {
        auto* block = static_cast<unsigned char*>(AllocateZeroedBlock(bytes));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % LargeBlock, 0u) << bytes;
        size_t nonzero = 0;
        for (size_t i = 0; i < bytes; i += 4096)
            nonzero += block[i] != 0;
        EXPECT_EQ(nonzero + block[bytes - 1], 0u) << bytes;
        block[bytes - 1] = 1;
        FreeBlock(block, bytes);
    }
}

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
struct Mapping {
    uintptr_t start = 0, end = 0;
    bool heap = false;
    bool advised = false; // "hg" among its flags
};

std::vector<Mapping> Mappings() {
    std::vector<Mapping> mappings;
    std::ifstream smaps("/proc/self/smaps");
    for (std::string line; std::getline(smaps, line);) {
        if (line.find('-') < line.find(' ')) {
            Mapping m;
            m.start = std::stoull(line, nullptr, 16);
            m.end = std::stoull(line.substr(line.find('-') + 1), nullptr, 16);
            m.heap = line.find("[heap]") != std::string::npos;
            mappings.push_back(m);
        } else if (!mappings.empty() && line.rfind("VmFlags:", 0) == 0) {
            mappings.back().advised = line.find(" hg") != std::string::npos;
        }
    }
    return mappings;
}

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / double(1 << 20);
}
#endif

// The heap's new part is advised for large pages, and blocks still come and go.
TEST(HeapOnLargePages, TheHeapGrowsAdvised) {
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    PutHeapOnLargePages(size_t(64) << 20);
    void* block = std::malloc(1 << 20);
    ASSERT_NE(block, nullptr);
    std::free(block);
    bool advised = false;
    for (const Mapping& m : Mappings())
        advised = advised || (m.heap && m.advised);
    EXPECT_TRUE(advised);
#else
    GTEST_SKIP() << "the heap is the sanitizer's or not the C library's";
#endif
}

// What a large load freed goes back to the system when the table goes, which the set-up alone keeps,
// and the heap's top is advised again for the next load.
TEST(HeapOnLargePages, FreedHeapGoesBackAndTheNextLoadIsAdvised) {
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    PutHeapOnLargePages(size_t(64) << 20);
    const double before = ResidentMiB();
    std::vector<void*> blocks;
    blocks.reserve(96);            // taken before the blocks, so that none is kept above them
    for (int i = 0; i < 96; ++i) { // heap blocks, below the size mapped on its own
        blocks.push_back(std::malloc(1 << 20));
        ASSERT_NE(blocks.back(), nullptr);
        std::memset(blocks.back(), 1, 1 << 20);
    }
    ASSERT_GT(ResidentMiB(), before + 90);
    for (void* block : blocks)
        std::free(block);
    GiveBackFreeHeap();
    EXPECT_LT(ResidentMiB(), before + 16);
    // The next load's blocks, past what the heap kept.
    blocks.clear();
    for (int i = 0; i < 32; ++i)
        blocks.push_back(std::malloc(1 << 20));
    const auto last = reinterpret_cast<uintptr_t>(blocks.back());
    bool advised = false;
    for (const Mapping& m : Mappings())
        advised = advised || (m.start <= last && last < m.end && m.advised);
    EXPECT_TRUE(advised);
    for (void* block : blocks)
        std::free(block);
#else
    GTEST_SKIP() << "the heap is the sanitizer's or not the C library's";
#endif
}

} // namespace
} // namespace quibo::core
