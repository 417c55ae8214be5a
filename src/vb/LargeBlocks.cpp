#include "vb/LargeBlocks.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quibo::vb {

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

#else

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

} // namespace quibo::vb
