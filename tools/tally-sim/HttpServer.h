#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quibo::sim {

struct HttpExchange {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers; // as the client sent them
    std::string body;
};

struct HttpAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
    bool closeWithoutAnswer = false; // drop the connection instead of answering
};

// HTTP/1.1 on 127.0.0.1 with keep-alive, "Connection: close" and TCP_NODELAY.
// cpp-httplib parses requests and writes answers; the connection loop is ours,
// because httplib leaves the body of a GET unread (the program's server check is
// a GET with a body) and has no way to drop a connection unanswered.
// The handler runs on the server's worker threads, several at once.
class HttpServer {
public:
    using Handler = std::function<HttpAnswer(HttpExchange&&)>;

    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds 127.0.0.1:port (0: any free port) and serves on a thread of its own.
    // Returns the port; throws std::runtime_error when it cannot bind.
    int start(int port);
    void stop();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace quibo::sim
