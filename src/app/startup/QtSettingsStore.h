#pragma once

#include "base/Services.h"

#include <memory>

class QSettings;

namespace quibo {

// The settings store over QSettings: application "Quibo20", section "Config"
// (~/.config/Quibo20/Quibo20.conf here, the registry on Windows). One QSettings serves every call:
// reading the server address for each request must not open and parse the file each time. A value
// set is written through at once.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;

    QString get(const QString& key) const override;
    void set(const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> m_store;
};

} // namespace quibo
