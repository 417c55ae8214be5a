#include "tally/XmlBuilders.h"

#include "base/Trap.h"
#include "vb/RuntimeError.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace quibo {

namespace {

void RequireNode(XmlNode node) {
    if (!node) vb::Raise(vb::err::ObjectRequired, QStringLiteral("Object required"));
}

// The names the senders use are plain ASCII; only another name needs the full test of the Name
// production, which the ASCII letters, digits and marks below agree with.
bool IsAsciiXmlName(const QString& name) {
    if (name.isEmpty()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool start = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':';
        if (!(start || (i > 0 && ((c >= u'0' && c <= u'9') || c == u'-' || c == u'.')))) return false;
    }
    return true;
}

void RequireName(const QString& name) {
    if (!IsAsciiXmlName(name) && !IsXmlName(name))
        vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("'%1' is not a valid XML name.").arg(name));
}

void RequireOwnNode(const XmlDocument& doc, XmlNode node) {
    RequireNode(node);
    if (node.root() != doc.node())
        vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("The node belongs to another document."));
}

// The text as UTF-8 for pugixml, with its length and NUL-terminated. Names and most values are
// short ASCII: those are copied into a buffer on the stack rather than converted into a new array.
class Utf8 {
public:
    explicit Utf8(const QString& text) {
        const qsizetype size = text.size();
        const QChar* chars = text.constData();
        bool ascii = size < qsizetype(sizeof(m_small));
        for (qsizetype i = 0; ascii && i < size; ++i)
            ascii = chars[i].unicode() < 0x80;
        if (ascii) {
            for (qsizetype i = 0; i < size; ++i)
                m_small[i] = char(chars[i].unicode());
            m_small[size] = '\0';
            m_data = m_small;
            m_size = size_t(size);
        } else {
            m_bytes = text.toUtf8();
            m_data = m_bytes.constData();
            m_size = size_t(m_bytes.size());
        }
    }
    Utf8(const Utf8&) = delete;
    Utf8& operator=(const Utf8&) = delete;
    const char* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    char m_small[128];
    QByteArray m_bytes;
    const char* m_data = nullptr;
    size_t m_size = 0;
};

// A value goes into a request whole or not at all: the document ends a text at a NUL character,
// which no XML text can carry, so a value holding one is refused rather than cut there.
void RequireWholeValue(const QString& value) {
    if (value.contains(QChar(u'\0')))
        vb::Raise(vb::err::InvalidProcedureCall,
                  QStringLiteral("A text holding a NUL character cannot go into an import request."));
}

// The same test on a name given as Latin-1 bytes: ASCII bytes only.
bool IsAsciiXmlName(const char* name) {
    if (!*name) return false;
    for (const char* c = name; *c; ++c) {
        const bool start = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || *c == '_' || *c == ':';
        if (!(start || (c > name && ((*c >= '0' && *c <= '9') || *c == '-' || *c == '.')))) return false;
    }
    return true;
}

// AppendElement once the name is known to be valid, given as UTF-8.
XmlNode AppendNamedElement(XmlDocument& doc, XmlNode parent, const char* name, const QString& value) {
    RequireOwnNode(doc, parent);
    const auto type = parent.type();
    if (type != pugi::node_element && type != pugi::node_document)
        vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("This node cannot hold child elements."));
    if (type == pugi::node_document && doc.documentElement())
        vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Only one top level element is allowed."));
    RequireWholeValue(value);

    XmlNode element = parent.append_child(pugi::node_element);
    if (!element) throw std::bad_alloc();
    element.set_name(name);
    if (!value.isEmpty()) {
        const Utf8 text(value);
        element.append_child(pugi::node_pcdata).set_value(text.data(), text.size());
    }
    return element;
}

XmlNode AppendElement(XmlDocument& doc, XmlNode parent, const QString& name, const QString& value) {
    RequireName(name);
    return AppendNamedElement(doc, parent, Utf8(name).data(), value);
}

// Copies the element children of `from` below `to`; `level` is theirs, the fragment's root being 1.
void CopyElementChildren(XmlDocument& doc, XmlNode from, XmlNode to, int level) {
    constexpr int DeepestLevel = 5;
    if (level > DeepestLevel) return;
    for (XmlNode child : from.children()) {
        if (child.type() != pugi::node_element) continue;
        const QString text = level == 2 ? TextContent(child) : QString();
        XmlNode copy = AppendElement(doc, to, NodeName(child), text);
        CopyElementChildren(doc, child, copy, level + 1);
    }
}

void InsertText(XmlNode parent, XmlNode before, const char* text, size_t size) {
    XmlNode node = before ? parent.insert_child_before(pugi::node_pcdata, before)
                          : parent.append_child(pugi::node_pcdata);
    node.set_value(text, size);
}

// The blanks of an indentation, without building them anew for every element of the usual depths.
struct Blanks {
    std::string text;
    explicit Blanks(int16_t level) {
        static const std::string shared(256, ' ');
        if (size_t(level) > shared.size()) text.assign(size_t(level), ' ');
        data = text.empty() ? shared.data() : text.data();
    }
    const char* data = nullptr;
};

// How the serializer writes a byte of a text (bit 1) or of an attribute value (bit 2) when it is
// not written as it stands: the five markup characters it escapes, and control characters as
// decimal references. Tab, line feed and carriage return stay as they are in a text.
constexpr unsigned char EscapedInText = 1;
constexpr unsigned char EscapedInAttribute = 2;

constexpr std::array<unsigned char, 256> EscapeTable = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 1; c < 0x20; ++c)
        table[size_t(c)] = EscapedInText | EscapedInAttribute;
    table['\t'] = table['\n'] = table['\r'] = EscapedInAttribute;
    table['&'] = table['<'] = EscapedInText | EscapedInAttribute;
    table['>'] = EscapedInText;
    table['"'] = EscapedInAttribute;
    return table;
}();

void AppendEscaped(std::string& out, const char* value, unsigned char context) {
    const char* run = value;
    const char* c = value;
    for (; *c; ++c) {
        if (!(EscapeTable[static_cast<unsigned char>(*c)] & context)) continue;
        out.append(run, size_t(c - run));
        run = c + 1;
        switch (*c) {
        case '&':
            out.append("&amp;", 5);
            break;
        case '<':
            out.append("&lt;", 4);
            break;
        case '>':
            out.append("&gt;", 4);
            break;
        case '"':
            out.append("&quot;", 6);
            break;
        default: { // a control character: "&#4;", "&#13;" (no leading zero, as xmlUtf8 writes it)
            const int code = *c;
            out.append("&#", 2);
            if (code >= 10) out += char('0' + code / 10);
            out += char('0' + code % 10);
            out += ';';
        }
        }
    }
    out.append(run, size_t(c - run));
}

// The serializer's name for a node or attribute without one.
const char* WrittenName(const char* name) {
    return *name ? name : ":anonymous";
}

// An element's start tag, without the closing ">" or "/>"; false when a value is not accepted.
bool AppendStartTag(std::string& out, XmlNode element, bool (*accepts)(const char*)) {
    out += '<';
    out += WrittenName(element.name());
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        const char* value = attribute.value();
        if (accepts && !accepts(value)) return false;
        out += ' ';
        out += WrittenName(attribute.name());
        out.append("=\"", 2);
        AppendEscaped(out, value, EscapedInAttribute);
        out += '"';
    }
    return true;
}

void AppendEndTag(std::string& out, XmlNode element) {
    out.append("</", 2);
    out += WrittenName(element.name());
    out += '>';
}

// As deep as the indented writer goes; a request is a few levels deep.
constexpr size_t DeepestWrittenLevel = 256;

} // namespace

IndentedXml WriteIndentedXml(const XmlDocument& doc, bool (*accepts)(const char* value), QByteArray& out) {
    out.clear();
    const XmlNode root = doc.node().first_child();
    if (!root || root.next_sibling() || root.type() != pugi::node_element) return IndentedXml::NotPlain;
    std::string text;
    text.reserve(8192);
    // The open elements that hold elements, each of which ends with its blanks and end tag.
    std::vector<XmlNode> open;
    XmlNode node = root;
    for (;;) {
        if (node.type() != pugi::node_element) return IndentedXml::NotPlain;
        text.append(2 * open.size(), ' ');
        if (!AppendStartTag(text, node, accepts)) return IndentedXml::NotPlain;
        const XmlNode first = node.first_child();
        if (!first) {
            text.append("/>", 2);
        } else if (first.type() == pugi::node_pcdata) {
            const char* value = first.value();
            if (!*value || first.next_sibling() || (accepts && !accepts(value))) return IndentedXml::NotPlain;
            text += '>';
            AppendEscaped(text, value, EscapedInText);
            AppendEndTag(text, node);
        } else {
            if (open.size() == DeepestWrittenLevel) return IndentedXml::TooDeep;
            text.append(">\r\n", 3);
            open.push_back(node);
            node = first;
            continue;
        }
        // The element is written: on to its next sibling, or up through the elements it ends.
        for (;;) {
            if (open.empty()) { // the root's end tag has no line break
                out = QByteArray(text.data(), qsizetype(text.size()));
                return IndentedXml::Written;
            }
            text.append("\r\n", 2);
            if (const XmlNode next = node.next_sibling()) {
                node = next;
                break;
            }
            node = open.back();
            open.pop_back();
            text.append(2 * open.size(), ' ');
            AppendEndTag(text, node);
        }
    }
}

void SetXmlAttribute(ErrorReporter& errors, XmlDocument& doc, XmlNode element, const QString& name,
                     const QString& value) {
    Trap(errors, "C02-0011", [&] {
        RequireName(name);
        RequireOwnNode(doc, element);
        if (element.type() != pugi::node_element)
            vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Only an element can carry attributes."));
        RequireWholeValue(value);
        const Utf8 key(name);
        pugi::xml_attribute attribute = element.attribute(key.data());
        if (!attribute) attribute = element.append_attribute(key.data());
        const Utf8 text(value);
        attribute.set_value(text.data(), text.size());
    });
}

XmlNode AppendXmlElement(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const QString& name,
                         const QString& value) {
    XmlNode element;
    Trap(errors, "C02-0012", [&] { element = AppendElement(doc, parent, name, value); });
    return element;
}

XmlNode AppendXmlElementIfValue(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const QString& name,
                                const QString& value) {
    XmlNode element;
    if (value.isEmpty()) return element;
    Trap(errors, "C02-0013", [&] { element = AppendElement(doc, parent, name, value); });
    return element;
}

XmlNode AppendXmlElement(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const char* name,
                         const QString& value) {
    if (!IsAsciiXmlName(name)) return AppendXmlElement(errors, doc, parent, QString::fromLatin1(name), value);
    XmlNode element;
    Trap(errors, "C02-0012", [&] { element = AppendNamedElement(doc, parent, name, value); });
    return element;
}

XmlNode AppendXmlElementIfValue(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const char* name,
                                const QString& value) {
    if (value.isEmpty()) return XmlNode();
    if (!IsAsciiXmlName(name))
        return AppendXmlElementIfValue(errors, doc, parent, QString::fromLatin1(name), value);
    XmlNode element;
    Trap(errors, "C02-0013", [&] { element = AppendNamedElement(doc, parent, name, value); });
    return element;
}

void AppendXmlFragment(ErrorReporter& errors, XmlDocument& doc, XmlNode target, const QString& fragment) {
    Trap(errors, "C02-0013", [&] {
        XmlDocument source;
        source.loadXml(fragment);
        for (XmlNode top : source.node().children()) {
            if (top.type() != pugi::node_element) continue;
            XmlNode copy = AppendElement(doc, target, NodeName(top), QString());
            CopyElementChildren(doc, top, copy, 2);
        }
    });
}

QString EscapeXml(const QString& text) {
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(u'\r', QLatin1String("\\r"));
    s.replace(u'\t', QLatin1String("\\t"));
    s.replace(u'&', QLatin1String("&amp;"));
    s.replace(u'\'', QLatin1String("&apos;"));
    s.replace(u'"', QLatin1String("&quot;"));
    s.replace(u'>', QLatin1String("&gt;"));
    s.replace(u'<', QLatin1String("&lt;"));
    return s;
}

void IndentXmlDocument(ErrorReporter& errors, XmlDocument& doc) {
    Trap(errors, "C02-0002", [&] { IndentXmlNode(errors, doc.documentElement(), 0); });
}

void IndentXmlNode(ErrorReporter& errors, XmlNode node, int16_t level) {
    Trap(errors, "C02-0003", [&] {
        RequireNode(node);
        if (IsTextNode(node)) return;

        bool onlyText = true;
        for (XmlNode child = node.first_child(); child && onlyText; child = child.next_sibling())
            onlyText = IsTextNode(child);

        // Children are walked by sibling links: the whitespace inserted around each child is met
        // as a text node and passed over, so each original child is indented once.
        if (XmlNode first = node.first_child()) {
            if (!onlyText) InsertText(node, first, "\r\n", 2);
            if (level > std::numeric_limits<int16_t>::max() - 2)
                vb::Raise(vb::err::Overflow, QStringLiteral("Overflow"));
            const auto childLevel = static_cast<int16_t>(level + 2);
            for (XmlNode child = first; child; child = child.next_sibling())
                if (!IsTextNode(child)) IndentXmlNode(errors, child, childLevel);
        }

        if (level > 0) {
            const Blanks blanks(level);
            XmlNode parent = node.parent();
            InsertText(parent, node, blanks.data, size_t(level));
            if (!onlyText) InsertText(node, XmlNode(), blanks.data, size_t(level));
            InsertText(parent, node.next_sibling(), "\r\n", 2);
        }
    });
}

} // namespace quibo
