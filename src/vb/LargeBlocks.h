#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace quibo::vb {

// Memory for the large arrays of a loaded table (cells, texts, file bytes). A first load of a big
// file spends much of its time taking page faults on fresh memory; blocks of LargeBlock bytes and
// more are mapped on their own, aligned to and advised for 2 MiB pages on Linux, so such an array
// faults once per 2 MiB rather than once per 4 KiB. Smaller blocks, and other systems, use the
// ordinary heap.
inline constexpr size_t LargeBlock = size_t(2) << 20;

void* AllocateBlock(size_t bytes);
// The same, all bytes 0: a mapped block is so already and is not written over.
void* AllocateZeroedBlock(size_t bytes);
// `bytes` as given to AllocateBlock.
void FreeBlock(void* block, size_t bytes) noexcept;
// Advises the whole 2 MiB pages inside memory the caller already holds (a heap block, such as a Qt
// array's) for large pages, before it is first written. Does nothing where that is not offered.
void AdviseLargePages(void* memory, size_t bytes) noexcept;

// An array that grows at the end without moving what it holds: elements live in segments, each
// twice the one before, so an element's address stays valid until it is removed or the array is
// cleared, growth never copies, and the unused room is at most the last segment.
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

    T& operator[](size_t i) { return at(i); }
    const T& operator[](size_t i) const { return const_cast<StableArray*>(this)->at(i); }

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
            T* to = room();
            std::uninitialized_copy_n(values, n, to);
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
        at(m_size).~T();
    }
    // Removes every element and gives the memory back.
    void clear() {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (size_t i = 0; i < m_size; ++i)
                at(i).~T();
        for (size_t k = 0; k < Segments && m_segments[k]; ++k) {
            FreeBlock(m_segments[k], segmentLength(k) * sizeof(T));
            m_segments[k] = nullptr;
        }
        m_size = 0;
    }
    void swap(StableArray& other) noexcept {
        std::swap(m_segments, other.m_segments);
        std::swap(m_size, other.m_size);
    }

private:
    // The first segment: a page's worth, at least 16 elements.
    static constexpr size_t FirstShift = std::bit_width(std::max<size_t>(16, 4096 / sizeof(T))) - 1;
    static constexpr size_t First = size_t(1) << FirstShift;
    static constexpr size_t Segments = 48;

    static size_t segmentLength(size_t k) { return First << k; }
    // Segment k holds the elements from First * (2^k - 1) on.
    T& at(size_t i) {
        const size_t j = i + First;
        const size_t k = std::bit_width(j) - 1 - FirstShift;
        return m_segments[k][j - (First << k)];
    }
    // Room left in the segment the next element goes to.
    size_t spaceInSegment() const {
        const size_t j = m_size + First;
        const size_t k = std::bit_width(j) - 1 - FirstShift;
        return (First << (k + 1)) - j;
    }
    // Where the next element goes, its segment allocated if new.
    T* room() {
        const size_t j = m_size + First;
        const size_t k = std::bit_width(j) - 1 - FirstShift;
        if (!m_segments[k]) m_segments[k] = static_cast<T*>(AllocateBlock(segmentLength(k) * sizeof(T)));
        return m_segments[k] + (j - (First << k));
    }

    T* m_segments[Segments] = {};
    size_t m_size = 0;
};

} // namespace quibo::vb
