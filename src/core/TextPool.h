#pragma once

#include "core/LargeBlocks.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quibo::core {

// Whether two texts are the same, for a loop over a large table's cells: most cell texts are short,
// and up to sixteen units are compared as words that may overlap, without a call.
inline bool SameText(QStringView a, QStringView b) {
    const size_t bytes = 2 * static_cast<size_t>(a.size());
    if (a.size() != b.size()) return false;
    // An empty text's characters may be a null pointer, which memcmp is not given.
    if (bytes == 0) return true;
    const char* p = reinterpret_cast<const char*>(a.utf16());
    const char* q = reinterpret_cast<const char*>(b.utf16());
    auto same = [p, q](size_t at, size_t length) {
        uint64_t x = 0, y = 0;
        std::memcpy(&x, p + at, length);
        std::memcpy(&y, q + at, length);
        return x == y;
    };
    if (bytes >= 8 && bytes <= 32)
        return same(0, 8) && same(bytes - 8, 8) && (bytes <= 16 || (same(8, 8) && same(bytes - 16, 8)));
    if (bytes == 4 || bytes == 6) return same(0, 4) && same(bytes - 4, 4);
    return std::memcmp(p, q, bytes) == 0;
}

// One copy of each distinct cell text, named by a small number. Both grids
// hold their cells as these numbers into one pool (shared through a
// std::shared_ptr), so a loaded table's text lives once however many grids
// show it, and a text that repeats ("Cash", a date, a voucher type) once.
//
// Texts are only ever added. The texts' characters are packed into a few large
// Qt arrays rather than one allocation each (but for long texts that other
// strings share, see internLong), and each text is known by where its
// characters are: eight bytes. Its QString, sharing the array, is made when
// text() first asks for it (a few hundred neighbours at a time), as a large
// load adds far more texts than anything reads back during the load, and a
// QString per text would be most of a short text's memory. A reference
// returned by text() stays valid for the pool's life; a copy of it keeps its
// array alive by Qt's own counting and stays valid after the pool is gone. The
// pool holds one count of each array for all the texts in it, rather than one
// per text, and lets it go when it dies. Not thread-safe: the grids live on one
// thread.
class TextPool {
public:
    using Id = uint32_t;
    // The empty text, always there.
    static constexpr Id Empty = 0;

    TextPool();
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;
    ~TextPool();

    // The number of the text, added if new. "" and a null text are both Empty.
    Id intern(const QString& text) {
        return text.size() < LongText ? intern(QStringView(text)) : internLong(text);
    }
    Id intern(QStringView text);
    // The same for text given as Latin-1 bytes (so also for ASCII) and as UTF-8 bytes: each
    // finds the same number as the QString of those bytes would.
    Id internLatin1(const char* bytes, size_t size);
    Id internUtf8(const char* bytes, size_t size);
    // Several texts as UTF-8 bytes at once, so that their look-ups overlap in memory: each id
    // goes to `ids` at the text's place. A text without bytes (nullptr) is passed over.
    struct Bytes {
        const char* bytes;
        size_t size;
    };
    void internUtf8(const Bytes* texts, size_t count, Id* ids);
    // The same for texts as UTF-16 (a database driver's buffers).
    void intern(const QStringView* texts, size_t count, Id* ids);

    const QString& text(Id id) const {
        const size_t segment = id >> HeldShift;
        if (segment < m_made.size() && (id & (HeldLength - 1)) < m_made[segment])
            return m_held[segment][id & (HeldLength - 1)].text;
        return made(id);
    }
    // The text's characters, without making its QString: for a caller that only compares them.
    QStringView view(Id id) const {
        const uint64_t where = m_where[id];
        if (where >> LengthShift == Kept) return m_ownArrays[where & AddressBits];
        return QStringView(reinterpret_cast<const char16_t*>(where & AddressBits),
                           static_cast<qsizetype>(where >> LengthShift));
    }
    // How many distinct texts the pool holds, Empty included.
    size_t size() const { return m_where.size(); }
    // Makes room for `count` distinct texts in all, so that a caller who knows about how many
    // are coming spares the pool growing step by step.
    void reserve(size_t count);

private:
    // A long text that another string holds too (a workbook's shared string, in each cell that shows
    // it) is kept in that string's own array, not copied, and found again by where its characters
    // are: hashed once, however many cells hold it.
    static constexpr qsizetype LongText = 128;
    Id internLong(const QString& text);
    void place(const char16_t* at, Id id);

    template <class Units> Id find(const Units& units, uint32_t hash, size_t& at) const;
    Id internLatin1(const char* bytes, size_t size, uint32_t hash);
    // Room for `length` characters and a terminating NUL in the current array.
    char16_t* room(size_t length);
    Id added(char16_t* at, size_t length, uint32_t hash, size_t slot);
    Id stored(uint64_t where, uint32_t hash, size_t slot);
    // The place of a text the pool keeps a counted string of, in m_ownArrays.
    uint64_t kept(QString&& text);
    void rehash(size_t count);
    const QString& made(Id id) const;
    QString::DataPointer dataOf(Id id) const;

    // A text's QString, constructed without counting its array and never destroyed on its own: the
    // pool's one count of each array stands for all of them.
    struct Held {
        union {
            QString text;
        };
        Held() : text() {}
        explicit Held(QString::DataPointer&& data) : text(std::move(data)) {}
        ~Held() {}
    };
    using Block = QTypedArrayData<char16_t>;

    // Where each text's characters are, by id: their address in the low 48 bits and their length
    // above, or Kept above and the text's place in m_ownArrays below (a text in an array of its
    // own, one too long for 16 bits, or one at an address past 48 bits).
    static constexpr int LengthShift = 48;
    static constexpr uint64_t AddressBits = (uint64_t(1) << LengthShift) - 1;
    static constexpr uint64_t Kept = 0xFFFF;
    StableArray<uint64_t> m_where;
    // The QStrings made so far, in segments of HeldLength ids, each with how many of its own are made.
    static constexpr int HeldShift = 9;
    static constexpr size_t HeldLength = size_t(1) << HeldShift;
    mutable std::vector<Held*> m_held;
    mutable std::vector<uint32_t> m_made;
    // Open addressing: a text's hash in the high half and its id in the low half, so a probe
    // reads one slot and rarely a text; 0 marks a free slot (Empty is never put in).
    uint64_t* m_slots = nullptr;
    size_t m_slotCount = 0;
    // Every array the pool has made, each counted once by it, with the characters it holds; new
    // texts go into the last.
    struct Range {
        Block* block;
        const char16_t* begin;
        const char16_t* end;
    };
    std::vector<Range> m_blocks;
    mutable size_t m_lastRange = 0; // where the last text made was found
    Block* m_block = nullptr;
    char16_t* m_free = nullptr;
    char16_t* m_end = nullptr;
    size_t m_nextBlock = 0; // characters in the next array
    // The texts kept as counted strings (see m_where), and the ids of the long texts kept in their
    // own arrays by the address of their characters (open addressing; a null address marks a free
    // place).
    std::vector<QString> m_ownArrays;
    struct Placed {
        const char16_t* at = nullptr;
        Id id = Empty;
    };
    std::vector<Placed> m_places;
};

} // namespace quibo::core
