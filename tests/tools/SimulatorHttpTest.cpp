// The simulated server over HTTP on loopback: the request kinds as they travel,
// keep-alive and close, faults, the request log, stopping.

#include "tally-sim/Simulator.h"

#include "support/TestServices.h"
#include "tools/ProgramReading.h"
#include "tools/ProgramRequests.h"
#include "tools/RawHttpClient.h"

#include <httplib.h>

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace quibo::sim {
namespace {

using test::elementTexts;
using test::importDataRequest;
using test::master;
using test::RawHttpClient;
using test::reduceReply;

using Clock = std::chrono::steady_clock;

const std::string Banner = "<RESPONSE>TallyPrime Server is Running</RESPONSE>\r\n";

Options acme() {
    Options options;
    options.companies = {"Acme & Co"};
    return options;
}

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct SimulatorHttp : ::testing::Test {
    Simulator simulator{acme()};
    int port = simulator.start(0);
};

TEST_F(SimulatorHttp, TheServerCheckIsAGetWhoseBodyIsReadAndLoggedAndConnectionCloseHonoured) {
    RawHttpClient client(port);
    ASSERT_TRUE(client.connected());
    const auto body = test::serverCheckRequest();
    ASSERT_TRUE(client.send(RawHttpClient::request("GET", body)));
    const auto answer = client.readResponse();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(elementTexts(answer->body, "NAME"), (std::vector<std::string>{"Acme & Co"}));

    // The body was read through: the connection carries the banner request next, which asks
    // for the connection to be closed.
    ASSERT_TRUE(
        client.send(RawHttpClient::request("POST", "", "Content-Type: text/xml\r\nConnection: close\r\n")));
    const auto banner = client.readResponse();
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->body, Banner);
    EXPECT_EQ(banner->header("Connection"), "close");
    EXPECT_TRUE(client.closedByServer());

    const auto log = simulator.requestLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].target, "/");
    EXPECT_EQ(log[0].body, body);
    using Headers = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(log[0].headers,
              (Headers{{"Content-Length", std::to_string(body.size())}, {"Host", "127.0.0.1"}}));
    EXPECT_EQ(log[1].method, "POST");
    EXPECT_EQ(log[1].body, "");
    EXPECT_EQ(log[1].header("content-type"), "text/xml");
    EXPECT_EQ(log[1].header("Connection"), "close");
    EXPECT_FALSE(log[1].hasHeader("Expect"));
}

TEST_F(SimulatorHttp, KeepAliveAnswersRequestAfterRequestOnOneConnection) {
    RawHttpClient client(port);
    for (int i = 0; i < 50; ++i) {
        const auto request = importDataRequest(
            "", master("LEDGER", "Party " + std::to_string(i), "<PARENT>Sundry Debtors</PARENT>"));
        ASSERT_TRUE(client.send(RawHttpClient::request("POST", request)));
        const auto answer = client.readResponse();
        ASSERT_TRUE(answer) << i;
        EXPECT_EQ(reduceReply(answer->body), "CREATED ") << i;
        EXPECT_NE(answer->header("Keep-Alive"), "");
    }
    EXPECT_EQ(simulator.requestLog().size(), 50u);
    EXPECT_TRUE(simulator.objectExists("Acme & Co", "LEDGER", "Party 49"));
}

TEST_F(SimulatorHttp, PipelinedRequestsAreAnsweredInOrder) {
    RawHttpClient client(port);
    ASSERT_TRUE(client.send(RawHttpClient::request("POST", "") +
                            RawHttpClient::request("GET", test::companyListRequest()) +
                            RawHttpClient::request("POST", test::companyListOldRequest())));
    const auto first = client.readResponse();
    const auto second = client.readResponse();
    const auto third = client.readResponse();
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->body, Banner);
    EXPECT_EQ(elementTexts(second->body, "NAME"), (std::vector<std::string>{"Acme & Co"}));
    EXPECT_EQ(elementTexts(third->body, "COMPANYNAME"), (std::vector<std::string>{"Acme & Co"}));
}

TEST_F(SimulatorHttp, AnswersAreNeverCompressed) {
    RawHttpClient client(port);
    ASSERT_TRUE(client.send(
        RawHttpClient::request("POST", test::companyListRequest(), "Accept-Encoding: gzip, br\r\n")));
    const auto answer = client.readResponse();
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->hasHeader("Content-Encoding"));
    EXPECT_EQ(elementTexts(answer->body, "NAME"), (std::vector<std::string>{"Acme & Co"}));
    EXPECT_EQ(simulator.requestLog().at(0).header("Accept-Encoding"), "gzip, br");
}

TEST_F(SimulatorHttp, AChunkedBodyIsRefusedAndTheConnectionClosed) {
    RawHttpClient client(port);
    ASSERT_TRUE(client.send(
        "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"));
    const auto answer = client.readResponse();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 411);
    EXPECT_TRUE(client.closedByServer());
}

TEST_F(SimulatorHttp, ALibraryClientPostsOverKeepAliveFromSeveralThreads) {
    constexpr int Threads = 6;
    constexpr int PerThread = 40;
    std::atomic<int> created{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true);
            for (int i = 0; i < PerThread; ++i) {
                const auto name = "Party " + std::to_string(t) + "-" + std::to_string(i);
                const auto result = client.Post(
                    "/", importDataRequest("", master("LEDGER", name, "<PARENT>Sundry Debtors</PARENT>")),
                    "text/xml");
                if (result && result->status == 200 && reduceReply(result->body) == "CREATED ") ++created;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(created, Threads * PerThread);
    const auto dump = simulator.storeXml("Acme & Co");
    std::set<std::string> ids;
    for (size_t at = dump.find("<LEDGER NAME=\"Party "); at != std::string::npos;
         at = dump.find("<LEDGER NAME=\"Party ", at + 1))
        ids.insert(dump.substr(dump.find("MASTERID=", at), 16));
    EXPECT_EQ(ids.size(), static_cast<size_t>(Threads * PerThread)); // every master its own id
}

struct FaultCase {
    const char* caseName;
    FaultKind kind;
};

class SimulatorFault : public ::testing::TestWithParam<FaultCase> {};

// Faults on every second request: the first and third are answered as usual; the
// second is logged but not applied.
TEST_P(SimulatorFault, StrikesEveryNthRequestOnly) {
    Options options = acme();
    // Only the delay fault has a length: with the other kinds a delay would slow every answer.
    options.faults = Faults{GetParam().kind, 2, GetParam().kind == FaultKind::Delay ? 1000 : 0};
    Simulator simulator(options);
    const int port = simulator.start(0);
    auto post = [&](const std::string& name, long long& elapsedMs) {
        RawHttpClient client(port);
        const auto start = Clock::now();
        client.send(RawHttpClient::request(
            "POST", importDataRequest("", master("LEDGER", name, "<PARENT>Sundry Debtors</PARENT>"))));
        auto answer = client.readResponse();
        elapsedMs = millisecondsSince(start);
        const bool closed = !answer && client.closedByServer(100);
        return std::make_pair(answer, closed);
    };
    long long firstMs = 0;
    long long secondMs = 0;
    long long thirdMs = 0;
    const auto [first, firstClosed] = post("First", firstMs);
    const auto [second, secondClosed] = post("Second", secondMs);
    const auto [third, thirdClosed] = post("Third", thirdMs);

    ASSERT_TRUE(first && third);
    EXPECT_EQ(reduceReply(first->body), "CREATED ");
    EXPECT_EQ(reduceReply(third->body), "CREATED ");
    EXPECT_EQ(simulator.requestLog().size(), 3u);

    switch (GetParam().kind) {
    case FaultKind::Delay:
        ASSERT_TRUE(second);
        // Far apart, so that a busy machine's slow answer is not taken for the fault.
        EXPECT_LT(firstMs, 800);
        EXPECT_GE(secondMs, 1000);
        EXPECT_LT(thirdMs, 800);
        EXPECT_EQ(reduceReply(second->body), "CREATED ");
        EXPECT_TRUE(simulator.objectExists("Acme & Co", "LEDGER", "Second"));
        return;
    case FaultKind::Close:
        EXPECT_FALSE(second);
        EXPECT_TRUE(secondClosed);
        break;
    case FaultKind::Html500:
        ASSERT_TRUE(second);
        EXPECT_EQ(second->status, 500);
        EXPECT_EQ(second->header("Content-Type"), "text/html; charset=utf-8");
        EXPECT_NE(second->body.find("<title>500 Internal Server Error</title>"), std::string::npos);
        EXPECT_EQ(reduceReply(second->body), second->body); // the page itself is the outcome
        break;
    case FaultKind::NotXml:
        ASSERT_TRUE(second);
        EXPECT_EQ(second->status, 200);
        EXPECT_EQ(second->body, "Tally is busy. The request could not be processed now.\r\n");
        break;
    case FaultKind::Empty:
        ASSERT_TRUE(second);
        EXPECT_EQ(second->status, 200);
        EXPECT_EQ(second->header("Content-Length"), "0");
        EXPECT_EQ(second->body, "");
        break;
    case FaultKind::None:
        FAIL();
    }
    EXPECT_FALSE(simulator.objectExists("Acme & Co", "LEDGER", "Second"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, SimulatorFault,
                         ::testing::Values(FaultCase{"Delay", FaultKind::Delay},
                                           FaultCase{"Close", FaultKind::Close},
                                           FaultCase{"Html500", FaultKind::Html500},
                                           FaultCase{"NotXml", FaultKind::NotXml},
                                           FaultCase{"Empty", FaultKind::Empty}),
                         [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(SimulatorHttp, ADelayWithoutTheDelayFaultSlowsEveryAnswer) {
    simulator.setFaults(Faults{FaultKind::None, 1, 150});
    for (int i = 0; i < 2; ++i) {
        RawHttpClient client(port);
        const auto start = Clock::now();
        client.send(RawHttpClient::request("POST", ""));
        ASSERT_TRUE(client.readResponse());
        EXPECT_GE(millisecondsSince(start), 150);
    }
}

TEST_F(SimulatorHttp, FaultsSetAtRunTimeCountFromThatMoment) {
    RawHttpClient warmUp(port);
    warmUp.send(RawHttpClient::request("POST", ""));
    ASSERT_TRUE(warmUp.readResponse());

    simulator.setFaults(Faults{FaultKind::Empty, 2, 0});
    RawHttpClient client(port);
    std::vector<std::string> bodies;
    for (int i = 0; i < 4; ++i) {
        client.send(RawHttpClient::request("POST", ""));
        const auto answer = client.readResponse();
        ASSERT_TRUE(answer);
        bodies.push_back(answer->body);
    }
    EXPECT_EQ(bodies, (std::vector<std::string>{Banner, "", Banner, ""}));

    simulator.setFaults(Faults{});
    client.send(RawHttpClient::request("POST", ""));
    const auto healed = client.readResponse();
    ASSERT_TRUE(healed);
    EXPECT_EQ(healed->body, Banner);
}

TEST_F(SimulatorHttp, StopEndsAnIdleKeepAliveConnectionPromptly) {
    RawHttpClient client(port);
    client.send(RawHttpClient::request("POST", ""));
    ASSERT_TRUE(client.readResponse());
    const auto start = Clock::now();
    simulator.stop();
    EXPECT_LT(millisecondsSince(start), 1000);
    EXPECT_TRUE(client.closedByServer(1000));
    RawHttpClient late(port);
    EXPECT_FALSE(late.connected());
}

TEST_F(SimulatorHttp, IdleTimeCountsFromTheLastAnswer) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GE(simulator.idleTime(), std::chrono::milliseconds(300));
    RawHttpClient client(port);
    client.send(RawHttpClient::request("POST", ""));
    ASSERT_TRUE(client.readResponse());
    EXPECT_LT(simulator.idleTime(), std::chrono::milliseconds(300));
}

TEST(SimulatorHttpLog, EveryRequestIsAppendedToTheLogFile) {
    quibo::test::TempFolder folder;
    Options options = acme();
    options.logPath = folder.file("requests.log").toStdString();
    options.keepRequestLog = false;
    Simulator simulator(options);
    const int port = simulator.start(0);
    RawHttpClient client(port);
    client.send(RawHttpClient::request("GET", "<A>x</A>", "X-Probe: 1\r\n"));
    ASSERT_TRUE(client.readResponse());
    client.send(RawHttpClient::request("POST", ""));
    ASSERT_TRUE(client.readResponse());
    simulator.stop();
    EXPECT_TRUE(simulator.requestLog().empty());

    QFile file(folder.file("requests.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "#1 GET / 8 bytes\n"
                                            "Content-Length: 8\n"
                                            "Host: 127.0.0.1\n"
                                            "X-Probe: 1\n"
                                            "\n"
                                            "<A>x</A>\n"
                                            "\n"
                                            "#2 POST / 0 bytes\n"
                                            "Content-Length: 0\n"
                                            "Host: 127.0.0.1\n"
                                            "\n"
                                            "\n"
                                            "\n");
}

TEST(SimulatorHttpStart, APortInUseIsRefused) {
    Simulator first(acme());
    const int port = first.start(0);
    Simulator second(acme());
    EXPECT_THROW(second.start(port), std::runtime_error);
}

} // namespace
} // namespace quibo::sim
