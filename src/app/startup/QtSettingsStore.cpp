#include "app/startup/QtSettingsStore.h"

#include <QSettings>

namespace quibo {

namespace {
const QString Application = QStringLiteral("Quibo20");
const QString Section = QStringLiteral("Config");
} // namespace

QString QtSettingsStore::get(const QString& key) const {
    QSettings store(Application, Application);
    return store.value(Section + QLatin1Char('/') + key).toString();
}

void QtSettingsStore::set(const QString& key, const QString& value) {
    QSettings store(Application, Application);
    store.setValue(Section + QLatin1Char('/') + key, value);
    store.sync();
}

} // namespace quibo
