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
template <class Cell, class Row>
void SplitCsv(const char* at, const char* const end, Cell&& cell, Row&& row) {
    auto endsCell = [](char c) { return c == ',' || c == '\n' || c == '\r'; };
    std::string unquoted; // a quoted cell's text once a quote inside it is taken out
    bool inRow = false;
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
        inRow = true;
        if (*at != '"') {
            const char* const from = at;
            while (at < end && !endsCell(*at))
                ++at;
            cell(at == from ? nullptr : from, static_cast<size_t>(at - from));
        } else {
            const char* from = ++at;
            auto nextQuote = [&] {
                return static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
            };
            const char* quote = nextQuote();
            if (!quote || quote + 1 == end || endsCell(quote[1])) {
                at = quote ? quote + 1 : end;
                cell(from, static_cast<size_t>((quote ? quote : end) - from));
            } else {
                unquoted.clear();
                for (;;) {
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
            if (at == end) cell(nullptr, 0); // the text ends after a comma
        } else {
            row();
            inRow = false;
        }
    }
    if (inRow) row();
}

} // namespace quibo
