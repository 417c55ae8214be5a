#pragma once

// Shared helpers of the Tally link tests: a local HTTP server on 127.0.0.1 that records what it
// receives and answers as told, and the sockets and golden files the transport tests use.

#include "tally/ReportingTest.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace httplib {
class Server;
}

namespace quibo::test {

struct ReceivedRequest {
    std::string method;
    std::string path;
    std::multimap<std::string, std::string> headers; // names as sent
    std::string body;
    int remotePort = 0;
    bool hasHeader(const std::string& name) const;
    std::string header(const std::string& name) const;
};

class LocalServer {
public:
    LocalServer();
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    int port() const { return m_port; }
    QString portText() const { return QString::number(m_port); }

    // The answer to every following request; an empty content type sends no Content-Type header.
    void answer(int status, std::string body, std::string contentType = "text/xml");
    std::vector<ReceivedRequest> received() const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_received;
    int m_status = 200;
    std::string m_body;
    std::string m_contentType;
};

// Listens on 127.0.0.1 for one request and keeps its raw bytes (request line, headers and body as
// sent); answers 200 with "ok". For what the HTTP server library does not show, such as a GET body.
class RawCapture {
public:
    RawCapture();
    ~RawCapture();
    RawCapture(const RawCapture&) = delete;
    RawCapture& operator=(const RawCapture&) = delete;

    QString url() const { return QStringLiteral("http://127.0.0.1:") + QString::number(m_port); }
    // Waits for the request to be read.
    std::string request();

private:
    int m_listener = -1;
    int m_port = 0;
    std::string m_request;
    std::thread m_thread;
};

// A server on 127.0.0.1 that takes connections (the system accepts them) but never answers.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    QString url() const { return QStringLiteral("http://127.0.0.1:") + QString::number(m_port); }

private:
    int m_listener = -1;
    int m_port = 0;
};

// A port on 127.0.0.1 where nothing listens (taken from a server that has been stopped).
int ClosedPort();

QByteArray ReadGolden(const QString& name);

} // namespace quibo::test
