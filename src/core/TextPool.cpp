#include "core/TextPool.h"

#include "core/Utf8Text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace quibo::core {

namespace {

// The arrays holding texts start small, as most pools (a lookup grid, a short list) are, and
// double up to a size that large pages serve well.
constexpr size_t FirstBlock = 1024;
constexpr size_t LargestBlock = size_t(4) << 20; // characters: 8 MiB
constexpr size_t FirstSlots = 64;

// At most three slots in four taken: the hash spreads texts well enough that probes stay short,
// and a large table's slots are memory touched on every load.
bool Crowded(size_t texts, size_t slotCount) {
    return texts * 4 > slotCount * 3;
}

// Texts are hashed eight bytes at a time. A text all of whose characters are Latin-1 (so any
// ASCII one) hashes as its Latin-1 bytes, whichever form it comes in, so that every intern agrees;
// a text with other characters can equal no such text and hashes as its UTF-16 bytes.
constexpr uint64_t Latin1Seed = 0x9E3779B97F4A7C15ULL;
constexpr uint64_t WideSeed = 0xC2B2AE3D27D4EB4FULL;

uint64_t Start(uint64_t seed, size_t size) {
    return seed ^ (size * 0xD6E8FEB86659FD93ULL);
}

uint64_t Absorb(uint64_t h, uint64_t word) {
    h = (h ^ word) * 0xBF58476D1CE4E5B9ULL;
    return h ^ (h >> 31);
}

uint64_t Load64(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

uint64_t Load32(const unsigned char* p) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The last 1 to 7 bytes as one word, read only from inside them.
uint64_t TailWord(const unsigned char* p, size_t size) {
    if (size >= 4) return Load32(p) | Load32(p + size - 4) << 32;
    return p[0] | uint64_t(p[size >> 1]) << 8 | uint64_t(p[size - 1]) << 16;
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

// The hash of bytes; `high` gathers their bits, so that a caller tells ASCII in the same pass.
uint32_t HashBytes(const unsigned char* p, size_t size, uint64_t seed, uint64_t& high) {
    uint64_t h = Start(seed, size);
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const uint64_t word = Load64(p + i);
        high |= word;
        h = Absorb(h, word);
    }
    if (i < size) {
        const uint64_t word = TailWord(p + i, size - i);
        high |= word;
        h = Absorb(h, word);
    }
    return Mixed(h);
}

uint32_t HashBytes(const unsigned char* p, size_t size, uint64_t seed) {
    uint64_t high = 0;
    return HashBytes(p, size, seed, high);
}

constexpr uint64_t HighBits = 0x8080808080808080ULL;

uint32_t WideHash(const char16_t* units, size_t size) {
    return HashBytes(reinterpret_cast<const unsigned char*>(units), size * 2, WideSeed);
}

uint32_t HashUnits(const char16_t* units, size_t size) {
    // Eight units a word at a time rather than one by one: a driver's buffers hand every text over
    // as UTF-16, and a large table's texts are hashed once each.
    uint64_t h = Start(Latin1Seed, size);
    size_t whole = 0;
    for (; whole + 8 <= size; whole += 8) {
        unsigned char narrow[8];
        char16_t wide = 0;
        for (size_t k = 0; k < 8; ++k) {
            wide |= units[whole + k];
            narrow[k] = static_cast<unsigned char>(units[whole + k]);
        }
        if (wide > 0xFF) return WideHash(units, size);
        h = Absorb(h, Load64(narrow));
    }
    // The last four to seven units as TailWord takes their bytes: the first four and the last four.
    if (size - whole >= 4) {
        unsigned char narrow[8];
        char16_t wide = 0;
        for (size_t k = 0; k < 4; ++k) {
            wide |= units[whole + k] | units[size - 4 + k];
            narrow[k] = static_cast<unsigned char>(units[whole + k]);
            narrow[4 + k] = static_cast<unsigned char>(units[size - 4 + k]);
        }
        if (wide > 0xFF) return WideHash(units, size);
        return Mixed(Absorb(h, Load64(narrow)));
    }
    // One to three units are the first, the middle and the last.
    if (const size_t n = size - whole; n > 0) {
        const char16_t first = units[whole], middle = units[whole + n / 2], last = units[size - 1];
        if ((first | middle | last) > 0xFF) return WideHash(units, size);
        h = Absorb(h, uint64_t(first) | uint64_t(middle) << 8 | uint64_t(last) << 16);
    }
    return Mixed(h);
}

const char16_t* UnitsOf(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.constData());
}

struct Utf16 {
    QStringView text;
    bool matches(QStringView held) const { return SameText(held, text); }
};

struct Latin1 {
    const unsigned char* bytes;
    size_t size;
    bool matches(QStringView held) const {
        if (static_cast<size_t>(held.size()) != size) return false;
        const char16_t* units = held.utf16();
        for (size_t i = 0; i < size; ++i)
            if (units[i] != bytes[i]) return false;
        return true;
    }
};

size_t PlaceOf(const char16_t* at, size_t mask) {
    return Mixed(reinterpret_cast<uintptr_t>(at)) & mask;
}

uint64_t* ZeroedSlots(size_t count) {
    return static_cast<uint64_t*>(AllocateZeroedBlock(count * sizeof(uint64_t)));
}

} // namespace

inline TextPool::Id TextPool::stored(uint64_t where, uint32_t hash, size_t slot) {
    const Id id = static_cast<Id>(m_where.size());
    m_where.push_back(where);
    m_slots[slot] = uint64_t(hash) << 32 | id;
    if (Crowded(m_where.size(), m_slotCount)) rehash(m_slotCount * 2);
    return id;
}

inline TextPool::Id TextPool::added(char16_t* at, size_t length, uint32_t hash, size_t slot) {
    at[length] = u'\0'; // a QString's characters end in a NUL
    m_free = at + length + 1;
    const auto address = reinterpret_cast<uintptr_t>(at);
    if (length < Kept && (address & ~AddressBits) == 0)
        return stored(uint64_t(length) << LengthShift | address, hash, slot);
    m_block->ref();
    return stored(kept(QString(QString::DataPointer(m_block, at, static_cast<qsizetype>(length)))), hash,
                  slot);
}

TextPool::TextPool() : m_nextBlock(FirstBlock) {
    m_where.push_back(0);
    m_slotCount = FirstSlots;
    m_slots = ZeroedSlots(m_slotCount);
}

TextPool::~TextPool() {
    for (Held* segment : m_held)
        ::operator delete(segment);
    for (const Range& range : m_blocks)
        if (!range.block->deref()) Block::deallocate(range.block);
    FreeBlock(m_slots, m_slotCount * sizeof(uint64_t));
}

template <class Units>
inline TextPool::Id TextPool::find(const Units& units, uint32_t hash, size_t& at) const {
    const size_t mask = m_slotCount - 1;
    for (at = hash & mask; m_slots[at] != 0; at = (at + 1) & mask) {
        const uint64_t slot = m_slots[at];
        const Id id = static_cast<Id>(slot);
        if (slot >> 32 == hash && units.matches(view(id))) return id;
    }
    return Empty;
}

TextPool::Id TextPool::intern(QStringView text) {
    if (text.isEmpty()) return Empty;
    const size_t length = static_cast<size_t>(text.size());
    const uint32_t hash = HashUnits(reinterpret_cast<const char16_t*>(text.utf16()), length);
    size_t at = 0;
    if (const Id id = find(Utf16{text}, hash, at)) return id;
    char16_t* to = room(length);
    std::memcpy(to, text.utf16(), length * sizeof(char16_t));
    return added(to, length, hash, at);
}

TextPool::Id TextPool::internLong(const QString& text) {
    // A string no other holds cannot come again with these characters; an array much larger than
    // the text (another pool's block, a buffer read into) is not kept for it.
    if (!text.data_ptr().isMutable() || text.isDetached() || text.capacity() > 3 * text.size())
        return intern(QStringView(text));
    const char16_t* units = UnitsOf(text);
    const size_t length = static_cast<size_t>(text.size());
    if (!m_places.empty()) {
        const size_t mask = m_places.size() - 1;
        for (size_t i = PlaceOf(units, mask); m_places[i].at; i = (i + 1) & mask)
            if (m_places[i].at == units && static_cast<size_t>(view(m_places[i].id).size()) == length)
                return m_places[i].id;
    }
    const uint32_t hash = HashUnits(units, length);
    size_t slot = 0;
    if (const Id id = find(Utf16{text}, hash, slot)) return id;
    // The pool's count of the array keeps these characters where they are for the pool's life.
    const Id id = stored(kept(QString(text)), hash, slot);
    place(units, id);
    return id;
}

void TextPool::place(const char16_t* at, Id id) {
    auto put = [this](const Placed& placed) {
        const size_t mask = m_places.size() - 1;
        size_t i = PlaceOf(placed.at, mask);
        while (m_places[i].at)
            i = (i + 1) & mask;
        m_places[i] = placed;
    };
    // At most half full, so that a look-up ends soon.
    if (2 * m_ownArrays.size() > m_places.size()) {
        std::vector<Placed> old(std::max<size_t>(16, 2 * m_places.size()));
        old.swap(m_places);
        for (const Placed& placed : old)
            if (placed.at) put(placed);
    }
    put({at, id});
}

TextPool::Id TextPool::internLatin1(const char* bytes, size_t size) {
    if (size == 0) return Empty;
    return internLatin1(bytes, size,
                        HashBytes(reinterpret_cast<const unsigned char*>(bytes), size, Latin1Seed));
}

TextPool::Id TextPool::internLatin1(const char* bytes, size_t size, uint32_t hash) {
    const auto* units = reinterpret_cast<const unsigned char*>(bytes);
    size_t at = 0;
    if (const Id id = find(Latin1{units, size}, hash, at)) return id;
    char16_t* to = room(size);
    for (size_t i = 0; i < size; ++i)
        to[i] = units[i];
    return added(to, size, hash, at);
}

TextPool::Id TextPool::internUtf8(const char* bytes, size_t size) {
    if (size == 0) return Empty;
    uint64_t high = 0;
    const uint32_t hash = HashBytes(reinterpret_cast<const unsigned char*>(bytes), size, Latin1Seed, high);
    // ASCII reads the same as Latin-1, which needs no decoding.
    if ((high & HighBits) == 0) return internLatin1(bytes, size, hash);
    return intern(Utf8Text(bytes, size));
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
            uint64_t high = 0;
            const uint32_t hash =
                HashBytes(reinterpret_cast<const unsigned char*>(t.bytes), t.size, Latin1Seed, high);
            hashes[i] = (high & HighBits) == 0 ? hash : NotAscii;
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
                id = intern(Utf8Text(t.bytes, t.size));
            else
                id = internLatin1(t.bytes, t.size, static_cast<uint32_t>(hashes[i]));
        }
    }
}

void TextPool::intern(const QStringView* texts, size_t count, Id* ids) {
    constexpr size_t Batch = 64;
    uint32_t hashes[Batch];
    for (size_t from = 0; from < count; from += Batch) {
        const size_t n = std::min(Batch, count - from);
        // Every slot wanted is asked for from memory before the first is read.
        for (size_t i = 0; i < n; ++i) {
            const QStringView t = texts[from + i];
            if (t.isEmpty()) continue;
            hashes[i] =
                HashUnits(reinterpret_cast<const char16_t*>(t.utf16()), static_cast<size_t>(t.size()));
#if defined(__GNUC__)
            __builtin_prefetch(&m_slots[hashes[i] & (m_slotCount - 1)]);
#endif
        }
#if defined(__GNUC__)
        // A text seen before is compared with the pooled one, which lies anywhere in a large pool:
        // its string and then its characters are asked for too, a step for all texts at a time.
        Id seen[Batch];
        for (size_t i = 0; i < n; ++i) {
            seen[i] = Empty;
            if (texts[from + i].isEmpty()) continue;
            const uint64_t slot = m_slots[hashes[i] & (m_slotCount - 1)];
            if (slot != 0 && slot >> 32 == hashes[i]) {
                seen[i] = static_cast<Id>(slot);
                __builtin_prefetch(&m_where[seen[i]]);
            }
        }
        for (size_t i = 0; i < n; ++i)
            if (seen[i] != Empty)
                __builtin_prefetch(reinterpret_cast<const void*>(m_where[seen[i]] & AddressBits));
#endif
        for (size_t i = 0; i < n; ++i) {
            const QStringView t = texts[from + i];
            Id& id = ids[from + i];
            id = Empty;
            if (t.isEmpty()) continue;
            const uint32_t hash = hashes[i];
            const size_t length = static_cast<size_t>(t.size());
            size_t at = 0;
            id = find(Utf16{t}, hash, at);
            if (id) continue;
            char16_t* to = static_cast<size_t>(m_end - m_free) > length ? m_free : room(length);
            std::memcpy(to, t.utf16(), length * sizeof(char16_t));
            id = added(to, length, hash, at);
        }
    }
}

void TextPool::reserve(size_t count) {
    size_t wanted = m_slotCount;
    while (Crowded(count, wanted))
        wanted *= 2;
    if (wanted != m_slotCount) rehash(wanted);
}

char16_t* TextPool::room(size_t length) {
    if (m_block && static_cast<size_t>(m_end - m_free) > length) return m_free;
    // The array in hand stays among the pool's until the pool goes.
    const size_t capacity = std::max(m_nextBlock, length + 1);
    m_nextBlock = std::min(m_nextBlock * 2, LargestBlock);
    m_blocks.reserve(m_blocks.size() + 1);
    auto [block, data] = Block::allocate(static_cast<qsizetype>(capacity));
    if (!block) throw std::bad_alloc();
    if (capacity * sizeof(char16_t) >= 2 * LargeBlock) AdviseLargePages(data, capacity * sizeof(char16_t));
    m_blocks.push_back({block, data, data + capacity});
    m_block = block;
    m_free = data;
    m_end = data + capacity;
    return m_free;
}

uint64_t TextPool::kept(QString&& text) {
    m_ownArrays.push_back(std::move(text));
    return Kept << LengthShift | (m_ownArrays.size() - 1);
}

const QString& TextPool::made(Id id) const {
    const size_t segment = id >> HeldShift, first = segment << HeldShift;
    if (id >= m_where.size()) throw std::out_of_range("TextPool: no such text");
    if (m_held.size() <= segment) {
        m_held.resize(segment + 1, nullptr);
        m_made.resize(segment + 1, 0);
    }
    Held*& held = m_held[segment];
    if (!held) held = static_cast<Held*>(::operator new(HeldLength * sizeof(Held)));
    // The segment's strings up to its end or the pool's, whichever comes first.
    const size_t end = std::min(first + HeldLength, m_where.size());
    for (size_t i = first + m_made[segment]; i < end; ++i)
        ::new (static_cast<void*>(held + (i - first))) Held(dataOf(static_cast<Id>(i)));
    m_made[segment] = static_cast<uint32_t>(end - first);
    return held[id - first].text;
}

QString::DataPointer TextPool::dataOf(Id id) const {
    const uint64_t where = m_where[id];
    if (where == 0) return {};
    if (where >> LengthShift == Kept) {
        QString& text = const_cast<QString&>(m_ownArrays[where & AddressBits]);
        return QString::DataPointer(text.data_ptr().d_ptr(), text.data_ptr().data(), text.size());
    }
    auto* at = reinterpret_cast<char16_t*>(where & AddressBits);
    const auto length = static_cast<qsizetype>(where >> LengthShift);
    // Texts made together were mostly added together, into the same array.
    if (!(m_blocks[m_lastRange].begin <= at && at < m_blocks[m_lastRange].end))
        for (m_lastRange = 0; !(m_blocks[m_lastRange].begin <= at && at < m_blocks[m_lastRange].end);)
            ++m_lastRange;
    return QString::DataPointer(m_blocks[m_lastRange].block, at, length);
}

void TextPool::rehash(size_t count) {
    uint64_t* table = ZeroedSlots(count);
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

} // namespace quibo::core
