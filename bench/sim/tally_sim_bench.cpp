// Ledger imports per second that the simulated Tally server sustains over one
// keep-alive connection on loopback (the figure is the imports_per_s counter). The
// simulator is the peer of every test and benchmark of the program, so it must be
// far faster than the program is.

#include "tally-sim/Simulator.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>

namespace {

// A ledger import as the program sends it, laid out by its indenter.
std::string ledgerImport(long number) {
    const std::string name = "Party " + std::to_string(number);
    return "<ENVELOPE>\r\n  <HEADER>\r\n    <TALLYREQUEST> Import Data </TALLYREQUEST>\r\n  </HEADER>\r\n"
           "  <BODY>\r\n    <IMPORTDATA>\r\n      <REQUESTDESC>\r\n        <REPORTNAME>All "
           "Masters</REPORTNAME>\r\n"
           "        <STATICVARIABLES>\r\n          <SVCURRENTCOMPANY>Bench Co</SVCURRENTCOMPANY>\r\n"
           "        </STATICVARIABLES>\r\n      </REQUESTDESC>\r\n      <REQUESTDATA>\r\n"
           "        <TALLYMESSAGE xmlns:UDF=\"TallyUDF\">\r\n          <LEDGER NAME=\"" +
           name + "\" ACTION=\"Create\">\r\n            <ADDITIONALNAME>" + name +
           "</ADDITIONALNAME>\r\n            <ADDRESS.LIST>\r\n              <ADDRESS>12 MG "
           "Road</ADDRESS>\r\n"
           "              <ADDRESS>Bengaluru</ADDRESS>\r\n              <ADDRESS></ADDRESS>\r\n"
           "              <ADDRESS></ADDRESS>\r\n            </ADDRESS.LIST>\r\n"
           "            <STATENAME>Karnataka</STATENAME>\r\n            "
           "<LEDSTATENAME>Karnataka</LEDSTATENAME>\r\n"
           "            <PINCODE>560001</PINCODE>\r\n            <PARENT>Sundry Debtors</PARENT>\r\n"
           "            <ISBILLWISEON>Yes</ISBILLWISEON>\r\n            "
           "<OPENINGBALANCE>-1500.50</OPENINGBALANCE>\r\n"
           "            <NAME.LIST>\r\n              <NAME>" +
           name +
           "</NAME>\r\n            </NAME.LIST>\r\n          </LEDGER>\r\n        </TALLYMESSAGE>\r\n"
           "      </REQUESTDATA>\r\n    </IMPORTDATA>\r\n  </BODY>\r\n</ENVELOPE>";
}

size_t collect(char* data, size_t size, size_t count, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * count);
    return size * count;
}

// One libcurl handle, reused, as a client that keeps its connection: the program's
// own transport is libcurl too.
void LedgerImportsOverKeepAlive(benchmark::State& state) {
    quibo::sim::Options options;
    options.companies = {"Bench Co"};
    options.keepRequestLog = false;
    quibo::sim::Simulator simulator(options);
    const int port = simulator.start(0);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";

    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    headers = curl_slist_append(headers, "Content-Type: text/xml");
    std::string reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);

    long number = 0;
    long failures = 0;
    for (auto _ : state) {
        const std::string request = ledgerImport(++number);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.size()));
        reply.clear();
        long status = 0;
        if (curl_easy_perform(curl) != CURLE_OK ||
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200 ||
            reply.find("<CREATED>1</CREATED>") == std::string::npos)
            ++failures;
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    simulator.stop();

    state.SetItemsProcessed(state.iterations());
    state.counters["imports_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["failures"] = static_cast<double>(failures);
    if (failures != 0) state.SkipWithError("some imports were not created");
}
// The same imports answered in-process: what the simulator itself costs per import,
// without HTTP and loopback.
void LedgerImportAnswers(benchmark::State& state) {
    quibo::sim::Options options;
    options.companies = {"Bench Co"};
    quibo::sim::Simulator simulator(options);
    long number = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(simulator.answer(ledgerImport(++number)));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LedgerImportAnswers)->Unit(benchmark::kMicrosecond);

BENCHMARK(LedgerImportsOverKeepAlive)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
