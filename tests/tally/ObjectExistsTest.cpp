#include "tally/ObjectExists.h"

#include "tally/SenderTestSupport.h"

#include <ostream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::ExpectGolden;
using test::LinkTest;

const std::string Found =
    "<ENVELOPE><HEADER><VERSION>1</VERSION><STATUS>1</STATUS></HEADER><BODY><DESC></DESC><DATA>"
    "<TALLYMESSAGE xmlns:UDF=\"TallyUDF\"><LEDGER NAME=\"Cash\" RESERVEDNAME=\"\"><NAME.LIST TYPE=\"String\">"
    "<NAME>Cash</NAME></NAME.LIST></LEDGER></TALLYMESSAGE></DATA></BODY></ENVELOPE>";
const std::string Missing =
    "<ENVELOPE><HEADER><VERSION>1</VERSION><STATUS>0</STATUS></HEADER><BODY><DESC></DESC>"
    "<DATA><ERRORMSG>Ledger 'Bank' does not exist!</ERRORMSG></DATA></BODY></ENVELOPE>";

struct ObjectExists : LinkTest {};

TEST_F(ObjectExists, Request) {
    server.answer(200, Found);
    EXPECT_TRUE(
        TallyObjectExists(link, QStringLiteral("STOCK ITEMS"), QStringLiteral("Bolt \"M8\" & <Nut>"), true));
    ExpectGolden(Body(), QStringLiteral("object-exists-request.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(ObjectExists, NotAskedSendsNothing) {
    EXPECT_FALSE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), false));
    EXPECT_TRUE(server.received().empty());
    EXPECT_TRUE(locations().isEmpty());
}

struct AnswerCase {
    const char* name;
    std::string reply;
    bool exists;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

struct Answers : ObjectExists, ::testing::WithParamInterface<AnswerCase> {};

TEST_P(Answers, MissingOnlyWithAnErrorMessage) {
    server.answer(200, GetParam().reply);
    EXPECT_EQ(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true),
              GetParam().exists);
    EXPECT_EQ(TallyObjectExistsRaw(link, QStringLiteral("LEDGER"), QStringLiteral("Cash")),
              GetParam().exists);
    EXPECT_TRUE(locations().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    TallyObjectExists, Answers,
    ::testing::Values(
        AnswerCase{"Found", Found, true}, AnswerCase{"ErrorMessage", Missing, false},
        AnswerCase{"ErrorMessageInLowerCase", "<DATA><errormsg>No such ledger</errormsg></DATA>", true},
        AnswerCase{"ErrorMessageBehindTheUdfPrefix", "<DATA><UDF:ERRORMSG>x</UDF:ERRORMSG></DATA>", false},
        AnswerCase{"OnlyFragmentsThatAreRemoved", "&#4; UDF:&#4; ", true},
        AnswerCase{"AnyOtherText", "Tally is busy", true},
        // No answer at all says nothing of the object.
        AnswerCase{"EmptyReply", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObjectExists, AFailedExchangeIsReportedAndTheObjectNotTakenToExist) {
    // With the server down, every master must be posted and fail visibly, not be skipped as existing.
    settings.set(settings::PortNo, QString::number(test::ClosedPort()));
    EXPECT_FALSE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true));
    EXPECT_FALSE(TallyObjectExistsRaw(link, QStringLiteral("Ledger"), QStringLiteral("Cash")));
    EXPECT_EQ(locations(), QStringList({"C02-0001", "C02-0001"}));
}

TEST_F(ObjectExists, RawInsertsTheNameUnchanged) {
    server.answer(200, Found);
    EXPECT_TRUE(TallyObjectExistsRaw(link, QStringLiteral("Ledger"), QStringLiteral("Tom &amp; Jerry")));
    const std::string body = Body();
    EXPECT_NE(
        body.find("\r\n    <SUBTYPE>Ledger</SUBTYPE>\r\n    <ID TYPE=\"Name\">Tom &amp; Jerry</ID>\r\n"),
        std::string::npos)
        << body;
}

TEST_F(ObjectExists, RawWithAnUnescapedNameSendsNothingAndDoesNotTakeTheObjectToExist) {
    EXPECT_FALSE(TallyObjectExistsRaw(link, QStringLiteral("Ledger"), QStringLiteral("Tom & Jerry")));
    EXPECT_TRUE(server.received().empty());
    EXPECT_EQ(locations(), QStringList({"C02-0003"}));
}

TEST_F(ObjectExists, ASpecialValueNameIsRewrittenLikeAnyRequest) {
    server.answer(200, Found);
    TallyObjectExists(link, QStringLiteral("GROUPS"), QStringLiteral("{Any}"), true);
    EXPECT_NE(Body().find("<ID TYPE=\"Name\">&#4; Any</ID>"), std::string::npos);
}

} // namespace
} // namespace quibo
