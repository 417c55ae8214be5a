#include "vb/TextPool.h"

#include <QHash>

namespace quibo::vb {

namespace {

// Spreads a string hash over all its bits: qHash without a seed leaves neighbouring texts
// ("10.5", "11.5") in neighbouring slots, and linear probing then walks long runs.
uint32_t Mixed(size_t hash) {
    uint64_t h = hash;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return static_cast<uint32_t>(h);
}

} // namespace

TextPool::TextPool() : m_slots(64, 0) {
    m_texts.emplace_back();
}

TextPool::Id TextPool::intern(const QString& text) {
    if (text.isEmpty()) return Empty;
    const uint64_t hash = Mixed(qHash(QStringView(text)));
    const size_t mask = m_slots.size() - 1;
    size_t at = hash & mask;
    for (; m_slots[at] != 0; at = (at + 1) & mask) {
        const uint64_t slot = m_slots[at];
        const Id id = static_cast<Id>(slot);
        if (slot >> 32 == hash && m_texts[id] == text) return id;
    }
    const Id id = static_cast<Id>(m_texts.size());
    m_texts.push_back(text);
    m_slots[at] = hash << 32 | id;
    // At most half full, so a probe ends soon.
    if (m_texts.size() * 2 > m_slots.size()) grow();
    return id;
}

void TextPool::grow() {
    std::vector<uint64_t> table(m_slots.size() * 2, 0);
    const size_t mask = table.size() - 1;
    for (const uint64_t slot : m_slots) {
        if (slot == 0) continue;
        size_t at = (slot >> 32) & mask;
        while (table[at] != 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
    m_slots = std::move(table);
}

} // namespace quibo::vb
