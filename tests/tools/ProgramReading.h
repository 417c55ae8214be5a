#pragma once

// How the program reads the simulator's replies: its reduction of an import reply
// to an outcome text, and the elements its server queries pick out. Kept to the
// program's rules so the tests see a reply as the program will.

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
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

inline bool containsIgnoringCase(std::string text, std::string what) {
    auto lower = [](std::string& s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    };
    lower(text);
    lower(what);
    return text.find(what) != std::string::npos;
}

// Counters whose text is "1" go in front, last found first; LINEERROR texts go at
// the end with the walk's separator; the reply itself when nothing was found.
inline std::string reduceReply(const std::string& reply) {
    pugi::xml_document document;
    if (!document.load_string(reply.c_str())) document.reset();
    struct Writer : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override {
            text.append(static_cast<const char*>(data), size);
        }
    } serialized;
    document.save(serialized, "", pugi::format_raw);
    std::string outcome;
    auto walk = [&](const char* element, const char* separator) {
        for (const auto& found : document.select_nodes((std::string("//") + element).c_str())) {
            for (const auto& child : found.node().children()) {
                std::string local = child.name();
                if (const auto colon = local.find(':'); colon != std::string::npos)
                    local = local.substr(colon + 1);
                if (local == "LINEERROR")
                    outcome += textContent(child) + separator;
                else if (textContent(child) == "1")
                    outcome = local + " " + outcome;
            }
        }
    };
    if (containsIgnoringCase(serialized.text, "<RESPONSE>")) walk("RESPONSE", " - ");
    if (containsIgnoringCase(serialized.text, "<IMPORTRESULT>")) walk("IMPORTRESULT", " ");
    if (containsIgnoringCase(serialized.text, "<LINEERROR>")) walk("DATA", " - ");
    return outcome.empty() ? reply : outcome;
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
