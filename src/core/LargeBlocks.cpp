#include "core/LargeBlocks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quibo::core {

namespace {
void* Allocated(void* block) {
    if (!block) throw std::bad_alloc();
    return block;
}
} // namespace

#ifdef __linux__

namespace {

uintptr_t RoundUp(uintptr_t value) {
    return (value + LargeBlock - 1) & ~(uintptr_t(LargeBlock) - 1);
}

// A block from the heap gets large pages only between its first and last 2 MiB boundary.
bool Mapped(size_t bytes) {
    return bytes >= 2 * LargeBlock;
}

void* Map(size_t bytes) {
    const size_t length = RoundUp(bytes);
    void* mapped =
        mmap(nullptr, length + LargeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(mapped), aligned = RoundUp(start);
    if (aligned > start) munmap(mapped, aligned - start);
    const uintptr_t end = start + length + LargeBlock;
    if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

} // namespace

void* AllocateBlock(size_t bytes) {
    return Mapped(bytes) ? Map(bytes) : Allocated(std::malloc(bytes));
}

void* AllocateZeroedBlock(size_t bytes) {
    // Fresh pages come zeroed.
    return Mapped(bytes) ? Map(bytes) : Allocated(std::calloc(bytes, 1));
}

void AdviseLargePages(void* memory, size_t bytes) noexcept {
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t first = (start + LargeBlock - 1) & ~(uintptr_t(LargeBlock) - 1);
    const uintptr_t last = (start + bytes) & ~(uintptr_t(LargeBlock) - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
namespace {

// What PutHeapOnLargePages grows the heap by; 0 while the heap is as the C library set it up.
size_t HeapPad = 0;

// Small blocks taken and given back until the heap has grown once (by HeapPad and more), and what
// it grew by advised.
void GrowHeapAdvised() noexcept {
    char* const before = static_cast<char*>(sbrk(0));
    void* held[64];
    size_t taken = 0;
    while (taken < std::size(held) && sbrk(0) == before)
        held[taken++] = std::malloc(64 << 10);
    while (taken > 0)
        std::free(held[--taken]);
    char* const top = static_cast<char*>(sbrk(0));
    if (before != reinterpret_cast<char*>(-1) && top > before)
        AdviseLargePages(before, static_cast<size_t>(top - before));
}

} // namespace

void PutHeapOnLargePages(size_t bytes) noexcept {
    constexpr int MmapThreshold = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, MmapThreshold);
    // Whatever the heap grows by from now on, it grows by `bytes` more; and it is not trimmed back
    // below twice that, which would end the advice on the part given back.
    HeapPad = std::min<size_t>(bytes, INT32_MAX / 2);
    mallopt(M_TOP_PAD, static_cast<int>(HeapPad));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<size_t>(2 * bytes, INT32_MAX)));
    GrowHeapAdvised();
}

void GiveBackFreeHeap() noexcept {
    if (HeapPad == 0) return;
    // Every free page, inside the heap and at its top; the top is then grown and advised again, in
    // address space only, so that the next large load is on large pages as the first was.
    malloc_trim(0);
    GrowHeapAdvised();
}
#else
void PutHeapOnLargePages(size_t) noexcept {}
void GiveBackFreeHeap() noexcept {}
#endif

#else

void PutHeapOnLargePages(size_t) noexcept {}
void GiveBackFreeHeap() noexcept {}

void* AllocateBlock(size_t bytes) {
    return Allocated(std::malloc(bytes));
}

void* AllocateZeroedBlock(size_t bytes) {
    return Allocated(std::calloc(bytes, 1));
}

void AdviseLargePages(void*, size_t) noexcept {}

#endif

#ifdef __linux__
void FreeBlock(void* block, size_t bytes) noexcept {
    if (Mapped(bytes))
        munmap(block, RoundUp(bytes));
    else
        std::free(block);
}
#else
void FreeBlock(void* block, size_t) noexcept {
    std::free(block);
}
#endif

} // namespace quibo::core
