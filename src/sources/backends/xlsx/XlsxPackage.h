// The parts of an .xlsx package read whole with pugixml: relationships, date styles, shared strings.
#pragma once

#include <QString>

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quibo::xlsx {

class ZipArchive;

// Raises that `part` of the package at `path` is broken, and `why`.
[[noreturn]] void RaiseBrokenPart(const QString& path, const std::string& part, const QString& why);

// What the XML parser found wrong, and where.
QString XmlError(const pugi::xml_parse_result& parsed);

// Element names may carry a namespace prefix ("x:row"); only the local part counts.
inline const char* LocalName(const char* name) {
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

inline bool Is(const pugi::xml_node& node, const char* local) {
    return std::strcmp(LocalName(node.name()), local) == 0;
}

// A shared string's element, by its local name: <si>, or <sstItem> in workbooks of the Excel 2007
// beta (their 2006 namespace), which are laid out as later ones otherwise.
inline bool IsStringItem(std::string_view local) {
    return local == "si" || local == "sstItem";
}

inline pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
    for (pugi::xml_node child : node.children())
        if (Is(child, local)) return child;
    return {};
}

// The relationship attribute "r:id" under whatever prefix the file uses.
const char* RelationshipId(const pugi::xml_node& node);

// Parses a part in place: `xml` keeps its bytes, which the document points into, so a large part
// is held once, not copied for the parser.
void Parse(pugi::xml_document& doc, std::string& xml, const ZipArchive& zip, const std::string& part);

struct Relationship {
    std::string type;
    std::string target;
};

// The part that holds the relationships of `part`: "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string RelationshipsOf(const std::string& part);

// The relationships of a part, by their ids, each target resolved to a part of the package; none
// when the part has no relationships part, unless they are `required`: then its lack is raised.
std::map<std::string, Relationship> ReadRelationships(const ZipArchive& zip, const std::string& part,
                                                      bool required = false);

bool EndsWith(const std::string& text, const char* suffix);

// A text of the package, its "_xHHHH_" escapes (characters XML cannot carry) decoded.
QString DecodeText(std::string_view utf8);

// The text of a string item: its own <t>, or its runs' <t>s; phonetic runs are not text.
std::string ItemText(const pugi::xml_node& item);

// For each cell style of the styles part, whether its number format shows a date or time; none
// without a styles part.
std::vector<char> ReadDateStyles(const ZipArchive& zip, const std::string& part);

// The shared strings of a part read into `xml`, by the XML parser.
std::vector<QString> ParsedSharedStrings(std::string& xml, const ZipArchive& zip, const std::string& part);

} // namespace quibo::xlsx
