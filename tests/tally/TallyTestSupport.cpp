#include "tally/TallyTestSupport.h"

#include <QFile>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quibo::test {

bool ReceivedRequest::hasHeader(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return true;
    return false;
}

std::string ReceivedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    return {};
}

LocalServer::LocalServer() : m_server(std::make_unique<httplib::Server>()) {
    m_server->set_tcp_nodelay(true);
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(m_mutex);
        ReceivedRequest r{req.method, req.path, {}, req.body, req.remote_port};
        for (const auto& [key, value] : req.headers)
            r.headers.emplace(key, value);
        m_received.push_back(std::move(r));
        res.status = m_status;
        res.body = m_body;
        if (!m_contentType.empty()) res.set_header("Content-Type", m_contentType);
    };
    m_server->Post(".*", handler);
    m_server->Get(".*", handler);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::yield();
}

LocalServer::~LocalServer() {
    m_server->stop();
    m_thread.join();
}

void LocalServer::answer(int status, std::string body, std::string contentType) {
    std::lock_guard lock(m_mutex);
    m_status = status;
    m_body = std::move(body);
    m_contentType = std::move(contentType);
}

std::vector<ReceivedRequest> LocalServer::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

namespace {

// A socket bound to a free port of 127.0.0.1, listening unless the backlog is 0.
int LoopbackSocket(int backlog, int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (backlog > 0 && ::listen(fd, backlog) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        ADD_FAILURE() << "cannot bind on 127.0.0.1";
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

RawCapture::RawCapture() {
    m_listener = LoopbackSocket(1, m_port);
    m_thread = std::thread([this] {
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0) return;
        // Read the head, then as many body bytes as Content-Length announces.
        std::string data;
        char buffer[65536];
        size_t wanted = std::string::npos;
        while (wanted == std::string::npos || data.size() < wanted) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            data.append(buffer, size_t(n));
            const auto headEnd = data.find("\r\n\r\n");
            if (wanted == std::string::npos && headEnd != std::string::npos) {
                const auto at = data.find("Content-Length: ");
                const size_t bodySize = at < headEnd ? std::stoul(data.substr(at + 16)) : 0;
                wanted = headEnd + 4 + bodySize;
            }
        }
        m_request = data;
        const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
        ::send(connection, reply, sizeof reply - 1, MSG_NOSIGNAL);
        ::close(connection);
    });
}

RawCapture::~RawCapture() {
    ::shutdown(m_listener, SHUT_RDWR);
    if (m_thread.joinable()) m_thread.join();
    ::close(m_listener);
}

std::string RawCapture::request() {
    if (m_thread.joinable()) m_thread.join();
    return m_request;
}

SilentServer::SilentServer() {
    m_listener = LoopbackSocket(4, m_port);
}

SilentServer::~SilentServer() {
    ::close(m_listener);
}

int ClosedPort() {
    // Bound but never listened on, then closed: a connection to it is refused.
    int port = 0;
    ::close(LoopbackSocket(0, port));
    return port;
}

QByteArray ReadGolden(const QString& name) {
    QFile file(QStringLiteral(QUIBO_TALLY_GOLDEN "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "golden file missing: " << name.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace quibo::test
