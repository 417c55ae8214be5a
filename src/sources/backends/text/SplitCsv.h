#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace quibo {

// Splits comma-separated text into cells and rows as spreadsheet programs read it, giving Null for
// empty cells: an unquoted empty cell is Null (`cell(nullptr, 0)`); a quote opens a quoted cell
// only at a cell's start, a doubled one inside stands for one, and the first quote that is not
// doubled closes the quoting, after which the text up to the cell's end joins the same cell as it
// stands (`"a""b" c` is `a"b c`); CR, LF and CRLF end a row, and a blank line is no row; the text
// may end without a line end, or inside a quoted cell. A cell without quotes inside is handed out
// where it lies in the text.
namespace splitcsv {

// A comma or a line end ends a cell.
inline bool EndsCell(char c) {
    return c == ',' || c == '\n' || c == '\r';
}

// Where the quoting that runs from `at`, just past its opening quote, ends: at the first quote
// that is not doubled, or at `end` when the text ends inside it. A quote that is the text's last
// character is that quote: only what follows it could tell it is doubled. `doubled` is set when a
// doubled quote was passed on the way. The splitter and the check for unclosed quotes both read
// quotes by it.
inline const char* ClosingQuote(const char* at, const char* const end, bool& doubled) {
    for (;;) {
        const auto* quote = static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
        if (!quote) return end;
        if (quote + 1 == end || quote[1] != '"') return quote;
        doubled = true;
        at = quote + 2;
    }
}

// The splitter; `Whole` false when more text follows the given text: a row that reaches the end
// unfinished is not ended there, and its start is returned (its cells so far were handed out and
// are to be dropped). Returns `end` when every row was ended.
template <bool Whole, class Cell, class Row>
const char* Split(const char* at, const char* const end, Cell& cell, Row& row) {
    std::string unquoted; // a quoted cell's text once its quotes are taken out
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
            while (at < end && !EndsCell(*at))
                ++at;
            if (!Whole && at == end) return rowStart;
            cell(at == from ? nullptr : from, static_cast<size_t>(at - from));
        } else {
            const char* const from = at + 1;
            bool doubled = false;
            const char* const close = ClosingQuote(from, end, doubled);
            // A quote last in the text may yet be doubled by the text that follows it.
            if (!Whole && (close == end || close + 1 == end)) return rowStart;
            const char* const tail = close == end ? end : close + 1; // plain text after the quoting
            at = tail;
            while (at < end && !EndsCell(*at))
                ++at;
            if (!Whole && at == end) return rowStart;
            if (!doubled && at == tail) {
                cell(from, static_cast<size_t>(close - from));
            } else {
                unquoted.clear();
                for (const char* part = from; part < close;) {
                    const auto* quote =
                        static_cast<const char*>(std::memchr(part, '"', static_cast<size_t>(close - part)));
                    if (!quote) {
                        unquoted.append(part, static_cast<size_t>(close - part));
                        break;
                    }
                    unquoted.append(part, static_cast<size_t>(quote + 1 - part)); // one of the two
                    part = quote + 2;
                }
                unquoted.append(tail, static_cast<size_t>(at - tail));
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

// Finds a quoted cell that a text never closes, reading quotes as the splitter does, so that a
// file whose quote would swallow the rest of it into one cell can be refused before it is split.
// The text is given piece by piece; the scan leaps from quote to quote.
class OpenQuote {
public:
    void scan(const char* const begin, const char* const end) {
        const char* at = begin;
        if (m_quoteLast && at < end) { // a quote ended the last piece: this one tells if it is doubled
            m_quoteLast = false;
            if (*at == '"')
                ++at;
            else
                m_open = false;
        }
        while (at < end) {
            if (m_open) {
                bool doubled = false;
                const char* const close = splitcsv::ClosingQuote(at, end, doubled);
                if (close == end) break;
                if (close + 1 == end) {
                    m_quoteLast = true;
                    break;
                }
                m_open = false;
                at = close + 1;
                continue;
            }
            const auto* quote = static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
            if (!quote) break;
            const char before = quote == begin ? m_last : quote[-1];
            at = quote + 1;
            if (!splitcsv::EndsCell(before)) continue; // inside a cell, where a quote is a character
            m_open = true;
            m_openedAt = m_offset + (quote - begin);
        }
        if (end > begin) m_last = end[-1];
        m_offset += end - begin;
    }
    // Where, from the text's start, the quote opens that the text never closes; -1 when none.
    std::int64_t unclosedAt() const { return m_open && !m_quoteLast ? m_openedAt : -1; }

private:
    std::int64_t m_offset = 0; // of the next piece
    char m_last = ',';         // the character before the next piece: the text's start opens a cell
    bool m_open = false;
    bool m_quoteLast = false;
    std::int64_t m_openedAt = -1;
};

} // namespace quibo
