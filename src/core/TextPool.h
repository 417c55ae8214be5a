#pragma once

#include "core/LargeBlocks.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace quibo::core {

// One copy of each distinct cell text, named by a small number. Both grids
// hold their cells as these numbers into one pool (shared through a
// std::shared_ptr), so a loaded table's text lives once however many grids
// show it, and a text that repeats ("Cash", a date, a voucher type) once.
//
// Texts are only ever added; a reference returned by text() stays valid for
// the pool's life. The texts' characters are packed into a few large Qt arrays
// rather than one allocation each (but for long texts that other strings share,
// see internLong): every text is a QString sharing its array,
// so a copy of it keeps that array alive by Qt's own counting and stays valid
// after the pool is gone. The pool holds one count of each array for all the
// texts in it, rather than one per text, and lets it go when it dies. Not
// thread-safe: the grids live on one thread.
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

    const QString& text(Id id) const { return m_texts[id].text; }
    // How many distinct texts the pool holds, Empty included.
    size_t size() const { return m_texts.size(); }
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
    Id stored(QString::DataPointer&& text, uint32_t hash, size_t slot);
    void rehash(size_t count);

    // A pooled text, constructed without counting its array and never destroyed on its own: the
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

    StableArray<Held> m_texts; // by id
    // Open addressing: a text's hash in the high half and its id in the low half, so a probe
    // reads one slot and rarely a text; 0 marks a free slot (Empty is never put in).
    uint64_t* m_slots = nullptr;
    size_t m_slotCount = 0;
    // Every array the pool has made, each counted once by it; new texts go into the last.
    std::vector<Block*> m_blocks;
    Block* m_block = nullptr;
    char16_t* m_free = nullptr;
    char16_t* m_end = nullptr;
    size_t m_nextBlock = 0; // characters in the next array
    // The long texts kept in their own arrays, each counted once here, and their ids by the address
    // of their characters (open addressing; a null address marks a free place).
    std::vector<QString> m_ownArrays;
    struct Placed {
        const char16_t* at = nullptr;
        Id id = Empty;
    };
    std::vector<Placed> m_places;
};

} // namespace quibo::core
