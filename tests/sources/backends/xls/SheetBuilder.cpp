#include "sources/backends/xls/SheetBuilder.h"

#include <algorithm>

namespace quibo {

void SheetBuilder::set(int row, int column, SourceCell cell) {
    if (row < 0 || column < 0 || IsNull(cell)) return;
    if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
    auto& cells = m_rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = std::move(cell);
    m_firstRow = m_firstRow < 0 ? row : std::min(m_firstRow, row);
    m_lastRow = std::max(m_lastRow, row);
    m_firstColumn = m_firstColumn < 0 ? column : std::min(m_firstColumn, column);
    m_lastColumn = std::max(m_lastColumn, column);
}

SourceTable SheetBuilder::finish() {
    if (m_firstRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});

    const int width = m_lastColumn - m_firstColumn + 1;
    auto cellAt = [&](int row, int column) -> SourceCell {
        auto& cells = m_rows[static_cast<size_t>(row)];
        const size_t c = static_cast<size_t>(m_firstColumn + column);
        return c < cells.size() ? std::move(cells[c]) : SourceCell{};
    };

    std::vector<SourceColumn> columns;
    columns.reserve(static_cast<size_t>(width));
    for (int c = 0; c < width; ++c)
        columns.push_back({ColumnNameFromHeader(cellAt(m_firstRow, c), c + 1), ColumnKind::Text});

    SourceTable table(std::move(columns));
    std::vector<int> kinds(static_cast<size_t>(width), -1); // -1: no value yet, -2: mixed
    for (int r = m_firstRow + 1; r <= m_lastRow; ++r) {
        std::vector<SourceCell> row;
        row.reserve(static_cast<size_t>(width));
        for (int c = 0; c < width; ++c) {
            SourceCell cell = cellAt(r, c);
            if (!IsNull(cell)) {
                const int kind = static_cast<int>(CellKind(cell));
                int& seen = kinds[static_cast<size_t>(c)];
                seen = seen == -1 ? kind : (seen == kind ? seen : -2);
            }
            row.push_back(std::move(cell));
        }
        table.appendRow(std::move(row));
        std::vector<SourceCell>().swap(m_rows[static_cast<size_t>(r)]);
    }
    for (int c = 0; c < width; ++c)
        if (kinds[static_cast<size_t>(c)] >= 0)
            table.setColumnKind(c, static_cast<ColumnKind>(kinds[static_cast<size_t>(c)]));
    m_rows.clear();
    return table;
}

} // namespace quibo
