#pragma once

#include <QString>

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

} // namespace sourcefile
} // namespace quibo
