#include "tools/RawHttpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quibo::sim::test {

std::string RawResponse::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && ::strncasecmp(key.data(), name.data(), name.size()) == 0)
            return value;
    }
    return {};
}

bool RawResponse::hasHeader(std::string_view name) const {
    for (const auto& each : headers) {
        if (each.first.size() == name.size() &&
            ::strncasecmp(each.first.data(), name.data(), name.size()) == 0)
            return true;
    }
    return false;
}

RawHttpClient::RawHttpClient(int port) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
}

RawHttpClient::~RawHttpClient() {
    if (m_fd >= 0) ::close(m_fd);
}

bool RawHttpClient::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool RawHttpClient::fill(int timeoutMs) {
    pollfd entry{m_fd, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0) return false;
    char chunk[65536];
    const auto got = ::recv(m_fd, chunk, sizeof(chunk), 0);
    if (got <= 0) return false;
    m_buffer.append(chunk, static_cast<size_t>(got));
    return true;
}

std::optional<RawResponse> RawHttpClient::readResponse(int timeoutMs) {
    size_t headEnd = 0;
    while ((headEnd = m_buffer.find("\r\n\r\n")) == std::string::npos) {
        if (!fill(timeoutMs)) return std::nullopt;
    }
    RawResponse response;
    const std::string head = m_buffer.substr(0, headEnd);
    size_t lineEnd = head.find("\r\n");
    const std::string statusLine = head.substr(0, lineEnd);
    response.status = std::stoi(statusLine.substr(statusLine.find(' ') + 1, 3));
    while (lineEnd != std::string::npos && lineEnd < head.size()) {
        const size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line =
            head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        auto value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        response.headers.emplace_back(line.substr(0, colon), value);
    }
    const auto lengthText = response.header("Content-Length");
    const size_t length = lengthText.empty() ? 0 : std::stoul(lengthText);
    while (m_buffer.size() < headEnd + 4 + length) {
        if (!fill(timeoutMs)) return std::nullopt;
    }
    response.body = m_buffer.substr(headEnd + 4, length);
    m_buffer.erase(0, headEnd + 4 + length);
    return response;
}

bool RawHttpClient::closedByServer(int timeoutMs) {
    if (!m_buffer.empty()) return false;
    pollfd entry{m_fd, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0) return false;
    char byte = 0;
    return ::recv(m_fd, &byte, 1, 0) == 0;
}

std::string RawHttpClient::request(std::string_view method, std::string_view body,
                                   std::string_view extraHeaders) {
    std::string text(method);
    text += " / HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!body.empty() || method == "POST") text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    text += extraHeaders;
    text += "\r\n";
    text += body;
    return text;
}

} // namespace quibo::sim::test
