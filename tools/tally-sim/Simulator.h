#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::sim {

// Misbehaviour on request, to exercise the program's failure paths.
enum class FaultKind {
    None,
    Delay,   // every Nth answer waits delayMs first
    Close,   // every Nth request: the connection is closed without an answer
    Html500, // every Nth request: status 500 with an HTML page
    NotXml,  // every Nth request: status 200 with a text that is not XML
    Empty,   // every Nth request: status 200 with an empty body
};

struct Faults {
    FaultKind kind = FaultKind::None;
    int every = 1; // N: requests N, 2N, 3N ... counted from when the faults were set
    // The length of a Delay fault; with any other kind, every answer waits this long.
    int delayMs = 0;
};

struct Options {
    std::vector<std::string> companies; // in list order; duplicates (any case) ignored
    std::string current;                // the open company; empty: the first one
    bool oldCompanyList = false;        // only the old "List of Companies" request is understood
    bool bannerWithoutResponse = false; // the banner answer has no RESPONSE element
    std::string banner = "TallyPrime Server is Running";
    Faults faults;
    bool keepRequestLog = true; // requestLog() holds every request
    std::string logPath;        // when set, every request is appended to this file too
};

// One request as it arrived.
struct LoggedRequest {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers; // by name, case ignored (wire order is lost)
    std::string body;                                         // raw bytes

    // The first value of a header, case ignored; "" when absent.
    std::string header(std::string_view name) const;
    bool hasHeader(std::string_view name) const;
};

// The simulated Tally server: an HTTP server on 127.0.0.1 that understands the
// requests the program sends, keeps a store of masters and vouchers per company
// and answers as a Tally server does.
//
// Threading: the server runs on its own threads; every public member may be
// called from any thread at any time.
class Simulator {
public:
    explicit Simulator(Options options = {});
    ~Simulator(); // stops the server
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Listens on 127.0.0.1:port (0: a free port) and returns the port; once per
    // simulator. Throws std::runtime_error when the port cannot be had.
    int start(int port = 0);
    // Waits for the requests being answered, then closes every connection.
    void stop();
    int port() const;

    std::vector<LoggedRequest> requestLog() const;
    void clearRequestLog();

    void setFaults(const Faults& faults);

    // The company's store as an XML document text; "" when there is no such company.
    std::string storeXml(std::string_view company) const;
    // Every company's store in one document.
    std::string dumpAll() const;
    // type: an element name ("LEDGER") or an object type ("STOCK ITEMS").
    bool objectExists(std::string_view company, std::string_view type, std::string_view name) const;
    std::vector<std::string> companies() const;
    std::string currentCompany() const;

    // How long no request has been in hand (since start() or the last answer).
    std::chrono::steady_clock::duration idleTime() const;

    // The answer the server gives to a request body, without HTTP, faults or log.
    std::string answer(std::string_view body);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace quibo::sim
