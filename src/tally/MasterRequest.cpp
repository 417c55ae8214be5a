#include "tally/MasterRequest.h"

#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/XmlBuilders.h"
#include "vb/RuntimeError.h"

#include <optional>

namespace quibo {

namespace {

// The envelope last made, kept for the next request: a run sends every master to the same company,
// and a copy of the envelope costs far less than reading its text again. Only an envelope that has
// its REQUESTDATA is kept; one that failed is made (and reported) anew every time.
struct KeptEnvelope {
    QString company;
    XmlDocument envelope;
    bool kept = false;
};

XmlNode RequestData(const XmlDocument& doc) {
    return doc.firstElement(QStringLiteral("REQUESTDATA"));
}

} // namespace

MasterRequest::MasterRequest(ErrorReporter& errors, const QString& company, const char* element,
                             const QString& action, const QString& currentName, const QString& name)
    : m_errors(errors) {
    thread_local KeptEnvelope last;
    if (!last.kept || last.company != company) {
        last.kept = false;
        std::optional<XmlDocument> envelope = NewImportDataEnvelope(errors, company);
        // A company the envelope cannot hold leaves no place for the master: stop before anything is sent.
        if (!envelope || !RequestData(*envelope))
            vb::Raise(vb::err::ObjectRequired, QStringLiteral("Object required"));
        last.envelope = std::move(*envelope);
        last.company = company;
        last.kept = true;
    }
    m_doc.node().append_copy(last.envelope.documentElement());
    const XmlNode requestData = RequestData(m_doc);

    const XmlNode message =
        AppendXmlElement(errors, m_doc, requestData, QStringLiteral("TALLYMESSAGE"), QString());
    SetXmlAttribute(errors, m_doc, message, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
    m_master = AppendXmlElement(errors, m_doc, message, QString::fromLatin1(element), QString());
    const bool alter = action == QLatin1String("Alter");
    SetXmlAttribute(errors, m_doc, m_master, QStringLiteral("NAME"), alter ? currentName : name);
    SetXmlAttribute(errors, m_doc, m_master, QStringLiteral("ACTION"), action);
}

void MasterRequest::value(XmlNode parent, const char* tag, const QString& value) {
    AppendXmlElementIfValue(m_errors, m_doc, parent, tag, value);
}

XmlNode MasterRequest::element(XmlNode parent, const char* tag, const QString& value) {
    return AppendXmlElement(m_errors, m_doc, parent, tag, value);
}

void MasterRequest::nameList(const QString& name, const QString& alias) {
    const XmlNode names = element("NAME.LIST");
    value(names, "NAME", name);
    if (alias != name) value(names, "NAME", alias);
}

QString MasterRequest::post(TallyLink& link) {
    const QString outcome = link.PostRequest(m_doc);
    // Text without markup cannot be read as XML, so it reduces to itself without a parse.
    return outcome.contains(u'<') ? ParseTallyResponse(outcome) : outcome;
}

} // namespace quibo
