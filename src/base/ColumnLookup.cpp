#include "base/ColumnLookup.h"

#include "base/ColumnSearch.h"
#include "base/Trap.h"

namespace quibo {

int GetColumnIndex(ErrorReporter& errors, const SourceGrid& grid, const QString& name) {
    int index = -1;
    Trap(errors, "C03--0042", [&] { index = FindSourceColumn(grid, name); });
    return index;
}

bool ColumnExists(ErrorReporter& errors, const SourceGrid& grid, const QString& name) {
    bool exists = false;
    Trap(errors, "C03--0042A", [&] { exists = FindSourceColumn(grid, name) >= 0; });
    return exists;
}

} // namespace quibo
