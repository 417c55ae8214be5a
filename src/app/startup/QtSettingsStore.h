#pragma once

#include "base/Services.h"

namespace quibo {

// The settings store over QSettings: application "Quibo20", section "Config"
// (~/.config/Quibo20/Quibo20.conf here, the registry on Windows).
class QtSettingsStore final : public SettingsStore {
public:
    QString get(const QString& key) const override;
    void set(const QString& key, const QString& value) override;
};

} // namespace quibo
