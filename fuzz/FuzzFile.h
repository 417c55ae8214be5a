#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace quibo::fuzz {

// The fuzzer's bytes as a file `name` in a folder of this process's own, for readers that take a path.
inline QString FileOf(const uint8_t* data, size_t size, const QString& name) {
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/quibo-fuzz-") + QString::number(::getpid());
        QDir().mkpath(path);
        return path;
    }();
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return path;
}

} // namespace quibo::fuzz
