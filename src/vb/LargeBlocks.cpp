#include "vb/LargeBlocks.h"

#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quibo::vb {

#ifdef __linux__

namespace {

size_t RoundedUp(size_t bytes) {
    return (bytes + LargeBlock - 1) & ~(LargeBlock - 1);
}

} // namespace

void* AllocateBlock(size_t bytes) {
    if (bytes < LargeBlock) return ::operator new(bytes);
    const size_t length = RoundedUp(bytes);
    // Mapped one large page over, so that an aligned start can be cut out of it.
    void* mapped =
        mmap(nullptr, length + LargeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + LargeBlock - 1) & ~(uintptr_t(LargeBlock) - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const uintptr_t end = aligned + length;
    const uintptr_t mappedEnd = start + length + LargeBlock;
    if (mappedEnd > end) munmap(reinterpret_cast<void*>(end), mappedEnd - end);
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeBlock(void* block, size_t bytes) noexcept {
    if (!block) return;
    if (bytes < LargeBlock) {
        ::operator delete(block);
        return;
    }
    munmap(block, RoundedUp(bytes));
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
#ifdef __linux__
    if (bytes >= LargeBlock) return block;
#endif
    std::memset(block, 0, bytes);
    return block;
}

} // namespace quibo::vb
