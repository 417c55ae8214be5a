#pragma once

// A bare HTTP/1.1 client on a socket of its own, for what ready-made clients hide:
// a GET with a body, several requests on one connection, and whether the server
// closed the connection without answering.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::sim::test {

struct RawResponse {
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    std::string header(std::string_view name) const; // case ignored; "" when absent
    bool hasHeader(std::string_view name) const;
};

class RawHttpClient {
public:
    explicit RawHttpClient(int port);
    ~RawHttpClient();
    RawHttpClient(const RawHttpClient&) = delete;
    RawHttpClient& operator=(const RawHttpClient&) = delete;

    bool connected() const { return m_fd >= 0; }
    bool send(std::string_view bytes);
    // One whole response, read by its Content-Length; nothing when the connection
    // ended first or nothing came within the time.
    std::optional<RawResponse> readResponse(int timeoutMs = 5000);
    // True when the server closed the connection within the time without sending
    // anything more.
    bool closedByServer(int timeoutMs = 2000);

    // A request with Host and Content-Length (for a POST, or any body) and the extra
    // header lines given ("Name: value\r\n" each).
    static std::string request(std::string_view method, std::string_view body,
                               std::string_view extraHeaders = {});

private:
    // Reads more bytes into the buffer; false on end of stream, error or time-out.
    bool fill(int timeoutMs);

    int m_fd = -1;
    std::string m_buffer;
};

} // namespace quibo::sim::test
