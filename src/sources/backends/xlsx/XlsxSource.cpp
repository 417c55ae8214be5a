// The .xlsx source: the workbook's sheets, each read as a stream of rows into a table.
#include "sources/backends/xlsx/XlsxSource.h"

#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/xlsx/RowScanner.h"
#include "sources/backends/xlsx/SheetRows.h"
#include "sources/backends/xlsx/XlsxPackage.h"
#include "sources/backends/xlsx/ZipArchive.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo {

namespace xlsx {
namespace {

// A cell's parts as the XML parser gives them, for the one rule of its value; `item` holds its
// inline string's text.
CellParts PartsOf(const pugi::xml_node& c, std::string& item) {
    CellParts cell;
    cell.type = c.attribute("t").value();
    if (const pugi::xml_node v = Child(c, "v")) {
        cell.hasValue = true;
        cell.value = v.text().get();
    }
    if (const pugi::xml_node is = Child(c, "is")) {
        cell.hasItem = true;
        item = ItemText(is);
        cell.item = item;
    }
    cell.style = c.attribute("s").as_int(0);
    return cell;
}

// Reads the rows of one batch of <row> elements with the XML parser, after the first `rowsRead`, which
// the scanner read; the batch starts `offset` bytes into the part.
void ParseRows(char* xml, size_t size, size_t offset, const SheetContext& context, size_t rowsRead,
               int& lastRow, SheetRows& sheet) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(xml, size, pugi::parse_default | pugi::parse_ws_pcdata);
    // A batch of no rows (an empty <sheetData></sheetData>) has no element at all.
    if (!parsed && parsed.status != pugi::status_no_document_element) {
        parsed.offset += static_cast<ptrdiff_t>(offset);
        RaiseBrokenPart(context.path, context.part, XmlError(parsed));
    }
    SheetRows::Cells cells;
    for (pugi::xml_node row : doc.children()) {
        if (!Is(row, "row")) continue;
        if (rowsRead > 0) {
            --rowsRead;
            continue;
        }
        const int r = row.attribute("r").as_int(lastRow + 2) - 1;
        if (r < 0 || r >= MaxRows) sheet.refuseDamaged();
        lastRow = r;
        int lastColumn = -1;
        cells.clear();
        for (pugi::xml_node c : row.children()) {
            if (!Is(c, "c")) continue;
            int column = lastColumn + 1;
            if (const pugi::xml_attribute ref = c.attribute("r")) {
                column = ColumnOf(ref.value());
                if (column < 0) column = lastColumn + 1;
            }
            lastColumn = column;
            if (column >= MaxColumns) sheet.refuseDamaged();
            std::string item;
            SourceCell value = CellValue(PartsOf(c, item), context, sheet);
            if (!IsNull(value)) cells.emplace_back(column, std::move(value));
        }
        sheet.add(r, cells);
    }
}

// Reads the rows of one batch of <row> elements; the batch starts `offset` bytes into the part. The
// byte after the batch is the buffer's own (the next bytes or its terminator); it is a NUL while the
// scanner reads.
void ReadRows(char* xml, size_t size, size_t offset, const SheetContext& context, int& lastRow,
              SheetRows& sheet) {
    size_t rowsRead = 0;
    if (!std::memchr(xml, 0, size)) {
        const char kept = std::exchange(xml[size], '\0');
        const bool read = ScanRows(xml, context, lastRow, rowsRead, sheet);
        xml[size] = kept;
        if (read) return;
    }
    ParseRows(xml, size, offset, context, rowsRead, lastRow, sheet);
}

// The first `what` at or after `from`, found by its byte at `key` and then checked whole: with a byte
// rows seldom hold (the "D" of "</sheetData>") memchr passes over a part much faster than memmem.
size_t Find(std::string_view text, std::string_view what, size_t key, size_t from) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin + from + key;
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, what[key], static_cast<size_t>(end - p)));
        if (!p) break;
        const char* start = p - key;
        if (static_cast<size_t>(end - start) >= what.size() &&
            std::memcmp(start, what.data(), what.size()) == 0)
            return static_cast<size_t>(start - begin);
        ++p;
    }
    return std::string::npos;
}

// The last `what` at or after `from`, found the same way from the end: the "w" of "</row>", which
// most cells lack, passes memrchr over a long row's bytes.
size_t FindLast(std::string_view text, std::string_view what, size_t key, size_t from) {
    const char* const begin = text.data();
    const char* const first = begin + from + key; // the first place `what`'s key byte may stand
    const char* end = begin + text.size();
    while (end > first) {
        const void* found = memrchr(first, what[key], static_cast<size_t>(end - first));
        if (!found) break;
        const char* const start = static_cast<const char*>(found) - key;
        if (static_cast<size_t>(begin + text.size() - start) >= what.size() &&
            std::memcmp(start, what.data(), what.size()) == 0)
            return static_cast<size_t>(start - begin);
        end = static_cast<const char*>(found);
    }
    return std::string::npos;
}

// The bytes of a part read and not yet scanned, with a NUL after them. It grows without clearing the
// room a read then fills.
class PartBuffer {
public:
    std::string_view view() const { return {m_data.get(), m_size}; }
    char* data() { return m_data.get(); }

    // Up to `size` more bytes of the part; false at its end.
    bool readMore(XmlPart& file, size_t size) {
        if (m_size + size + 1 > m_capacity) {
            // A buffer grown for a long row is large: realloc moves its pages rather than copying them
            // into fresh ones, which would cost the row's bytes again at every doubling.
            const size_t capacity = std::max(m_size + size + 1, m_capacity * 2);
            char* const grown = static_cast<char*>(std::realloc(m_data.get(), capacity));
            if (!grown) throw std::bad_alloc();
            static_cast<void>(m_data.release());
            m_data.reset(grown);
            m_capacity = capacity;
        }
        const size_t n = file.read(m_data.get() + m_size, size);
        m_size += n;
        m_data.get()[m_size] = '\0';
        return n > 0;
    }

    // Keeps the first `n` bytes alone.
    void truncate(size_t n) {
        m_size = n;
        m_data.get()[m_size] = '\0';
    }

    // Drops the first `n` bytes.
    void erase(size_t n) {
        if (n == 0) return; // a row longer than the bytes read so far: nothing to move
        std::memmove(m_data.get(), m_data.get() + n, m_size - n);
        m_size -= n;
        m_data.get()[m_size] = '\0';
    }

private:
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

// Where a search for a text of `length` bytes goes on once more bytes follow the `size` searched: at
// the last few, which may begin it.
size_t ResumeAt(size_t size, size_t length) {
    return size - std::min(size, length - 1);
}

// What DropBlanks needs of a tag: whether it opens a cell with a reference, and whether that cell
// is blank (self-closing, without a type: a typed one, empty as well, is left where it stands).
struct CellTag {
    int column = -1; // of its reference; -1 for another tag, or a cell without a reference
    bool blank = false;
};

CellTag ReadCellTag(std::string_view tag, std::string_view cellName) {
    CellTag cell;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (tag.substr(0, cellName.size()) != cellName || tag.size() <= cellName.size() + 1) return cell;
    size_t i = cellName.size();
    if (!space(tag[i]) && tag[i] != '/' && tag[i] != '>') return cell; // another element
    bool typed = false;
    int column = -1;
    for (;;) {
        while (i < tag.size() && space(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] == '/' || tag[i] == '>') break;
        const size_t name = i;
        while (i < tag.size() && tag[i] != '=' && !space(tag[i]) && tag[i] != '/' && tag[i] != '>')
            ++i;
        const std::string_view attribute = tag.substr(name, i - name);
        while (i < tag.size() && space(tag[i]))
            ++i;
        if (i + 1 >= tag.size() || tag[i] != '=') return cell;
        ++i;
        while (i < tag.size() && space(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return cell;
        const size_t close = tag.find(tag[i], i + 1);
        if (close == std::string_view::npos) return cell;
        if (attribute == "r") column = ColumnOf(tag.substr(i + 1, close - i - 1));
        if (attribute == "t") typed = true;
        i = close + 1;
    }
    cell.column = column;
    cell.blank = column >= 0 && !typed && tag.size() >= 2 && tag[tag.size() - 2] == '/';
    return cell;
}

// A row's blank cells (`<c r="B2" s="1"/>`, as Excel writes a styled empty cell) hold nothing, yet a
// row is read whole once it ends: a long row of them would be held in memory to its end. Drops from
// `text[from, end)` each blank inside the sheet whose next element, past white space, is a cell with
// a reference of its own (whose place then does not hang on the blank's), and returns the end of the
// bytes kept. `resume` is where the next call goes on: at a tag not yet whole or a blank not yet
// judged; npos when a comment or CDATA section stands in the row, whose bytes are left alone.
size_t DropBlanks(char* text, size_t from, size_t end, std::string_view cellName, size_t& resume) {
    size_t p = from, q = from;
    size_t held = std::string::npos, heldSize = 0; // a blank not yet judged, where it stands
    auto move = [&](size_t at, size_t size) {
        std::memmove(text + q, text + at, size);
        q += size;
    };
    auto keepHeld = [&] {
        if (held != std::string::npos) move(held, heldSize);
        held = std::string::npos;
    };
    resume = std::string::npos;
    bool whole = true;
    for (;;) {
        const char* lt = static_cast<const char*>(std::memchr(text + p, '<', end - p));
        if (!lt || lt + 1 >= text + end) break;
        const size_t l = static_cast<size_t>(lt - text);
        if (lt[1] == '!' || lt[1] == '?') {
            whole = false;
            break;
        }
        const char* gt = static_cast<const char*>(std::memchr(lt, '>', end - l));
        if (!gt) break;
        const size_t g = static_cast<size_t>(gt - text);
        const CellTag tag = ReadCellTag(std::string_view(lt, g + 1 - l), cellName);
        const bool between = std::all_of(
            text + p, text + l, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        const bool drop = held != std::string::npos && tag.column >= 0 && between;
        if (drop)
            held = std::string::npos; // with the white space after it
        else {
            keepHeld();
            move(p, l - p);
        }
        if (tag.blank && tag.column < MaxColumns) {
            held = l;
            heldSize = g + 1 - l;
        } else {
            move(l, g + 1 - l);
        }
        p = g + 1;
    }
    if (whole) resume = q;
    keepHeld();
    move(p, end - p);
    return q;
}

// Streams a worksheet part: its rows are parsed a batch at a time as the part is inflated, so memory
// holds the cells and one batch of XML. Each search goes over the bytes added since the last, so
// that a long head or a long row costs what it holds.
void ReadSheet(const ZipArchive& zip, const SheetContext& context, SheetRows& sheet) {
    // A batch small enough that its bytes are still in cache when the scanner reads them.
    constexpr size_t Chunk = 1 << 17;
    const std::unique_ptr<XmlPart> file = zip.open(context.part);
    PartBuffer buffer;
    size_t erased = 0; // bytes of the part before the buffer's first
    bool more = true;
    auto readMore = [&] { return more = more && buffer.readMore(*file, Chunk); };
    auto truncated = [&] {
        RaiseBrokenPart(zip.path(), context.part, QStringLiteral("it ends before its rows do"));
    };

    constexpr std::string_view SheetData = "sheetData";
    size_t at = std::string::npos;
    for (size_t from = 0; (at = buffer.view().find(SheetData, from)) == std::string::npos;) {
        from = ResumeAt(buffer.view().size(), SheetData.size());
        if (!readMore()) return; // a worksheet without cells
    }
    const size_t open = buffer.view().rfind('<', at);
    if (open == std::string::npos) truncated();
    const std::string prefix(buffer.view().substr(open + 1, at - open - 1)); // "" or "x:"
    size_t close;
    for (size_t from = at; (close = buffer.view().find('>', from)) == std::string::npos;) {
        from = buffer.view().size();
        if (!readMore()) truncated();
    }
    // The rest of the part is read too, though it holds no cells, so that its CRC is checked.
    auto drain = [&] {
        char rest[4096];
        while (file->read(rest, sizeof rest) > 0) {
        }
    };
    if (buffer.view()[close - 1] == '/') return drain(); // <sheetData/>

    const std::string endOfData = "</" + prefix + "sheetData>";
    const std::string endOfRow = "</" + prefix + "row>";
    size_t pos = close + 1;
    size_t searched = pos;     // the end of the rows is not before this
    size_t rowsSearched = pos; // nor the end of a row not yet read
    int lastRow = -1;
    // A row not yet ended is rid of its blanks past this, once it is long (DropBlanks).
    constexpr size_t LongRow = size_t(1) << 20;
    const std::string cellName = "<" + prefix + "c";
    size_t blanksFrom = 0;
    for (;;) {
        const size_t end = Find(buffer.view(), endOfData, endOfData.rfind('D'), searched);
        if (end != std::string::npos) {
            ReadRows(buffer.data() + pos, end - pos, erased + pos, context, lastRow, sheet);
            return drain();
        }
        const size_t lastEnd = FindLast(buffer.view(), endOfRow, endOfRow.rfind('w'), rowsSearched);
        if (lastEnd != std::string::npos) {
            const size_t batchEnd = lastEnd + endOfRow.size();
            ReadRows(buffer.data() + pos, batchEnd - pos, erased + pos, context, lastRow, sheet);
            pos = batchEnd;
        }
        buffer.erase(pos);
        erased += pos;
        if (pos > 0) blanksFrom = 0; // a fresh row
        pos = 0;
        if (blanksFrom != std::string::npos && buffer.view().size() - blanksFrom > LongRow)
            buffer.truncate(
                DropBlanks(buffer.data(), blanksFrom, buffer.view().size(), cellName, blanksFrom));
        const size_t size = buffer.view().size();
        searched = ResumeAt(size, endOfData.size());
        rowsSearched = ResumeAt(size, endOfRow.size());
        if (!readMore()) truncated();
    }
}

// The shared strings, read as the sheet's rows are: by the scanner, or by the XML parser where the
// scanner gives up.
std::vector<QString> ReadSharedStrings(const ZipArchive& zip, const std::string& part,
                                       const SheetContext& context) {
    if (part.empty() || !zip.has(part)) return {};
    std::string xml = zip.readAll(part);
    if (!std::memchr(xml.data(), 0, xml.size())) {
        // Room for as many strings as there are tags, at most: a list grown by doubling copied
        // itself into fresh memory over and over, and room never used is never touched.
        std::vector<QString> strings;
        strings.reserve(static_cast<size_t>(std::count(xml.begin(), xml.end(), '<')));
        if (ScanSharedStrings(xml.data(), context, strings)) return strings;
    }
    return ParsedSharedStrings(xml, zip, part);
}

} // namespace
} // namespace xlsx

XlsxSource::XlsxSource(QString path, XlsxLimits limits) : m_path(std::move(path)), m_limits(limits) {
    const xlsx::ZipArchive zip(m_path, m_limits);

    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : xlsx::ReadRelationships(zip, ""))
        if (xlsx::EndsWith(rel.type, "/officeDocument")) workbookPart = rel.target;
    // A zip without a workbook is some other package.
    if (!zip.has(workbookPart)) sourcefile::RaiseNotOfKind(m_path, xlsx::Kind);

    // The workbook's sheets are found through its relationships: without them a sheet would be lost.
    const auto rels = xlsx::ReadRelationships(zip, workbookPart, true);
    for (const auto& [id, rel] : rels) {
        if (xlsx::EndsWith(rel.type, "/sharedStrings")) m_sharedStringsPart = rel.target;
        if (xlsx::EndsWith(rel.type, "/styles")) m_stylesPart = rel.target;
    }

    pugi::xml_document doc;
    std::string xml;
    xlsx::Parse(doc, xml, zip, workbookPart);
    const pugi::xml_node workbook = doc.document_element();
    const std::string date1904 = xlsx::Child(workbook, "workbookPr").attribute("date1904").value();
    m_date1904 = date1904 == "1" || date1904 == "true";
    for (pugi::xml_node s : xlsx::Child(workbook, "sheets").children()) {
        if (!xlsx::Is(s, "sheet")) continue;
        const QString name = QString::fromUtf8(s.attribute("name").value());
        const char* const id = xlsx::RelationshipId(s);
        // A sheet Excel lists without keeping it in the package (an Excel 4 macro sheet, a module or
        // dialog sheet) has an empty id: it holds no cells.
        if (!*id) continue;
        const auto rel = rels.find(id);
        if (rel == rels.end())
            xlsx::RaiseBrokenPart(m_path, xlsx::RelationshipsOf(workbookPart),
                                  QStringLiteral("it holds no relationship \"%1\" for the sheet \"%2\"")
                                      .arg(QString::fromUtf8(id), name));
        // Chart sheets and dialog sheets hold no table.
        if (!xlsx::EndsWith(rel->second.type, "/worksheet")) continue;
        m_sheetNames.append(name + QLatin1Char('$'));
        m_sheetParts.push_back(rel->second.target);
    }
}

QStringList XlsxSource::tables() {
    return SortedByName(m_sheetNames);
}

SourceTable XlsxSource::read(const QString& table, const QString& orderBy) {
    const qsizetype index = FindTable(m_sheetNames, table);
    if (index < 0) RaiseTableNotFound(provider::Odbc, table);

    const xlsx::ZipArchive zip(m_path, m_limits);
    const std::string& part = m_sheetParts[static_cast<size_t>(index)];
    const std::vector<QString> noStrings;
    const std::vector<char> noStyles;
    const std::vector<QString> strings = xlsx::ReadSharedStrings(
        zip, m_sharedStringsPart, xlsx::SheetContext{m_path, part, noStrings, noStyles, m_date1904});
    const std::vector<char> dateStyles = xlsx::ReadDateStyles(zip, m_stylesPart);
    const xlsx::SheetContext context{m_path, part, strings, dateStyles, m_date1904};
    xlsx::SheetRows sheet(m_path, m_sheetNames[index]);
    xlsx::ReadSheet(zip, context, sheet);
    if (sheet.needsSecondReading()) {
        // The rows did not come in order: the first reading found the range, the second fills it.
        sheet.startSecondReading();
        xlsx::ReadSheet(zip, context, sheet);
    }
    SourceTable result = sheet.finish();
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString XlsxSource::describe() const {
    return QStringLiteral("Excel workbook '%1'").arg(m_path);
}

} // namespace quibo
