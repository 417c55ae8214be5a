#pragma once

#include <cstring>
#include <string>

namespace quibo {

// Splits comma-separated text into cells and rows as libcsv does when it trims no blanks and
// gives Null for empty cells: an unquoted empty cell is Null (`cell(nullptr, 0)`); a quote opens
// a quoted cell only at a cell's start, and a doubled one inside stands for one; a quote that
// other text follows does not close the cell but stays in it; CR, LF and CRLF end a row, and a
// blank line is no row; the text may end without a line end, or inside a quoted cell. A cell
// without quotes inside is handed out where it lies in the text.
namespace splitcsv {

// The splitter; `Whole` false when more text follows the given text: a row that reaches the end
// unfinished is not ended there, and its start is returned (its cells so far were handed out and
// are to be dropped). Returns `end` when every row was ended.
template <bool Whole, class Cell, class Row>
const char* Split(const char* at, const char* const end, Cell& cell, Row& row) {
    auto endsCell = [](char c) { return c == ',' || c == '\n' || c == '\r'; };
    std::string unquoted; // a quoted cell's text once a quote inside it is taken out
    bool inRow = false;
    const char* rowStart = at;
    while (at < end) {
        if (*at == '\n' || *at == '\r') {
            if (inRow) { // the line ends after a comma: one more cell, empty
                cell(nullptr, 0);
                row();
                inRow = false;
            }
            ++at;
            continue;
        }
        if (!inRow) rowStart = at;
        inRow = true;
        if (*at != '"') {
            const char* const from = at;
            while (at < end && !endsCell(*at))
                ++at;
            if (!Whole && at == end) return rowStart;
            cell(at == from ? nullptr : from, static_cast<size_t>(at - from));
        } else {
            const char* from = ++at;
            auto nextQuote = [&] {
                return static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
            };
            const char* quote = nextQuote();
            // Whether the quote found is the last character of the text: what follows it decides.
            auto cut = [&] { return !Whole && (!quote || quote + 1 == end); };
            if (!quote || quote + 1 == end || endsCell(quote[1])) {
                if (cut()) return rowStart;
                at = quote ? quote + 1 : end;
                cell(from, static_cast<size_t>((quote ? quote : end) - from));
            } else {
                unquoted.clear();
                for (;;) {
                    if (cut()) return rowStart;
                    if (!quote) { // never closed: the cell runs to the end of the text
                        unquoted.append(from, static_cast<size_t>(end - from));
                        at = end;
                        break;
                    }
                    if (quote + 1 == end || endsCell(quote[1])) {
                        unquoted.append(from, static_cast<size_t>(quote - from));
                        at = quote + 1;
                        break;
                    }
                    unquoted.append(from, static_cast<size_t>(quote + 1 - from));
                    at = quote[1] == '"' ? quote + 2 : quote + 1;
                    from = at;
                    quote = nextQuote();
                }
                cell(unquoted.data(), unquoted.size());
            }
        }
        if (at == end) break;
        if (*at == ',') {
            ++at;
            if (at == end) { // the text ends after a comma
                if (!Whole) return rowStart;
                cell(nullptr, 0);
            }
        } else {
            row();
            inRow = false;
        }
    }
    if (inRow) {
        if (!Whole) return rowStart;
        row();
    }
    return end;
}

} // namespace splitcsv

template <class Cell, class Row>
void SplitCsv(const char* at, const char* const end, Cell&& cell, Row&& row) {
    splitcsv::Split<true>(at, end, cell, row);
}

// The same for a piece of a text that more text follows: the rows that end in the piece are split,
// and the start of the one left unfinished is returned (`end` if none), for the caller to give
// again with the text that follows; the cells of that row handed out so far are to be dropped.
template <class Cell, class Row>
const char* SplitCsvRows(const char* at, const char* const end, Cell&& cell, Row&& row) {
    return splitcsv::Split<false>(at, end, cell, row);
}

} // namespace quibo
