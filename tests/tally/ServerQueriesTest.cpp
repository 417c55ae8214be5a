#include "tally/ServerQueries.h"

#include "tally/CurlTransport.h"
#include "tally/TallyTestSupport.h"

#include <ostream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::LocalServer;
using test::ReadGolden;

QString Url(const LocalServer& server) {
    return QStringLiteral("http://127.0.0.1:") + server.portText();
}

QString ClosedUrl() {
    return QStringLiteral("http://127.0.0.1:") + QString::number(test::ClosedPort());
}

struct Query : ::testing::Test {
    LocalServer server;
    CurlTransport transport;
    QString url = Url(server);

    // The only request received: a POST with exactly the headers the queries name.
    test::ReceivedRequest Received() {
        const auto received = server.received();
        EXPECT_EQ(received.size(), 1u);
        if (received.size() != 1) return {};
        const test::ReceivedRequest& r = received[0];
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.headers.count("Content-Type"), 1u);
        EXPECT_EQ(r.header("Content-Type"), "text/xml");
        EXPECT_EQ(r.header("Connection"), "close");
        EXPECT_FALSE(r.hasHeader("Expect"));
        return r;
    }
};

// --- The server check.

TEST(IsTallyRunning, SendsTheCollectionRequestAsTheBodyOfAGetWithNoHeaderOfItsOwn) {
    test::RawCapture capture;
    CurlTransport transport;
    EXPECT_TRUE(IsTallyRunning(transport, capture.url()));
    const QByteArray golden = ReadGolden(QStringLiteral("server-check-request.txt"));
    const std::string host = capture.url().mid(7).toStdString();
    EXPECT_EQ(capture.request(), "GET / HTTP/1.1\r\nHost: " + host + "\r\nAccept: */*\r\nContent-Length: " +
                                     std::to_string(golden.size()) + "\r\n\r\n" + golden.toStdString());
}

TEST_F(Query, AnyAnswerMeansTheServerIsRunning) {
    server.answer(500, "<html><body>Internal Server Error</body></html>", "text/html");
    EXPECT_TRUE(IsTallyRunning(transport, url));
    server.answer(200, "", "");
    EXPECT_TRUE(IsTallyRunning(transport, url));
}

// --- The banner.

TEST_F(Query, BannerIsAskedWithAnEmptyPost) {
    server.answer(200, "<RESPONSE>TallyPrime Server is Running</RESPONSE>");
    EXPECT_EQ(GetTallyServerBanner(transport, url), QStringLiteral("TallyPrime Server is Running"));
    EXPECT_EQ(Received().body, "");
}

struct BannerCase {
    const char* name;
    std::string reply;
    const char* banner;
};

void PrintTo(const BannerCase& c, std::ostream* os) {
    *os << c.name;
}

struct Banner : Query, ::testing::WithParamInterface<BannerCase> {};

TEST_P(Banner, IsTheFirstResponseOrTheFallback) {
    server.answer(200, GetParam().reply);
    EXPECT_EQ(GetTallyServerBanner(transport, url), QString::fromUtf8(GetParam().banner));
}

INSTANTIATE_TEST_SUITE_P(
    GetTallyServerBanner, Banner,
    ::testing::Values(
        BannerCase{"Response", "<RESPONSE>Tally.ERP 9 Server is Running</RESPONSE>",
                   "Tally.ERP 9 Server is Running"},
        BannerCase{"FirstOfTwoAnywhere",
                   "<ENVELOPE><A><RESPONSE>first</RESPONSE></A><RESPONSE>second</RESPONSE></ENVELOPE>",
                   "first"},
        BannerCase{"EmptyResponse", "<RESPONSE></RESPONSE>", ""},
        BannerCase{"NoResponse",
                   "<ENVELOPE><HEADER><VERSION>1</VERSION><STATUS>1</STATUS></HEADER></ENVELOPE>",
                   "Tally ees 6.3 Server is Running."},
        BannerCase{"LowerCaseResponse", "<response>x</response>", "Tally ees 6.3 Server is Running."},
        BannerCase{"NotXml", "Server is up", "Tally ees 6.3 Server is Running."},
        BannerCase{"EmptyReply", "", "Tally ees 6.3 Server is Running."}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The company lists.

TEST_F(Query, CompanyListRequest) {
    server.answer(200, "<ENVELOPE><NAME>Acme</NAME></ENVELOPE>");
    GetCompanyList(transport, url);
    EXPECT_EQ(QByteArray::fromStdString(Received().body),
              ReadGolden(QStringLiteral("company-list-request.txt")));
}

TEST_F(Query, OldCompanyListRequest) {
    server.answer(200, "<ENVELOPE><COMPANYNAME>Acme</COMPANYNAME></ENVELOPE>");
    GetCompanyListOld(transport, url);
    EXPECT_EQ(QByteArray::fromStdString(Received().body),
              ReadGolden(QStringLiteral("company-list-old-request.txt")));
}

struct ListCase {
    const char* name;
    bool old;
    std::string reply;
    QStringList list;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

struct CompanyLists : Query, ::testing::WithParamInterface<ListCase> {};

TEST_P(CompanyLists, HaveTheirShape) {
    server.answer(200, GetParam().reply);
    EXPECT_EQ(GetParam().old ? GetCompanyListOld(transport, url) : GetCompanyList(transport, url),
              GetParam().list);
}

const std::string ThreeCompanies =
    "<ENVELOPE><BODY><DATA><COLLECTION>"
    "<COMPANY NAME=\"Acme\"><NAME TYPE=\"String\">Acme</NAME></COMPANY>"
    "<COMPANY NAME=\"Beta &amp; Co\"><NAME TYPE=\"String\">Beta &amp; Co</NAME></COMPANY>"
    "<COMPANY NAME=\"Gamma\"><NAME TYPE=\"String\">Gamma</NAME></COMPANY>"
    "</COLLECTION></DATA></BODY></ENVELOPE>";
const std::string NoCompanyError =
    "<ENVELOPE><HEADER><STATUS>0</STATUS></HEADER><BODY><DATA>"
    "<LINEERROR>ERROR: No company is open</LINEERROR></DATA></BODY></ENVELOPE>";

INSTANTIATE_TEST_SUITE_P(
    CompanyList, CompanyLists,
    ::testing::Values(
        ListCase{"ThreeNamesAndOneEmpty", false, ThreeCompanies, {"Acme", "Beta & Co", "Gamma", ""}},
        ListCase{"OneNameAndOneEmpty", false, "<ENVELOPE><NAME>Acme</NAME></ENVELOPE>", {"Acme", ""}},
        ListCase{"EveryNameAnywhere",
                 false,
                 "<A><NAME>x</NAME><B><C><NAME>y</NAME></C></B><NAME></NAME></A>",
                 {"x", "y", "", ""}},
        ListCase{"NoNamesGiveTheReply", false, NoCompanyError, {"", QString::fromStdString(NoCompanyError)}},
        ListCase{"CompanyNameIsNoNameForTheNewList",
                 false,
                 "<ENVELOPE><COMPANYNAME>Acme</COMPANYNAME></ENVELOPE>",
                 {"", "<ENVELOPE><COMPANYNAME>Acme</COMPANYNAME></ENVELOPE>"}},
        ListCase{"NotXmlGivesTheReply", false, "Tally is busy", {"", "Tally is busy"}},
        ListCase{"EmptyReply", false, "", {"", ""}},
        ListCase{"OldListReadsCompanyNames",
                 true,
                 "<ENVELOPE><COMPANYNAME>Acme</COMPANYNAME><COMPANYNAME>Beta</COMPANYNAME></ENVELOPE>",
                 {"Acme", "Beta", ""}},
        ListCase{"NameIsNoCompanyNameForTheOldList",
                 true,
                 ThreeCompanies,
                 {"", QString::fromStdString(ThreeCompanies)}},
        ListCase{"OldListWithoutNamesGivesTheReply",
                 true,
                 NoCompanyError,
                 {"", QString::fromStdString(NoCompanyError)}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The current company.

TEST_F(Query, SessionInfoRequest) {
    QString current;
    GetTallySessionInfo(transport, url, current);
    EXPECT_EQ(QByteArray::fromStdString(Received().body),
              ReadGolden(QStringLiteral("session-info-request.txt")));
}

std::string SessionLines(std::initializer_list<std::pair<const char*, const char*>> lines) {
    std::string reply = "<ENVELOPE>";
    for (const auto& [label, value] : lines)
        reply += std::string("<DYNAMICCOLLLINES><RPTPRMNAM>") + label + "</RPTPRMNAM><RPTPRMVAL>" + value +
                 "</RPTPRMVAL></DYNAMICCOLLLINES>";
    return reply + "</ENVELOPE>";
}

struct SessionCase {
    const char* name;
    std::string reply;
    const char* company;
};

void PrintTo(const SessionCase& c, std::ostream* os) {
    *os << c.name;
}

struct CurrentCompany : Query, ::testing::WithParamInterface<SessionCase> {};

TEST_P(CurrentCompany, IsTheCurrentCompanyLine) {
    server.answer(200, GetParam().reply);
    QString current = QStringLiteral("Before");
    EXPECT_EQ(GetCurrentCompany(transport, url, current), QString::fromUtf8(GetParam().company));
    EXPECT_EQ(current, QString::fromUtf8(GetParam().company));
}

INSTANTIATE_TEST_SUITE_P(
    GetCurrentCompany, CurrentCompany,
    ::testing::Values(SessionCase{"AmongTheOtherLines",
                                  SessionLines({{"From Date", "1-Apr-2024"},
                                                {"Current Company", "Acme &amp; Sons"},
                                                {"INI Server Port", "9000"}}),
                                  "Acme & Sons"},
                      SessionCase{"NoCompanyOpen",
                                  SessionLines({{"Current Company", ""}, {"From Date", "1-Apr-2024"}}), ""},
                      SessionCase{"NoSuchLine", SessionLines({{"From Date", "1-Apr-2024"}}), ""},
                      SessionCase{"LabelInOtherCase", SessionLines({{"current company", "Acme"}}), ""},
                      SessionCase{"LabelWithABlank", SessionLines({{"Current Company ", "Acme"}}), ""},
                      SessionCase{"NotXml", "Tally is busy", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServerQueries, NoServerGivesEveryFailureValue) {
    CurlTransport transport;
    const QStringList noCompany{QStringLiteral("No Company Found."), QString()};
    for (const QString& url : {ClosedUrl(), QStringLiteral("http://:")}) {
        SCOPED_TRACE(url.toStdString());
        QString current = QStringLiteral("Acme");
        EXPECT_FALSE(IsTallyRunning(transport, url));
        EXPECT_EQ(GetTallyServerBanner(transport, url), QString());
        EXPECT_EQ(GetCompanyList(transport, url), noCompany);
        EXPECT_EQ(GetCompanyListOld(transport, url), noCompany);
        EXPECT_EQ(GetCurrentCompany(transport, url, current), QString());
        EXPECT_EQ(current, QString());
    }
}

} // namespace
} // namespace quibo
