#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace quibo {

// The errors a source file gives, in the program's own words: each names the file and what is
// wrong with it, so that an error report (or an unattended run's last line) says what to mend.
namespace sourcefile {

// Raises unless `path` names a file this process can read: not found, a folder, not readable.
void RequireReadableFile(const QString& path);
// The file is there but is not `kind` ("an Excel workbook (.xlsx)", ...).
[[noreturn]] void RaiseNotOfKind(const QString& path, const QString& kind);
// Anything else wrong in the file: `what` says it, after the file's name.
[[noreturn]] void RaiseBroken(const QString& path, const QString& what);

// The rest of an open file, copied into memory taken on large pages (see vb/LargeBlocks.h): a
// big file read into fresh memory otherwise faults it in page by page.
QByteArray ReadWhole(QFile& file);

} // namespace sourcefile
} // namespace quibo
