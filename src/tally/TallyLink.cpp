#include "tally/TallyLink.h"

#include "base/Services.h"
#include "base/Trap.h"
#include "tally/HttpTransport.h"
#include "tally/XmlBuilders.h"
#include "tally/XmlDocument.h"
#include "vb/RuntimeError.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace quibo {

namespace {

// 80072EFD ("cannot connect"): the number the error box shows when the server cannot be reached,
// the one users and support have always seen for it.
constexpr int32_t HttpSendFailed = -2147012867;
// 80072F78 ("the server returned an invalid or unrecognized response"): an answer with nothing in it.
constexpr int32_t HttpNothingReturned = -2147012744;

// Source cells name the server's special values in braces; the server wants the reference to U+0004,
// a blank and the word. The first rule restores a reference that was set as element text.
const std::array<std::pair<QLatin1String, QLatin1String>, 6> SpecialValues{{
    {QLatin1String("&amp;#4;"), QLatin1String("&#4;")},
    {QLatin1String("{Any}"), QLatin1String("&#4; Any")},
    {QLatin1String("{Unknown}"), QLatin1String("&#4; Unknown")},
    {QLatin1String("{Applicable}"), QLatin1String("&#4; Applicable")},
    {QLatin1String("{Not Applicable}"), QLatin1String("&#4; Not Applicable")},
    {QLatin1String("{End of List}"), QLatin1String("&#4; End of List")},
}};

// One walk of the reduction: every element of that name, each of its element children in order.
// Text children have no name to report and are passed over.
// Names and texts are compared as UTF-8; only what goes into the outcome becomes text.
void Walk(const XmlDocument& doc, const QString& elementName, const QString& separator, QString& outcome) {
    for (XmlNode element : doc.elementsByName(elementName)) {
        for (XmlNode child = element.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            const char* name = child.name();
            const char* colon = std::strchr(name, ':');
            const char* localName = colon ? colon + 1 : name;
            // A counter's text is most often its one text child.
            const XmlNode only = child.first_child();
            const bool plainText = only && !only.next_sibling() && IsTextNode(only);
            if (std::strcmp(localName, "LINEERROR") == 0) {
                outcome += (plainText ? QString::fromUtf8(only.value()) : TextContent(child)) + separator;
            } else if (plainText ? std::strcmp(only.value(), "1") == 0
                                 : TextContent(child) == QLatin1String("1")) {
                outcome.prepend(QString::fromUtf8(localName) + u' ');
            }
        }
    }
}

// Whether a value leaves the request text alike when it is read back: no special value or reference
// to rewrite, no carriage return for the reader to fold into a line feed, no non-character to refuse.
bool ReadsBackAlike(const char* value) {
    for (const auto* c = reinterpret_cast<const unsigned char*>(value); *c; ++c) {
        if (*c == '{' || *c == '\r') return false;
        if (*c == '&' && std::strncmp(reinterpret_cast<const char*>(c), "&#4;", 4) == 0) return false;
        if (*c == 0xEF && c[1] == 0xBF && (c[2] == 0xBE || c[2] == 0xBF)) return false; // U+FFFE, U+FFFF
    }
    return true;
}

// Whether the document's text would read back as the same document: one root element, elements
// and texts only, each text not empty, alone in its element, and read back alike.
bool ReadsBackAsItself(const XmlDocument& doc) {
    const XmlNode top = doc.node();
    const XmlNode root = top.first_child();
    if (!root || root.next_sibling() || root.type() != pugi::node_element) return false;
    for (XmlNode node = root; node;) {
        if (node.type() == pugi::node_pcdata) {
            if (!*node.value() || node.previous_sibling() || node.next_sibling() ||
                !ReadsBackAlike(node.value()))
                return false;
        } else if (node.type() != pugi::node_element) {
            return false;
        }
        for (const pugi::xml_attribute attribute : node.attributes())
            if (!ReadsBackAlike(attribute.value())) return false;
        // The next node in document order.
        if (const XmlNode child = node.first_child()) {
            node = child;
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        node = node == root ? XmlNode() : node.next_sibling();
    }
    return true;
}

// Whether the text holds the tag in any letter case, as QString::contains(tag, Qt::CaseInsensitive)
// finds it; the tag's "<" folds to no other character, so only the places of a "<" are compared.
bool ContainsTag(const QString& text, QLatin1String tag) {
    const QStringView view(text);
    for (qsizetype at = view.indexOf(u'<'); at >= 0 && at + tag.size() <= view.size();
         at = view.indexOf(u'<', at + 1))
        if (view.mid(at, tag.size()).compare(tag, Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Whether the element's name, compared as ContainsTag compares, is the tag's name ("RESPONSE" of
// "<RESPONSE>"). An ASCII name folds only its letters; another is folded by Qt as the text would be.
bool NameMatches(const char* name, QLatin1String tagName) {
    size_t length = 0;
    bool ascii = true;
    for (; name[length]; ++length)
        ascii = ascii && static_cast<unsigned char>(name[length]) < 0x80;
    if (!ascii) return QString::fromUtf8(name, qsizetype(length)).compare(tagName, Qt::CaseInsensitive) == 0;
    return qsizetype(length) == tagName.size() && qstrnicmp(name, tagName.data(), length) == 0;
}

// Which of the three tags the written document would hold, found in its tree: an element of that
// name (any letter case) is written as the tag when it has no attribute and holds something. Text
// and attribute values are written escaped, so no "<" of theirs can start a tag. Nullopt when the
// document holds a node of another kind (CDATA writes its text as it stands): write it out then.
struct WrittenTags {
    bool response = false;
    bool importResult = false;
    bool lineError = false;
};

std::optional<WrittenTags> TagsAsWritten(const XmlDocument& doc) {
    WrittenTags tags;
    const XmlNode top = doc.node();
    for (XmlNode node = top.first_child(); node;) {
        const auto type = node.type();
        if (type == pugi::node_element) {
            if (node.first_child() && !node.first_attribute()) {
                const char* name = node.name();
                tags.response = tags.response || NameMatches(name, QLatin1String("RESPONSE"));
                tags.importResult = tags.importResult || NameMatches(name, QLatin1String("IMPORTRESULT"));
                tags.lineError = tags.lineError || NameMatches(name, QLatin1String("LINEERROR"));
            }
        } else if (type != pugi::node_pcdata) {
            return std::nullopt;
        }
        // The next node in document order.
        if (const XmlNode child = node.first_child()) {
            node = child;
            continue;
        }
        while (node && !node.next_sibling())
            node = node.parent() == top ? XmlNode() : node.parent();
        if (node) node = node.next_sibling();
    }
    return tags;
}

// What came back in place of the server's words, for the error log.
QString NothingReturned(const HttpReply& reply) {
    const QString status = QStringLiteral(" (HTTP status ") + QString::number(reply.status) + u')';
    if (reply.body.isEmpty()) return QStringLiteral("The Tally server sent an empty reply") + status;
    return QStringLiteral("The Tally server sent a reply of ") + QString::number(reply.body.size()) +
           QStringLiteral(" bytes holding nothing but white space") + status;
}

} // namespace

TallyLink::TallyLink(SettingsStore& settings, ErrorReporter& errors, HttpTransport& transport)
    : m_settings(settings), m_errors(errors), m_transport(transport) {}

QString TallyLink::ServerUrl() const {
    return QLatin1String("http://") + m_settings.get(settings::ServerAddress) + u':' +
           m_settings.get(settings::PortNo);
}

QString TallyLink::PostToTally(QString& xml) {
    return Post(xml, Exchange::Import);
}

QString TallyLink::PostQuery(QString& xml) {
    return Post(xml, Exchange::Query);
}

QString TallyLink::Post(QString& xml, Exchange exchange) {
    QString outcome;
    Trap(m_errors, "C02-0001", [&] {
        const QString url = ServerUrl();
        for (const auto& [find, replacement] : SpecialValues)
            xml.replace(find, replacement);

        // Only the whitespace between elements goes: a field of blanks reaches the server as given.
        XmlDocument doc;
        if (doc.loadXml(xml, XmlDocument::Blanks::KeepValues))
            outcome = Send(url, doc, exchange);
        else
            IndentXmlDocument(m_errors, doc); // reports the empty request, which is not sent
    });
    return outcome;
}

QString TallyLink::PostRequest(XmlDocument& request) {
    // The indented bytes are written in the same walk that tells whether the text would read back
    // as the request; the document itself is indented only when it is deeper than the writer goes.
    QByteArray indented;
    const IndentedXml written = WriteIndentedXml(request, &ReadsBackAlike, indented);
    if (written == IndentedXml::NotPlain ||
        (written == IndentedXml::TooDeep && !ReadsBackAsItself(request))) {
        QString xml = request.xml();
        return PostToTally(xml);
    }
    QString outcome;
    Trap(m_errors, "C02-0001", [&] {
        if (written == IndentedXml::Written)
            outcome = SendBytes(ServerUrl(), indented, Exchange::Import);
        else
            outcome = Send(ServerUrl(), request, Exchange::Import);
    });
    return outcome;
}

QString TallyLink::Send(const QString& url, XmlDocument& request, Exchange exchange) {
    IndentXmlDocument(m_errors, request);
    return SendBytes(url, request.xmlUtf8(), exchange);
}

QString TallyLink::SendBytes(const QString& url, const QByteArray& request, Exchange exchange) {
    ++m_requestsPosted;
    const bool import = exchange == Exchange::Import;
    const HttpReply reply = import ? m_transport.postOnce(url, request) : m_transport.post(url, request);
    if (!reply.sent) vb::RaiseSystemError(HttpSendFailed, reply.errorText, reply.systemErrorCode);
    const QString text = reply.text();
    // An import answered with no word at all failed as surely as one never answered; its record
    // shows no reply, and the log keeps what did come.
    if (import && text.trimmed().isEmpty()) vb::Raise(HttpNothingReturned, NothingReturned(reply));
    return ParseTallyResponse(text);
}

QString ParseTallyResponse(const QString& reply) {
    XmlDocument doc;
    doc.loadXml(reply);
    std::optional<WrittenTags> tags = TagsAsWritten(doc);
    if (!tags) {
        const QString serialized = doc.xml();
        tags = WrittenTags{ContainsTag(serialized, QLatin1String("<RESPONSE>")),
                           ContainsTag(serialized, QLatin1String("<IMPORTRESULT>")),
                           ContainsTag(serialized, QLatin1String("<LINEERROR>"))};
    }

    QString outcome;
    if (tags->response) Walk(doc, QStringLiteral("RESPONSE"), QStringLiteral(" - "), outcome);
    if (tags->importResult) Walk(doc, QStringLiteral("IMPORTRESULT"), QStringLiteral(" "), outcome);
    if (tags->lineError) Walk(doc, QStringLiteral("DATA"), QStringLiteral(" - "), outcome);
    return outcome.isEmpty() ? reply : outcome;
}

} // namespace quibo
