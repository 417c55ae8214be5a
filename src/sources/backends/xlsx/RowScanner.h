// The streaming row scanner: a worksheet's rows and the shared strings read straight from their bytes.
#pragma once

#include <QString>

#include <cstddef>
#include <vector>

namespace quibo::xlsx {

class SheetRows;
struct SheetContext;

// Reads a batch of rows straight from its bytes, for the plain XML worksheets hold: elements,
// attributes and text with entity and character references. On anything else (comments, CDATA,
// processing instructions, names beyond ASCII, NUL bytes, markup that is not well formed) it gives
// up, and the batch goes to the XML parser, which reads it the same way or names what is wrong; the
// parser goes on after the rows the scanner read whole.
//
// The batch holds no NUL and is followed by one, so the scan stops at its end without counting.
//
// `rowsRead` counts the <row> elements read through their end; when the scan gives up, those went
// into the sheet and `lastRow` is the last of them.
bool ScanRows(const char* begin, const SheetContext& context, int& lastRow, size_t& rowsRead,
              SheetRows& sheet);

// The string items of a shared-strings part, from its start: a declaration, the root and its items,
// and nothing after but blanks. False where the scanner gives up, as above.
bool ScanSharedStrings(const char* begin, const SheetContext& context, std::vector<QString>& out);

} // namespace quibo::xlsx
