// PostToTally of a typical ledger request against a loopback server that answers at once: requests
// per second, and the CPU the posting thread spends per request (the server runs on other threads,
// so the benchmark's own CPU figure, taken for the whole process, would count the server too).

#include "base/ErrorReporter.h"
#include "base/MemorySettingsStore.h"
#include "tally/CurlTransport.h"
#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/XmlBuilders.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <sys/resource.h>

#include <memory>
#include <thread>

namespace quibo {
namespace {

class SilentBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest&) override { return MsgAnswer::Ok; }
};

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A ledger as the ledger sender builds it: about twenty values, an address and a name list.
QString TypicalLedgerRequest(ErrorReporter& errors) {
    auto doc = NewImportDataEnvelope(errors, QStringLiteral("Acme Traders Pvt Ltd"));
    XmlNode message = AppendXmlElement(errors, *doc, doc->firstElement(QStringLiteral("REQUESTDATA")),
                                       QStringLiteral("TALLYMESSAGE"), QString());
    SetXmlAttribute(errors, *doc, message, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
    XmlNode ledger = AppendXmlElement(errors, *doc, message, QStringLiteral("LEDGER"), QString());
    SetXmlAttribute(errors, *doc, ledger, QStringLiteral("NAME"), QStringLiteral("Sharma & Sons, Pune"));
    SetXmlAttribute(errors, *doc, ledger, QStringLiteral("ACTION"), QStringLiteral("Create"));
    AppendXmlElementIfValue(errors, *doc, ledger, QStringLiteral("ADDITIONALNAME"),
                            QStringLiteral("Sharma & Sons, Pune"));
    XmlNode address = AppendXmlElement(errors, *doc, ledger, QStringLiteral("ADDRESS.LIST"), QString());
    for (const char* line : {"Shop 12, Laxmi Road", "Near City Post", "Pune", "Maharashtra"})
        AppendXmlElement(errors, *doc, address, QStringLiteral("ADDRESS"), QString::fromUtf8(line));
    const std::pair<const char*, const char*> values[] = {{"STATENAME", "Maharashtra"},
                                                          {"LEDSTATENAME", "Maharashtra"},
                                                          {"COUNTRYOFRESIDENCE", "India"},
                                                          {"PINCODE", "411002"},
                                                          {"LEDGERCONTACT", "R. Sharma"},
                                                          {"LEDGERPHONE", "020-24450000"},
                                                          {"LEDGERMOBILE", "9800000000"},
                                                          {"EMAIL", "accounts@sharma.example"},
                                                          {"INCOMETAXNUMBER", "AAAPS1234C"},
                                                          {"PARENT", "Sundry Debtors"},
                                                          {"GSTTYPE", "{Not Applicable}"},
                                                          {"ISBILLWISEON", "Yes"},
                                                          {"ISCOSTCENTRESON", "No"},
                                                          {"ISINTERESTON", "No"},
                                                          {"AFFECTSSTOCK", "No"},
                                                          {"USEFORVAT", "No"},
                                                          {"ISTDSAPPLICABLE", "No"},
                                                          {"OPENINGBALANCE", "-12500.00"}};
    for (const auto& [name, value] : values)
        AppendXmlElementIfValue(errors, *doc, ledger, QString::fromUtf8(name), QString::fromUtf8(value));
    XmlNode names = AppendXmlElement(errors, *doc, ledger, QStringLiteral("NAME.LIST"), QString());
    AppendXmlElementIfValue(errors, *doc, names, QStringLiteral("NAME"),
                            QStringLiteral("Sharma & Sons, Pune"));
    AppendXmlElementIfValue(errors, *doc, names, QStringLiteral("NAME"), QStringLiteral("Sharma Pune"));
    return doc->xml();
}

void BM_PostToTally(benchmark::State& state) {
    httplib::Server server;
    server.set_tcp_nodelay(true);
    server.set_keep_alive_max_count(1000000);
    const std::string reply =
        "<RESPONSE><CREATED>1</CREATED><ALTERED>0</ALTERED><DELETED>0</DELETED><LASTVCHID>0"
        "</LASTVCHID><LASTMID>0</LASTMID><COMBINED>0</COMBINED><IGNORED>0</IGNORED><ERRORS>0"
        "</ERRORS><CANCELLED>0</CANCELLED></RESPONSE>\r\n";
    server.Post(".*",
                [&](const httplib::Request&, httplib::Response& res) { res.set_content(reply, "text/xml"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    QTemporaryDir logFolder;
    SilentBox boxes;
    SystemClock clock;
    ErrorReporter errors(boxes, clock, logFolder.path());
    MemorySettingsStore settings;
    settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
    settings.set(settings::PortNo, QString::number(port));
    auto transport = std::make_unique<CurlTransport>();
    TallyLink link(settings, errors, *transport);
    const QString request = TypicalLedgerRequest(errors);

    QString outcome;
    const double cpuBefore = ThreadCpuSeconds();
    for (auto _ : state) {
        QString xml = request;
        outcome = link.PostToTally(xml);
        benchmark::DoNotOptimize(outcome);
    }
    const double cpuAfter = ThreadCpuSeconds();

    const auto requests = double(state.iterations());
    state.counters["req/s"] = benchmark::Counter(requests, benchmark::Counter::kIsRate);
    state.counters["client_cpu_us/req"] = (cpuAfter - cpuBefore) * 1e6 / requests;
    state.counters["request_bytes"] = double(request.toUtf8().size());
    if (errors.reportCount() != 0 || outcome != QLatin1String("CREATED "))
        state.SkipWithError("the exchange failed");

    transport.reset(); // closes the kept-alive connection, so the server stops at once
    server.stop();
    serving.join();
}

BENCHMARK(BM_PostToTally)->UseRealTime()->MinTime(2.0);

} // namespace
} // namespace quibo

BENCHMARK_MAIN();
