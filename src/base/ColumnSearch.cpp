#include "base/ColumnSearch.h"

#include "base/SourceGrid.h"
#include "vb/Text.h"

namespace quibo {

int FindSourceColumn(const SourceGrid& grid, QStringView name) {
    const QString wanted = vb::UCase(vb::Trim(name));
    const int columns = grid.Cols();
    for (int i = 0; i < columns; ++i)
        if (vb::UCase(vb::Trim(grid.TextMatrix(0, i))) == wanted) return i;
    return -1;
}

} // namespace quibo
