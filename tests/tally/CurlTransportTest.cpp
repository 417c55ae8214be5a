#include "tally/CurlTransport.h"

#include "tally/TallyTestSupport.h"

#include <QElapsedTimer>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::LocalServer;

struct Curl : ::testing::Test {
    LocalServer server;
    CurlTransport transport;
    QString url() const { return QStringLiteral("http://127.0.0.1:") + server.portText(); }
};

TEST(CurlTransport, GetWithBodyCarriesTheBodyAndNoHeaderOfOurOwn) {
    test::RawCapture capture;
    CurlTransport transport;
    const HttpReply reply =
        transport.getWithBody(capture.url(), QByteArrayLiteral("<ENVELOPE>\r\n</ENVELOPE>\r\n"));
    ASSERT_TRUE(reply.sent);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, QByteArrayLiteral("ok"));
    const std::string host = capture.url().mid(7).toStdString();
    EXPECT_EQ(capture.request(),
              "GET / HTTP/1.1\r\nHost: " + host +
                  "\r\nAccept: */*\r\nContent-Length: 25\r\n\r\n<ENVELOPE>\r\n</ENVELOPE>\r\n");
}

TEST(CurlTransport, PostCarriesNoHeaderOfOurOwn) {
    test::RawCapture capture;
    CurlTransport transport;
    ASSERT_TRUE(transport.post(capture.url(), QByteArrayLiteral("<ENVELOPE/>")).sent);
    const std::string host = capture.url().mid(7).toStdString();
    EXPECT_EQ(capture.request(), "POST / HTTP/1.1\r\nHost: " + host +
                                     "\r\nAccept: */*\r\nContent-Length: 11\r\n\r\n<ENVELOPE/>");
}

// The handle keeps its settings between requests: what one request set must not reach the next.
TEST(CurlTransport, APostAfterOtherRequestsSendsTheBytesOfAFirstPost) {
    const std::vector<std::function<void(CurlTransport&, const QString&)>> before = {
        [](CurlTransport& t, const QString& url) { t.getWithBody(url, QByteArrayLiteral("<B/>")); },
        [](CurlTransport& t, const QString& url) {
            t.post(url, QByteArrayLiteral("<C/>"), {QStringLiteral("Content-Type: text/xml")});
        },
        [](CurlTransport& t, const QString&) {
            t.post(QStringLiteral("http://127.0.0.1:") + QString::number(test::ClosedPort()), "<D/>");
        },
    };
    for (size_t i = 0; i < before.size(); ++i) {
        CurlTransport transport;
        {
            test::RawCapture earlier;
            before[i](transport, earlier.url());
        }
        test::RawCapture capture;
        ASSERT_TRUE(transport.post(capture.url(), QByteArrayLiteral("<ENVELOPE/>")).sent) << i;
        const std::string host = capture.url().mid(7).toStdString();
        EXPECT_EQ(capture.request(), "POST / HTTP/1.1\r\nHost: " + host +
                                         "\r\nAccept: */*\r\nContent-Length: 11\r\n\r\n<ENVELOPE/>")
            << i;
    }
}

TEST_F(Curl, ALargeBodyGoesWithoutWaitingForContinue) {
    const QByteArray body(3 * 1024 * 1024, 'x');
    const HttpReply reply = transport.post(url(), body);
    ASSERT_TRUE(reply.sent);
    const auto received = server.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].body.size(), size_t(body.size()));
    EXPECT_FALSE(received[0].hasHeader("Expect"));
    EXPECT_FALSE(received[0].hasHeader("Content-Type"));
}

TEST_F(Curl, ConsecutiveRequestsShareTheConnection) {
    transport.post(url(), QByteArrayLiteral("<A/>"));
    transport.getWithBody(url(), QByteArrayLiteral("<B/>"));
    transport.postOnce(url(), QByteArrayLiteral("<C/>"));
    transport.post(url(), QByteArrayLiteral("<D/>"));
    const auto received = server.received();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].method, "GET");
    EXPECT_EQ(received[2].method, "POST");
    EXPECT_EQ(received[2].body, "<C/>");
    for (size_t i = 1; i < received.size(); ++i)
        EXPECT_EQ(received[i].remotePort, received[0].remotePort) << i;
}

TEST_F(Curl, StatusAndContentTypeOfAnErrorReply) {
    server.answer(503, "busy", "text/plain; charset=\"ISO-8859-1\"");
    const HttpReply reply = transport.post(url(), QByteArray());
    ASSERT_TRUE(reply.sent);
    EXPECT_EQ(reply.status, 503);
    EXPECT_EQ(reply.contentType, QStringLiteral("text/plain; charset=\"ISO-8859-1\""));
    EXPECT_EQ(reply.charset(), QStringLiteral("ISO-8859-1"));
    EXPECT_EQ(reply.text(), QStringLiteral("busy"));
}

TEST(CurlTransport, ARefusedConnectionFailsWithTheSystemError) {
    CurlTransport transport;
    const HttpReply reply = transport.post(
        QStringLiteral("http://127.0.0.1:") + QString::number(test::ClosedPort()), QByteArrayLiteral("<A/>"));
    EXPECT_FALSE(reply.sent);
    EXPECT_EQ(reply.systemErrorCode, 111); // ECONNREFUSED
    EXPECT_TRUE(reply.errorText.contains(QStringLiteral("Couldn't connect to server")))
        << reply.errorText.toStdString();
    EXPECT_TRUE(reply.body.isEmpty());
}

TEST(CurlTransport, AServerThatSendsNothingFailsAfterTheStallTime) {
    test::SilentServer silent;
    CurlTransport transport({60, 1});
    QElapsedTimer timer;
    timer.start();
    const HttpReply reply = transport.post(silent.url(), QByteArrayLiteral("<A/>"));
    EXPECT_FALSE(reply.sent);
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_TRUE(reply.errorText.contains(QStringLiteral("too slow"))) << reply.errorText.toStdString();
}

TEST(CurlTransport, AStallAfterARefusedConnectionNamesNoSystemError) {
    // One handle for the whole run: the refused connection's code must not be told of the stall.
    test::SilentServer silent;
    CurlTransport transport({60, 1});
    const HttpReply refused = transport.post(
        QStringLiteral("http://127.0.0.1:") + QString::number(test::ClosedPort()), QByteArrayLiteral("<A/>"));
    ASSERT_EQ(refused.systemErrorCode, 111); // ECONNREFUSED
    const HttpReply stalled = transport.post(silent.url(), QByteArrayLiteral("<A/>"));
    EXPECT_FALSE(stalled.sent);
    EXPECT_TRUE(stalled.errorText.contains(QStringLiteral("too slow"))) << stalled.errorText.toStdString();
    EXPECT_EQ(stalled.systemErrorCode, 0);
}

TEST(CurlTransport, AUrlWithoutHostFails) {
    CurlTransport transport;
    const HttpReply reply = transport.post(QStringLiteral("http://:9000"), QByteArrayLiteral("<A/>"));
    EXPECT_FALSE(reply.sent);
    EXPECT_FALSE(reply.errorText.isEmpty());
}

} // namespace
} // namespace quibo
