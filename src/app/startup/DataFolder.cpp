#include "app/startup/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace quibo {

namespace {

QString ExecutableFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

bool IsWritableFolder(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir() &&
           ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

} // namespace

QString ResolveDataFolder() {
    const QString home = qEnvironmentVariable("QUIBO20_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return QDir(home).absolutePath();
    }
    const QString exe = ExecutableFolder();
    if (IsWritableFolder(exe)) return exe;
    const QString user =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quibo20");
    QDir().mkpath(user);
    return user;
}

} // namespace quibo
