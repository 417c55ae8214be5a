#include "sources/backends/SourceFile.h"

#include "core/LargeBlocks.h"
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

QByteArray ReadWhole(QFile& file) {
    const qint64 expected = file.size() - file.pos();
    if (expected <= 0) return file.readAll();
    QByteArray bytes(static_cast<qsizetype>(expected), Qt::Uninitialized);
    core::AdviseLargePages(bytes.data(), static_cast<size_t>(bytes.size()));
    qint64 read = 0;
    while (read < expected) {
        const qint64 n = file.read(bytes.data() + read, expected - read);
        if (n <= 0) break;
        read += n;
    }
    bytes.truncate(static_cast<qsizetype>(read));
    // A file that grew since its size was taken is read to its end, as readAll would.
    if (read == expected) bytes.append(file.readAll());
    return bytes;
}

} // namespace quibo::sourcefile
