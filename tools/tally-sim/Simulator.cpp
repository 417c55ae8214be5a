#include "tally-sim/Simulator.h"

#include "tally-sim/HttpServer.h"
#include "tally-sim/Names.h"
#include "tally-sim/Replies.h"
#include "tally-sim/RequestHandler.h"
#include "tally-sim/XmlText.h"

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <stdexcept>

namespace quibo::sim {

namespace {

const std::string XmlContentType = "text/xml; charset=utf-8";

using Clock = std::chrono::steady_clock;

// Tally's own names may carry "UDF:" elements; the dump declares the prefix.
void declareUdf(pugi::xml_node root) {
    root.append_attribute("xmlns:UDF").set_value("TallyUDF");
}

} // namespace

std::string LoggedRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (equalsAscii(key, name)) return value;
    }
    return {};
}

bool LoggedRequest::hasHeader(std::string_view name) const {
    for (const auto& each : headers) {
        if (equalsAscii(each.first, name)) return true;
    }
    return false;
}

class Simulator::Impl {
public:
    explicit Impl(Options given)
        : options(std::move(given)), handler(options), faults(options.faults), lastActivity(Clock::now()),
          server([this](HttpExchange&& exchange) { return onExchange(std::move(exchange)); }) {}

    HttpAnswer onExchange(HttpExchange&& exchange) {
        std::unique_lock lock(mutex);
        ++inFlight;
        record(exchange);
        const long number = ++faultCount;
        const bool hit = faults.kind != FaultKind::None && faults.every > 0 && number % faults.every == 0;
        const int delayMs = faults.kind == FaultKind::Delay ? (hit ? faults.delayMs : 0) : faults.delayMs;
        if (delayMs > 0)
            stopping.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return stopped; });

        HttpAnswer answer;
        const FaultKind fault = hit ? faults.kind : FaultKind::None;
        switch (fault) {
        case FaultKind::Close:
            answer.closeWithoutAnswer = true;
            break;
        case FaultKind::Html500:
            answer = HttpAnswer{500, "text/html; charset=utf-8", replies::serverErrorPage(), false};
            break;
        case FaultKind::NotXml:
            answer = HttpAnswer{200, "text/plain; charset=utf-8", replies::notXmlText(), false};
            break;
        case FaultKind::Empty:
            answer = HttpAnswer{200, XmlContentType, {}, false};
            break;
        case FaultKind::None:
        case FaultKind::Delay:
            answer = HttpAnswer{200, XmlContentType, handler.handle(exchange.body), false};
            break;
        }
        --inFlight;
        lastActivity = Clock::now();
        return answer;
    }

    void record(const HttpExchange& exchange) {
        ++requestCount;
        if (logFile.is_open()) {
            logFile << '#' << requestCount << ' ' << exchange.method << ' ' << exchange.target << ' '
                    << exchange.body.size() << " bytes\n";
            for (const auto& [name, value] : exchange.headers)
                logFile << name << ": " << value << '\n';
            logFile << '\n' << exchange.body << "\n\n";
            logFile.flush();
        }
        if (options.keepRequestLog)
            log.push_back(LoggedRequest{exchange.method, exchange.target, exchange.headers, exchange.body});
    }

    mutable std::mutex mutex;
    Options options;
    RequestHandler handler;
    Faults faults;
    long faultCount = 0;
    long requestCount = 0;
    std::vector<LoggedRequest> log;
    std::ofstream logFile;
    int port = 0;
    int inFlight = 0;
    Clock::time_point lastActivity;
    bool stopped = false;
    std::condition_variable stopping;
    HttpServer server; // last: its threads use everything above, so it goes first
};

Simulator::Simulator(Options options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() {
    stop();
}

int Simulator::start(int port) {
    {
        std::lock_guard lock(m_impl->mutex);
        if (!m_impl->options.logPath.empty()) {
            m_impl->logFile.open(m_impl->options.logPath, std::ios::binary | std::ios::trunc);
            if (!m_impl->logFile)
                throw std::runtime_error("cannot write the request log " + m_impl->options.logPath);
        }
    }
    const int bound = m_impl->server.start(port);
    std::lock_guard lock(m_impl->mutex);
    m_impl->port = bound;
    m_impl->handler.setListeningPort(bound);
    m_impl->lastActivity = Clock::now();
    return bound;
}

void Simulator::stop() {
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopped = true;
    }
    m_impl->stopping.notify_all();
    m_impl->server.stop();
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->logFile.is_open()) m_impl->logFile.close();
}

int Simulator::port() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->port;
}

std::vector<LoggedRequest> Simulator::requestLog() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->log;
}

void Simulator::clearRequestLog() {
    std::lock_guard lock(m_impl->mutex);
    m_impl->log.clear();
}

void Simulator::setFaults(const Faults& faults) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->faults = faults;
    m_impl->faultCount = 0;
}

std::string Simulator::storeXml(std::string_view company) const {
    std::lock_guard lock(m_impl->mutex);
    const auto* store = m_impl->handler.company(company);
    if (store == nullptr) return {};
    pugi::xml_document document;
    declareUdf(document.append_copy(store->root()));
    return XmlText::file(document);
}

std::string Simulator::dumpAll() const {
    std::lock_guard lock(m_impl->mutex);
    pugi::xml_document document;
    auto root = document.append_child("TALLYSIM");
    declareUdf(root);
    for (const auto& store : m_impl->handler.companies()) {
        auto company = root.append_copy(store->root());
        if (store.get() == m_impl->handler.current()) company.append_attribute("CURRENT").set_value("Yes");
    }
    return XmlText::file(document);
}

bool Simulator::objectExists(std::string_view company, std::string_view type, std::string_view name) const {
    std::lock_guard lock(m_impl->mutex);
    const auto* store = m_impl->handler.company(company);
    return store != nullptr && store->find(type, name);
}

std::vector<std::string> Simulator::companies() const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<std::string> names;
    for (const auto& store : m_impl->handler.companies())
        names.push_back(store->name());
    return names;
}

std::string Simulator::currentCompany() const {
    std::lock_guard lock(m_impl->mutex);
    const auto* current = m_impl->handler.current();
    return current != nullptr ? current->name() : std::string();
}

std::chrono::steady_clock::duration Simulator::idleTime() const {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->inFlight > 0) return Clock::duration::zero();
    return Clock::now() - m_impl->lastActivity;
}

std::string Simulator::answer(std::string_view body) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->handler.handle(body);
}

} // namespace quibo::sim
