#include "sources/backends/XlsxSource.h"

#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SheetBuilder.h"
#include "sources/backends/SourceFile.h"

#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

namespace quibo {

namespace {

const QString Kind = QStringLiteral("an Excel workbook (.xlsx)");

// Excel's own limits; a cell reference beyond them is not a cell.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

QString PartName(const std::string& part) {
    return QString::fromStdString(part);
}

// A part of the package, unpacked as it is read. A deflated part (nearly every one) is inflated here
// from its packed bytes, in slices small enough that each is checked against the part's CRC while
// still in cache; any other libzip unpacks. Either way a part that does not unpack whole and true
// is refused as damaged.
class ZipFile {
public:
    ZipFile(zip_t* zip, const QString& path, const std::string& name, const XlsxLimits& limits)
        : m_path(path), m_name(name) {
        zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
        if (index < 0) index = zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (index >= 0) zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat);
        constexpr zip_uint64_t Known = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC |
                                       ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
        m_inflating = (stat.valid & Known) == Known && stat.comp_method == ZIP_CM_DEFLATE &&
                      stat.encryption_method == ZIP_EM_NONE;
        if (index >= 0)
            m_file =
                zip_fopen_index(zip, static_cast<zip_uint64_t>(index), m_inflating ? ZIP_FL_COMPRESSED : 0);
        if (!m_file)
            sourcefile::RaiseBroken(m_path, QStringLiteral("lacks its part \"%1\".").arg(PartName(name)));
        if (m_inflating) {
            if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
            m_packed = std::make_unique_for_overwrite<unsigned char[]>(PackedChunk);
            m_size = stat.size;
            m_crc = stat.crc;
        }
        if (stat.valid & ZIP_STAT_SIZE)
            m_sizeHint = static_cast<size_t>(std::min<zip_uint64_t>(stat.size, MaxHint));
        const zip_uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
        // A small part may inflate much, up to the floor; past it, only so many times its packed size.
        m_bound = std::min(limits.maxPartSize,
                           std::max(limits.ratioFloor, static_cast<qint64>(packed) * limits.maxRatio));
    }
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;
    ~ZipFile() {
        if (m_inflating) inflateEnd(&m_stream);
        zip_fclose(m_file);
    }

    // Appends up to `size` bytes to `out`; false at the end of the part.
    bool readInto(std::string& out, size_t size) {
        const size_t before = out.size();
        out.resize(before + size);
        const size_t n = read(out.data() + before, size);
        out.resize(before + n);
        return n > 0;
    }

    // The part's size as the package gives it, for the room to read it into; a large size is not
    // trusted that far.
    size_t sizeHint() const { return m_sizeHint; }

    // Reads up to `size` bytes into `out`; 0 at the end of the part.
    size_t read(char* out, size_t size) {
        const qint64 n = m_inflating ? inflated(reinterpret_cast<unsigned char*>(out), size)
                                     : zip_fread(m_file, out, size);
        if (n < 0) damaged();
        m_inflated += n;
        if (m_inflated > m_bound)
            sourcefile::RaiseBroken(m_path,
                                    QStringLiteral("has a part \"%1\" that unpacks to more than %2 bytes; "
                                                   "it is refused.")
                                        .arg(PartName(m_name))
                                        .arg(m_bound));
        return static_cast<size_t>(n);
    }

private:
    static constexpr size_t PackedChunk = size_t(64) << 10;
    static constexpr zip_uint64_t MaxHint = zip_uint64_t(64) << 20;
    static constexpr size_t Slice = size_t(64) << 10;

    [[noreturn]] void damaged() const {
        sourcefile::RaiseBroken(
            m_path,
            QStringLiteral("has a damaged part \"%1\": it cannot be unpacked.").arg(PartName(m_name)));
    }

    // Up to `size` bytes inflated into `out`; -1 when the packed bytes are damaged, end early or
    // unpack to other bytes than the part's size and CRC say.
    qint64 inflated(unsigned char* out, size_t size) {
        size_t produced = 0;
        while (!m_ended && produced < size) {
            if (m_stream.avail_in == 0) {
                const zip_int64_t n = zip_fread(m_file, m_packed.get(), PackedChunk);
                if (n <= 0) return -1;
                m_stream.next_in = m_packed.get();
                m_stream.avail_in = static_cast<uInt>(n);
            }
            unsigned char* slice = out + produced;
            m_stream.next_out = slice;
            m_stream.avail_out = static_cast<uInt>(std::min(Slice, size - produced));
            const int status = inflate(&m_stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) return -1;
            const size_t n = static_cast<size_t>(m_stream.next_out - slice);
            m_crcSoFar = crc32_z(m_crcSoFar, slice, n);
            m_sizeSoFar += n;
            produced += n;
            if (status == Z_STREAM_END) {
                m_ended = true;
                if (m_crcSoFar != m_crc || m_sizeSoFar != m_size) return -1;
            }
        }
        return static_cast<qint64>(produced);
    }

    zip_file_t* m_file = nullptr;
    QString m_path;
    std::string m_name;
    qint64 m_bound = 0;
    qint64 m_inflated = 0;
    size_t m_sizeHint = 0;
    bool m_inflating = false; // inflated here from the packed bytes
    z_stream m_stream{};
    std::unique_ptr<unsigned char[]> m_packed;
    zip_uint64_t m_size = 0; // the part's unpacked size and CRC, as the package gives them
    zip_uint32_t m_crc = 0;
    zip_uint64_t m_sizeSoFar = 0;
    uLong m_crcSoFar = 0;
    bool m_ended = false;
};

class ZipArchive {
public:
    ZipArchive(const QString& path, const XlsxLimits& limits) : m_path(path), m_limits(limits) {
        sourcefile::RequireReadableFile(path);
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
        if (!m_zip) sourcefile::RaiseNotOfKind(path, Kind);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive() { zip_discard(m_zip); }

    const QString& path() const { return m_path; }
    bool has(const std::string& name) const {
        return zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE) >= 0;
    }
    std::unique_ptr<ZipFile> open(const std::string& name) const {
        return std::make_unique<ZipFile>(m_zip, m_path, name, m_limits);
    }
    std::string readAll(const std::string& name) const {
        const std::unique_ptr<ZipFile> file = open(name);
        // Read into room for the whole part at once: growing a string by slices copied it over and over.
        std::string data(std::max(file->sizeHint(), size_t(1) << 12) + 1, '\0');
        size_t size = 0;
        while (const size_t n = file->read(data.data() + size, data.size() - size)) {
            size += n;
            if (size == data.size()) data.resize(2 * data.size());
        }
        data.resize(size);
        return data;
    }

private:
    zip_t* m_zip = nullptr;
    QString m_path;
    const XlsxLimits& m_limits;
};

[[noreturn]] void RaiseBrokenPart(const QString& path, const std::string& part, const QString& why) {
    sourcefile::RaiseBroken(path, QStringLiteral("has a broken part \"%1\": %2.").arg(PartName(part), why));
}

QString XmlError(const pugi::xml_parse_result& parsed) {
    return QStringLiteral("%1 at byte %2").arg(QString::fromLatin1(parsed.description())).arg(parsed.offset);
}

// Element names may carry a namespace prefix ("x:row"); only the local part counts.
const char* LocalName(const char* name) {
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool Is(const pugi::xml_node& node, const char* local) {
    return std::strcmp(LocalName(node.name()), local) == 0;
}

pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
    for (pugi::xml_node child : node.children())
        if (Is(child, local)) return child;
    return {};
}

// The relationship attribute "r:id" under whatever prefix the file uses.
const char* RelationshipId(const pugi::xml_node& node) {
    for (pugi::xml_attribute a : node.attributes()) {
        const char* colon = std::strchr(a.name(), ':');
        if (colon && std::strcmp(colon + 1, "id") == 0) return a.value();
    }
    return "";
}

// Parses a part in place: `xml` keeps its bytes, which the document points into, so a large part
// is held once, not copied for the parser.
void Parse(pugi::xml_document& doc, std::string& xml, const ZipArchive& zip, const std::string& part) {
    xml = zip.readAll(part);
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed) {
        doc.reset();
        RaiseBrokenPart(zip.path(), part, XmlError(parsed));
    }
}

std::string DirectoryOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return DirectoryOf(part) + "_rels/" + name + ".rels";
}

// A target is relative to the folder of the part that names it, or absolute from the package root.
std::string ResolveTarget(const std::string& fromPart, const std::string& target) {
    const std::string joined =
        !target.empty() && target[0] == '/' ? target.substr(1) : DirectoryOf(fromPart) + target;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string path;
    for (const std::string& s : segments)
        path += (path.empty() ? "" : "/") + s;
    return path;
}

struct Relationship {
    std::string type;
    std::string target;
};

std::map<std::string, Relationship> ReadRelationships(const ZipArchive& zip, const std::string& part) {
    std::map<std::string, Relationship> rels;
    const std::string relsPart = RelationshipsOf(part);
    if (!zip.has(relsPart)) return rels;
    pugi::xml_document doc;
    std::string xml;
    Parse(doc, xml, zip, relsPart);
    for (pugi::xml_node r : doc.document_element().children())
        if (Is(r, "Relationship"))
            rels[r.attribute("Id").value()] = {r.attribute("Type").value(),
                                               ResolveTarget(part, r.attribute("Target").value())};
    return rels;
}

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// Strings in the package escape characters XML cannot carry as "_xHHHH_".
QString DecodeText(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8);
    if (!text.contains(QLatin1String("_x"))) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('_') && i + 6 < text.size() && text[i + 1] == QLatin1Char('x') &&
            text[i + 6] == QLatin1Char('_')) {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out.append(QChar(static_cast<char16_t>(code)));
                i += 6;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

// The text of a string item: its own <t>, or its runs' <t>s; phonetic runs are not text.
std::string ItemText(const pugi::xml_node& item) {
    std::string text;
    for (pugi::xml_node child : item.children()) {
        if (Is(child, "t")) {
            text += child.text().get();
        } else if (Is(child, "r")) {
            for (pugi::xml_node t : child.children())
                if (Is(t, "t")) text += t.text().get();
        }
    }
    return text;
}

bool IsBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// A custom number format shows a date or time when its first section holds a
// d, m, y, h or s outside quoted text, escapes and [colour]/[condition] brackets.
bool IsDateFormatCode(const std::string& code) {
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') return false;
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            if (close == std::string::npos) return false;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const size_t close = code.find(']', i + 1);
            if (close == std::string::npos) return false;
            const std::string inside = code.substr(i + 1, close - i - 1);
            // Elapsed time: [h], [mm], [ss].
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string::npos) return true;
            i = close;
        } else {
            switch (c) {
            case 'd':
            case 'D':
            case 'm':
            case 'M':
            case 'y':
            case 'Y':
            case 'h':
            case 'H':
            case 's':
            case 'S':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

std::vector<char> ReadDateStyles(const ZipArchive& zip, const std::string& part) {
    std::vector<char> dates;
    if (part.empty() || !zip.has(part)) return dates;
    pugi::xml_document doc;
    std::string xml;
    Parse(doc, xml, zip, part);
    const pugi::xml_node root = doc.document_element();
    std::map<int, bool> custom;
    for (pugi::xml_node f : Child(root, "numFmts").children())
        if (Is(f, "numFmt"))
            custom[f.attribute("numFmtId").as_int()] = IsDateFormatCode(f.attribute("formatCode").value());
    for (pugi::xml_node xf : Child(root, "cellXfs").children()) {
        if (!Is(xf, "xf")) continue;
        const int id = xf.attribute("numFmtId").as_int();
        const auto it = custom.find(id);
        dates.push_back(it != custom.end() ? it->second : IsBuiltInDateFormat(id));
    }
    return dates;
}

// The shared strings of a part read into `xml`, by the XML parser.
std::vector<QString> ParsedSharedStrings(std::string& xml, const ZipArchive& zip, const std::string& part) {
    std::vector<QString> strings;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed) {
        doc.reset();
        RaiseBrokenPart(zip.path(), part, XmlError(parsed));
    }
    for (pugi::xml_node si : doc.document_element().children())
        if (Is(si, "si")) strings.push_back(DecodeText(ItemText(si)));
    return strings;
}

// The column of a reference: "AB12" gives 27 (from 0); -1 without letters. Past Excel's last
// column it stops counting, at a column that is no cell.
int ColumnOf(std::string_view ref) {
    int c = 0;
    size_t i = 0;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        c = c * 26 + ((ref[i] | 0x20) - 'a' + 1);
        if (c > MaxColumns) break;
        ++i;
    }
    return i == 0 ? -1 : c - 1;
}

// A worksheet's cells made into a table as SheetBuilder makes them (the same range, header, empty rows
// and column kinds), a row at a time as the part is read: rows that come in order go into the table as
// they end, so a sheet's cells are not held twice. Rows out of order, or a cell left of the columns so
// far, are rare; from there on the cells go through a SheetBuilder, with the rows read before.
class SheetRows {
public:
    // A row's cells as written, none of them Null; a later cell of a column replaces an earlier one.
    using Cells = std::vector<std::pair<int, SourceCell>>;

    void add(int row, Cells& cells) {
        if (m_builder) {
            for (auto& [column, value] : cells)
                m_builder->set(row, column, std::move(value));
            return;
        }
        if (cells.empty()) return;
        int low = cells.front().first;
        int high = low;
        for (const auto& [column, value] : cells) {
            low = std::min(low, column);
            high = std::max(high, column);
        }
        if (m_headerRow < 0) {
            start(row, low, high, cells);
            return;
        }
        if (row <= m_lastRow || low < m_first) {
            toBuilder();
            add(row, cells);
            return;
        }
        if (high >= m_first + width()) {
            // Each column added moves every cell so far: done while that is little, otherwise by the builder.
            const qint64 wider = high - m_first + 1;
            if (qint64(m_table.recordCount()) * wider * (wider - width()) > WidenLimit) {
                toBuilder();
                add(row, cells);
                return;
            }
            for (int c = width(); c <= high - m_first; ++c)
                m_table.addColumn({ColumnNameFromHeader(SourceCell{}, c + 1), ColumnKind::Text});
            m_header.resize(static_cast<size_t>(high - m_first + 1));
            m_kinds.resize(m_header.size(), -1);
        }
        for (; m_lastRow + 1 < row; ++m_lastRow)
            m_table.appendRow({});
        std::vector<SourceCell> values(m_header.size());
        for (auto& [column, value] : cells)
            values[static_cast<size_t>(column - m_first)] = std::move(value);
        for (size_t c = 0; c < values.size(); ++c) {
            if (IsNull(values[c])) continue;
            const int kind = static_cast<int>(CellKind(values[c]));
            int& seen = m_kinds[c];
            seen = seen == -1 ? kind : (seen == kind ? seen : -2);
        }
        m_table.appendRow(std::move(values));
        m_lastRow = row;
    }

    SourceTable finish() {
        if (m_builder) return m_builder->finish();
        if (m_headerRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
        for (size_t c = 0; c < m_kinds.size(); ++c)
            if (m_kinds[c] >= 0)
                m_table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(m_kinds[c]));
        return std::move(m_table);
    }

private:
    static constexpr qint64 WidenLimit = qint64(1) << 16; // cells moved

    int width() const { return static_cast<int>(m_header.size()); }

    // The first row with a value names the columns.
    void start(int row, int low, int high, Cells& cells) {
        m_headerRow = m_lastRow = row;
        m_first = low;
        m_header.assign(static_cast<size_t>(high - low + 1), SourceCell{});
        for (auto& [column, value] : cells)
            m_header[static_cast<size_t>(column - low)] = std::move(value);
        std::vector<SourceColumn> columns;
        columns.reserve(m_header.size());
        for (size_t c = 0; c < m_header.size(); ++c)
            columns.push_back({ColumnNameFromHeader(m_header[c], static_cast<int>(c) + 1), ColumnKind::Text});
        m_table = SourceTable(std::move(columns));
        m_kinds.assign(m_header.size(), -1);
    }

    void toBuilder() {
        m_builder = std::make_unique<SheetBuilder>();
        for (int c = 0; c < width(); ++c)
            m_builder->set(m_headerRow, m_first + c, std::move(m_header[static_cast<size_t>(c)]));
        for (int r = 0; r < m_table.recordCount(); ++r)
            for (int c = 0; c < width(); ++c)
                m_builder->set(m_headerRow + 1 + r, m_first + c, m_table.cell(r, c));
        m_table = SourceTable();
    }

    std::unique_ptr<SheetBuilder> m_builder; // once rows stop coming in order
    SourceTable m_table;
    std::vector<SourceCell> m_header; // the first row with a value, from column m_first
    std::vector<int> m_kinds;         // each column's kind so far; -1: no value yet, -2: mixed
    int m_headerRow = -1;
    int m_lastRow = -1; // the last row in the table
    int m_first = 0;
};

struct SheetContext {
    const QString& path;
    const std::string& part;
    const std::vector<QString>& sharedStrings;
    const std::vector<char>& dateStyles;
    bool date1904;
};

// Reads the plain decimals a sheet writes ("-12", "1234.5") exactly as std::from_chars would: up to
// 2^53 as a whole number over a power of ten up to 10^22 is one correctly rounded division. Anything
// else (an exponent, more digits, no digits) is left to std::from_chars.
bool PlainDecimal(const char* text, const char* end, double& value, const char*& stop) {
    static constexpr double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = text;
    const bool negative = p < end && *p == '-';
    p += negative;
    quint64 mantissa = 0;
    int digits = 0;
    int fraction = 0;
    while (p < end && *p >= '0' && *p <= '9' && digits < 19) {
        mantissa = mantissa * 10 + static_cast<quint64>(*p++ - '0');
        ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9' && digits < 19) {
            mantissa = mantissa * 10 + static_cast<quint64>(*p++ - '0');
            ++digits;
            ++fraction;
        }
    }
    if (digits == 0 || mantissa > (quint64(1) << 53) || fraction > 22) return false;
    if (p < end && ((*p >= '0' && *p <= '9') || *p == 'e' || *p == 'E' || *p == '.')) return false;
    const double magnitude = static_cast<double>(mantissa) / Powers[fraction];
    value = negative ? -magnitude : magnitude;
    stop = p;
    return true;
}

SourceCell NumberCell(std::string_view v, bool isDate, bool date1904) {
    const char* text = v.data();
    const char* end = text + v.size();
    while (text < end && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n'))
        ++text;
    double value = 0;
    const char* ptr = nullptr;
    if (!PlainDecimal(text, end, value, ptr)) {
        const std::from_chars_result parsed = std::from_chars(text, end, value);
        if (parsed.ec != std::errc() || parsed.ptr == text)
            return QString::fromUtf8(text, static_cast<qsizetype>(end - text));
    }
    if (isDate) {
        const QDateTime date = DateOfSerial(value, date1904);
        if (date.isValid()) return date;
    }
    return value;
}

// A text as a cell, its "_xHHHH_" escapes decoded.
QString TextCell(std::string_view utf8) {
    for (size_t i = 0; i + 1 < utf8.size(); ++i)
        if (utf8[i] == '_' && utf8[i + 1] == 'x') return DecodeText(std::string(utf8));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

SourceCell CellValue(const pugi::xml_node& c, const SheetContext& context) {
    const std::string type = c.attribute("t").value();
    const pugi::xml_node v = Child(c, "v");
    if (type == "s") {
        if (!v) return {};
        const long long index = std::strtoll(v.text().get(), nullptr, 10);
        if (index < 0 || static_cast<size_t>(index) >= context.sharedStrings.size()) return {};
        return context.sharedStrings[static_cast<size_t>(index)];
    }
    if (type == "inlineStr") {
        const pugi::xml_node is = Child(c, "is");
        if (!is) return {};
        return DecodeText(ItemText(is));
    }
    if (type == "str") return v ? DecodeText(v.text().get()) : QString();
    if (type == "b") {
        if (!v) return {};
        const std::string b = v.text().get();
        return b == "1" || b == "true";
    }
    if (type == "e") return {};
    if (!v) return {};
    if (type == "d") {
        const QDateTime date = ParseDateText(QString::fromUtf8(v.text().get()));
        if (!date.isValid()) return QString::fromUtf8(v.text().get());
        return date;
    }
    const int style = c.attribute("s").as_int(0);
    const bool isDate = style >= 0 && static_cast<size_t>(style) < context.dateStyles.size() &&
                        context.dateStyles[static_cast<size_t>(style)];
    return NumberCell(v.text().get(), isDate, context.date1904);
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
        if (r < 0 || r >= MaxRows) continue;
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
            if (column >= MaxColumns) continue;
            SourceCell value = CellValue(c, context);
            if (!IsNull(value)) cells.emplace_back(column, std::move(value));
        }
        sheet.add(r, cells);
    }
}

// The classes of the bytes the scanner tells apart; bytes past ASCII in a name are left to the parser.
enum : unsigned char {
    Space = 1,
    NameStart = 2,
    NameChar = 4,
    TextEnd = 8,   // markup or the end of the batch
    TextStop = 16, // that, or a byte the parser changes in text
    Rewritten = 32,
    ValueStop = 64, // a quote, the end, or a byte the parser changes in an attribute's value
};

constexpr std::array<unsigned char, 256> CharClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (const char c : {' ', '\t', '\r', '\n'})
        classes[static_cast<unsigned char>(c)] = Space;
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        if (letter) classes[static_cast<size_t>(c)] = NameStart | NameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[static_cast<size_t>(c)] = NameChar;
    }
    // Text ends at markup or at the end of the batch; '&' and '\r' change in the parser's text, and
    // in an attribute's value blanks other than ' ' as well.
    for (const char c : {'<', '\0'})
        classes[static_cast<unsigned char>(c)] |= TextEnd | TextStop;
    for (const char c : {'&', '\r'})
        classes[static_cast<unsigned char>(c)] |= TextStop;
    for (const char c : {'&', '\r', '\t', '\n'})
        classes[static_cast<unsigned char>(c)] |= Rewritten | ValueStop;
    for (const char c : {'"', '\'', '\0'})
        classes[static_cast<unsigned char>(c)] |= ValueStop;
    return classes;
}();

bool Is(char c, unsigned char charClass) {
    return CharClasses[static_cast<unsigned char>(c)] & charClass;
}

bool IsSpace(char c) {
    return Is(c, Space);
}

std::string_view LocalName(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] == ':') return name.substr(i + 1);
    return name;
}

// An attribute as an int the way pugixml reads one: blanks, a sign, decimal or "0x" hex digits;
// out of range gives the nearest limit.
int AttributeInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    quint64 value = 0;
    bool overflow = false;
    const bool hex = i + 1 < text.size() && text[i] == '0' && (text[i + 1] | 0x20) == 'x';
    if (hex) i += 2;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = (c | 0x20) - 'a' + 10;
        else
            break;
        value = value * (hex ? 16 : 10) + static_cast<quint64>(digit);
        if (value > (quint64(1) << 32)) overflow = true;
    }
    if (negative)
        return overflow || value > quint64(1) << 31 ? INT_MIN : static_cast<int>(-static_cast<qint64>(value));
    return overflow || value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Appends a text as the XML parser gives it: "\r\n" and "\r" as "\n", the five named entities and
// character references decoded, anything else as it stands; a reference to U+0000 ends the text.
void AppendXmlText(std::string_view raw, std::string& out) {
    size_t i = 0;
    auto put = [&](char c) { out.push_back(c); };
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\r') {
            put('\n');
            i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
            continue;
        }
        if (c != '&') {
            put(c);
            ++i;
            continue;
        }
        // Each form is either complete or left as it stands up to the character that broke it.
        size_t j = i + 1;
        auto at = [&](size_t k) { return k < raw.size() ? raw[k] : '\0'; };
        auto named = [&](const char* rest, char value) {
            size_t k = j;
            for (const char* r = rest; *r; ++r, ++k)
                if (at(k) != *r) {
                    out.append(raw.substr(i, k - i));
                    i = k;
                    return;
                }
            put(value);
            i = k;
        };
        if (at(j) == '#') {
            const bool hex = at(j + 1) == 'x';
            size_t k = j + (hex ? 2 : 1);
            quint32 code = 0;
            bool complete = false;
            if (at(k) != ';') {
                for (;; ++k) {
                    const char d = at(k);
                    if (d >= '0' && d <= '9')
                        code = code * (hex ? 16 : 10) + static_cast<quint32>(d - '0');
                    else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f')
                        code = code * 16 + static_cast<quint32>((d | 0x20) - 'a' + 10);
                    else {
                        complete = d == ';';
                        break;
                    }
                }
            }
            if (!complete) {
                out.append(raw.substr(i, k - i));
                i = k;
                continue;
            }
            if (code == 0) {
                i = raw.size();
                return;
            }
            if (code < 0x80) {
                put(static_cast<char>(code));
            } else if (code < 0x800) {
                put(static_cast<char>(0xC0 | (code >> 6)));
                put(static_cast<char>(0x80 | (code & 0x3F)));
            } else if (code < 0x10000) {
                put(static_cast<char>(0xE0 | (code >> 12)));
                put(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
                put(static_cast<char>(0x80 | (code & 0x3F)));
            } else {
                put(static_cast<char>(0xF0 | (code >> 18)));
                put(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
                put(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
                put(static_cast<char>(0x80 | (code & 0x3F)));
            }
            i = k + 1;
        } else if (at(j) == 'a' && at(j + 1) == 'm') {
            j += 2;
            named("p;", '&');
        } else if (at(j) == 'a' && at(j + 1) == 'p') {
            j += 2;
            named("os;", '\'');
        } else if (at(j) == 'a') {
            out.append(raw.substr(i, 2));
            i += 2;
        } else if (at(j) == 'g') {
            ++j;
            named("t;", '>');
        } else if (at(j) == 'l') {
            ++j;
            named("t;", '<');
        } else if (at(j) == 'q') {
            ++j;
            named("uot;", '"');
        } else {
            put('&');
            ++i;
        }
    }
}

// Compares a name or value with a literal; inlined, where std::string_view's == calls memcmp.
template <size_t N> bool Named(std::string_view text, const char (&literal)[N]) {
    if (text.size() != N - 1) return false;
    for (size_t i = 0; i + 1 < N; ++i)
        if (text[i] != literal[i]) return false;
    return true;
}

// Whether the bytes at `p` begin with the literal; it stops at the first that differs, so at the
// NUL after a batch.
template <size_t N> bool Starts(const char* p, const char (&literal)[N]) {
    for (size_t i = 0; i + 1 < N; ++i)
        if (p[i] != literal[i]) return false;
    return true;
}

// Reads a batch of rows straight from its bytes, for the plain XML worksheets hold: elements,
// attributes and text with entity and character references. On anything else (comments, CDATA,
// processing instructions, names beyond ASCII, NUL bytes, markup that is not well formed) it gives
// up, and the batch goes to the XML parser, which reads it the same way or names what is wrong; the
// parser goes on after the rows the scanner read whole.
//
// The batch holds no NUL and is followed by one, so the scan stops at its end without counting.
class RowScanner {
public:
    RowScanner(const char* begin, const SheetContext& context) : m_p(begin), m_context(context) {}

    // `rowsRead` counts the <row> elements read through their end; when the scan gives up, those went
    // into the sheet and `lastRow` is the last of them.
    bool scan(int& lastRow, size_t& rowsRead, SheetRows& sheet) {
        for (;;) {
            skipText();
            if (!*m_p) return true; // text between rows is no cell
            ++m_p;
            std::string_view name;
            bool empty = false;
            Attributes attributes;
            if (!startTag(name, empty, &attributes)) return false;
            if (!Named(LocalName(name), "row")) {
                if (!empty && !skipContent(name)) return false;
                continue;
            }
            const qint64 r =
                attributes.r.data() ? qint64(AttributeInt(attributes.r)) - 1 : qint64(lastRow) + 1;
            if (r < 0 || r >= MaxRows) {
                if (!empty && !skipContent(name)) return false;
                ++rowsRead;
                continue;
            }
            if (!empty && !row(name, static_cast<int>(r), sheet)) return false;
            lastRow = static_cast<int>(r);
            ++rowsRead;
        }
    }

    // The string items of a shared-strings part, from its start: a declaration, the root and its
    // items, and nothing after but blanks.
    bool strings(std::vector<QString>& out) {
        if (Starts(m_p, "<?xml")) {
            const char* end = std::strstr(m_p, "?>");
            if (!end) return false;
            // The parser reads a part in the encoding its declaration names; the scanner reads UTF-8.
            const std::string_view declaration(m_p, static_cast<size_t>(end - m_p));
            if (declaration.find("encoding") != std::string_view::npos &&
                declaration.find("encoding=\"UTF-8\"") == std::string_view::npos &&
                declaration.find("encoding=\"utf-8\"") == std::string_view::npos)
                return false;
            m_p = end + 2;
        }
        skipSpaces();
        if (*m_p++ != '<') return false;
        std::string_view root;
        bool empty = false;
        if (!startTag(root, empty, nullptr)) return false;
        if (!empty && !eachChild(root, [&](std::string_view child, bool childEmpty) {
                if (!Named(LocalName(child), "si")) return childEmpty || skipContent(child);
                Cell cell;
                if (!childEmpty && !item(child, cell)) return false;
                out.push_back(TextCell(cell.item));
                return true;
            }))
            return false;
        skipSpaces();
        return !*m_p;
    }

private:
    // The first r, t and s of a tag, as written; a null view when absent.
    struct Attributes {
        std::string_view r, t, s;
    };

    struct Cell {
        std::string_view type;
        std::string_view style;
        bool hasValue = false;
        std::string_view value; // <v>'s text as written
        bool hasItem = false;
        std::string_view item; // <is>'s text, decoded: the bytes of its one plain <t>, or m_joined
        int texts = 0;         // the <t>s read so far
        bool joined = false;
    };

    void skipSpaces() {
        while (IsSpace(*m_p))
            ++m_p;
    }

    // Up to the next "<" or the end.
    void skipText() {
        while (!Is(*m_p, TextEnd))
            ++m_p;
    }

    // After "<": a start tag up to and over its ">" or "/>".
    bool startTag(std::string_view& name, bool& empty, Attributes* attributes) {
        const char* start = m_p;
        if (!Is(*m_p, NameStart)) return false;
        while (Is(*m_p, NameChar))
            ++m_p;
        name = std::string_view(start, static_cast<size_t>(m_p - start));
        for (;;) {
            if (*m_p == '>') {
                ++m_p;
                empty = false;
                return true;
            }
            if (*m_p == '/') {
                if (m_p[1] != '>') return false;
                m_p += 2;
                empty = true;
                return true;
            }
            if (!IsSpace(*m_p)) return false;
            skipSpaces();
            if (*m_p == '>' || *m_p == '/') continue;
            if (!Is(*m_p, NameStart)) return false;
            const char* attributeStart = m_p;
            while (Is(*m_p, NameChar))
                ++m_p;
            const std::string_view attribute(attributeStart, static_cast<size_t>(m_p - attributeStart));
            skipSpaces();
            if (*m_p != '=') return false;
            ++m_p;
            skipSpaces();
            if (*m_p != '"' && *m_p != '\'') return false;
            const char quote = *m_p++;
            const char* close = m_p;
            bool plain = true; // nothing the parser would rewrite
            for (;; ++close) {
                while (!Is(*close, ValueStop))
                    ++close;
                if (*close == quote) break;
                if (!*close) return false;
                if (Is(*close, Rewritten)) plain = false;
            }
            const std::string_view value(m_p, static_cast<size_t>(close - m_p));
            m_p = close + 1;
            if (Is(*m_p, NameStart)) return false;
            if (attributes && attribute.size() == 1) {
                std::string_view* slot = attribute[0] == 'r'   ? &attributes->r
                                         : attribute[0] == 't' ? &attributes->t
                                         : attribute[0] == 's' ? &attributes->s
                                                               : nullptr;
                if (slot && !slot->data()) {
                    if (!plain) return false; // left to the parser
                    *slot = value.empty() ? std::string_view(close, 0) : value;
                }
            }
        }
    }

    // After "<": the cell as sheets mostly write one, read in one pass: an unprefixed <c> whose
    // attributes are among r, s and t, each once, written name="value" with one blank before each,
    // holding nothing, a <v> or an <is> of one <t> (with at most xml:space="preserve"), none of them
    // with a byte the parser would change. Anything else gives false with nothing read, and the
    // general path reads the same bytes.
    bool plainCell(Attributes& attributes, Cell& cell) {
        const char* p = m_p;
        if (*p++ != 'c') return false;
        while (*p == ' ') {
            std::string_view* slot = p[1] == 'r'   ? &attributes.r
                                     : p[1] == 's' ? &attributes.s
                                     : p[1] == 't' ? &attributes.t
                                                   : nullptr;
            if (!slot || slot->data() || p[2] != '=' || p[3] != '"') return false;
            p += 4;
            const char* value = p;
            while (!Is(*p, ValueStop))
                ++p;
            if (*p != '"') return false;
            *slot = std::string_view(value, static_cast<size_t>(p - value));
            ++p;
        }
        if (*p == '/') {
            if (p[1] != '>') return false;
            m_p = p + 2;
            return true;
        }
        if (*p++ != '>' || *p++ != '<') return false;
        if (p[0] == '/') {
            if (p[1] != 'c' || p[2] != '>') return false;
            m_p = p + 3;
            return true;
        }
        std::string_view* text = nullptr;
        const char* start = nullptr;
        if (p[0] == 'v' && p[1] == '>') {
            start = p + 2;
            text = &cell.value;
        } else if (Starts(p, "is><t>")) {
            start = p + 6;
            text = &cell.item;
        } else if (Starts(p, "is><t xml:space=\"preserve\">")) {
            start = p + 27;
            text = &cell.item;
        } else {
            return false;
        }
        p = start;
        while (!Is(*p, TextStop))
            ++p;
        if (*p != '<') return false;
        const std::string_view read(start, static_cast<size_t>(p - start));
        if (text == &cell.value) {
            if (!Starts(p, "</v></c>")) return false;
            m_p = p + 8;
            cell.hasValue = true;
        } else {
            if (!Starts(p, "</t></is></c>")) return false;
            m_p = p + 13;
            cell.hasItem = true;
            cell.texts = 1;
        }
        *text = read;
        return true;
    }

    // After "</": the end tag of `name`.
    bool endTag(std::string_view name) {
        for (const char c : name)
            if (*m_p++ != c) return false; // the end's NUL differs from every name byte
        if (Is(*m_p, NameChar)) return false;
        skipSpaces();
        if (*m_p != '>') return false;
        ++m_p;
        return true;
    }

    // Over the next "<"; false at the end of the batch.
    bool nextTag(bool& closing) {
        skipText();
        if (!*m_p) return false;
        ++m_p;
        closing = *m_p == '/';
        if (closing) ++m_p;
        return true;
    }

    // The content of an element whose start tag was read, through its end tag.
    bool skipContent(std::string_view name) {
        m_open.clear();
        m_open.push_back(name);
        while (!m_open.empty()) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) {
                if (!endTag(m_open.back())) return false;
                m_open.pop_back();
                continue;
            }
            std::string_view child;
            bool empty = false;
            if (!startTag(child, empty, nullptr)) return false;
            if (!empty) m_open.push_back(child);
        }
        return true;
    }

    // An element of text alone, through its end tag; `plain` when no byte needs decoding.
    bool textOf(std::string_view name, std::string_view& text, bool& plain) {
        const char* start = m_p;
        plain = true;
        for (;; ++m_p) {
            while (!Is(*m_p, TextStop))
                ++m_p;
            if (*m_p == '<') break;
            if (!*m_p) return false;
            plain = false;
        }
        if (m_p[1] != '/') return false;
        text = std::string_view(start, static_cast<size_t>(m_p - start));
        m_p += 2;
        return endTag(name);
    }

    bool appendTextOf(std::string_view name, Cell& cell) {
        std::string_view text;
        bool plain = true;
        if (!textOf(name, text, plain)) return false;
        if (plain && cell.texts++ == 0) {
            cell.item = text;
            return true;
        }
        if (!cell.joined) {
            m_joined.assign(cell.item);
            cell.joined = true;
        }
        if (plain)
            m_joined.append(text);
        else
            AppendXmlText(text, m_joined);
        cell.item = m_joined;
        return true;
    }

    // Calls onChild(name, empty) for each child element up to the end tag of `name`; false as soon as
    // the markup breaks or onChild says so.
    template <class OnChild> bool eachChild(std::string_view name, OnChild&& onChild) {
        for (;;) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) return endTag(name);
            std::string_view child;
            bool empty = false;
            if (!startTag(child, empty, nullptr) || !onChild(child, empty)) return false;
        }
    }

    // The text of a string item: its own <t>s and its runs' <t>s, in order; phonetic runs are not text.
    bool item(std::string_view name, Cell& cell) {
        const auto textOrSkip = [&](std::string_view child) {
            return Named(LocalName(child), "t") ? appendTextOf(child, cell) : skipContent(child);
        };
        return eachChild(name, [&](std::string_view child, bool empty) {
            if (empty) return true;
            if (Named(LocalName(child), "r"))
                return eachChild(child, [&](std::string_view runChild, bool runEmpty) {
                    return runEmpty || textOrSkip(runChild);
                });
            return textOrSkip(child);
        });
    }

    bool cellContent(std::string_view name, Cell& cell) {
        return eachChild(name, [&](std::string_view child, bool empty) {
            const std::string_view local = LocalName(child);
            if (Named(local, "v") && !cell.hasValue) {
                cell.hasValue = true;
                if (empty) return true;
                bool plain = true;
                if (!textOf(child, cell.value, plain)) return false;
                if (!plain) {
                    m_text.clear();
                    AppendXmlText(cell.value, m_text);
                    cell.value = m_text;
                }
                return true;
            }
            if (Named(local, "is") && !cell.hasItem) {
                cell.hasItem = true;
                return empty || item(child, cell);
            }
            return empty || skipContent(child);
        });
    }

    bool row(std::string_view name, int r, SheetRows& sheet) {
        int lastColumn = -1;
        Cell cell;
        m_cells.clear();
        for (;;) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) {
                if (!endTag(name)) return false;
                sheet.add(r, m_cells);
                return true;
            }
            Attributes attributes;
            cell.hasValue = false;
            cell.value = {};
            cell.hasItem = false;
            cell.item = {};
            cell.texts = 0;
            cell.joined = false;
            if (!plainCell(attributes, cell)) {
                std::string_view child;
                bool empty = false;
                attributes = {};
                if (!startTag(child, empty, &attributes)) return false;
                if (!Named(LocalName(child), "c")) {
                    if (!empty && !skipContent(child)) return false;
                    continue;
                }
                if (!empty && !cellContent(child, cell)) return false;
            }
            int column = lastColumn + 1;
            if (attributes.r.data()) {
                column = ColumnOf(attributes.r);
                if (column < 0) column = lastColumn + 1;
            }
            lastColumn = column;
            cell.type = attributes.t;
            cell.style = attributes.s;
            if (column >= MaxColumns) continue;
            SourceCell v = value(cell);
            if (IsNull(v)) continue;
            m_cells.emplace_back(column, std::move(v));
        }
    }

    // A shared string's index as std::strtoll reads it.
    static long long Index(std::string_view text) {
        if (text.empty() || text.size() > 18) return std::strtoll(std::string(text).c_str(), nullptr, 10);
        long long index = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') return std::strtoll(std::string(text).c_str(), nullptr, 10);
            index = index * 10 + (c - '0');
        }
        return index;
    }

    SourceCell value(const Cell& cell) {
        const std::string_view type = cell.type;
        const std::string_view v = cell.value;
        if (Named(type, "s")) {
            if (!cell.hasValue) return {};
            const long long i = Index(v);
            if (i < 0 || static_cast<size_t>(i) >= m_context.sharedStrings.size()) return {};
            return m_context.sharedStrings[static_cast<size_t>(i)];
        }
        if (Named(type, "inlineStr")) return cell.hasItem ? TextCell(cell.item) : SourceCell{};
        if (Named(type, "str")) return cell.hasValue ? TextCell(v) : QString();
        if (Named(type, "b")) {
            if (!cell.hasValue) return {};
            return Named(v, "1") || Named(v, "true");
        }
        if (Named(type, "e") || !cell.hasValue) return {};
        if (Named(type, "d")) {
            const QString text = QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
            const QDateTime date = ParseDateText(text);
            if (!date.isValid()) return text;
            return date;
        }
        const int style = cell.style.data() ? AttributeInt(cell.style) : 0;
        const bool isDate = style >= 0 && static_cast<size_t>(style) < m_context.dateStyles.size() &&
                            m_context.dateStyles[static_cast<size_t>(style)];
        return NumberCell(v, isDate, m_context.date1904);
    }

    const char* m_p;
    const SheetContext& m_context;
    std::vector<std::string_view> m_open;
    SheetRows::Cells m_cells; // the row's cells, to be added when it ends
    std::string m_text;       // <v>'s text, decoded
    std::string m_joined;     // <is>'s text of more than one plain <t>
};

// Reads the rows of one batch of <row> elements; the batch starts `offset` bytes into the part. The
// byte after the batch is the buffer's own (the next bytes or its terminator); it is a NUL while the
// scanner reads.
void ReadRows(char* xml, size_t size, size_t offset, const SheetContext& context, int& lastRow,
              SheetRows& sheet) {
    size_t rowsRead = 0;
    if (!std::memchr(xml, 0, size)) {
        const char kept = std::exchange(xml[size], '\0');
        const bool read = RowScanner(xml, context).scan(lastRow, rowsRead, sheet);
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

// The bytes of a part read and not yet scanned, with a NUL after them. It grows without clearing the
// room a read then fills.
class PartBuffer {
public:
    std::string_view view() const { return {m_data.get(), m_size}; }
    char* data() { return m_data.get(); }

    // Up to `size` more bytes of the part; false at its end.
    bool readMore(ZipFile& file, size_t size) {
        if (m_size + size + 1 > m_capacity) {
            m_capacity = std::max(m_size + size + 1, m_capacity * 2);
            auto grown = std::make_unique_for_overwrite<char[]>(m_capacity);
            if (m_size > 0) std::memcpy(grown.get(), m_data.get(), m_size);
            m_data = std::move(grown);
        }
        const size_t n = file.read(m_data.get() + m_size, size);
        m_size += n;
        m_data[m_size] = '\0';
        return n > 0;
    }

    // Drops the first `n` bytes.
    void erase(size_t n) {
        std::memmove(m_data.get(), m_data.get() + n, m_size - n);
        m_size -= n;
        m_data[m_size] = '\0';
    }

private:
    std::unique_ptr<char[]> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

// Streams a worksheet part: its rows are parsed a batch at a time as the
// part is inflated, so memory holds the cells and one batch of XML.
void ReadSheet(const ZipArchive& zip, const SheetContext& context, SheetRows& sheet) {
    // A batch small enough that its bytes are still in cache when the scanner reads them.
    constexpr size_t Chunk = 1 << 17;
    const std::unique_ptr<ZipFile> file = zip.open(context.part);
    PartBuffer buffer;
    size_t erased = 0; // bytes of the part before the buffer's first
    bool more = true;
    auto readMore = [&] { return more = more && buffer.readMore(*file, Chunk); };
    auto truncated = [&] {
        RaiseBrokenPart(zip.path(), context.part, QStringLiteral("it ends before its rows do"));
    };

    size_t at = std::string::npos;
    while ((at = buffer.view().find("sheetData")) == std::string::npos)
        if (!readMore()) return; // a worksheet without cells
    const size_t open = buffer.view().rfind('<', at);
    if (open == std::string::npos) truncated();
    const std::string prefix(buffer.view().substr(open + 1, at - open - 1)); // "" or "x:"
    size_t close;
    while ((close = buffer.view().find('>', at)) == std::string::npos)
        if (!readMore()) truncated();
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
    size_t searched = pos; // the end of the rows is not before this
    int lastRow = -1;
    for (;;) {
        const size_t end = Find(buffer.view(), endOfData, endOfData.rfind('D'), searched);
        if (end != std::string::npos) {
            ReadRows(buffer.data() + pos, end - pos, erased + pos, context, lastRow, sheet);
            return drain();
        }
        const size_t lastEnd = buffer.view().rfind(endOfRow);
        if (lastEnd != std::string::npos && lastEnd >= pos) {
            const size_t batchEnd = lastEnd + endOfRow.size();
            ReadRows(buffer.data() + pos, batchEnd - pos, erased + pos, context, lastRow, sheet);
            pos = batchEnd;
        }
        buffer.erase(pos);
        erased += pos;
        pos = 0;
        const size_t size = buffer.view().size();
        searched = size - std::min(size, endOfData.size() - 1);
        if (!readMore()) truncated();
    }
}

} // namespace

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
        if (RowScanner(xml.data(), context).strings(strings)) return strings;
    }
    return ParsedSharedStrings(xml, zip, part);
}

XlsxSource::XlsxSource(QString path, XlsxLimits limits) : m_path(std::move(path)), m_limits(limits) {
    const ZipArchive zip(m_path, m_limits);

    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelationships(zip, ""))
        if (EndsWith(rel.type, "/officeDocument")) workbookPart = rel.target;
    // A zip without a workbook is some other package.
    if (!zip.has(workbookPart)) sourcefile::RaiseNotOfKind(m_path, Kind);

    const auto rels = ReadRelationships(zip, workbookPart);
    for (const auto& [id, rel] : rels) {
        if (EndsWith(rel.type, "/sharedStrings")) m_sharedStringsPart = rel.target;
        if (EndsWith(rel.type, "/styles")) m_stylesPart = rel.target;
    }

    pugi::xml_document doc;
    std::string xml;
    Parse(doc, xml, zip, workbookPart);
    const pugi::xml_node workbook = doc.document_element();
    const std::string date1904 = Child(workbook, "workbookPr").attribute("date1904").value();
    m_date1904 = date1904 == "1" || date1904 == "true";
    for (pugi::xml_node s : Child(workbook, "sheets").children()) {
        if (!Is(s, "sheet")) continue;
        const auto rel = rels.find(RelationshipId(s));
        // Chart sheets and dialog sheets hold no table.
        if (rel == rels.end() || !EndsWith(rel->second.type, "/worksheet")) continue;
        m_sheetNames.append(QString::fromUtf8(s.attribute("name").value()) + QLatin1Char('$'));
        m_sheetParts.push_back(rel->second.target);
    }
}

QStringList XlsxSource::tables() {
    return SortedByName(m_sheetNames);
}

SourceTable XlsxSource::read(const QString& table, const QString& orderBy) {
    const qsizetype index = FindTable(m_sheetNames, table);
    if (index < 0) RaiseTableNotFound(provider::Odbc, table);

    const ZipArchive zip(m_path, m_limits);
    const std::string& part = m_sheetParts[static_cast<size_t>(index)];
    const std::vector<QString> noStrings;
    const std::vector<char> noStyles;
    const std::vector<QString> strings = ReadSharedStrings(
        zip, m_sharedStringsPart, SheetContext{m_path, part, noStrings, noStyles, m_date1904});
    const std::vector<char> dateStyles = ReadDateStyles(zip, m_stylesPart);
    SheetRows sheet;
    ReadSheet(zip, SheetContext{m_path, part, strings, dateStyles, m_date1904}, sheet);
    SourceTable result = sheet.finish();
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString XlsxSource::describe() const {
    return QStringLiteral("Excel workbook '%1'").arg(m_path);
}

} // namespace quibo
