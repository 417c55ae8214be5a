// The parts of an .xlsx package read whole with pugixml: relationships, date styles, shared strings.
#include "sources/backends/xlsx/XlsxPackage.h"

#include "core/Utf8Text.h"
#include "sources/backends/DateText.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/xlsx/ZipArchive.h"

#include <algorithm>

namespace quibo::xlsx {

namespace {

std::string DirectoryOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A target is relative to the folder of the part that names it, or absolute from the package root;
// a writer on Windows may have separated its folders by backslashes.
std::string ResolveTarget(const std::string& fromPart, std::string target) {
    std::replace(target.begin(), target.end(), '\\', '/');
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

} // namespace

std::string RelationshipsOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return DirectoryOf(part) + "_rels/" + name + ".rels";
}

[[noreturn]] void RaiseBrokenPart(const QString& path, const std::string& part, const QString& why) {
    sourcefile::RaiseBroken(path, QStringLiteral("has a broken part \"%1\": %2.").arg(PartName(part), why));
}

QString XmlError(const pugi::xml_parse_result& parsed) {
    return QStringLiteral("%1 at byte %2").arg(QString::fromLatin1(parsed.description())).arg(parsed.offset);
}

const char* RelationshipId(const pugi::xml_node& node) {
    for (pugi::xml_attribute a : node.attributes()) {
        const char* colon = std::strchr(a.name(), ':');
        if (colon && std::strcmp(colon + 1, "id") == 0) return a.value();
    }
    return "";
}

void Parse(pugi::xml_document& doc, std::string& xml, const ZipArchive& zip, const std::string& part) {
    xml = zip.readAll(part);
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed) {
        doc.reset();
        RaiseBrokenPart(zip.path(), part, XmlError(parsed));
    }
}

std::map<std::string, Relationship> ReadRelationships(const ZipArchive& zip, const std::string& part,
                                                      bool required) {
    std::map<std::string, Relationship> rels;
    const std::string relsPart = RelationshipsOf(part);
    if (!required && !zip.has(relsPart)) return rels; // else opening it names it as missing
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

QString DecodeText(std::string_view utf8) {
    QString text = core::Utf8Text(utf8.data(), utf8.size());
    if (utf8.find("_x") == std::string_view::npos) return text;
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
            custom[f.attribute("numFmtId").as_int()] =
                IsDateFormatCode(QString::fromUtf8(f.attribute("formatCode").value()));
    for (pugi::xml_node xf : Child(root, "cellXfs").children()) {
        if (!Is(xf, "xf")) continue;
        const int id = xf.attribute("numFmtId").as_int();
        const auto it = custom.find(id);
        dates.push_back(it != custom.end() ? it->second : IsBuiltInDateFormat(id));
    }
    return dates;
}

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
        if (IsStringItem(LocalName(si.name()))) strings.push_back(DecodeText(ItemText(si)));
    return strings;
}

} // namespace quibo::xlsx
