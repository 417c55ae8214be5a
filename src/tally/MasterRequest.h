#pragma once

#include "tally/XmlDocument.h"

#include <QString>

namespace quibo {

class ErrorReporter;
class TallyLink;

// The request of one master sender while it is built: the ImportDataEnvelope for the company, with
// TALLYMESSAGE (xmlns:UDF="TallyUDF") under its REQUESTDATA and the master element under that,
// carrying NAME and then ACTION. Lives for one sender call; the builder helpers it calls report
// their own errors.
class MasterRequest {
public:
    // The NAME attribute is `currentName` when the action is exactly "Alter", else `name`. Raises a
    // run-time error when no envelope could be made for the company.
    MasterRequest(ErrorReporter& errors, const QString& company, const char* element, const QString& action,
                  const QString& currentName, const QString& name);

    XmlNode master() const { return m_master; }

    // A value element, left out when the value is empty; under the master element unless a parent
    // is given.
    void value(const char* tag, const QString& value) { this->value(m_master, tag, value); }
    void value(XmlNode parent, const char* tag, const QString& value);
    // An element that is there even when the value is empty (list containers, list entries' cells).
    XmlNode element(XmlNode parent, const char* tag, const QString& value = QString());
    XmlNode element(const char* tag) { return element(m_master, tag); }
    // NAME.LIST with the name, and the alias too when it is not empty and differs from the name.
    void nameList(const QString& name, const QString& alias);

    // Posts the request and returns the outcome, reduced once more as the senders always have (an
    // outcome reduces to itself).
    QString post(TallyLink& link);

private:
    ErrorReporter& m_errors;
    XmlDocument m_doc;
    XmlNode m_master;
};

} // namespace quibo
