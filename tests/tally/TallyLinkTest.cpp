#include "tally/TallyLink.h"

#include "tally/ImportEnvelope.h"
#include "tally/SenderTestSupport.h"
#include "tally/XmlBuilders.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::LocalServer;
using test::ReadGolden;
using test::ReportingTest;

struct PostToTally : test::LinkTest {
    // A ledger request built the way the ledger sender builds one.
    QString LedgerRequest() {
        auto doc = NewImportDataEnvelope(errors, QStringLiteral("Acme & Sons"));
        const auto element = [&](XmlNode parent, const char* name) {
            return AppendXmlElement(errors, *doc, parent, QString::fromLatin1(name), QString());
        };
        const auto value = [&](XmlNode parent, const char* name, const char* text) {
            AppendXmlElementIfValue(errors, *doc, parent, QString::fromLatin1(name), QString::fromUtf8(text));
        };
        const auto attribute = [&](XmlNode node, const char* name, const char* text) {
            SetXmlAttribute(errors, *doc, node, QString::fromLatin1(name), QString::fromUtf8(text));
        };
        const XmlNode message = element(doc->firstElement(QStringLiteral("REQUESTDATA")), "TALLYMESSAGE");
        attribute(message, "xmlns:UDF", "TallyUDF");
        const XmlNode ledger = element(message, "LEDGER");
        attribute(ledger, "NAME", "Cash Box");
        attribute(ledger, "ACTION", "Create");
        value(ledger, "ADDITIONALNAME", "Cash Box");
        value(ledger, "CURRENCYNAME", "");
        value(ledger, "PARENT", "Cash-in-hand");
        value(ledger, "GSTTYPE", "{Not Applicable}");
        value(ledger, "ISBILLWISEON", "No");
        value(ledger, "OPENINGBALANCE", "1500.00");
        const XmlNode names = element(ledger, "NAME.LIST");
        value(names, "NAME", "Cash Box");
        value(names, "NAME", "Petty Cash");
        return doc->xml();
    }
};

TEST_F(PostToTally, SendsTheIndentedLedgerRequestAndReturnsTheOutcome) {
    QString xml = LedgerRequest();
    EXPECT_EQ(link.PostToTally(xml), QStringLiteral("CREATED "));

    const auto received = server.received();
    ASSERT_EQ(received.size(), 1u);
    const QByteArray golden = ReadGolden(QStringLiteral("ledger-request.xml"));
    EXPECT_EQ(QByteArray::fromStdString(received[0].body), golden);
    EXPECT_EQ(received[0].method, "POST");
    EXPECT_EQ(received[0].path, "/");
    EXPECT_EQ(received[0].header("Content-Length"), std::to_string(golden.size()));
    EXPECT_FALSE(received[0].hasHeader("Content-Type"));
    EXPECT_FALSE(received[0].hasHeader("Expect"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(PostToTally, GoldenRequestHasTheLayoutOfAnImportRequest) {
    // Every line starts with two blanks a level, ends in CR LF, and nothing follows the root.
    const QList<QByteArray> lines = ReadGolden(QStringLiteral("ledger-request.xml")).split('\n');
    const int expectedIndent[] = {0,  2,  4,  2,  2,  4,  6,  8,  8,  10, 8, 6, 6, 8, 10,
                                  12, 12, 12, 12, 12, 12, 14, 14, 12, 10, 8, 6, 4, 2, 0};
    ASSERT_EQ(lines.size(), qsizetype(std::size(expectedIndent)));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const bool last = i + 1 == lines.size();
        EXPECT_EQ(line.endsWith('\r'), !last) << i;
        const qsizetype indent = line.size() - line.trimmed().size() - (last ? 0 : 1);
        EXPECT_EQ(indent, expectedIndent[i]) << i;
    }
    EXPECT_TRUE(lines.last() == "</ENVELOPE>");
}

TEST_F(PostToTally, RewritesSpecialValuesInTheCallersText) {
    QString xml =
        QStringLiteral("<ENVELOPE><A>{Any}</A><B>{Unknown}</B><C>{Applicable}</C><D>{Not Applicable}</D>"
                       "<E>{End of List}</E><F>&amp;#4; Primary</F><G>{any}</G><H>{Any}{Any}</H>"
                       "<I V=\"{End of List}\"/></ENVELOPE>");
    link.PostToTally(xml);

    EXPECT_EQ(
        xml, QStringLiteral("<ENVELOPE><A>&#4; Any</A><B>&#4; Unknown</B><C>&#4; Applicable</C>"
                            "<D>&#4; Not Applicable</D><E>&#4; End of List</E><F>&#4; Primary</F><G>{any}</G>"
                            "<H>&#4; Any&#4; Any</H><I V=\"&#4; End of List\"/></ENVELOPE>"));
    const auto received = server.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].body,
              "<ENVELOPE>\r\n  <A>&#4; Any</A>\r\n  <B>&#4; Unknown</B>\r\n  <C>&#4; Applicable</C>\r\n"
              "  <D>&#4; Not Applicable</D>\r\n  <E>&#4; End of List</E>\r\n  <F>&#4; Primary</F>\r\n"
              "  <G>{any}</G>\r\n  <H>&#4; Any&#4; Any</H>\r\n  <I V=\"&#4; End of List\"/>\r\n"
              "</ENVELOPE>");
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(PostToTally, OnlyTheWhitespaceBetweenElementsGoes) {
    QString xml = QStringLiteral("<ENVELOPE>\r\n<A>  </A> <B> x </B>\t<C/>\r\n</ENVELOPE>");
    link.PostToTally(xml);
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(server.received()[0].body,
              "<ENVELOPE>\r\n  <A>  </A>\r\n  <B> x </B>\r\n  <C/>\r\n</ENVELOPE>");
}

TEST_F(PostToTally, ARefusedConnectionIsReportedAndGivesTheEmptyOutcome) {
    settings.set(settings::PortNo, QString::number(test::ClosedPort()));
    QString xml = QStringLiteral("<ENVELOPE><A>{Any}</A></ENVELOPE>");
    EXPECT_EQ(link.PostToTally(xml), QString());
    EXPECT_EQ(xml, QStringLiteral("<ENVELOPE><A>&#4; Any</A></ENVELOPE>"));
    EXPECT_EQ(locations(), QStringList({"C02-0001"}));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("  API Error: (111) Connection refused\r\n")));
    EXPECT_EQ(boxes.titles(), QStringList({"Quibo 1.0 Error = -2147012867"}));
}

TEST_F(PostToTally, AnEmptyServerAddressFailsWithoutSending) {
    settings.set(settings::ServerAddress, QString());
    EXPECT_EQ(link.ServerUrl(), QStringLiteral("http://:") + server.portText());
    QString xml = QStringLiteral("<ENVELOPE/>");
    EXPECT_EQ(link.PostToTally(xml), QString());
    EXPECT_EQ(locations(), QStringList({"C02-0001"}));
    EXPECT_TRUE(server.received().empty());
}

TEST_F(PostToTally, ReadsTheServerSettingsAtEveryCall) {
    LocalServer other;
    other.answer(200, "<RESPONSE><ALTERED>1</ALTERED></RESPONSE>");
    CurlTransport ownTransport; // goes before `other`, so its open connection does not hold the server up
    TallyLink ownLink(settings, errors, ownTransport);
    QString xml = QStringLiteral("<ENVELOPE/>");
    EXPECT_EQ(ownLink.PostToTally(xml), QStringLiteral("CREATED "));
    settings.set(settings::PortNo, other.portText());
    EXPECT_EQ(ownLink.PostToTally(xml), QStringLiteral("ALTERED "));
    EXPECT_EQ(server.received().size(), 1u);
    EXPECT_EQ(other.received().size(), 1u);
}

TEST_F(PostToTally, AnErrorPageComesBackUnchanged) {
    const std::string page =
        "<html><head><title>404 Not Found</title></head><body>Not Found<br></body></html>\r\n";
    server.answer(404, page, "text/html");
    QString xml = QStringLiteral("<ENVELOPE/>");
    EXPECT_EQ(link.PostToTally(xml), QString::fromStdString(page));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(PostToTally, AReplyWithNoTextIsReportedWithWhatCameAndGivesTheEmptyOutcome) {
    struct Case {
        int status;
        std::string body;
        const char* description;
    };
    const Case cases[] = {
        {200, "", "The Tally server sent an empty reply (HTTP status 200) \r\n"},
        {500, "", "The Tally server sent an empty reply (HTTP status 500) \r\n"},
        {200, " \r\n\t",
         "The Tally server sent a reply of 4 bytes holding nothing but white space (HTTP status 200) \r\n"},
    };
    for (const Case& c : cases) {
        server.answer(c.status, c.body, "");
        QString xml = QStringLiteral("<ENVELOPE/>");
        EXPECT_EQ(link.PostToTally(xml), QString()) << c.description;
        EXPECT_TRUE(errors.lastReport().startsWith(QString::fromLatin1(c.description)))
            << errors.lastReport().toStdString();
    }
    EXPECT_EQ(server.received().size(), 3u);
    EXPECT_EQ(locations(), QStringList({"C02-0001", "C02-0001", "C02-0001"}));
    EXPECT_EQ(boxes.titles().value(0), QStringLiteral("Quibo 1.0 Error = -2147012744"));
}

TEST_F(PostToTally, ARequestThatDoesNotParseIsReportedAndNotSent) {
    QString xml = QStringLiteral("<ENVELOPE><NARRATION>Tom & Jerry</NARRATION></ENVELOPE>");
    EXPECT_EQ(link.PostToTally(xml), QString());
    EXPECT_EQ(locations(), QStringList({"C02-0003"}));
    EXPECT_TRUE(server.received().empty());
}

// A built request goes out as the same bytes, outcome and reports as its text given to PostToTally,
// whatever its values hold.
struct BuiltRequest {
    const char* name;
    const char16_t* value;
    bool asAttribute;
    bool sent = true; // false: the request does not parse, is reported and not sent
};

// U+0001 to U+001F but the carriage return, which is never sent as built.
constexpr char16_t ControlCharacters[] = u"\u0001\u0002\u0003\u0004\u0005\u0006\u0007\u0008\u0009\u000a\u000b"
                                         u"\u000c\u000e\u000f\u0010\u0011\u0012\u0013\u0014\u0015\u0016"
                                         u"\u0017\u0018\u0019\u001a\u001b\u001c\u001d\u001e\u001f";

struct PostRequestSendsWhatPostToTallySends : PostToTally, ::testing::WithParamInterface<BuiltRequest> {
    XmlDocument Request() {
        auto doc = NewImportDataEnvelope(errors, QStringLiteral("Acme"));
        const XmlNode ledger =
            AppendXmlElement(errors, *doc, doc->firstElement(QStringLiteral("REQUESTDATA")),
                             QStringLiteral("LEDGER"), QString());
        const QString value = QString::fromUtf16(GetParam().value);
        if (GetParam().asAttribute)
            SetXmlAttribute(errors, *doc, ledger, QStringLiteral("NAME"), value);
        else
            AppendXmlElement(errors, *doc, ledger, QStringLiteral("PARENT"), value);
        return std::move(*doc);
    }
};

TEST_P(PostRequestSendsWhatPostToTallySends, Alike) {
    XmlDocument built = Request();
    const QString builtOutcome = link.PostRequest(built);
    const QStringList builtReports = locations();
    QString text = Request().xml();
    EXPECT_EQ(link.PostToTally(text), builtOutcome);
    EXPECT_EQ(locations(), builtReports + builtReports);
    const auto received = server.received();
    ASSERT_EQ(received.size(), GetParam().sent ? 2u : 0u);
    if (GetParam().sent) {
        EXPECT_EQ(received[0].body, received[1].body);
    }
}

INSTANTIATE_TEST_SUITE_P(
    TallyLink, PostRequestSendsWhatPostToTallySends,
    ::testing::Values(BuiltRequest{"Plain", u"Cash-in-hand", false}, BuiltRequest{"Blanks", u"   ", false},
                      BuiltRequest{"Markup", u"<b> & \"Sons\" 'x'", false},
                      BuiltRequest{"TabAndLineFeed", u"a\tb\nc", false},
                      BuiltRequest{"CarriageReturn", u"a\r\nb\rc", false},
                      BuiltRequest{"SpecialValue", u"{Not Applicable}", false},
                      BuiltRequest{"ReferenceText", u"x&#4;y", false},
                      BuiltRequest{"ControlCharacter", u"\u0004 Any", false},
                      BuiltRequest{"NonCharacter", u"a\uFFFFb", false, false},
                      BuiltRequest{"NotAscii", u"Caf\u00e9 \u20b9", false},
                      BuiltRequest{"AttributeMarkup", u"<a> & \"b\"\t\n", true},
                      BuiltRequest{"AttributeSpecialValue", u"{Any}", true},
                      BuiltRequest{"AttributeCarriageReturn", u"a\rb", true},
                      BuiltRequest{"Empty", u"", false}, BuiltRequest{"AttributeEmpty", u"", true},
                      BuiltRequest{"EveryControlCharacter", ControlCharacters, false},
                      BuiltRequest{"AttributeEveryControlCharacter", ControlCharacters, true},
                      BuiltRequest{"AttributeApostropheAndGreaterThan", u"'a' > b", true}),
    [](const auto& info) { return info.param.name; });

TEST_F(PostToTally, ADeepRequestGoesOutAsItsTextWould) {
    for (const int depth : {255, 256, 257, 300}) {
        XmlDocument built;
        XmlNode node = built.node();
        for (int level = 0; level < depth; ++level)
            node = AppendXmlElement(errors, built, node, QStringLiteral("L"), QString());
        AppendXmlElement(errors, built, node, QStringLiteral("V"), QStringLiteral("x"));
        const QString builtOutcome = link.PostRequest(built);
        QString text = built.xml();
        EXPECT_EQ(link.PostToTally(text), builtOutcome) << depth;
    }
    EXPECT_TRUE(locations().isEmpty());
    const auto received = server.received();
    ASSERT_EQ(received.size(), 8u);
    for (size_t i = 0; i < received.size(); i += 2)
        EXPECT_EQ(received[i].body, received[i + 1].body) << i;
}

struct Charset {
    const char* name;
    QStringConverter::Encoding encoding; // of the body
    std::string contentType;
    bool byteOrderMark = false;
};

struct RepliesDecodedByCharset : PostToTally, ::testing::WithParamInterface<Charset> {};

TEST_P(RepliesDecodedByCharset, Decodes) {
    QStringEncoder encode(GetParam().encoding, GetParam().byteOrderMark ? QStringConverter::Flag::WriteBom
                                                                        : QStringConverter::Flag::Default);
    const QByteArray body = encode(QStringLiteral("<RESPONSE><LINEERROR>Café ₹</LINEERROR></RESPONSE>"));
    server.answer(200, body.toStdString(), GetParam().contentType);
    QString xml = QStringLiteral("<ENVELOPE/>");
    EXPECT_EQ(link.PostToTally(xml), QStringLiteral("Café ₹ - "));
}

INSTANTIATE_TEST_SUITE_P(
    TallyLink, RepliesDecodedByCharset,
    ::testing::Values(Charset{"NoContentType", QStringConverter::Utf8, ""},
                      Charset{"NoCharset", QStringConverter::Utf8, "text/xml"},
                      Charset{"UnknownCharset", QStringConverter::Utf8, "text/xml; charset=x-unheard-of"},
                      Charset{"Utf8", QStringConverter::Utf8, "text/xml; charset=UTF-8"},
                      Charset{"QuotedUtf16", QStringConverter::Utf16LE, "text/xml; charset=\"UTF-16LE\""},
                      Charset{"Utf16ByteOrderMark", QStringConverter::Utf16BE, "text/xml", true}),
    [](const auto& info) { return info.param.name; });

TEST_F(PostToTally, ServerUrlIsTakenAsStoredWithoutTrimming) {
    settings.set(settings::ServerAddress, QStringLiteral(" tally-pc "));
    settings.set(settings::PortNo, QStringLiteral("9000"));
    EXPECT_EQ(link.ServerUrl(), QStringLiteral("http:// tally-pc :9000"));
}

// A transport that fails on cue, as a broken connection does.
struct BrokenTransport final : HttpTransport {
    int calls = 0;
    HttpReply post(const QString&, const QByteArray&, const QStringList&) override {
        ++calls;
        HttpReply reply;
        reply.errorText = QStringLiteral("Recv failure: Connection reset by peer");
        reply.systemErrorCode = 104;
        return reply;
    }
    HttpReply getWithBody(const QString& url, const QByteArray& body) override { return post(url, body, {}); }
};

TEST_F(ReportingTest, ABrokenConnectionIsReportedWithItsSystemError) {
    MemorySettingsStore settings;
    BrokenTransport transport;
    TallyLink link(settings, errors, transport);
    QString xml = QStringLiteral("<ENVELOPE/>");
    EXPECT_EQ(link.PostToTally(xml), QString());
    EXPECT_EQ(transport.calls, 1);
    EXPECT_EQ(locations(), QStringList({"C02-0001"}));
    EXPECT_TRUE(
        errors.lastReport().startsWith(QStringLiteral("Recv failure: Connection reset by peer \r\n")));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("  API Error: (104) ")));
}

} // namespace
} // namespace quibo
