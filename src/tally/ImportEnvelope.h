#pragma once

#include "tally/XmlDocument.h"

#include <QString>

#include <optional>

namespace quibo {

class ErrorReporter;

// The envelopes into which a caller appends one TALLYMESSAGE: under the first REQUESTDATA element
// (NewImportDataEnvelope) or the first DATA element (NewImportEnvelope). The company goes into
// SVCURRENTCOMPANY, escaped by EscapeXml, unless it is empty or blanks only.
// A company holding a character XML does not allow gives a document without content; a run-time
// error is reported (C02-0004, C02-0004A) and gives no document.
std::optional<XmlDocument> NewImportDataEnvelope(ErrorReporter& errors, const QString& company);
std::optional<XmlDocument> NewImportEnvelope(ErrorReporter& errors, const QString& company);

} // namespace quibo
