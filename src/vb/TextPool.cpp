#include "vb/TextPool.h"

#include <QHash>

namespace quibo::vb {

TextPool::TextPool() : m_slots(64, Empty) {
    m_texts.emplace_back();
    m_hashes.push_back(0);
}

TextPool::Id TextPool::intern(const QString& text) {
    if (text.isEmpty()) return Empty;
    const size_t hash = qHash(QStringView(text));
    const size_t mask = m_slots.size() - 1;
    size_t at = hash & mask;
    for (; m_slots[at] != Empty; at = (at + 1) & mask) {
        const Id id = m_slots[at];
        if (m_hashes[id] == hash && m_texts[id] == text) return id;
    }
    const Id id = static_cast<Id>(m_texts.size());
    m_texts.push_back(text);
    m_hashes.push_back(hash);
    m_slots[at] = id;
    // At most half full, so a probe ends soon.
    if (m_texts.size() * 2 > m_slots.size()) grow();
    return id;
}

void TextPool::grow() {
    std::vector<Id> table(m_slots.size() * 2, Empty);
    const size_t mask = table.size() - 1;
    for (Id id = 1; id < m_texts.size(); ++id) {
        size_t at = m_hashes[id] & mask;
        while (table[at] != Empty)
            at = (at + 1) & mask;
        table[at] = id;
    }
    m_slots = std::move(table);
}

} // namespace quibo::vb
