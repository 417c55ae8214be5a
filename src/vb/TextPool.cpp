#include "vb/TextPool.h"

#include <algorithm>
#include <cstring>

namespace quibo::vb {

namespace {

// The arrays holding texts start small, as most pools (a lookup grid, a short list) are, and
// double up to a size that large pages serve well.
constexpr size_t FirstBlock = 1024;
constexpr size_t LargestBlock = size_t(4) << 20; // characters: 8 MiB

// FNV-1a over UTF-16 units, whatever the text came as, so that every intern agrees.
constexpr uint64_t HashStart = 14695981039346656037ULL;
inline uint64_t HashStep(uint64_t h, char16_t unit) {
    return (h ^ unit) * 1099511628211ULL;
}

// Spreads the hash over all its bits: linear probing walks long runs over a hash whose low bits
// differ little between neighbouring texts ("10.5", "11.5").
uint32_t Mixed(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return static_cast<uint32_t>(h);
}

template <class Unit> uint32_t HashOf(const Unit* units, size_t size) {
    uint64_t h = HashStart;
    for (size_t i = 0; i < size; ++i)
        h = HashStep(h, static_cast<char16_t>(units[i]));
    return Mixed(h);
}

struct Utf16 {
    QStringView text;
    bool matches(const QString& held) const { return QStringView(held) == text; }
};

struct Latin1 {
    QLatin1StringView text;
    bool matches(const QString& held) const { return held == text; }
};

} // namespace

TextPool::TextPool() : m_nextBlock(FirstBlock) {
    m_texts.emplace_back();
    m_slotCount = 64;
    m_slots = static_cast<uint64_t*>(AllocateZeroedBlock(m_slotCount * sizeof(uint64_t)));
}

TextPool::~TextPool() {
    m_texts.clear();
    if (m_block && !m_block->deref()) QTypedArrayData<char16_t>::deallocate(m_block);
    FreeBlock(m_slots, m_slotCount * sizeof(uint64_t));
}

template <class Units> TextPool::Id TextPool::find(const Units& units, uint32_t hash, size_t& at) const {
    const size_t mask = m_slotCount - 1;
    for (at = hash & mask; m_slots[at] != 0; at = (at + 1) & mask) {
        const uint64_t slot = m_slots[at];
        const Id id = static_cast<Id>(slot);
        if (slot >> 32 == hash && units.matches(m_texts[id])) return id;
    }
    return Empty;
}

TextPool::Id TextPool::intern(QStringView text) {
    if (text.isEmpty()) return Empty;
    const size_t length = static_cast<size_t>(text.size());
    const uint32_t hash = HashOf(text.utf16(), length);
    size_t at = 0;
    if (const Id id = find(Utf16{text}, hash, at)) return id;
    char16_t* to = room(length);
    std::memcpy(to, text.utf16(), length * sizeof(char16_t));
    return added(to, length, hash, at);
}

TextPool::Id TextPool::internLatin1(const char* bytes, size_t size) {
    if (size == 0) return Empty;
    return internLatin1(bytes, size, HashOf(reinterpret_cast<const unsigned char*>(bytes), size));
}

TextPool::Id TextPool::internLatin1(const char* bytes, size_t size, uint32_t hash) {
    size_t at = 0;
    if (const Id id = find(Latin1{QLatin1StringView(bytes, static_cast<qsizetype>(size))}, hash, at))
        return id;
    char16_t* to = room(size);
    for (size_t i = 0; i < size; ++i)
        to[i] = static_cast<unsigned char>(bytes[i]);
    return added(to, size, hash, at);
}

TextPool::Id TextPool::internUtf8(const char* bytes, size_t size) {
    unsigned char high = 0;
    for (size_t i = 0; i < size; ++i)
        high |= static_cast<unsigned char>(bytes[i]);
    // ASCII reads the same as Latin-1, which needs no decoding.
    if (high < 0x80) return internLatin1(bytes, size);
    return intern(QString::fromUtf8(bytes, static_cast<qsizetype>(size)));
}

void TextPool::internUtf8(const Bytes* texts, size_t count, Id* ids) {
    constexpr size_t Batch = 32;
    constexpr uint64_t NotAscii = uint64_t(1) << 32;
    uint64_t hashes[Batch];
    for (size_t from = 0; from < count; from += Batch) {
        const size_t n = std::min(Batch, count - from);
        // Every slot wanted is asked for from memory before the first is read.
        for (size_t i = 0; i < n; ++i) {
            const Bytes& t = texts[from + i];
            hashes[i] = 0;
            if (!t.bytes || t.size == 0) continue;
            const auto* units = reinterpret_cast<const unsigned char*>(t.bytes);
            uint64_t h = HashStart;
            unsigned char high = 0;
            for (size_t k = 0; k < t.size; ++k) {
                h = HashStep(h, units[k]);
                high |= units[k];
            }
            const uint32_t hash = Mixed(h);
            hashes[i] = high < 0x80 ? hash : NotAscii;
#if defined(__GNUC__)
            __builtin_prefetch(&m_slots[hash & (m_slotCount - 1)]);
#endif
        }
        for (size_t i = 0; i < n; ++i) {
            const Bytes& t = texts[from + i];
            if (!t.bytes) continue;
            Id& id = ids[from + i];
            if (t.size == 0)
                id = Empty;
            else if (hashes[i] == NotAscii)
                id = internUtf8(t.bytes, t.size);
            else
                id = internLatin1(t.bytes, t.size, static_cast<uint32_t>(hashes[i]));
        }
    }
}

char16_t* TextPool::room(size_t length) {
    if (m_block && static_cast<size_t>(m_end - m_free) > length) return m_free;
    // The array in hand keeps living while texts in it do.
    if (m_block && !m_block->deref()) QTypedArrayData<char16_t>::deallocate(m_block);
    const size_t capacity = std::max(m_nextBlock, length + 1);
    m_nextBlock = std::min(m_nextBlock * 2, LargestBlock);
    auto [block, data] = QTypedArrayData<char16_t>::allocate(static_cast<qsizetype>(capacity));
    if (!block) throw std::bad_alloc();
    if (capacity * sizeof(char16_t) >= 2 * LargeBlock) AdviseLargePages(data, capacity * sizeof(char16_t));
    m_block = block;
    m_free = data;
    m_end = data + capacity;
    return m_free;
}

TextPool::Id TextPool::added(char16_t* at, size_t length, uint32_t hash, size_t slot) {
    at[length] = u'\0'; // a QString's characters end in a NUL
    m_free = at + length + 1;
    m_block->ref();
    const Id id = static_cast<Id>(m_texts.size());
    m_texts.emplace_back(QString::DataPointer(m_block, at, static_cast<qsizetype>(length)));
    m_slots[slot] = uint64_t(hash) << 32 | id;
    // At most half full, so a probe ends soon.
    if (m_texts.size() * 2 > m_slotCount) grow();
    return id;
}

void TextPool::grow() {
    const size_t count = m_slotCount * 2;
    auto* table = static_cast<uint64_t*>(AllocateZeroedBlock(count * sizeof(uint64_t)));
    const size_t mask = count - 1;
    for (size_t i = 0; i < m_slotCount; ++i) {
        const uint64_t slot = m_slots[i];
        if (slot == 0) continue;
        size_t at = (slot >> 32) & mask;
        while (table[at] != 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
    FreeBlock(m_slots, m_slotCount * sizeof(uint64_t));
    m_slots = table;
    m_slotCount = count;
}

} // namespace quibo::vb
