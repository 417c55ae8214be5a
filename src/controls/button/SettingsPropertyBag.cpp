#include "controls/button/SettingsPropertyBag.h"

#include "controls/button/QuiboButton.h"

#include <QSettings>

namespace quibo {

SettingsPropertyBag::SettingsPropertyBag(QSettings& store, const QString& controlName)
    : m_store(store),
      m_group(QString::fromLatin1(QuiboButton::kFormDataType) + QLatin1Char('/') + controlName) {}

QString SettingsPropertyBag::Path(const QString& key) const {
    return m_group + QLatin1Char('/') + key;
}

QVariant SettingsPropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const {
    return m_store.value(Path(key), defaultValue);
}

void SettingsPropertyBag::WriteProperty(const QString& key, const QVariant& value,
                                        const QVariant& defaultValue) {
    // A value equal to its default is left out, and an older stored value with it.
    if (defaultValue.isValid() && value == defaultValue)
        m_store.remove(Path(key));
    else
        m_store.setValue(Path(key), value);
}

} // namespace quibo
