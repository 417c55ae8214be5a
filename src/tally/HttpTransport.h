#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quibo {

// What came back from one HTTP exchange. When the exchange failed (no server, refused or broken
// connection, time-out) `sent` is false and `errorText` and `systemErrorCode` tell why.
struct HttpReply {
    bool sent = false;
    long status = 0;
    QByteArray body;
    QString contentType; // the Content-Type header as received, "" when none
    QString errorText;
    int systemErrorCode = 0; // errno of the failed socket call, 0 when none

    // The charset parameter of the content type, "" when none.
    QString charset() const;
    // The body decoded by its charset; UTF-8 (or what a byte-order mark says) when none is named or
    // the named one is unknown.
    QString text() const;
};

// The HTTP layer of the Tally link: blocking, one request per call. Headers are "Name: value" lines;
// with none given the request carries no header of the program's own.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    virtual HttpReply post(const QString& url, const QByteArray& body, const QStringList& headers = {}) = 0;
    // A POST that changes the server's data: it goes to the wire at most once. A transport that may
    // send a request again on its own (after a kept-alive connection is lost, say) must override
    // this; one that never does keeps it.
    virtual HttpReply postOnce(const QString& url, const QByteArray& body) { return post(url, body); }
    // A GET that carries a body, as the server check sends it.
    virtual HttpReply getWithBody(const QString& url, const QByteArray& body) = 0;
};

} // namespace quibo
