#include "tally/TallyLink.h"

#include "base/Services.h"
#include "base/Trap.h"
#include "tally/HttpTransport.h"
#include "tally/XmlBuilders.h"
#include "tally/XmlDocument.h"

#include <array>
#include <utility>

namespace quibo {

namespace {

// 80072EFD ("cannot connect"): the number the error box shows when the server cannot be reached,
// the one users and support have always seen for it.
constexpr int32_t HttpSendFailed = -2147012867;

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
void Walk(const XmlDocument& doc, const QString& elementName, const QString& separator, QString& outcome) {
    for (XmlNode element : doc.elementsByName(elementName)) {
        for (XmlNode child : element.children()) {
            if (child.type() != pugi::node_element) continue;
            const QString name = LocalName(child);
            const QString text = TextContent(child);
            if (name == QLatin1String("LINEERROR"))
                outcome += text + separator;
            else if (text == QLatin1String("1"))
                outcome.prepend(name + u' ');
        }
    }
}

} // namespace

TallyLink::TallyLink(SettingsStore& settings, ErrorReporter& errors, HttpTransport& transport)
    : m_settings(settings), m_errors(errors), m_transport(transport) {}

QString TallyLink::ServerUrl() const {
    return QLatin1String("http://") + m_settings.get(settings::ServerAddress) + u':' +
           m_settings.get(settings::PortNo);
}

QString TallyLink::PostToTally(QString& xml) {
    QString outcome;
    Trap(m_errors, "C02-0001", [&] {
        const QString url = ServerUrl();
        for (const auto& [find, replacement] : SpecialValues)
            xml.replace(find, replacement);

        // Only the whitespace between elements goes: a field of blanks reaches the server as given.
        XmlDocument doc;
        const bool parsed = doc.loadXml(xml, XmlDocument::Blanks::KeepValues);
        IndentXmlDocument(m_errors, doc);
        if (!parsed) return; // an empty request would only draw an answer that means nothing

        ++m_requestsPosted;
        const HttpReply reply = m_transport.post(url, doc.xmlUtf8());
        if (!reply.sent) vb::RaiseSystemError(HttpSendFailed, reply.errorText, reply.systemErrorCode);
        outcome = ParseTallyResponse(reply.text());
    });
    return outcome;
}

QString ParseTallyResponse(const QString& reply) {
    XmlDocument doc;
    doc.loadXml(reply);
    const QString serialized = doc.xml();

    QString outcome;
    if (serialized.contains(QLatin1String("<RESPONSE>"), Qt::CaseInsensitive))
        Walk(doc, QStringLiteral("RESPONSE"), QStringLiteral(" - "), outcome);
    if (serialized.contains(QLatin1String("<IMPORTRESULT>"), Qt::CaseInsensitive))
        Walk(doc, QStringLiteral("IMPORTRESULT"), QStringLiteral(" "), outcome);
    if (serialized.contains(QLatin1String("<LINEERROR>"), Qt::CaseInsensitive))
        Walk(doc, QStringLiteral("DATA"), QStringLiteral(" - "), outcome);
    return outcome.isEmpty() ? reply : outcome;
}

} // namespace quibo
