#pragma once

// The plain controls of the main form as headless state: what the procedures
// read and write. The window shows them; it decides nothing.

#include <QString>
#include <QStringList>

namespace quibo {

// A drop-down list: its text is the selected entry's text ("" when none).
class ComboBox {
public:
    const QStringList& items() const { return m_items; }
    int ListCount() const { return int(m_items.size()); }
    QString List(int index) const { return m_items.value(index); }
    int ListIndex() const { return m_index; }
    QString Text() const { return m_index >= 0 ? m_items.value(m_index) : QString(); }

    void Clear() {
        m_items.clear();
        m_index = -1;
    }
    void AddItem(const QString& text) { m_items.append(text); }
    // Selecting an index outside the list leaves nothing selected.
    void SetListIndex(int index) { m_index = (index >= 0 && index < m_items.size()) ? index : -1; }
    // Selects the first entry equal to text (exact); nothing when none matches.
    bool SelectText(const QString& text) {
        m_index = int(m_items.indexOf(text));
        return m_index >= 0;
    }

private:
    QStringList m_items;
    int m_index = -1;
};

struct CheckBox {
    int value = 0; // 0 cleared, 1 ticked, 2 grey
    bool visible = true;
};

// The status bar `SB`: four panels addressed by key.
class StatusBar {
public:
    static inline const QStringList Keys = {QStringLiteral("msg"), QStringLiteral("stat"),
                                            QStringLiteral("Date"), QStringLiteral("Time")};
    bool hasPanel(const QString& key) const { return Keys.contains(key); }
    QString panel(const QString& key) const { return m_texts.value(int(Keys.indexOf(key))); }
    void setPanel(const QString& key, const QString& text) {
        const int i = int(Keys.indexOf(key));
        if (i >= 0) m_texts[i] = text;
    }

private:
    QStringList m_texts = {QString(), QString(), QString(), QString()};
};

// Menu entries whose visibility changes while the program runs.
struct MenuState {
    bool mnuSaveR = false;
    bool mnuIndex = false;
    bool mnuSearch = false;
    bool mnuSupport = false;
};

} // namespace quibo
