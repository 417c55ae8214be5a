#include "base/ColumnLookup.h"

#include "base/SourceGrid.h"
#include "base/Trap.h"
#include "vb/Text.h"

namespace quibo {

int FindSourceColumn(const SourceGrid& grid, QStringView name) {
    const QString wanted = vb::UCase(vb::Trim(name));
    const int columns = grid.Cols();
    for (int i = 0; i < columns; ++i)
        if (vb::UCase(vb::Trim(grid.TextMatrix(0, i))) == wanted) return i;
    return -1;
}

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
