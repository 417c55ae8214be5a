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
    EXPECT_FALSE(TallyObjectKnownToExist(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), false));
    EXPECT_TRUE(server.received().empty());
    EXPECT_TRUE(locations().isEmpty());
}

struct AnswerCase {
    const char* name;
    std::string reply;
    bool exists;
    bool known; // by the skip test's form
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
    EXPECT_EQ(TallyObjectKnownToExist(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true),
              GetParam().known);
    EXPECT_TRUE(locations().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    TallyObjectExists, Answers,
    ::testing::Values(
        AnswerCase{"Found", Found, true, true}, AnswerCase{"ErrorMessage", Missing, false, false},
        AnswerCase{"ErrorMessageInLowerCase", "<DATA><errormsg>No such ledger</errormsg></DATA>", true, true},
        AnswerCase{"ErrorMessageBehindTheUdfPrefix", "<DATA><UDF:ERRORMSG>x</UDF:ERRORMSG></DATA>", false,
                   false},
        AnswerCase{"OnlyFragmentsThatAreRemoved", "&#4; UDF:&#4; ", true, true},
        AnswerCase{"AnyOtherText", "Tally is busy", true, true},
        // No error message, so the object is taken to exist; but the skip test knows nothing of it.
        AnswerCase{"EmptyReply", "", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ObjectExists, AFailedExchangeIsReportedAndTakesTheObjectToExistButNotForTheSkipTest) {
    // No error message came; only the skip test, whose master must be posted and fail visibly rather
    // than pass for existing, takes the object to be unknown.
    settings.set(settings::PortNo, QString::number(test::ClosedPort()));
    EXPECT_TRUE(TallyObjectExists(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true));
    EXPECT_TRUE(TallyObjectExistsRaw(link, QStringLiteral("Ledger"), QStringLiteral("Cash")));
    EXPECT_FALSE(TallyObjectKnownToExist(link, QStringLiteral("LEDGER"), QStringLiteral("Cash"), true));
    EXPECT_EQ(locations(), QStringList({"C02-0001", "C02-0001", "C02-0001"}));
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
