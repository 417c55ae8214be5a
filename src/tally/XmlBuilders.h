#pragma once

// Building and shaping import requests. Every operation traps its own run-time errors: it reports
// them through the ErrorReporter with its location code and returns normally (no node, nothing done).

#include "tally/XmlDocument.h"

#include <QString>

#include <cstdint>

namespace quibo {

class ErrorReporter;

// Sets the attribute on the element (no namespace), replacing one of the same name in its place.
// An empty value sets an empty attribute. An invalid name, or a value holding a NUL character (which
// the request would cut), is reported (C02-0011) and nothing is set.
void SetXmlAttribute(ErrorReporter& errors, XmlDocument& doc, XmlNode element, const QString& name,
                     const QString& value);

// Appends an element as the parent's last child, with the value as its text unless the value is
// empty, and returns it; no node after a reported error (C02-0012), e.g. an invalid name or a value
// holding a NUL character.
XmlNode AppendXmlElement(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const QString& name,
                         const QString& value);

// As AppendXmlElement, but an empty value appends nothing and returns no node (C02-0013). A value
// of blanks is not empty.
XmlNode AppendXmlElementIfValue(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const QString& name,
                                const QString& value);
// The two with a name given as Latin-1 text, such as a literal: an ASCII name is used as it stands.
XmlNode AppendXmlElement(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const char* name,
                         const QString& value);
XmlNode AppendXmlElementIfValue(ErrorReporter& errors, XmlDocument& doc, XmlNode parent, const char* name,
                                const QString& value);

// Appends the elements of a ready-made XML fragment below the target, down to five levels counting
// the fragment's root as the first. Only elements are copied; only copies at the second level get a
// text, the whole text of their source element. A fragment that does not parse appends nothing and
// is not reported. Location code C02-0013.
void AppendXmlFragment(ErrorReporter& errors, XmlDocument& doc, XmlNode target, const QString& fragment);

// Escapes a value for splicing into request text: CR LF, lone CR and TAB become the two characters
// "\n", "\r" and "\t"; then "&", "'", '"', ">" and "<" become entities. A lone LF stays.
QString EscapeXml(const QString& text);

// Puts every element of the document on a line of its own, two blanks a level, CR LF line breaks,
// nothing after the root's end tag. A document without a root element is reported (under C02-0003).
// Location code C02-0002.
void IndentXmlDocument(ErrorReporter& errors, XmlDocument& doc);
// Indents the node and its subtree for the level (in blanks; 0 for the root). Location code C02-0003.
void IndentXmlNode(ErrorReporter& errors, XmlNode node, int16_t level);

// What WriteIndentedXml made of a document.
enum class IndentedXml {
    Written,  // the bytes are those of IndentXmlDocument followed by xmlUtf8
    NotPlain, // not one root element of elements and texts, each text alone in its element and
              // not empty, each value accepted
    TooDeep,  // deeper than the writer goes: indent the document itself
};
// Writes the bytes IndentXmlDocument and xmlUtf8 would give, straight from the document, which is
// left as it is; every text and attribute value must pass `accepts` (no test when null). `out` holds
// nothing usable unless the result is Written.
IndentedXml WriteIndentedXml(const XmlDocument& doc, bool (*accepts)(const char* value), QByteArray& out);

} // namespace quibo
