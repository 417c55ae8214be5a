#include "sources/backends/xls/BiffBook.h"

#include "sources/backends/DateText.h"
#include "sources/backends/xls/BiffRecords.h"
#include "sources/backends/xls/CompoundFile.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace quibo {

using namespace biff;

namespace {

// A sheet has 256 columns: a cell past them is a damaged record, and would stretch the sheet's range
// over billions of empty cells.
constexpr quint16 SheetColumns = 256;

} // namespace

// The first pass over a sheet's records: the range its values span, and the cells of its first row,
// which name the columns.
class BiffBook::SheetRange {
public:
    template <class Make> void cell(int row, int column, Make&& make) {
        if (m_firstRow < 0 || row < m_firstRow) {
            m_firstRow = row;
            std::fill(m_header.begin(), m_header.end(), SourceCell());
        }
        if (row == m_firstRow) m_header[static_cast<size_t>(column)] = make();
        m_lastRow = std::max(m_lastRow, row);
        m_firstColumn = m_firstColumn < 0 ? column : std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }

    bool empty() const { return m_firstRow < 0; }
    int firstRow() const { return m_firstRow; }
    int lastRow() const { return m_lastRow; }
    int firstColumn() const { return m_firstColumn; }
    int width() const { return m_lastColumn - m_firstColumn + 1; }

    // The columns the first row names, as SheetBuilder names them.
    std::vector<SourceColumn> columns() const {
        std::vector<SourceColumn> columns;
        columns.reserve(static_cast<size_t>(width()));
        for (int c = 0; c < width(); ++c)
            columns.push_back({ColumnNameFromHeader(m_header[static_cast<size_t>(m_firstColumn + c)], c + 1),
                               ColumnKind::Text});
        return columns;
    }

private:
    std::vector<SourceCell> m_header = std::vector<SourceCell>(SheetColumns); // by column
    int m_firstRow = -1, m_lastRow = -1, m_firstColumn = -1, m_lastColumn = -1;
};

// The second pass: the cells below the first row, each put in its place in a table sized to the
// range at once, so that nothing but the table grows with the sheet, whatever order the cells come
// in. The column kinds are those SheetBuilder gives.
class BiffBook::TableCells {
public:
    explicit TableCells(const SheetRange& range)
        : m_range(range), m_table(range.columns()), m_kinds(static_cast<size_t>(range.width()), -1) {
        m_table.appendNullRows(range.lastRow() - range.firstRow());
    }

    template <class Make> void cell(int row, int column, Make&& make) {
        if (row == m_range.firstRow()) return;
        const int r = row - m_range.firstRow() - 1, c = column - m_range.firstColumn();
        SourceCell value = make();
        int& seen = m_kinds[static_cast<size_t>(c)];
        const int kind = static_cast<int>(CellKind(value));
        seen = seen == -1 ? kind : (seen == kind ? seen : -2);
        m_overwritten = m_overwritten || !m_table.isNull(r, c);
        m_table.setCell(r, c, std::move(value));
    }

    SourceTable finish() {
        if (m_overwritten) { // a place written twice: its last cell alone counts
            std::fill(m_kinds.begin(), m_kinds.end(), -1);
            for (int r = 0; r < m_table.recordCount(); ++r)
                for (int c = 0; c < m_table.fieldCount(); ++c) {
                    const SourceCell value = m_table.cell(r, c);
                    if (IsNull(value)) continue;
                    int& seen = m_kinds[static_cast<size_t>(c)];
                    const int kind = static_cast<int>(CellKind(value));
                    seen = seen == -1 ? kind : (seen == kind ? seen : -2);
                }
        }
        for (size_t c = 0; c < m_kinds.size(); ++c)
            if (m_kinds[c] >= 0)
                m_table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(m_kinds[c]));
        return std::move(m_table);
    }

private:
    const SheetRange& m_range;
    SourceTable m_table;
    std::vector<int> m_kinds; // per column: -1 no value yet, -2 mixed, else the kind all share
    bool m_overwritten = false;
};

// Reads a workbook's globals record by record into its book: the sheet list, the date mode and, with
// cells, the formats, the XF records' formats and the shared strings.
class BiffBook::Globals {
public:
    Globals(BiffBook& book, Records& records, bool worksheetFile, bool withCells)
        : m_book(book), m_records(records), m_worksheetFile(worksheetFile), m_withCells(withCells) {
        if (book.m_biff < 8) m_page.emplace(book.m_codePage);
    }

    enum class Step { More, Ended, Broken, Protected };

    Step record(const Record& r) {
        switch (Biff8Id(r.type, m_book.m_biff)) {
        case rec::Eof:
            return Step::Ended;
        case rec::FilePass: // the records after it are encrypted (XOR or RC4)
            return Step::Protected;
        case rec::DateMode:
            if (r.size >= 2) m_book.m_1904 = U16(r.data) == 1;
            return Step::More;
        case rec::BoundSheet:
            m_listed = true;
            return m_worksheetFile || boundSheet(r) ? Step::More : Step::Broken;
        case rec::Format:
            if (m_withCells) format(r);
            return Step::More;
        case rec::Xf: // its format's index: one byte in BIFF3 and 4, six bits in BIFF2
            if (!m_withCells) return Step::More;
            if (r.size < 4) return Step::Broken;
            if (m_book.m_biff == 2)
                m_book.m_biff2XfFormats.push_back(r.data[2] & 0x3F);
            else
                m_xfFormats.push_back(m_book.m_biff <= 4 ? r.data[1] : U16(r.data + 2));
            return Step::More;
        case rec::Sst:
            return !m_withCells || sharedStrings(r) ? Step::More : Step::Broken;
        default:
            return Step::More;
        }
    }

    // Whether the globals list any sheet, of whatever kind: a workbook always holds one.
    bool listed() const { return m_listed; }

    // Whether each XF record shows a date or time, once every format is known.
    void resolveXfDates() {
        const int biff = m_book.m_biff;
        if (biff == 2) { // a BIFF2 cell names its format itself, in six bits
            m_xfFormats.resize(64);
            std::iota(m_xfFormats.begin(), m_xfFormats.end(), quint16(0));
        }
        m_book.m_xfDate.reserve(m_xfFormats.size());
        for (quint16 f : m_xfFormats) {
            const auto it = m_formats.find(f);
            // The built-in formats are BIFF5's and later: before, a format no FORMAT record defines is
            // none of them.
            m_book.m_xfDate.push_back(it != m_formats.end() ? it->second
                                                            : biff >= 5 && IsBuiltInDateFormat(f));
        }
    }

private:
    bool boundSheet(const Record& r) {
        if (r.size < (m_page ? 7 : 8)) return false;
        if (r.data[5] != 0) return true; // a chart, macro or module sheet
        Segments s;
        s.add(Record{r.type, r.data + 6, r.size - 6});
        QString name;
        if (!(m_page ? m_page->string(s, false, name) : s.string(name, true))) return false;
        m_book.m_sheets.push_back({name, U32(r.data)});
        return true;
    }

    // A damaged format spoils itself alone: its cells read as numbers. Before BIFF5 a format goes by
    // its place in the list; BIFF4's own id leaves two bytes unused before its text, the older id
    // BIFF4 writers also use does not.
    void format(const Record& r) {
        const int biff = m_book.m_biff;
        const qsizetype at = biff <= 3 || r.type == 0x001E ? 0 : 2;
        const quint16 place = m_formatCount++;
        if (r.size < at) return;
        Segments s;
        s.add(Record{r.type, r.data + at, r.size - at});
        QString text;
        m_formats[biff <= 4 ? place : U16(r.data)] =
            (m_page ? m_page->string(s, false, text) : s.string(text)) && IsDateFormatCode(text);
    }

    bool sharedStrings(const Record& r) {
        if (r.size < 8) return false;
        const quint32 unique = U32(r.data + 4);
        Segments s = Gather(Record{r.type, r.data + 8, r.size - 8}, m_records);
        std::vector<QString>& strings = m_book.m_strings;
        strings.reserve(std::min<quint32>(unique, quint32(m_book.m_stream.size() / 3)));
        // A broken string ends the table: a cell that names it or a later one refuses its sheet.
        QString text;
        for (quint32 i = 0; i < unique && s.string(text); ++i)
            strings.push_back(text);
        return true;
    }

    BiffBook& m_book;
    Records& m_records;
    const bool m_worksheetFile, m_withCells;
    std::optional<CodePage> m_page;              // for the 8-bit strings before BIFF8
    std::unordered_map<quint16, bool> m_formats; // whether each shows a date or time
    quint16 m_formatCount = 0;
    std::vector<quint16> m_xfFormats;
    bool m_listed = false;
};

BiffBook::Status BiffBook::open(const QByteArray& file, bool withCells) {
    m_file = file;
    CompoundFile cfb(m_file);
    if (cfb.hasSignature() && !cfb.isCompound()) return Status::Cut; // not even its header is whole
    if (!cfb.isCompound()) {
        m_stream = m_file; // an Excel 2, 3 or 4 worksheet file is a bare record stream
    } else if (cfb.encrypted()) {
        return Status::Protected; // an .xlsx workbook saved with a password
    } else if (!cfb.workbook(m_stream)) {
        switch (cfb.fault()) {
        case CompoundFile::Fault::Cut:
            return Status::Cut;
        case CompoundFile::Fault::Directory:
            return Status::BrokenDirectory;
        case CompoundFile::Fault::Sectors:
            return Status::BrokenSectors;
        case CompoundFile::Fault::None: // a sound compound file of some other document
            return Status::Malformed;
        }
    }

    Records records(m_stream, 0);
    Record r;
    if (!records.next(r) || r.size < 4) return Status::Malformed;
    m_biff = BiffOf(r.type, U16(r.data));
    records.setVersion(m_biff);
    // A workbook's globals list its sheets; a worksheet file is its one sheet, whose formats and
    // styles come before its cells.
    const quint16 kind = U16(r.data + 2);
    const bool worksheetFile = kind == 0x0010;
    if (m_biff == 4 && kind == 0x0100) return Status::Excel4Workbook;
    if (m_biff == 0 || (!worksheetFile && (m_biff < 5 || kind != 0x0005))) return Status::Malformed;
    m_worksheetFile = worksheetFile;
    if (worksheetFile) m_sheets.push_back({QString(), 0});
    if (m_biff < 8) m_codePage = CodePage::Of(m_stream);

    Globals globals(*this, records, worksheetFile, withCells);
    Globals::Step step = Globals::Step::More;
    while (step == Globals::Step::More && records.next(r))
        step = globals.record(r);
    if (step == Globals::Step::Protected) return Status::Protected;
    // A worksheet file's records before its cells are its sheet's: a broken one refuses the sheet.
    if (step != Globals::Step::Ended) {
        if (!worksheetFile) return Status::Damaged;
        m_brokenSheet = true;
    }
    // An EOF read out of damaged bytes ends the globals early: what follows it then is no sheet, and
    // the sheets listed after it would be lost.
    if (!worksheetFile && (!globals.listed() || !records.atSubstreamBoundary())) return Status::Damaged;
    globals.resolveXfDates();
    return Status::Ok;
}

QStringList BiffBook::sheetNames() const {
    QStringList names;
    for (const Sheet& s : m_sheets)
        names.append(s.name);
    return names;
}

quint16 BiffBook::styleOfXf(quint16 xf) const {
    if (m_biff != 2) return xf;
    // An Excel 2 file's XF records name the formats its cells of later versions show.
    return xf < m_biff2XfFormats.size() ? m_biff2XfFormats[xf] : quint16(0xFFFF);
}

SourceCell BiffBook::numberCell(double value, quint16 xf) const {
    // A date in any date or time format is the whole value, whatever parts the format shows.
    if (xf >= m_xfDate.size() || !m_xfDate[xf]) return value;
    const QDateTime date = DateOfSerial(value, m_1904);
    if (date.isValid()) return date;
    return value;
}

namespace {

// Hands each cell's value to a CellSink.
struct EveryCell {
    const BiffBook::CellSink& put;
    template <class Make> void cell(int row, int column, Make&& make) { put(row, column, make()); }
};

} // namespace

bool BiffBook::readSheet(int index, const CellSink& sink) const {
    EveryCell to{sink};
    return readCells(index, to);
}

std::optional<SourceTable> BiffBook::readTable(int index) const {
    SheetRange range;
    if (!readCells(index, range)) return std::nullopt;
    if (range.empty()) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
    TableCells cells(range);
    if (!readCells(index, cells)) return std::nullopt;
    return cells.finish();
}

// Reads a sheet's cell records, handing each cell to a sink as the means to make its value, which
// the first pass of a table makes for the first row alone.
template <class Sink> class BiffBook::Cells {
public:
    Cells(const BiffBook& book, Sink& sink, Records& records)
        : m_book(book), m_sink(sink), m_records(records), m_biff(book.m_biff) {
        if (m_biff < 8) m_page.emplace(book.m_codePage);
    }

    // False when the record is broken. DIMENSIONS is not read: writers other than Excel often
    // under-state the range (no columns, the last row one short), and the sheet is every cell that
    // holds a value.
    bool record(quint16 type, const Record& r) {
        switch (type) {
        case rec::LabelSst:
        case rec::Label:
        case rec::RString:
        case rec::String:
            return text(type, r);
        default:
            return value(type, r);
        }
    }

    bool pastLastColumn() const { return m_pastLastColumn; }

private:
    template <class Make> void put(quint16 row, quint16 column, Make&& make) {
        if (column >= SheetColumns)
            m_pastLastColumn = true;
        else
            m_sink.cell(row, column, make);
    }

    // Whether a record has BIFF2's layout: an Excel 2 file may hold cell records of later versions,
    // in theirs.
    bool old(const Record& r) const { return m_biff == 2 && r.type <= 0x0007; }
    qsizetype head(const Record& r) const { return old(r) ? 7 : 6; }

    // A cell begins with its row, column and style: an XF index, or BIFF2's three attribute bytes
    // whose second names the number format (see open).
    quint16 style(const Record& r) const {
        return old(r) ? quint16(r.data[5] & 0x3F) : m_book.styleOfXf(U16(r.data + 4));
    }

    bool string(const Record& r, Segments& s, QString& text) {
        return m_page ? m_page->string(s, !old(r), text) : s.string(text);
    }

    bool text(quint16 type, const Record& r) {
        const uchar* p = r.data;
        QString text;
        if (type == rec::LabelSst) {
            if (r.size < 10) return false;
            const quint32 i = U32(p + 6);
            if (i >= m_book.m_strings.size()) return false; // past the table, or past a broken string in it
            const QString& shared = m_book.m_strings[i];
            if (!shared.isEmpty()) put(U16(p), U16(p + 2), [&] { return SourceCell(shared); });
        } else if (type == rec::String) { // a formula's text result
            Segments s = Gather(r, m_records);
            if (!string(r, s, text)) return false;
            if (m_pendingRow >= 0 && !text.isEmpty())
                put(static_cast<quint16>(m_pendingRow), static_cast<quint16>(m_pendingColumn),
                    [&] { return SourceCell(std::move(text)); });
            m_pendingRow = m_pendingColumn = -1;
        } else {
            const qsizetype at = head(r);
            if (r.size < at) return false;
            Segments s = Gather(Record{r.type, p + at, r.size - at}, m_records);
            quint16 cch = 0;
            quint8 flags = 0;
            if (m_page ? !m_page->string(s, !old(r), text)
                       : !s.u16(cch) || !s.flags(cch, flags) || !s.chars(cch, flags & 1, text))
                return false;
            if (!text.isEmpty()) put(U16(p), U16(p + 2), [&] { return SourceCell(std::move(text)); });
        }
        return true;
    }

    bool value(quint16 type, const Record& r) {
        const uchar* p = r.data;
        const BiffBook& book = m_book;
        switch (type) {
        case rec::Number:
            if (r.size < head(r) + 8) return false;
            put(U16(p), U16(p + 2), [&] { return book.numberCell(F64(p + head(r)), style(r)); });
            break;
        case rec::Integer: // BIFF2: an unsigned 16-bit number
            if (r.size < 9) return false;
            put(U16(p), U16(p + 2), [&] { return book.numberCell(U16(p + 7), style(r)); });
            break;
        case rec::Rk:
            if (r.size < 10) return false;
            put(U16(p), U16(p + 2), [&] { return book.numberCell(RkValue(U32(p + 6)), style(r)); });
            break;
        case rec::MulRk: {
            if (r.size < 6) return false;
            const quint16 row = U16(p);
            quint16 column = U16(p + 2);
            for (qsizetype at = 4; at + 6 <= r.size - 2; at += 6, ++column)
                put(row, column,
                    [&] { return book.numberCell(RkValue(U32(p + at + 2)), book.styleOfXf(U16(p + at))); });
            break;
        }
        case rec::BoolErr: {
            const qsizetype at = head(r);
            if (r.size < at + 2) return false;
            if (p[at + 1] == 0) put(U16(p), U16(p + 2), [&] { return SourceCell(p[at] != 0); });
            break;
        }
        case rec::Formula:
            return formula(r);
        default:
            break;
        }
        return true;
    }

    // Its stored result, alike in every version: a number, or after 0xFFFF in bytes 6-7 a text (in
    // the STRING record that follows), a boolean, an error or an empty text.
    bool formula(const Record& r) {
        const uchar* p = r.data;
        if (r.size < (old(r) ? 17 : m_biff <= 4 ? 18 : 20)) return false;
        const quint16 row = U16(p), column = U16(p + 2);
        const uchar* result = p + head(r);
        if (U16(result + 6) != 0xFFFF) {
            put(row, column, [&] { return m_book.numberCell(F64(result), style(r)); });
        } else if (result[0] == 0) {
            m_pendingRow = row;
            m_pendingColumn = column;
        } else if (result[0] == 1) {
            put(row, column, [&] { return SourceCell(result[2] != 0); });
        }
        return true;
    }

    const BiffBook& m_book;
    Sink& m_sink;
    Records& m_records;
    const int m_biff;
    std::optional<CodePage> m_page; // for the 8-bit strings before BIFF8
    bool m_pastLastColumn = false;
    int m_pendingRow = -1, m_pendingColumn = -1; // a formula whose text result follows
};

namespace {

// Where a sheet's substream starts: at the offset its BOUNDSHEET gives, or at a BOF record that ends
// exactly there, as some writers point just past the BOF (ExcelDataReader's Test_git_issue624.xls);
// any other offset names no sheet.
qsizetype SheetStart(const QByteArray& stream, quint32 offset, int biff) {
    const auto* data = reinterpret_cast<const uchar*>(stream.constData());
    const auto isBof = [&](qsizetype at) {
        return at >= 0 && at + 4 <= stream.size() && Biff8Id(U16(data + at), biff) == rec::Bof;
    };
    const qsizetype at = offset;
    if (isBof(at)) return at;
    constexpr qsizetype LongestBof = 20; // BIFF8's 16 bytes and a few that writers add
    for (qsizetype size = 0; size <= LongestBof; ++size)
        if (const qsizetype bof = at - 4 - size; isBof(bof) && U16(data + bof + 2) == size) return bof;
    return at;
}

} // namespace

template <class Sink> bool BiffBook::readCells(int index, Sink& sink) const {
    if (index < 0 || static_cast<size_t>(index) >= m_sheets.size() || m_brokenSheet) return false;
    Records records(m_stream, SheetStart(m_stream, m_sheets[static_cast<size_t>(index)].offset, m_biff),
                    m_biff);
    Record r;
    if (!records.next(r) || Biff8Id(r.type, m_biff) != rec::Bof) return false;
    Cells<Sink> cells(*this, sink, records);
    int depth = 1; // charts embedded in the sheet are substreams of their own
    while (depth > 0 && records.next(r)) {
        const quint16 type = Biff8Id(r.type, m_biff);
        if (type == rec::Bof)
            ++depth;
        else if (type == rec::Eof)
            --depth;
        else if (depth == 1 && !cells.record(type, r))
            return false;
    }
    // A sheet ends with its EOF; in a workbook the next substream (or the stream's padding) follows
    // it, where an EOF read out of damaged bytes is followed by the rest of the sheet.
    if (depth > 0 || (!m_worksheetFile && !records.atSubstreamBoundary())) return false;
    return !records.broken() && !cells.pastLastColumn();
}

} // namespace quibo
