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

void* AllocateBlock(size_t bytes) {
    void* block = Allocated(std::malloc(bytes));
    if (bytes >= 2 * LargeBlock) AdviseLargePages(block, bytes);
    return block;
}

void* AllocateZeroedBlock(size_t bytes) {
    // calloc leaves fresh pages untouched (they come zeroed), so the advice still finds them unfaulted.
    void* block = Allocated(std::calloc(bytes, 1));
    if (bytes >= 2 * LargeBlock) AdviseLargePages(block, bytes);
    return block;
}

void AdviseLargePages(void* memory, size_t bytes) noexcept {
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t first = (start + LargeBlock - 1) & ~(uintptr_t(LargeBlock) - 1);
    const uintptr_t last = (start + bytes) & ~(uintptr_t(LargeBlock) - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void PutHeapOnLargePages(size_t bytes) noexcept {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    constexpr int MmapThreshold = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, MmapThreshold);
    // Whatever the heap grows by from now on, it grows by `bytes` more; and it is not trimmed back
    // below twice that, which would end the advice on the part given back.
    mallopt(M_TOP_PAD, static_cast<int>(std::min<size_t>(bytes, INT32_MAX / 2)));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(std::min<size_t>(2 * bytes, INT32_MAX)));
    // Small blocks taken and given back until the heap has grown once.
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
#else
    (void)bytes;
#endif
}

#else

void PutHeapOnLargePages(size_t) noexcept {}

void* AllocateBlock(size_t bytes) {
    return Allocated(std::malloc(bytes));
}

void* AllocateZeroedBlock(size_t bytes) {
    return Allocated(std::calloc(bytes, 1));
}

void AdviseLargePages(void*, size_t) noexcept {}

#endif

void FreeBlock(void* block, size_t) noexcept {
    std::free(block);
}

} // namespace quibo::core
