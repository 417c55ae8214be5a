#include "tally/MasterRequest.h"

#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/XmlBuilders.h"
#include "vb/RuntimeError.h"

#include <optional>

namespace quibo {

MasterRequest::MasterRequest(ErrorReporter& errors, const QString& company, const char* element,
                             const QString& action, const QString& currentName, const QString& name)
    : m_errors(errors) {
    std::optional<XmlDocument> envelope = NewImportDataEnvelope(errors, company);
    const XmlNode requestData = envelope ? envelope->firstElement(QStringLiteral("REQUESTDATA")) : XmlNode();
    // A company the envelope cannot hold leaves no place for the master: stop before anything is sent.
    if (!requestData) vb::Raise(vb::err::ObjectRequired, QStringLiteral("Object required"));
    m_doc = std::move(*envelope);

    const XmlNode message =
        AppendXmlElement(errors, m_doc, requestData, QStringLiteral("TALLYMESSAGE"), QString());
    SetXmlAttribute(errors, m_doc, message, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
    m_master = AppendXmlElement(errors, m_doc, message, QString::fromLatin1(element), QString());
    const bool alter = action == QLatin1String("Alter");
    SetXmlAttribute(errors, m_doc, m_master, QStringLiteral("NAME"), alter ? currentName : name);
    SetXmlAttribute(errors, m_doc, m_master, QStringLiteral("ACTION"), action);
}

void MasterRequest::value(XmlNode parent, const char* tag, const QString& value) {
    AppendXmlElementIfValue(m_errors, m_doc, parent, QString::fromLatin1(tag), value);
}

XmlNode MasterRequest::element(XmlNode parent, const char* tag, const QString& value) {
    return AppendXmlElement(m_errors, m_doc, parent, QString::fromLatin1(tag), value);
}

void MasterRequest::nameList(const QString& name, const QString& alias) {
    const XmlNode names = element("NAME.LIST");
    value(names, "NAME", name);
    if (alias != name) value(names, "NAME", alias);
}

QString MasterRequest::post(TallyLink& link) {
    QString xml = m_doc.xml();
    return ParseTallyResponse(link.PostToTally(xml));
}

} // namespace quibo
