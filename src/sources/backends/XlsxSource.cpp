#include "sources/backends/XlsxSource.h"

#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SheetBuilder.h"
#include "sources/backends/SourceFile.h"
#include "vb/Date.h"

#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>

namespace quibo {

namespace {

const QString Kind = QStringLiteral("an Excel workbook (.xlsx)");

// Excel's own limits; a cell reference beyond them is not a cell.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

QString PartName(const std::string& part) {
    return QString::fromStdString(part);
}

class ZipFile {
public:
    ZipFile(zip_t* zip, const QString& path, const std::string& name, const XlsxLimits& limits)
        : m_path(path), m_name(name) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        m_file = zip_fopen(zip, name.c_str(), 0);
        if (m_file) {
            zip_stat(zip, name.c_str(), 0, &stat);
        } else {
            m_file = zip_fopen(zip, name.c_str(), ZIP_FL_NOCASE);
            zip_stat(zip, name.c_str(), ZIP_FL_NOCASE, &stat);
        }
        if (!m_file)
            sourcefile::RaiseBroken(m_path, QStringLiteral("lacks its part \"%1\".").arg(PartName(name)));
        const zip_uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
        // A small part may inflate much, up to the floor; past it, only so many times its packed size.
        m_bound = std::min(limits.maxPartSize,
                           std::max(limits.ratioFloor, static_cast<qint64>(packed) * limits.maxRatio));
    }
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;
    ~ZipFile() { zip_fclose(m_file); }

    // Appends up to `size` bytes to `out`; false at the end of the part.
    bool readInto(std::string& out, size_t size) {
        const size_t before = out.size();
        out.resize(before + size);
        const zip_int64_t n = zip_fread(m_file, out.data() + before, size);
        if (n < 0)
            sourcefile::RaiseBroken(
                m_path,
                QStringLiteral("has a damaged part \"%1\": it cannot be unpacked.").arg(PartName(m_name)));
        out.resize(before + static_cast<size_t>(n));
        m_inflated += n;
        if (m_inflated > m_bound)
            sourcefile::RaiseBroken(m_path,
                                    QStringLiteral("has a part \"%1\" that unpacks to more than %2 bytes; "
                                                   "it is refused.")
                                        .arg(PartName(m_name))
                                        .arg(m_bound));
        return n > 0;
    }

private:
    zip_file_t* m_file;
    QString m_path;
    std::string m_name;
    qint64 m_bound = 0;
    qint64 m_inflated = 0;
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
        std::string data;
        while (file->readInto(data, 1 << 16)) {
        }
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

void Parse(pugi::xml_document& doc, const ZipArchive& zip, const std::string& part) {
    const std::string xml = zip.readAll(part);
    const pugi::xml_parse_result parsed =
        doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
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
    Parse(doc, zip, relsPart);
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
    Parse(doc, zip, part);
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

std::vector<QString> ReadSharedStrings(const ZipArchive& zip, const std::string& part) {
    std::vector<QString> strings;
    if (part.empty() || !zip.has(part)) return strings;
    pugi::xml_document doc;
    Parse(doc, zip, part);
    for (pugi::xml_node si : doc.document_element().children())
        if (Is(si, "si")) strings.push_back(DecodeText(ItemText(si)));
    return strings;
}

// "AB12" gives column 27 (0-based) and row 11 (0-based); -1 for a part that is absent.
void ParseReference(const char* ref, int& row, int& column) {
    int c = 0;
    const char* p = ref;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        c = c * 26 + ((*p | 0x20) - 'a' + 1);
        if (c > MaxColumns) break;
        ++p;
    }
    column = p == ref ? -1 : c - 1;
    int r = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9' && r <= MaxRows)
        r = r * 10 + (*p++ - '0');
    row = p == digits ? -1 : r - 1;
}

struct SheetContext {
    const QString& path;
    const std::string& part;
    const std::vector<QString>& sharedStrings;
    const std::vector<char>& dateStyles;
    bool date1904;
};

SourceCell NumberCell(const char* text, bool isDate, bool date1904) {
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    double value = 0;
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr == text) return QString::fromUtf8(text);
    if (isDate) {
        double serial = value;
        if (date1904)
            serial += 1462;
        else if (serial >= 1 && serial < 60)
            serial += 1; // serials before Excel's fictitious 29 Feb 1900 are one day behind
        const QDateTime date = vb::FromOADate(serial);
        if (date.isValid()) return date;
    }
    return value;
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

// Reads the rows of one batch of <row> elements; the batch starts `offset` bytes into the part.
void ReadRows(char* xml, size_t size, size_t offset, const SheetContext& context, int& lastRow,
              SheetBuilder& sheet) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(xml, size, pugi::parse_default | pugi::parse_ws_pcdata);
    // A batch of no rows (an empty <sheetData></sheetData>) has no element at all.
    if (!parsed && parsed.status != pugi::status_no_document_element) {
        parsed.offset += static_cast<ptrdiff_t>(offset);
        RaiseBrokenPart(context.path, context.part, XmlError(parsed));
    }
    for (pugi::xml_node row : doc.children()) {
        if (!Is(row, "row")) continue;
        const int r = row.attribute("r").as_int(lastRow + 2) - 1;
        if (r < 0 || r >= MaxRows) continue;
        lastRow = r;
        int lastColumn = -1;
        for (pugi::xml_node c : row.children()) {
            if (!Is(c, "c")) continue;
            int cellRow = r;
            int column = lastColumn + 1;
            if (const pugi::xml_attribute ref = c.attribute("r")) {
                int refRow = -1;
                ParseReference(ref.value(), refRow, column);
                if (column < 0) column = lastColumn + 1;
            }
            lastColumn = column;
            if (column >= MaxColumns) continue;
            sheet.set(cellRow, column, CellValue(c, context));
        }
    }
}

// Streams a worksheet part: its rows are parsed a batch at a time as the
// part is inflated, so memory holds the cells and one batch of XML.
void ReadSheet(const ZipArchive& zip, const SheetContext& context, SheetBuilder& sheet) {
    constexpr size_t Chunk = 1 << 20;
    const std::unique_ptr<ZipFile> file = zip.open(context.part);
    std::string buffer;
    size_t erased = 0; // bytes of the part before the buffer's first
    bool more = true;
    auto readMore = [&] { return more = more && file->readInto(buffer, Chunk); };
    auto truncated = [&] {
        RaiseBrokenPart(zip.path(), context.part, QStringLiteral("it ends before its rows do"));
    };

    size_t at = std::string::npos;
    while ((at = buffer.find("sheetData")) == std::string::npos)
        if (!readMore()) return; // a worksheet without cells
    const size_t open = buffer.rfind('<', at);
    if (open == std::string::npos) truncated();
    const std::string prefix = buffer.substr(open + 1, at - open - 1); // "" or "x:"
    size_t close;
    while ((close = buffer.find('>', at)) == std::string::npos)
        if (!readMore()) truncated();
    if (buffer[close - 1] == '/') return; // <sheetData/>

    const std::string endOfData = "</" + prefix + "sheetData>";
    const std::string endOfRow = "</" + prefix + "row>";
    size_t pos = close + 1;
    int lastRow = -1;
    for (;;) {
        const size_t end = buffer.find(endOfData, pos);
        if (end != std::string::npos) {
            ReadRows(buffer.data() + pos, end - pos, erased + pos, context, lastRow, sheet);
            return;
        }
        const size_t lastEnd = buffer.rfind(endOfRow);
        if (lastEnd != std::string::npos && lastEnd >= pos) {
            const size_t batchEnd = lastEnd + endOfRow.size();
            ReadRows(buffer.data() + pos, batchEnd - pos, erased + pos, context, lastRow, sheet);
            pos = batchEnd;
        }
        buffer.erase(0, pos);
        erased += pos;
        pos = 0;
        if (!readMore()) truncated();
    }
}

} // namespace

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
    Parse(doc, zip, workbookPart);
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
    const std::vector<QString> strings = ReadSharedStrings(zip, m_sharedStringsPart);
    const std::vector<char> dateStyles = ReadDateStyles(zip, m_stylesPart);
    SheetBuilder sheet;
    const std::string& part = m_sheetParts[static_cast<size_t>(index)];
    ReadSheet(zip, SheetContext{m_path, part, strings, dateStyles, m_date1904}, sheet);
    SourceTable result = sheet.finish();
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString XlsxSource::describe() const {
    return QStringLiteral("Excel workbook '%1'").arg(m_path);
}

} // namespace quibo
