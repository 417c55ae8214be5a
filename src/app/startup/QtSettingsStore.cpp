#include "app/startup/QtSettingsStore.h"

#include <QSettings>

namespace quibo {

namespace {
const QString Application = QStringLiteral("Quibo20");
const QString Section = QStringLiteral("Config");
} // namespace

QtSettingsStore::QtSettingsStore() : m_store(std::make_unique<QSettings>(Application, Application)) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::get(const QString& key) const {
    return m_store->value(Section + QLatin1Char('/') + key).toString();
}

void QtSettingsStore::set(const QString& key, const QString& value) {
    m_store->setValue(Section + QLatin1Char('/') + key, value);
    m_store->sync();
}

} // namespace quibo
