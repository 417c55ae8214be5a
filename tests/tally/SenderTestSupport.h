#pragma once

// What the master sender and object-exists tests share: a link to a local capture server that answers
// CREATED, and ways to look at the request bytes the server received.

#include "base/MemorySettingsStore.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"
#include "tally/TallyTestSupport.h"

#include <QByteArray>

#include <algorithm>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace quibo::test {

inline const std::string CreatedReply =
    "<RESPONSE><CREATED>1</CREATED><ALTERED>0</ALTERED><ERRORS>0</ERRORS></RESPONSE>";

// Text written with "\n" line ends, as the wire carries it: CR LF between lines, the first line break
// (right after the opening raw-string quote) dropped.
inline std::string Crlf(std::string_view text) {
    if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct LinkTest : ReportingTest {
    LocalServer server;
    MemorySettingsStore settings;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};

    void SetUp() override {
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, server.portText());
        server.answer(200, CreatedReply);
    }

    // The body of the only request received; fails the test when there was not exactly one.
    std::string Body() const {
        const auto received = server.received();
        EXPECT_EQ(received.size(), 1u);
        if (received.size() != 1) return {};
        EXPECT_EQ(received[0].method, "POST");
        return received[0].body;
    }

    // The master element of the only request, each line without the ten blanks of its indentation
    // below TALLYMESSAGE (a line with fewer fails the test). Lines end in CR LF but the last.
    std::string Master() const {
        const std::string body = Body();
        const auto messageEnd = body.find("\r\n        </TALLYMESSAGE>");
        const auto start = body.find("\r\n          <", body.find("<TALLYMESSAGE"));
        if (messageEnd == std::string::npos || start == std::string::npos || start > messageEnd) {
            ADD_FAILURE() << "no master element in:\n" << body;
            return {};
        }
        std::string out;
        size_t at = start + 2;
        while (at < messageEnd + 2) {
            const size_t lineEnd = body.find("\r\n", at);
            const std::string_view line(body.data() + at, lineEnd - at);
            if (line.substr(0, 10) != "          ") ADD_FAILURE() << "line outside the master: " << line;
            if (!out.empty()) out += "\r\n";
            out += line.substr(std::min<size_t>(10, line.size()));
            at = lineEnd + 2;
        }
        return out;
    }
};

// The request bytes against a golden file of tests/tally/golden.
inline void ExpectGolden(const std::string& body, const QString& name) {
    EXPECT_EQ(QByteArray::fromStdString(body), ReadGolden(name)) << name.toStdString();
}

} // namespace quibo::test
