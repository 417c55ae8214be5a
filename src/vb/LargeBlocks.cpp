#include "vb/LargeBlocks.h"

#include <cstdint>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quibo::vb {

#ifdef __linux__

void* AllocateBlock(size_t bytes) {
    void* block = ::operator new(bytes);
    if (bytes >= 2 * LargeBlock) AdviseLargePages(block, bytes);
    return block;
}

void FreeBlock(void* block, size_t) noexcept {
    ::operator delete(block);
}

void AdviseLargePages(void* memory, size_t bytes) noexcept {
    const auto start = reinterpret_cast<uintptr_t>(memory);
    const uintptr_t first = (start + LargeBlock - 1) & ~(uintptr_t(LargeBlock) - 1);
    const uintptr_t last = (start + bytes) & ~(uintptr_t(LargeBlock) - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

#else

void* AllocateBlock(size_t bytes) {
    return ::operator new(bytes);
}

void FreeBlock(void* block, size_t) noexcept {
    ::operator delete(block);
}

void AdviseLargePages(void*, size_t) noexcept {}

#endif

void* AllocateZeroedBlock(size_t bytes) {
    void* block = AllocateBlock(bytes);
    std::memset(block, 0, bytes);
    return block;
}

} // namespace quibo::vb
