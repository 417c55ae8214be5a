#include "sources/backends/SourceFile.h"

#include "vb/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

namespace quibo::sourcefile {

namespace {
const QString Source = QStringLiteral("Quibo");
} // namespace

void RequireReadableFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        vb::Raise(vb::err::FileNotFound, QStringLiteral("The source \"%1\" does not exist.").arg(path),
                  Source);
    if (info.isDir())
        vb::Raise(vb::err::PathFileAccess,
                  QStringLiteral("The source \"%1\" is a folder, not a file.").arg(path), Source);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        vb::Raise(vb::err::PathFileAccess,
                  QStringLiteral("The source \"%1\" cannot be read: %2.").arg(path, file.errorString()),
                  Source);
}

void RaiseNotOfKind(const QString& path, const QString& kind) {
    vb::Raise(vb::err::DatabaseError, QStringLiteral("The source \"%1\" is not %2.").arg(path, kind), Source);
}

void RaiseBroken(const QString& path, const QString& what) {
    vb::Raise(vb::err::DatabaseError, QStringLiteral("The source \"%1\" %2").arg(path, what), Source);
}

} // namespace quibo::sourcefile
