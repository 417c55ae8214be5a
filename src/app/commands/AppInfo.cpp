#include "app/commands/AppInfo.h"

namespace quibo {

AppInfo AppInfo::Program() {
    return AppInfo{QUIBO_VERSION_MAJOR, QUIBO_VERSION_MINOR, QUIBO_VERSION_PATCH};
}

QString AppInfo::Title() {
    return QStringLiteral("Quibo");
}

QString AppInfo::VersionNumbers() const {
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.') +
           QString::number(revision);
}

QString AppInfo::VersionCaption() const {
    return QStringLiteral("Version ") + VersionNumbers();
}

QString AppInfo::MainCaption() const {
    return QStringLiteral("Quibo ") + VersionNumbers();
}

} // namespace quibo
