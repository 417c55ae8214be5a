#pragma once

#include "sources/backends/odbc/Statement.h"
#include "sources/backends/SourceCell.h"
#include "sources/backends/SourceTable.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::odbc {

// How a column's cells are fetched and read.
enum class Fetch { Text, Integer, Unsigned, Single, Double, Decimal, Boolean, Date, Skip };

// One column of a result, and its cells of the current block when it is bound.
struct ResultColumn {
    Fetch fetch = Fetch::Text;
    // Fetched as the text the database holds and read back as the number, text or binary each value
    // is (see StoredCell): a number column of a database whose values keep their own types.
    bool stored = false;
    SQLSMALLINT cType = 0; // the C type bound; 0 when read with SQLGetData
    SQLLEN width = 0;      // the bytes of one bound cell
    std::vector<char> data;
    std::vector<SQLLEN> indicators;
};

// The columns of a result as the driver describes them, each with the binding it is read with:
// `widths` holds by column the bytes a cell is bound with (0 as the column's description asks, -1
// read with SQLGetData). Texts are bound as UTF-8 where `narrow`; number columns are fetched as the
// text each value is stored as where `storedTypes`; names are asked for in UTF-8 where `utf8Calls`.
void DescribeColumns(const Statement& stmt, const std::vector<SQLLEN>& widths, bool narrow, bool storedTypes,
                     bool utf8Calls, std::vector<SourceColumn>& names, std::vector<ResultColumn>& columns);
// The rows of a block, as the driver takes them. Cells are fetched a block of rows at a time into
// bound buffers; long texts with SQLGetData, which drivers allow only one row at a time, after the
// last bound column unless they say otherwise (else nothing is bound).
// Blocks of one row where `oneRow`.
SQLULEN ChooseBlockRows(const Statement& stmt, SQLHDBC dbc, std::vector<ResultColumn>& columns, bool oneRow);
void BindColumns(const Statement& stmt, SQLULEN rows, std::vector<ResultColumn>& columns);
// Binds again, for the blocks that follow, each bound column that `widths` holds wider.
void BindWider(const Statement& stmt, SQLULEN rows, const std::vector<SQLLEN>& widths,
               std::vector<ResultColumn>& columns);

// The cell of a bound column in row `row` of the block; false when the driver had to cut the
// value short, which the column's buffer was then too small for.
bool BoundCell(const ResultColumn& column, size_t row, SourceCell& cell);
// The bytes of a bound text cell as its buffer of `width` bytes holds them, UTF-8 where `narrow`, else
// UTF-16; none when the value was cut short.
std::optional<std::string_view> BoundText(const char* data, SQLLEN indicator, SQLLEN width, bool narrow);
// Whether two texts as BoundText gives them are the same.
bool SameBytes(std::string_view a, std::string_view b, bool narrow);
// The cell of a column read with SQLGetData, for the current row.
SourceCell UnboundCell(const Statement& stmt, SQLUSMALLINT c, Fetch fetch, bool stored, bool narrow);
// The bytes to bind a column's cells with again after a value of `indicator` bytes did not fit in
// `width`: room for it and a quarter more, at least twice as wide (SQLite's driver fills the whole of
// a bound text cell, so each byte of it costs every row); -1 past the widest a cell is
// bound (or already there), when the column is read with SQLGetData.
SQLLEN Wider(SQLLEN width, SQLLEN indicator, SQLLEN unit);

} // namespace quibo::odbc
