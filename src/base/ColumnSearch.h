#pragma once

#include <QStringView>

namespace quibo {

class SourceGrid;

// The column of the source grid whose field name (row 0), trimmed of blanks
// and upper-cased, equals the name treated the same way; the leftmost match
// wins; -1 when none does. Only blanks are trimmed: a tab is part of a name.
int FindSourceColumn(const SourceGrid& grid, QStringView name);

} // namespace quibo
