// quibo-tally-sim: its options, and the executable as the demo and scripts run it.

#include "tally-sim/CommandLine.h"

#include "support/TestServices.h"
#include "tools/ProgramReading.h"
#include "tools/ProgramRequests.h"
#include "tools/RawHttpClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace quibo::sim {
namespace {

using test::RawHttpClient;
using test::split;

TEST(SimulatorCommandLine, WithoutOptionsOneDemoCompanyOnAnyPort) {
    const auto line = CommandLine::parse({});
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.port, 0);
    EXPECT_EQ(line.options.companies, (std::vector<std::string>{"Demo Company"}));
    EXPECT_EQ(line.options.current, "");
    EXPECT_EQ(line.exitAfterIdleS, 0);
    EXPECT_FALSE(line.options.keepRequestLog);
    EXPECT_EQ(line.options.faults.kind, FaultKind::None);
    EXPECT_TRUE(CommandLine::parse({"--no-companies"}).options.companies.empty());
    EXPECT_TRUE(CommandLine::parse({"--help"}).help);
    EXPECT_TRUE(CommandLine::parse({"-h"}).help);
}

TEST(SimulatorCommandLine, EveryOptionLandsInItsSetting) {
    const auto line = CommandLine::parse(split(
        "--port|9000|--company|Acme & Co|--company|Beta|--current|Beta|--old-company-list|"
        "--banner-without-response|--exit-after-idle|30|--dump|/tmp/d.xml|--log|/tmp/r.log|--fault|html500|"
        "--fault-every|3|--delay-ms|40"));
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.port, 9000);
    EXPECT_EQ(line.options.companies, (std::vector<std::string>{"Acme & Co", "Beta"}));
    EXPECT_EQ(line.options.current, "Beta");
    EXPECT_TRUE(line.options.oldCompanyList);
    EXPECT_TRUE(line.options.bannerWithoutResponse);
    EXPECT_EQ(line.exitAfterIdleS, 30);
    EXPECT_EQ(line.dumpPath, "/tmp/d.xml");
    EXPECT_EQ(line.options.logPath, "/tmp/r.log");
    EXPECT_EQ(line.options.faults.kind, FaultKind::Html500);
    EXPECT_EQ(line.options.faults.every, 3);
    EXPECT_EQ(line.options.faults.delayMs, 40);
    EXPECT_FALSE(line.help);

    const std::pair<const char*, FaultKind> kinds[] = {{"delay", FaultKind::Delay},
                                                       {"close", FaultKind::Close},
                                                       {"notxml", FaultKind::NotXml},
                                                       {"empty", FaultKind::Empty}};
    for (const auto& [name, kind] : kinds) {
        const auto faulty = CommandLine::parse({"--fault", name, "--delay-ms", "10"});
        EXPECT_EQ(faulty.error, "") << name;
        EXPECT_EQ(faulty.options.faults.kind, kind) << name;
        EXPECT_EQ(faulty.options.faults.every, 1) << name;
    }
}

struct Refused {
    std::vector<std::string> arguments;
    std::string error;
};

TEST(SimulatorCommandLine, WrongArgumentsAreRefusedWithTheReason) {
    const Refused cases[] = {
        {{"--port"}, "--port needs a value"},
        {{"--port", "70000"}, "--port needs a number from 0 to 65535, not \"70000\""},
        {{"--port", "80x"}, "--port needs a number from 0 to 65535, not \"80x\""},
        {{"--company", ""}, "--company needs a name"},
        {{"--exit-after-idle", "0"}, "--exit-after-idle needs a number of seconds, not \"0\""},
        {{"--delay-ms", "-5"}, "--delay-ms needs a number of milliseconds, not \"-5\""},
        {{"--fault", "slow"}, "--fault needs one of delay, close, html500, notxml, empty, not \"slow\""},
        {{"--fault", "close", "--fault-every", "0"}, "--fault-every needs a number from 1 up, not \"0\""},
        {{"--fault-every", "2"}, "--fault-every needs --fault"},
        {{"--fault", "delay"}, "--fault delay needs --delay-ms"},
        {{"--no-companies", "--company", "Acme"}, "--no-companies cannot go with --company or --current"},
        {{"--verbose"}, "unknown option \"--verbose\""},
    };
    for (const auto& each : cases)
        EXPECT_EQ(CommandLine::parse(each.arguments).error, each.error) << each.arguments.front();
}

// The executable, run as the demo and scripts run it.
struct SimulatorProgram : ::testing::Test {
    QProcess process;
    int port = 0;

    void startProgram(const QStringList& arguments) {
        process.start(QStringLiteral(QUIBO_TALLY_SIM_EXE), arguments);
        ASSERT_TRUE(process.waitForStarted(5000));
        ASSERT_TRUE(process.waitForReadyRead(5000));
        const auto line = QString::fromUtf8(process.readLine()).trimmed();
        ASSERT_TRUE(line.startsWith(QStringLiteral("listening on 127.0.0.1:"))) << line.toStdString();
        port = line.section(QLatin1Char(':'), 1).toInt();
        ASSERT_GT(port, 0);
    }

    ~SimulatorProgram() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

TEST_F(SimulatorProgram, HelpExplainsEveryOption) {
    process.start(QStringLiteral(QUIBO_TALLY_SIM_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const auto help = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(help.toStdString(), CommandLine::usage());
    for (const char* option :
         {"--port", "--company", "--current", "--exit-after-idle", "--dump", "--old-company-list",
          "--no-companies", "--banner-without-response", "--delay-ms", "--fault ", "--fault-every", "--log",
          "--help", "html500", "notxml", "SIGTERM"})
        EXPECT_TRUE(help.contains(QString::fromLatin1(option))) << option;
}

TEST_F(SimulatorProgram, AWrongOptionEndsWithStatus2AndTheReason) {
    process.start(QStringLiteral(QUIBO_TALLY_SIM_EXE), {QStringLiteral("--port"), QStringLiteral("x")});
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(
        QString::fromUtf8(process.readAllStandardError()).toStdString(),
        "quibo-tally-sim: --port needs a number from 0 to 65535, not \"x\"\nTry quibo-tally-sim --help.\n");
}

TEST_F(SimulatorProgram, SigtermStopsItCleanlyAndWritesTheDump) {
    quibo::test::TempFolder folder;
    const auto dump = folder.file(QStringLiteral("store.xml"));
    const auto log = folder.file(QStringLiteral("requests.log"));
    startProgram(QStringList{QStringLiteral("--company"), QStringLiteral("Acme & Co"),
                             QStringLiteral("--dump"), dump, QStringLiteral("--log"), log});
    {
        RawHttpClient client(port);
        client.send(RawHttpClient::request(
            "POST", test::importDataRequest(
                        "", test::master("LEDGER", "Ravi Traders", "<PARENT>Sundry Debtors</PARENT>"))));
        const auto answer = client.readResponse();
        ASSERT_TRUE(answer);
        EXPECT_EQ(test::reduceReply(answer->body), "CREATED ");
    }
    process.terminate(); // SIGTERM
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).toStdString(),
              "quibo-tally-sim: stopped (SIGTERM)\n");

    QFile store(dump);
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    const auto text = store.readAll().toStdString();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>\n<TALLYSIM xmlns:UDF=\"TallyUDF\">\n"
                         "  <COMPANY NAME=\"Acme &amp; Co\" CURRENT=\"Yes\">\n",
                         0),
              0u);
    EXPECT_NE(text.find("<LEDGER NAME=\"Ravi Traders\" MASTERID=\"33\">"), std::string::npos);
    QFile requests(log);
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    EXPECT_TRUE(requests.readAll().startsWith("#1 POST / "));
}

TEST_F(SimulatorProgram, ItStopsAfterTheIdleTime) {
    QElapsedTimer timer;
    timer.start();
    startProgram({QStringLiteral("--exit-after-idle"), QStringLiteral("1")});
    {
        RawHttpClient client(port);
        client.send(RawHttpClient::request("GET", test::serverCheckRequest()));
        const auto answer = client.readResponse();
        ASSERT_TRUE(answer);
        EXPECT_EQ(test::elementTexts(answer->body, "NAME"), (std::vector<std::string>{"Demo Company"}));
    }
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_GE(timer.elapsed(), 1000);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).toStdString(),
              "quibo-tally-sim: stopped (idle for 1 s)\n");
}

TEST_F(SimulatorProgram, SigintStopsItToo) {
    startProgram({QStringLiteral("--no-companies")});
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).toStdString(),
              "quibo-tally-sim: stopped (SIGINT)\n");
}

TEST_F(SimulatorProgram, TheOptionsReachTheServer) {
    startProgram({QStringLiteral("--company"), QStringLiteral("Acme"), QStringLiteral("--company"),
                  QStringLiteral("Beta"), QStringLiteral("--current"), QStringLiteral("Beta"),
                  QStringLiteral("--banner-without-response"), QStringLiteral("--old-company-list"),
                  QStringLiteral("--fault"), QStringLiteral("empty"), QStringLiteral("--fault-every"),
                  QStringLiteral("4")});
    RawHttpClient client(port);
    std::vector<std::string> bodies;
    for (const auto& body :
         {std::string(), test::companyListOldRequest(), test::sessionInfoRequest(), std::string()}) {
        client.send(RawHttpClient::request("POST", body));
        const auto answer = client.readResponse();
        ASSERT_TRUE(answer);
        bodies.push_back(answer->body);
    }
    EXPECT_EQ(test::elementTexts(bodies[0], "RESPONSE").size(), 0u);
    EXPECT_EQ(test::elementTexts(bodies[1], "COMPANYNAME"), (std::vector<std::string>{"Acme", "Beta"}));
    EXPECT_EQ(test::elementTexts(bodies[2], "RPTPRMVAL").at(0), "Beta");
    EXPECT_EQ(bodies[3], ""); // the fourth request: the empty-answer fault
}

} // namespace
} // namespace quibo::sim
