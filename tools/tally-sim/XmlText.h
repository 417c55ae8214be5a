#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace quibo::sim {

// Reading and writing XML the way the Tally side of the wire does.
class XmlText {
public:
    // Parses a request body. Tally's own parser lets an attribute follow a quoted
    // value without a blank between them (the program's company-list request
    // relies on it), so such a spot is mended and the parse retried. Blank-only
    // element texts are kept: a value of one blank is a value. Returns false when
    // the text is still not well formed; the document is then left empty.
    static bool parse(std::string_view text, pugi::xml_document& document);

    // The reply layout of the server: one blank per level, CR LF line ends, no
    // declaration, "<A></A>" for an empty element.
    static std::string reply(const pugi::xml_node& node);

    // Files written for people: two blanks per level, LF line ends, a declaration.
    static std::string file(const pugi::xml_document& document);

    // Text of a child element, or "" when absent.
    static std::string_view childText(const pugi::xml_node& parent, const char* name);
};

} // namespace quibo::sim
