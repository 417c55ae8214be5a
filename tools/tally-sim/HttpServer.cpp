#include "tally-sim/HttpServer.h"

#include "tally-sim/Names.h"

#include <httplib.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace quibo::sim {

namespace {

constexpr size_t MaxBodyBytes = size_t{256} << 20;
constexpr size_t ReadChunkBytes = 16384;
constexpr size_t MaxPendingBytes = 65536;
constexpr size_t KeepAliveMaxRequests = 1'000'000;
constexpr auto KeepAliveIdle = std::chrono::seconds(5);
constexpr int ReadTimeoutMs = 5000;
constexpr int WriteTimeoutMs = 5000;
constexpr int StopCheckMs = 20;      // how soon an idle keep-alive connection notices stop()
constexpr size_t WorkerThreads = 64; // each open keep-alive connection holds one

// Headers httplib adds to every request itself; they are not the client's.
constexpr std::string_view AddedHeaders[] = {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT"};

bool waitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void addressOf(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    const int got = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                         : ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (got != 0 || address.ss_family != AF_INET) return;
    const auto& inet = reinterpret_cast<const sockaddr_in&>(address);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &inet.sin_addr, text, sizeof(text));
    ip = text;
    port = ntohs(inet.sin_port);
}

// The connection's socket with our own buffers, so that a body can be read for
// any method and a connection can be dropped from inside a handler. An answer is
// collected and sent in one piece (headers and body in one segment): the client
// wakes once per answer.
class ConnectionStream final : public httplib::Stream {
public:
    explicit ConnectionStream(int fd) : m_fd(fd) {}

    bool is_readable() const override { return buffered() || waitFor(m_fd, POLLIN, ReadTimeoutMs); }
    bool is_writable() const override { return !m_dropped; }

    ssize_t read(char* ptr, size_t size) override {
        if (!buffered()) {
            const auto got = fill();
            if (got <= 0) return got;
        }
        // httplib reads the request line and headers a byte at a time.
        if (size == 1) {
            *ptr = m_buffer[m_offset++];
            return 1;
        }
        const size_t count = std::min(size, m_filled - m_offset);
        std::memcpy(ptr, m_buffer.data() + m_offset, count);
        m_offset += count;
        return static_cast<ssize_t>(count);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (m_dropped) return -1;
        m_pending.append(ptr, size);
        if (m_pending.size() >= MaxPendingBytes && !flush()) return -1;
        return static_cast<ssize_t>(size);
    }

    // httplib asks for both addresses at every request; they do not change.
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        if (m_remotePort == 0) addressOf(m_fd, true, m_remoteIp, m_remotePort);
        ip = m_remoteIp;
        port = m_remotePort;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        if (m_localPort == 0) addressOf(m_fd, false, m_localIp, m_localPort);
        ip = m_localIp;
        port = m_localPort;
    }
    socket_t socket() const override { return m_fd; }

    bool buffered() const { return m_offset < m_filled; }

    bool readExactly(std::string& out, size_t size) {
        out.resize(size);
        size_t done = 0;
        while (done < size) {
            const auto got = read(out.data() + done, size - done);
            if (got <= 0) return false;
            done += static_cast<size_t>(got);
        }
        return true;
    }

    // Sends what has been written; false when the peer is gone or stalls.
    bool flush() {
        size_t done = 0;
        while (done < m_pending.size() && !m_dropped) {
            const auto sent = ::send(m_fd, m_pending.data() + done, m_pending.size() - done, MSG_NOSIGNAL);
            if (sent > 0) {
                done += static_cast<size_t>(sent);
            } else if (sent < 0 && errno == EINTR) {
                continue;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
                       waitFor(m_fd, POLLOUT, WriteTimeoutMs)) {
                continue;
            } else {
                m_pending.clear();
                return false;
            }
        }
        m_pending.clear();
        return !m_dropped;
    }

    // Closes the connection with nothing sent: every later write fails.
    void drop() {
        m_dropped = true;
        m_pending.clear();
        ::shutdown(m_fd, SHUT_RDWR);
    }
    bool dropped() const { return m_dropped; }

    // The answer goes out, then the connection closes (the request could not be read through).
    void closeAfterAnswer() { m_closeAfterAnswer = true; }
    bool closing() const { return m_dropped || m_closeAfterAnswer; }

private:
    ssize_t fill() {
        // Whatever is owed to the client goes out before waiting on it ("100 Continue").
        if (m_dropped || !flush()) return -1;
        // Sized once: a resize at every fill would clear the whole chunk each time.
        if (m_buffer.size() != ReadChunkBytes) m_buffer.resize(ReadChunkBytes);
        m_offset = 0;
        m_filled = 0;
        ssize_t got = 0;
        for (;;) {
            got = ::recv(m_fd, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
            if (got >= 0) break;
            if (errno == EINTR) continue;
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitFor(m_fd, POLLIN, ReadTimeoutMs)) break;
        }
        m_filled = got > 0 ? static_cast<size_t>(got) : 0;
        return got;
    }

    int m_fd;
    mutable std::string m_remoteIp;
    mutable int m_remotePort = 0;
    mutable std::string m_localIp;
    mutable int m_localPort = 0;
    std::string m_buffer;
    size_t m_offset = 0;
    size_t m_filled = 0; // bytes of m_buffer that hold what was received
    std::string m_pending;
    bool m_dropped = false;
    bool m_closeAfterAnswer = false;
};

// What the connection loop hands to the request handler on the same thread.
struct Connection {
    ConnectionStream* stream = nullptr;
    std::vector<std::pair<std::string, std::string>> headers;
};

thread_local Connection* t_connection = nullptr;

void plainAnswer(httplib::Response& response, int status, const char* text) {
    response.status = status;
    response.set_content(text, "text/plain");
}

} // namespace

class HttpServer::Impl final : public httplib::Server {
public:
    explicit Impl(HttpServer::Handler handler) : m_handler(std::move(handler)) {
        new_task_queue = [] { return new httplib::ThreadPool(WorkerThreads); };
        set_tcp_nodelay(true);
        // httplib's default also sets SO_REUSEPORT, which would let a second server
        // share a port silently; a port in use must be refused.
        set_socket_options([](socket_t sock) {
            const int on = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
        });
        set_keep_alive_max_count(KeepAliveMaxRequests);
        set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
            route(request, response);
            return httplib::Server::HandlerResponse::Handled;
        });
    }

    std::thread listener;
    std::atomic<bool> listenerDone{false};

private:
    bool process_and_close_socket(socket_t sock) override {
        const int on = 1;
        ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        // A client that stops reading must not hold a worker for ever.
        const timeval sendTimeout{WriteTimeoutMs / 1000, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof(sendTimeout));
        ConnectionStream stream(sock);
        Connection connection;
        connection.stream = &stream;
        t_connection = &connection;
        bool ok = false;
        for (size_t left = KeepAliveMaxRequests; left > 0 && awaitRequest(stream); --left) {
            bool closed = false;
            connection.headers.clear();
            ok = process_request(stream, left == 1, closed, [&connection](httplib::Request& request) {
                for (const auto& [name, value] : request.headers) {
                    if (std::find(std::begin(AddedHeaders), std::end(AddedHeaders), name) ==
                        std::end(AddedHeaders))
                        connection.headers.emplace_back(name, value);
                }
                // A Tally server never compresses its answers.
                request.headers.erase("Accept-Encoding");
            });
            if (!stream.flush()) ok = false;
            if (!ok || closed || stream.closing()) break;
        }
        t_connection = nullptr;
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return ok;
    }

    // Between requests: true when the next one has begun to arrive.
    bool awaitRequest(const ConnectionStream& stream) const {
        if (stream.buffered()) return true;
        const auto deadline = std::chrono::steady_clock::now() + KeepAliveIdle;
        while (svr_sock_ != INVALID_SOCKET && std::chrono::steady_clock::now() < deadline) {
            if (waitFor(stream.socket(), POLLIN, StopCheckMs)) return true;
        }
        return false;
    }

    void route(const httplib::Request& request, httplib::Response& response) {
        auto* connection = t_connection;
        if (connection == nullptr) {
            plainAnswer(response, 500, "no connection");
            return;
        }
        auto& stream = *connection->stream;
        HttpExchange exchange;
        exchange.method = request.method;
        exchange.target = request.target;
        exchange.headers = connection->headers;

        const auto encoding = request.get_header_value("Transfer-Encoding");
        if (!encoding.empty() && !equalsAscii(trimmed(encoding), "identity")) {
            stream.closeAfterAnswer();
            plainAnswer(response, 411, "Length Required");
            return;
        }
        if (request.has_header("Content-Length")) {
            const auto text = request.get_header_value("Content-Length");
            char* end = nullptr;
            errno = 0;
            const auto length = std::strtoull(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno != 0 || text.front() == '-') {
                stream.closeAfterAnswer();
                plainAnswer(response, 400, "Bad Request");
                return;
            }
            if (length > MaxBodyBytes) {
                stream.closeAfterAnswer();
                plainAnswer(response, 413, "Payload Too Large");
                return;
            }
            if (!stream.readExactly(exchange.body, static_cast<size_t>(length))) {
                stream.drop(); // the client went away mid-body
                return;
            }
        }

        HttpAnswer answer;
        try {
            answer = m_handler(std::move(exchange));
        } catch (const std::exception& error) {
            answer = HttpAnswer{500, "text/plain", error.what(), false};
        }
        if (answer.closeWithoutAnswer) {
            stream.drop();
            return;
        }
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType);
    }

    HttpServer::Handler m_handler;
};

HttpServer::HttpServer(Handler handler) : m_impl(std::make_unique<Impl>(std::move(handler))) {}

HttpServer::~HttpServer() {
    stop();
}

int HttpServer::start(int port) {
    if (m_impl->listener.joinable()) throw std::logic_error("the server is already started");
    const int bound = port == 0 ? m_impl->bind_to_any_port("127.0.0.1")
                                : (m_impl->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    auto* impl = m_impl.get();
    impl->listener = std::thread([impl] {
        impl->listen_after_bind();
        impl->listenerDone = true;
    });
    // stop() only reaches a server that has begun listening.
    while (!impl->is_running() && !impl->listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void HttpServer::stop() {
    if (!m_impl->listener.joinable()) return;
    m_impl->stop();
    m_impl->listener.join();
}

} // namespace quibo::sim
