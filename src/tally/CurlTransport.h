#pragma once

#include "tally/HttpTransport.h"

namespace quibo {

struct HttpTimeouts {
    long connectSeconds = 60;
    long stallSeconds = 30; // no byte arriving for this long fails the request
};

// The HTTP layer on libcurl. One easy handle lives as long as the object, so consecutive requests to
// one server reuse the connection. libcurl sends a request again, unasked, when a reused connection
// turns out closed before an answer came, though the server may have had the request and acted on
// it; postOnce refuses that second send and fails instead. Not thread-safe: one object per thread.
// Time-outs: 60 s to connect; a request fails when no byte arrives for 30 s (libcurl averages the
// speed over a few seconds, so it may take a few seconds more). A slow server that keeps sending is
// waited for.
class CurlTransport final : public HttpTransport {
public:
    explicit CurlTransport(HttpTimeouts timeouts = {});
    ~CurlTransport() override;
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    HttpReply post(const QString& url, const QByteArray& body, const QStringList& headers = {}) override;
    HttpReply postOnce(const QString& url, const QByteArray& body) override;
    HttpReply getWithBody(const QString& url, const QByteArray& body) override;

    using ErrorText = char[256]; // libcurl's CURL_ERROR_SIZE

private:
    enum class Sending { MayRepeat, Once };
    HttpReply perform(const char* method, const QString& url, const QByteArray& body,
                      const QStringList& headers, Sending sending = Sending::MayRepeat);

    HttpTimeouts m_timeouts;
    void* m_curl;                   // CURL*, kept out of the header
    void* m_plainHeaders = nullptr; // curl_slist*: the headers of a request that names none
    ErrorText m_errorText = {};
};

} // namespace quibo
