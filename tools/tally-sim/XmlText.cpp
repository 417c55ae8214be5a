#include "tally-sim/XmlText.h"

#include <cctype>
#include <cstring>

namespace quibo::sim {

namespace {

constexpr unsigned ParseFlags = pugi::parse_default | pugi::parse_ws_pcdata_single;
constexpr int MaxMendedAttributes = 32;

class StringWriter final : public pugi::xml_writer {
public:
    explicit StringWriter(bool crlf) : m_crlf(crlf) {}
    void write(const void* data, size_t size) override {
        const auto* bytes = static_cast<const char*>(data);
        if (!m_crlf) {
            m_text.append(bytes, size);
            return;
        }
        const char* end = bytes + size;
        while (bytes < end) {
            const auto* lineFeed = static_cast<const char*>(std::memchr(bytes, '\n', size_t(end - bytes)));
            if (lineFeed == nullptr) {
                m_text.append(bytes, size_t(end - bytes));
                break;
            }
            m_text.append(bytes, size_t(lineFeed - bytes));
            m_text += "\r\n";
            bytes = lineFeed + 1;
        }
    }
    std::string take() { return std::move(m_text); }

private:
    bool m_crlf;
    std::string m_text;
};

// pugixml writes a control character as "&#04;"; the Tally side writes "&#4;",
// which is also what the program sends for its special values.
std::string withShortCharacterReferences(std::string text) {
    if (text.find("&#0") == std::string::npos) return text; // the usual answer holds none
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "&#0") == 0 && i + 4 < text.size() &&
            std::isdigit(static_cast<unsigned char>(text[i + 3])) && text[i + 4] == ';') {
            out += "&#";
            out += text[i + 3];
            out += ';';
            i += 4;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
}

} // namespace

bool XmlText::parse(std::string_view text, pugi::xml_document& document) {
    std::string buffer(text);
    for (int attempt = 0; attempt <= MaxMendedAttributes; ++attempt) {
        document.reset();
        const auto result =
            document.load_buffer(buffer.data(), buffer.size(), ParseFlags, pugi::encoding_auto);
        if (result) return true;
        const auto at = static_cast<size_t>(result.offset);
        const bool missingBlank = result.status == pugi::status_bad_attribute && at > 0 &&
                                  at < buffer.size() && (buffer[at - 1] == '"' || buffer[at - 1] == '\'') &&
                                  isNameStart(buffer[at]);
        if (!missingBlank) break;
        buffer.insert(at, 1, ' ');
    }
    document.reset(); // pugixml keeps a partial tree after a failed parse
    return false;
}

std::string XmlText::reply(const pugi::xml_node& node) {
    StringWriter writer(true);
    node.print(writer, " ", pugi::format_indent | pugi::format_no_empty_element_tags, pugi::encoding_utf8);
    return withShortCharacterReferences(writer.take());
}

std::string XmlText::file(const pugi::xml_document& document) {
    StringWriter writer(false);
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    return withShortCharacterReferences(writer.take());
}

std::string_view XmlText::childText(const pugi::xml_node& parent, const char* name) {
    return parent.child(name).child_value();
}

} // namespace quibo::sim
