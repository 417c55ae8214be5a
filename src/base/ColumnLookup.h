#pragma once

#include <QString>
#include <QStringView>

namespace quibo {

class ErrorReporter;
class SourceGrid;

// The column of the source grid whose field name (row 0), trimmed of blanks
// and upper-cased, equals the name treated the same way; the leftmost match
// wins; -1 when none does. Only blanks are trimmed: a tab is part of a name.
// No trap: for callers that trap themselves.
int FindSourceColumn(const SourceGrid& grid, QStringView name);

// Where a field of the loaded source stands: the column (from 0) of the
// source grid whose name matches, trimmed of blanks and ignoring case; -1
// when none does. A column is present when the index is 0 or more: the first
// field of a source is column 0. Errors are reported (C03--0042) and give -1.
int GetColumnIndex(ErrorReporter& errors, const SourceGrid& grid, const QString& name);

// The yes/no form of the same search (C03--0042A).
bool ColumnExists(ErrorReporter& errors, const SourceGrid& grid, const QString& name);

} // namespace quibo
