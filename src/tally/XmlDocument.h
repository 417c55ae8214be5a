#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <vector>

namespace quibo {

// A node of an XmlDocument: a non-owning handle that stays valid while its document lives. A null
// handle (false in a boolean test) stands for "no node".
using XmlNode = pugi::xml_node;

// An XML document as the Tally link uses it: parsed strictly, serialized without an XML declaration,
// whitespace-only text between elements dropped on parse. Movable; its nodes keep their address
// when the document is moved.
class XmlDocument {
public:
    XmlDocument();
    XmlDocument(XmlDocument&&) noexcept = default;
    XmlDocument& operator=(XmlDocument&&) noexcept = default;
    ~XmlDocument();

    // What a parse does with text made only of whitespace. Between elements it always goes; the one
    // text of an element goes too (an envelope's "<DATA>" CR LF "</DATA>" is empty) unless the
    // values are kept: a request re-read before sending keeps a value of blanks.
    enum class Blanks { Drop, KeepValues };

    // Replaces the content with the parsed text. Text that is not well-formed XML leaves the document
    // empty and returns false. The reference "&#4;" is accepted (the server's special values use it).
    bool loadXml(const QString& text, Blanks blanks = Blanks::Drop);

    // The serialized document, no declaration, no whitespace added; "&#4;" is written as exactly that.
    QString xml() const;
    QByteArray xmlUtf8() const;

    // The document node: parent of the root element.
    XmlNode node() const { return m_doc->root(); }
    // The root element, or no node.
    XmlNode documentElement() const { return m_doc->document_element(); }
    bool isEmpty() const { return !m_doc->first_child(); }

    // Every element of this name anywhere in the document, in document order ("//NAME").
    std::vector<XmlNode> elementsByName(const QString& name) const;
    // The first of them, or no node.
    XmlNode firstElement(const QString& name) const;

private:
    std::unique_ptr<pugi::xml_document> m_doc;
};

// The name of a node as written ("UDF:NAME"), and without its prefix ("NAME").
QString NodeName(XmlNode node);
QString LocalName(XmlNode node);
// The texts of all text and CDATA nodes below the node, joined in document order.
QString TextContent(XmlNode node);
bool IsTextNode(XmlNode node);

// True when the text matches the XML 1.0 Name production (what element and attribute names must be).
bool IsXmlName(const QString& name);

} // namespace quibo
