#pragma once

#include "app/base/Services.h"

#include <QHash>

namespace quibo {

// The settings store over QSettings: application "Quibo20", section "Config"
// (~/.config/Quibo20/Quibo20.conf here, the registry on Windows).
class QtSettingsStore final : public SettingsStore {
public:
    QString get(const QString& key) const override;
    void set(const QString& key, const QString& value) override;
};

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
