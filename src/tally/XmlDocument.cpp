#include "tally/XmlDocument.h"

#include <QList>

#include <string>

namespace quibo {

namespace {

constexpr unsigned SaveOptions = pugi::format_raw | pugi::format_no_declaration;

bool IsXmlChar(char16_t c) {
    if (c < 0x20) return c == u'\t' || c == u'\n' || c == u'\r';
    return c != 0xFFFE && c != 0xFFFF;
}

bool IsXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// An entity or character reference starting at text[at] ("&"): one of the five predefined
// entities, or a character reference to any character but NUL. Control characters are let through
// on purpose: the server's special values travel as "&#4;".
bool IsValidReference(const QString& text, qsizetype at) {
    const qsizetype semi = text.indexOf(u';', at + 1);
    if (semi < 0 || semi - at > 12) return false;
    const QStringView body = QStringView(text).mid(at + 1, semi - at - 1);
    if (body == u"lt" || body == u"gt" || body == u"amp" || body == u"apos" || body == u"quot") return true;
    if (!body.startsWith(u'#') || body.size() < 2) return false;
    const bool hex = body[1] == u'x';
    const QStringView digits = body.mid(hex ? 2 : 1);
    if (digits.isEmpty()) return false;
    for (QChar d : digits) {
        const bool ok = hex ? d.isDigit() || (d.toLower() >= u'a' && d.toLower() <= u'f') : d.isDigit();
        if (!ok || d.unicode() > 0x7F) return false;
    }
    bool ok = false;
    const uint value = digits.toUInt(&ok, hex ? 16 : 10);
    return ok && value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

qsizetype SkipPast(const QString& text, qsizetype from, QStringView end) {
    const qsizetype at = text.indexOf(end, from);
    return at < 0 ? -1 : at + end.size();
}

// pugixml parses leniently: it keeps a bare "&", a "<" inside an attribute value, raw control
// characters, text beside the root element and a second root element. The server and the callers
// count on such text being refused, so these are checked here; pugixml checks the rest.
bool PassesStrictChecks(const QString& text) {
    for (QChar c : text)
        if (!IsXmlChar(c.unicode())) return false;

    const qsizetype n = text.size();
    int depth = 0;
    int roots = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'<') {
            const QStringView rest = QStringView(text).mid(i);
            if (rest.startsWith(u"<!--")) {
                i = SkipPast(text, i + 4, u"-->");
            } else if (rest.startsWith(u"<![CDATA[")) {
                if (depth == 0) return false;
                i = SkipPast(text, i + 9, u"]]>");
            } else if (rest.startsWith(u"<?")) {
                i = SkipPast(text, i + 2, u"?>");
            } else if (rest.startsWith(u"<!")) {
                if (depth > 0 || roots > 0) return false;
                // A document type declaration: its internal subset may hold ">" inside brackets.
                int brackets = 0;
                qsizetype j = i + 2;
                for (; j < n; ++j) {
                    if (text[j] == u'[')
                        ++brackets;
                    else if (text[j] == u']')
                        --brackets;
                    else if (text[j] == u'>' && brackets <= 0)
                        break;
                }
                i = j < n ? j + 1 : -1;
            } else {
                const bool endTag = i + 1 < n && text[i + 1] == u'/';
                char16_t quote = 0;
                qsizetype j = i + 1;
                for (; j < n; ++j) {
                    const char16_t ch = text[j].unicode();
                    if (quote) {
                        if (ch == quote)
                            quote = 0;
                        else if (ch == u'<')
                            return false;
                        else if (ch == u'&' && !IsValidReference(text, j))
                            return false;
                    } else if (ch == u'"' || ch == u'\'') {
                        quote = ch;
                    } else if (ch == u'>') {
                        break;
                    } else if (ch == u'<') {
                        return false;
                    }
                }
                if (j >= n) return false;
                if (endTag) {
                    if (depth == 0) return false;
                    --depth;
                } else {
                    if (depth == 0 && ++roots > 1) return false;
                    if (text[j - 1] != u'/') ++depth;
                }
                i = j + 1;
            }
            if (i < 0) return false;
            continue;
        }
        if (depth == 0) {
            if (!IsXmlSpace(c.unicode())) return false;
        } else if (c == u'&' && !IsValidReference(text, i)) {
            return false;
        }
        ++i;
    }
    return true;
}

// pugixml writes control characters as two-digit references ("&#04;"); the server's special values
// must reach it as "&#4;", so the leading zero goes.
void DropLeadingZeroOfReferences(std::string& s) {
    std::string::size_type at = 0;
    while ((at = s.find("&#0", at)) != std::string::npos) {
        if (at + 4 < s.size() && s[at + 3] >= '0' && s[at + 3] <= '9' && s[at + 4] == ';') s.erase(at + 2, 1);
        at += 2;
    }
}

struct StringWriter final : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

std::string Serialize(const pugi::xml_document& doc) {
    StringWriter writer;
    doc.save(writer, "", SaveOptions, pugi::encoding_utf8);
    DropLeadingZeroOfReferences(writer.out);
    return std::move(writer.out);
}

// Next node in document order below top, or no node; iterative so deep documents cannot exhaust the
// stack.
XmlNode NextInDocumentOrder(XmlNode node, XmlNode top) {
    if (XmlNode child = node.first_child()) return child;
    while (node && node != top) {
        if (XmlNode sibling = node.next_sibling()) return sibling;
        node = node.parent();
    }
    return {};
}

} // namespace

XmlDocument::XmlDocument() : m_doc(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadXml(const QString& text, Blanks blanks) {
    m_doc->reset();
    if (!PassesStrictChecks(text)) return false;
    const QByteArray utf8 = text.toUtf8();
    // Whitespace with a sibling lies between elements; alone in an element it is that element's text.
    const unsigned options = blanks == Blanks::KeepValues ? pugi::parse_default | pugi::parse_ws_pcdata_single
                                                          : pugi::parse_default;
    if (!m_doc->load_buffer(utf8.constData(), size_t(utf8.size()), options, pugi::encoding_utf8)) {
        m_doc->reset(); // pugixml keeps what it had parsed before the error
        return false;
    }
    return true;
}

QString XmlDocument::xml() const {
    const std::string s = Serialize(*m_doc);
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QByteArray XmlDocument::xmlUtf8() const {
    const std::string s = Serialize(*m_doc);
    return QByteArray(s.data(), qsizetype(s.size()));
}

std::vector<XmlNode> XmlDocument::elementsByName(const QString& name) const {
    const QByteArray wanted = name.toUtf8();
    std::vector<XmlNode> found;
    const XmlNode top = m_doc->root();
    for (XmlNode n = top.first_child(); n; n = NextInDocumentOrder(n, top))
        if (n.type() == pugi::node_element && wanted == n.name()) found.push_back(n);
    return found;
}

XmlNode XmlDocument::firstElement(const QString& name) const {
    const QByteArray wanted = name.toUtf8();
    return m_doc->find_node([&](XmlNode n) { return n.type() == pugi::node_element && wanted == n.name(); });
}

QString NodeName(XmlNode node) {
    return QString::fromUtf8(node.name());
}

QString LocalName(XmlNode node) {
    const QString name = NodeName(node);
    const qsizetype colon = name.indexOf(u':');
    return colon < 0 ? name : name.mid(colon + 1);
}

bool IsTextNode(XmlNode node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

QString TextContent(XmlNode node) {
    if (IsTextNode(node)) return QString::fromUtf8(node.value());
    std::string text;
    for (XmlNode n = node.first_child(); n; n = NextInDocumentOrder(n, node))
        if (IsTextNode(n)) text += n.value();
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

namespace {

bool IsNameStartChar(char32_t c) {
    return c == U':' || (c >= U'A' && c <= U'Z') || c == U'_' || (c >= U'a' && c <= U'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == U'-' || c == U'.' || (c >= U'0' && c <= U'9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

} // namespace

bool IsXmlName(const QString& name) {
    if (name.isEmpty()) return false;
    bool first = true;
    for (char32_t c : name.toUcs4()) {
        if (!(first ? IsNameStartChar(c) : IsNameChar(c))) return false;
        first = false;
    }
    return true;
}

} // namespace quibo
