#include "sources/backends/BiffBook.h"

#include "sources/backends/BiffRecords.h"
#include "sources/backends/CompoundFile.h"
#include "sources/backends/DateText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace quibo {

using namespace biff;

// A worksheet's cells made into a table as SheetBuilder makes them (the same range, header, empty
// rows and column kinds), for cells that come row by row as a workbook stores them: each row is
// sized once, as wide as the rows before it, and moves into the table whole.
class BiffBook::SheetRows {
public:
    // The rows the DIMENSIONS record gives, to size the first allocation.
    void dimensions(quint32 rows) {
        // A damaged record must not reserve beyond the rows a sheet can have.
        m_rows.reserve(std::min<quint32>(rows, 65536));
    }

    void cell(int row, int column, SourceCell cell) {
        if (row < 0 || column < 0 || IsNull(cell)) return;
        if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
        auto& cells = m_rows[static_cast<size_t>(row)];
        const size_t at = static_cast<size_t>(column);
        // As wide as the widest row so far: no wider than the table's rows will be.
        if (cells.capacity() == 0)
            cells.reserve(std::max<size_t>(static_cast<size_t>(m_lastColumn + 1), at + 1));
        if (at == cells.size()) { // the next cell of the row, as cells mostly come
            cells.push_back(std::move(cell));
        } else {
            if (at > cells.size()) cells.resize(at + 1);
            cells[at] = std::move(cell);
        }
        m_firstRow = m_firstRow < 0 ? row : std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        m_firstColumn = m_firstColumn < 0 ? column : std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }

    SourceTable finish() {
        if (m_firstRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
        const size_t first = static_cast<size_t>(m_firstColumn);
        const size_t width = static_cast<size_t>(m_lastColumn - m_firstColumn + 1);

        std::vector<SourceColumn> columns;
        columns.reserve(width);
        const auto& header = m_rows[static_cast<size_t>(m_firstRow)];
        for (size_t c = 0; c < width; ++c)
            columns.push_back(
                {ColumnNameFromHeader(first + c < header.size() ? header[first + c] : SourceCell{},
                                      static_cast<int>(c) + 1),
                 ColumnKind::Text});

        SourceTable table(std::move(columns));
        std::vector<int> kinds(width, -1); // -1: no value yet, -2: mixed
        for (int r = m_firstRow + 1; r <= m_lastRow; ++r) {
            std::vector<SourceCell>& cells = m_rows[static_cast<size_t>(r)];
            for (size_t c = first; c < cells.size(); ++c) {
                if (IsNull(cells[c])) continue;
                const int kind = static_cast<int>(CellKind(cells[c]));
                int& seen = kinds[c - first];
                seen = seen == -1 ? kind : (seen == kind ? seen : -2);
            }
            if (first > 0)
                cells.erase(cells.begin(),
                            cells.begin() + static_cast<qsizetype>(std::min(first, cells.size())));
            table.appendRow(std::move(cells));
        }
        for (size_t c = 0; c < width; ++c)
            if (kinds[c] >= 0) table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(kinds[c]));
        m_rows.clear();
        return table;
    }

private:
    std::vector<std::vector<SourceCell>> m_rows;
    int m_firstRow = -1, m_lastRow = -1, m_firstColumn = -1, m_lastColumn = -1;
};

BiffBook::Status BiffBook::open(const QByteArray& file, bool withCells) {
    m_file = file;
    CompoundFile cfb(m_file);
    if (!cfb.isCompound())
        m_stream = m_file; // an Excel 2, 3 or 4 worksheet file is a bare record stream
    else if (!cfb.workbook(m_stream))
        return Status::Malformed;

    Records records(m_stream, 0);
    Record r;
    if (!records.next(r) || r.size < 4) return Status::Malformed;
    m_biff = BiffOf(r.type, U16(r.data));
    // A workbook's globals list its sheets; a worksheet file is its one sheet, whose formats and
    // styles come before its cells.
    const bool worksheetFile = U16(r.data + 2) == 0x0010;
    if (m_biff == 0 || (!worksheetFile && (m_biff < 5 || U16(r.data + 2) != 0x0005)))
        return Status::Malformed;
    if (worksheetFile) m_sheets.push_back({QString(), 0});
    std::optional<CodePage> page; // for the 8-bit strings before BIFF8
    if (m_biff < 8) {
        m_codePage = CodePage::Of(m_stream);
        page.emplace(m_codePage);
    }

    std::unordered_map<quint16, bool> formats; // whether each shows a date or time
    quint16 formatCount = 0;
    std::vector<quint16> xfFormats;
    bool ended = false;
    while (!ended && records.next(r)) {
        switch (Biff8Id(r.type, m_biff)) {
        case rec::Eof:
            ended = true;
            break;
        case rec::FilePass: // the records after it are encrypted (XOR or RC4)
            return Status::Protected;
        case rec::DateMode:
            if (r.size >= 2) m_1904 = U16(r.data) == 1;
            break;
        case rec::BoundSheet: {
            if (worksheetFile) break;
            if (r.size < (page ? 7 : 8)) return Status::Malformed;
            if (r.data[5] != 0) break; // a chart, macro or module sheet
            Segments s;
            s.add(Record{r.type, r.data + 6, r.size - 6});
            QString name;
            if (!(page ? page->string(s, false, name) : s.string(name, true))) return Status::Malformed;
            m_sheets.push_back({name, U32(r.data)});
            break;
        }
        case rec::Format: {
            // A damaged format spoils itself alone: its cells read as numbers. Before BIFF5 a format
            // goes by its place in the list (BIFF4 leaves two bytes unused before its text).
            const qsizetype at = m_biff <= 3 ? 0 : 2;
            const quint16 place = formatCount++;
            if (!withCells || r.size < at) break;
            Segments s;
            s.add(Record{r.type, r.data + at, r.size - at});
            QString text;
            formats[m_biff <= 4 ? place : U16(r.data)] =
                (page ? page->string(s, false, text) : s.string(text)) && IsDateFormatCode(text);
            break;
        }
        case rec::Xf: // its format's index: one byte in BIFF3 and 4
            if (!withCells) break;
            if (r.size < 4) return Status::Malformed;
            xfFormats.push_back(m_biff <= 4 ? r.data[1] : U16(r.data + 2));
            break;
        case rec::Sst: {
            if (!withCells) break;
            if (r.size < 8) return Status::Malformed;
            const quint32 unique = U32(r.data + 4);
            Segments s = Gather(Record{r.type, r.data + 8, r.size - 8}, records);
            m_strings.reserve(std::min<quint32>(unique, quint32(m_stream.size() / 3)));
            QString text;
            for (quint32 i = 0; i < unique && s.string(text); ++i)
                m_strings.push_back(text);
            break;
        }
        default:
            break;
        }
    }
    if (!ended) return Status::Malformed;
    if (m_biff == 2) { // a BIFF2 cell names its format itself, in six bits
        xfFormats.resize(64);
        std::iota(xfFormats.begin(), xfFormats.end(), quint16(0));
    }
    m_xfDate.reserve(xfFormats.size());
    for (quint16 f : xfFormats) {
        const auto it = formats.find(f);
        m_xfDate.push_back(it != formats.end() ? it->second : IsBuiltInDateFormat(f));
    }
    return Status::Ok;
}

QStringList BiffBook::sheetNames() const {
    QStringList names;
    for (const Sheet& s : m_sheets)
        names.append(s.name);
    return names;
}

SourceCell BiffBook::numberCell(double value, quint16 xf) const {
    // A date in any date or time format is the whole value, whatever parts the format shows.
    if (xf >= m_xfDate.size() || !m_xfDate[xf]) return value;
    const QDateTime date = DateOfSerial(value, m_1904);
    if (date.isValid()) return date;
    return value;
}

bool BiffBook::readSheet(int index, const CellSink& sink) const {
    struct Sink {
        const CellSink& put;
        void dimensions(quint32) {}
        void cell(int row, int column, SourceCell cell) { put(row, column, std::move(cell)); }
    } to{sink};
    return readCells(index, to);
}

std::optional<SourceTable> BiffBook::readTable(int index) const {
    SheetRows rows;
    if (!readCells(index, rows)) return std::nullopt;
    return rows.finish();
}

template <class Sink> bool BiffBook::readCells(int index, Sink& sink) const {
    if (index < 0 || static_cast<size_t>(index) >= m_sheets.size()) return false;
    Records records(m_stream, m_sheets[static_cast<size_t>(index)].offset);
    Record r;
    if (!records.next(r) || Biff8Id(r.type, m_biff) != rec::Bof) return false;
    std::optional<CodePage> page; // for the 8-bit strings before BIFF8
    if (m_biff < 8) page.emplace(m_codePage);
    // A cell begins with its row, column and style: an XF index, or BIFF2's three attribute bytes
    // whose second names the number format (see open).
    const qsizetype head = m_biff == 2 ? 7 : 6;
    auto style = [&](const uchar* p) { return m_biff == 2 ? quint16(p[5] & 0x3F) : U16(p + 4); };

    // A sheet has 256 columns: a cell past them is a damaged record, and would stretch the sheet's
    // range over billions of empty cells.
    constexpr quint16 SheetColumns = 256;
    bool pastLastColumn = false;
    auto put = [&](quint16 row, quint16 column, SourceCell cell) {
        if (column >= SheetColumns)
            pastLastColumn = true;
        else
            sink.cell(row, column, std::move(cell));
    };
    int depth = 1;                           // charts embedded in the sheet are substreams of their own
    int pendingRow = -1, pendingColumn = -1; // a formula whose text result follows
    while (depth > 0 && records.next(r)) {
        const uchar* p = r.data;
        const quint16 type = Biff8Id(r.type, m_biff);
        if (type == rec::Bof) {
            ++depth;
            continue;
        }
        if (type == rec::Eof) {
            --depth;
            continue;
        }
        if (depth > 1) continue;
        switch (type) {
        case rec::Dimensions:
            // A hint, never a filter: writers other than Excel often under-state the range (no
            // columns, the last row one short), and the sheet is every cell that holds a value.
            if (r.size >= (m_biff == 8 ? 12 : 8)) sink.dimensions(m_biff == 8 ? U32(p + 4) : U16(p + 2));
            break;
        case rec::LabelSst: {
            if (r.size < 10) return false;
            const quint32 i = U32(p + 6);
            if (i < m_strings.size() && !m_strings[i].isEmpty()) put(U16(p), U16(p + 2), m_strings[i]);
            break;
        }
        case rec::Label:
        case rec::RString: {
            if (r.size < head) return false;
            Segments s = Gather(Record{r.type, p + head, r.size - head}, records);
            QString text;
            quint16 cch = 0;
            quint8 flags = 0;
            if (page ? !page->string(s, m_biff > 2, text)
                     : !s.u16(cch) || !s.byte(flags) || !s.chars(cch, flags & 1, text))
                return false;
            if (!text.isEmpty()) put(U16(p), U16(p + 2), text);
            break;
        }
        case rec::Number:
            if (r.size < head + 8) return false;
            put(U16(p), U16(p + 2), numberCell(F64(p + head), style(p)));
            break;
        case rec::Integer: // BIFF2: an unsigned 16-bit number
            if (r.size < 9) return false;
            put(U16(p), U16(p + 2), numberCell(U16(p + 7), style(p)));
            break;
        case rec::Rk:
            if (r.size < 10) return false;
            put(U16(p), U16(p + 2), numberCell(RkValue(U32(p + 6)), U16(p + 4)));
            break;
        case rec::MulRk: {
            if (r.size < 6) return false;
            const quint16 row = U16(p);
            quint16 column = U16(p + 2);
            for (qsizetype at = 4; at + 6 <= r.size - 2; at += 6, ++column)
                put(row, column, numberCell(RkValue(U32(p + at + 2)), U16(p + at)));
            break;
        }
        case rec::BoolErr:
            if (r.size < head + 2) return false;
            if (p[head + 1] == 0) put(U16(p), U16(p + 2), p[head] != 0);
            break;
        case rec::Formula: {
            // Its stored result, alike in every version: a number, or after 0xFFFF in bytes 6-7 a text
            // (in the STRING record that follows), a boolean, an error or an empty text.
            if (r.size < (m_biff == 2 ? 17 : m_biff <= 4 ? 18 : 20)) return false;
            const quint16 row = U16(p), column = U16(p + 2);
            const uchar* result = p + head;
            if (U16(result + 6) != 0xFFFF) {
                put(row, column, numberCell(F64(result), style(p)));
            } else if (result[0] == 0) {
                pendingRow = row;
                pendingColumn = column;
            } else if (result[0] == 1) {
                put(row, column, result[2] != 0);
            }
            break;
        }
        case rec::String: {
            Segments s = Gather(r, records);
            QString text;
            if (page ? !page->string(s, m_biff > 2, text) : !s.string(text)) return false;
            if (pendingRow >= 0 && !text.isEmpty())
                put(static_cast<quint16>(pendingRow), static_cast<quint16>(pendingColumn), text);
            pendingRow = pendingColumn = -1;
            break;
        }
        default:
            break;
        }
    }
    return !records.broken() && !pastLastColumn;
}

} // namespace quibo
