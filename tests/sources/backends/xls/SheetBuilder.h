#pragma once

#include "sources/backends/SourceTable.h"

#include <vector>

namespace quibo {

// Turns the cells of one worksheet into a table the way the Excel drivers
// read a sheet with a header row: the range runs from the first to the last
// row and column that hold a value; its first row names the columns (an
// empty name becomes "F" and the column number); the rows below are the
// records, empty ones in the middle included. A sheet without a value reads
// as one column "F1" and no records, as Jet reads it.
class SheetBuilder {
public:
    // Cells may come in any order; a Null cell is the same as no cell.
    void set(int row, int column, SourceCell cell);
    SourceTable finish();

private:
    std::vector<std::vector<SourceCell>> m_rows;
    int m_firstRow = -1;
    int m_lastRow = -1;
    int m_firstColumn = -1;
    int m_lastColumn = -1;
};

} // namespace quibo
