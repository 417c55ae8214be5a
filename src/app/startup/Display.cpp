#include "app/startup/Display.h"

namespace quibo {

bool HasDisplay(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

bool PrepareQtPlatform() {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty()) return chosen == "offscreen" || chosen == "minimal";
    if (HasDisplay()) return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

} // namespace quibo
