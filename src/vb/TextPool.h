#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <vector>

namespace quibo::vb {

// One copy of each distinct cell text, named by a small number. Both grids
// hold their cells as these numbers into one pool (shared through a
// std::shared_ptr), so a loaded table's text lives once however many grids
// show it, and a text that repeats ("Cash", a date, a voucher type) once.
//
// Texts are only ever added; a reference returned by text() stays valid for
// the pool's life. Not thread-safe: the grids live on one thread.
class TextPool {
public:
    using Id = uint32_t;
    // The empty text, always there.
    static constexpr Id Empty = 0;

    TextPool();
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // The number of the text, added if new. "" and a null text are both Empty.
    Id intern(const QString& text);
    const QString& text(Id id) const { return m_texts[id]; }
    // How many distinct texts the pool holds, Empty included.
    size_t size() const { return m_texts.size(); }

private:
    void grow();

    std::deque<QString> m_texts; // by id; a deque keeps references stable as it grows
    // Open addressing: a text's hash in the high half and its id in the low half, so a probe
    // reads one slot and rarely a text; 0 marks a free slot (Empty is never put in).
    std::vector<uint64_t> m_slots;
};

} // namespace quibo::vb
