#pragma once

#include "controls/button/ButtonHost.h"

class QSettings;

namespace quibo {

// The property bag of one button over a settings store: its keys live in the group named after the
// form-data type and the control's name ("Quibo.QuiboButton/cmdPost/Caption"). The store outlives
// the bag.
class SettingsPropertyBag final : public PropertyBag {
public:
    SettingsPropertyBag(QSettings& store, const QString& controlName);

    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const override;
    void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue) override;

private:
    QString Path(const QString& key) const;

    QSettings& m_store;
    QString m_group;
};

} // namespace quibo
