#pragma once

#include "base/Services.h"

#include <QHash>

namespace quibo {

// Settings held in memory: for tests and for runs that must not touch the user's store.
class MemorySettingsStore final : public SettingsStore {
public:
    QString get(const QString& key) const override { return m_values.value(key); }
    void set(const QString& key, const QString& value) override { m_values.insert(key, value); }
    bool contains(const QString& key) const { return m_values.contains(key); }
    int size() const { return int(m_values.size()); }

private:
    QHash<QString, QString> m_values;
};

} // namespace quibo
