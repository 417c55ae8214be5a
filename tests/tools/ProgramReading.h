#pragma once

// How the program reads the simulator's replies: its reduction of an import reply
// to an outcome text, and the elements its server queries pick out.

#include "tally/TallyLink.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace quibo::sim::test {

inline std::string textContent(const pugi::xml_node& node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) return node.value();
    std::string text;
    for (const auto& child : node.children())
        text += textContent(child);
    return text;
}

// The program's own reduction of an import reply to an outcome text.
inline std::string reduceReply(const std::string& reply) {
    return ParseTallyResponse(QString::fromStdString(reply)).toStdString();
}

// The texts of every element of that name, in document order.
inline std::vector<std::string> elementTexts(const std::string& reply, const char* name) {
    pugi::xml_document document;
    document.load_string(reply.c_str());
    std::vector<std::string> texts;
    for (const auto& found : document.select_nodes((std::string("//") + name).c_str()))
        texts.push_back(textContent(found.node()));
    return texts;
}

} // namespace quibo::sim::test
