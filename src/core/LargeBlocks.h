#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace quibo::core {

// Memory for the large arrays of a loaded table (hash slots). A first load of a big file spends
// much of its time taking page faults on fresh memory; on Linux a block of two LargeBlocks and more
// is mapped on its own at a 2 MiB boundary and advised for 2 MiB pages, so that it faults once per
// 2 MiB rather than once per 4 KiB, and all of it, not only its inside, is on large pages: a block
// read at random, as hash slots are, then rarely misses the processor's cache of pages. Smaller
// blocks come from the ordinary heap.
inline constexpr size_t LargeBlock = size_t(2) << 20;

void* AllocateBlock(size_t bytes);
// The same, all bytes 0.
void* AllocateZeroedBlock(size_t bytes);
// `bytes` as given to AllocateBlock.
void FreeBlock(void* block, size_t bytes) noexcept;
// Advises the whole 2 MiB pages inside memory the caller already holds (a heap block, such as a Qt
// array's) for large pages, before it is first written. Does nothing where that is not offered.
void AdviseLargePages(void* memory, size_t bytes) noexcept;

// Grows the heap by `bytes` of address space ahead of need and advises it for 2 MiB pages, so that
// the many small allocations of a large load (texts, cell segments, a reader's buffers) also fault
// once per 2 MiB. For the start of a process, before its heap is busy: from then on, allocations
// below 32 MiB come from the heap, and its top is kept rather than given back (but see
// GiveBackFreeHeap), so the advice lasts.
// Does nothing where the C library's heap cannot be grown so (other systems, sanitizers).
void PutHeapOnLargePages(size_t bytes) noexcept;
// Once a large load's memory is freed (its table replaced, the grids cleared), gives the heap's free
// pages back to the system, which the set-up above would keep, and sets the heap up again for the
// next load. Does nothing unless PutHeapOnLargePages set the heap up.
void GiveBackFreeHeap() noexcept;

// An array that grows at the end without moving what it holds: elements live in segments of
// 16 KiB, so an element's address stays valid until it is removed or the array is cleared and
// growth never copies. Segments come from the ordinary heap: a table built from a reader's rows
// takes the memory those rows leave free, where fresh pages would raise the load's peak.
template <class T> class StableArray {
public:
    StableArray() = default;
    StableArray(const StableArray& other) { append(other); }
    StableArray(StableArray&& other) noexcept { swap(other); }
    StableArray& operator=(const StableArray& other) {
        if (this != &other) {
            StableArray copy(other);
            swap(copy);
        }
        return *this;
    }
    StableArray& operator=(StableArray&& other) noexcept {
        StableArray taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~StableArray() { clear(); }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T& operator[](size_t i) { return m_segments[i >> Shift][i & (Length - 1)]; }
    const T& operator[](size_t i) const { return m_segments[i >> Shift][i & (Length - 1)]; }

    template <class... Args> T& emplace_back(Args&&... args) {
        T* slot = room();
        ::new (static_cast<void*>(slot)) T(std::forward<Args>(args)...);
        ++m_size;
        return *slot;
    }
    void push_back(const T& value) { emplace_back(value); }
    void push_back(T&& value) { emplace_back(std::move(value)); }

    // Appends `count` elements from `values`.
    void append(const T* values, size_t count) {
        while (count > 0) {
            const size_t n = std::min(count, spaceInSegment());
            std::uninitialized_copy_n(values, n, room());
            m_size += n;
            values += n;
            count -= n;
        }
    }
    void append(const StableArray& other) {
        for (size_t i = 0; i < other.size(); ++i)
            push_back(other[i]);
    }
    // Grows with copies of `value` or drops from the end.
    void resize(size_t size, const T& value = T()) {
        while (m_size > size)
            pop_back();
        while (m_size < size) {
            const size_t n = std::min(size - m_size, spaceInSegment());
            std::uninitialized_fill_n(room(), n, value);
            m_size += n;
        }
    }
    void pop_back() {
        --m_size;
        (*this)[m_size].~T();
    }
    // Removes every element and gives the memory back.
    void clear() {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (size_t i = 0; i < m_size; ++i)
                (*this)[i].~T();
        for (T* segment : m_segments)
            ::operator delete(segment);
        m_segments.clear();
        m_size = 0;
    }
    void swap(StableArray& other) noexcept {
        std::swap(m_segments, other.m_segments);
        std::swap(m_size, other.m_size);
    }

private:
    static constexpr size_t Shift = std::bit_width(std::max<size_t>(16, 16384 / sizeof(T))) - 1;
    static constexpr size_t Length = size_t(1) << Shift;

    size_t spaceInSegment() const { return Length - (m_size & (Length - 1)); }
    // Where the next element goes, its segment allocated if new.
    T* room() {
        if ((m_size >> Shift) == m_segments.size())
            m_segments.push_back(static_cast<T*>(::operator new(Length * sizeof(T))));
        return &m_segments[m_size >> Shift][m_size & (Length - 1)];
    }

    std::vector<T*> m_segments;
    size_t m_size = 0;
};

} // namespace quibo::core
