#pragma once

#include <QString>

namespace quibo {

class ErrorReporter;
class HttpTransport;
class SettingsStore;
class XmlDocument;

// The road to the Tally server for import requests. Holds references only; the settings are read at
// every call. User-interface thread: each call blocks until the server has answered or failed.
class TallyLink {
public:
    TallyLink(SettingsStore& settings, ErrorReporter& errors, HttpTransport& transport);

    // Rewrites the server's special-value tokens in the caller's own text (they stay there after the
    // call), re-indents the request, posts it to the server of the settings, at most once, and returns
    // the reply reduced by ParseTallyResponse. A failed exchange is reported (C02-0001) and gives "";
    // so is a reply with no text, saying what came (an empty body, its HTTP status). Request text that
    // does not parse is reported (C02-0003), not sent, and gives "".
    QString PostToTally(QString& xml);
    // PostToTally for a request that changes nothing (the object-exists query): the HTTP layer may send
    // it again when a kept-alive connection is lost unanswered, and a reply with no text is given back
    // as it came, unreported.
    QString PostQuery(QString& xml);
    // PostToTally with the request's own text, sending the built request itself (its indented bytes
    // written straight from it) when its text would read back as the same document with no special
    // value to rewrite: the same bytes go out without the request being written out and read again.
    QString PostRequest(XmlDocument& request);

    // The requests handed to the transport so far, whether an answer came back or not; a request that
    // does not parse is not among them. PostRecord reads it.
    quint64 RequestsPosted() const { return m_requestsPosted; }

    // "http://" ServerAddress ":" PortNo, as the settings hold them now.
    QString ServerUrl() const;

    ErrorReporter& errors() const { return m_errors; }

private:
    enum class Exchange { Import, Query };
    QString Post(QString& xml, Exchange exchange);
    // Indents the request read from the text or built, posts it and reduces the reply.
    QString Send(const QString& url, XmlDocument& request, Exchange exchange);
    // Posts the request's bytes and reduces the reply.
    QString SendBytes(const QString& url, const QByteArray& request, Exchange exchange);

    SettingsStore& m_settings;
    ErrorReporter& m_errors;
    HttpTransport& m_transport;
    quint64 m_requestsPosted = 0;
};

// Reduces a Tally reply to an import outcome: the local names of the counter elements whose text is
// exactly "1", last found first, each followed by a blank; then the texts of the LINEERROR elements,
// each followed by " - " (or by one blank when found under IMPORTRESULT). The reply itself when that
// is empty. Reducing an outcome again gives it back unchanged.
QString ParseTallyResponse(const QString& reply);

} // namespace quibo
