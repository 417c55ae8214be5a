#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct Reduction {
    const char* name;
    QString reply;
    QString outcome;
};

const QString HtmlPage = QStringLiteral("<!DOCTYPE html>\r\n<html><head><title>Error</title></head>"
                                        "<body><h1>500 Internal Server Error</h1><br></body></html>");
const QString Created =
    QStringLiteral("<RESPONSE><CREATED>1</CREATED><ALTERED>0</ALTERED><DELETED>0</DELETED>"
                   "<LASTVCHID>0</LASTVCHID><LASTMID>0</LASTMID><COMBINED>0</COMBINED>"
                   "<IGNORED>0</IGNORED><ERRORS>0</ERRORS><CANCELLED>0</CANCELLED></RESPONSE>\r\n");

const Reduction Reductions[] = {
    {"EmptyReply", QString(), QString()},
    {"PlainText", QStringLiteral("Server busy"), QStringLiteral("Server busy")},
    {"HtmlErrorPage", HtmlPage, HtmlPage},
    {"ResponseCreated", Created, QStringLiteral("CREATED ")},
    {"ResponseAlteredThenCombined",
     QStringLiteral("<RESPONSE><CREATED>0</CREATED><ALTERED>1</ALTERED><COMBINED>1</COMBINED><ERRORS>0</"
                    "ERRORS></RESPONSE>"),
     QStringLiteral("COMBINED ALTERED ")},
    {"ResponseLineErrorThenErrors",
     QStringLiteral("<RESPONSE><LINEERROR>Ledger 'Cash' already exists.</LINEERROR><CREATED>0</CREATED>"
                    "<ERRORS>1</ERRORS></RESPONSE>"),
     QStringLiteral("ERRORS Ledger 'Cash' already exists. - ")},
    {"ImportResultCreated",
     QStringLiteral("<ENVELOPE>\r\n <HEADER><VERSION>1</VERSION><STATUS>1</STATUS></HEADER>\r\n "
                    "<BODY><DESC></DESC><DATA>"
                    "<IMPORTRESULT><CREATED>1</CREATED><ALTERED>0</ALTERED><ERRORS>0</ERRORS></"
                    "IMPORTRESULT></DATA></BODY>"
                    "</ENVELOPE>"),
     QStringLiteral("CREATED ")},
    {"ImportResultLineErrorThenErrors",
     QStringLiteral(
         "<ENVELOPE><BODY><DATA><IMPORTRESULT><CREATED>0</CREATED><LINEERROR>Voucher totals do not match!"
         "</LINEERROR><ERRORS>1</ERRORS></IMPORTRESULT></DATA></BODY></ENVELOPE>"),
     QStringLiteral("ERRORS Voucher totals do not match! ")},
    {"DataHoldingOnlyALineError",
     QStringLiteral(
         "<ENVELOPE><BODY><DATA><LINEERROR>Could not set 'SVCurrentCompany' to 'Acme'</LINEERROR></DATA>"
         "</BODY></ENVELOPE>"),
     QStringLiteral("Could not set 'SVCurrentCompany' to 'Acme' - ")},
    {"ResponseHoldingOnlyText", QStringLiteral("<RESPONSE>1</RESPONSE>"),
     QStringLiteral("<RESPONSE>1</RESPONSE>")},
    {"ResponseHoldingBannerText", QStringLiteral("<RESPONSE>Tally.ERP 9 Server is Running</RESPONSE>"),
     QStringLiteral("<RESPONSE>Tally.ERP 9 Server is Running</RESPONSE>")},
    {"TextChildHasNoNameToReport", QStringLiteral("<RESPONSE>1<CREATED>1</CREATED></RESPONSE>"),
     QStringLiteral("CREATED ")},
    {"ResponseWithAttributeNotWalked",
     QStringLiteral("<RESPONSE STATUS=\"0\"><CREATED>1</CREATED></RESPONSE>"),
     QStringLiteral("<RESPONSE STATUS=\"0\"><CREATED>1</CREATED></RESPONSE>")},
    {"GateIgnoresCaseButTheSearchDoesNot",
     QStringLiteral("<R><Response><X>0</X></Response><RESPONSE A=\"1\"><CREATED>1</CREATED></RESPONSE></R>"),
     QStringLiteral("CREATED ")},
    {"ElementSearchIsCaseSensitive", QStringLiteral("<response><CREATED>1</CREATED></response>"),
     QStringLiteral("<response><CREATED>1</CREATED></response>")},
    {"CounterTextMustBeExactlyOne",
     QStringLiteral(
         "<RESPONSE><CREATED> 1</CREATED><ALTERED>1 </ALTERED><COMBINED>01</COMBINED><LASTMID>1</LASTMID>"
         "</RESPONSE>"),
     QStringLiteral("LASTMID ")},
    {"ResponseDeclaringANamespaceNotWalked",
     QStringLiteral(
         "<RESPONSE xmlns:T=\"urn:t\"><T:CREATED>1</T:CREATED><T:LINEERROR>x</T:LINEERROR></RESPONSE>"),
     QStringLiteral(
         "<RESPONSE xmlns:T=\"urn:t\"><T:CREATED>1</T:CREATED><T:LINEERROR>x</T:LINEERROR></RESPONSE>")},
    {"PrefixedChildrenNamedWithoutPrefix",
     QStringLiteral(
         "<ENVELOPE xmlns:T=\"urn:t\"><RESPONSE><T:CREATED>1</T:CREATED><T:LINEERROR>x</T:LINEERROR>"
         "</RESPONSE></ENVELOPE>"),
     QStringLiteral("CREATED x - ")},
    {"WalksInOrderAThenBThenC",
     QStringLiteral(
         "<ENVELOPE><RESPONSE><LINEERROR>a</LINEERROR><ERRORS>1</ERRORS></RESPONSE><BODY><DATA><IMPORTRESULT>"
         "<LINEERROR>b</LINEERROR><CREATED>1</CREATED></IMPORTRESULT><LINEERROR>c</LINEERROR>"
         "<IGNORED>1</IGNORED></DATA></BODY></ENVELOPE>"),
     QStringLiteral("IGNORED CREATED ERRORS a - b c - ")},
    {"EveryResponseElementWalked",
     QStringLiteral(
         "<R><RESPONSE><CREATED>1</CREATED></RESPONSE><X><RESPONSE><ALTERED>1</ALTERED></RESPONSE></X></R>"),
     QStringLiteral("ALTERED CREATED ")},
    {"LineErrorTextIsTheWholeTextContent",
     QStringLiteral("<RESPONSE><LINEERROR>Unknown <B>Ledger</B> &amp; more</LINEERROR></RESPONSE>"),
     QStringLiteral("Unknown Ledger & more - ")},
    {"LineErrorWithAttributeDoesNotOpenWalkC",
     QStringLiteral("<ENVELOPE><DATA><LINEERROR KIND=\"x\">T</LINEERROR></DATA></ENVELOPE>"),
     QStringLiteral("<ENVELOPE><DATA><LINEERROR KIND=\"x\">T</LINEERROR></DATA></ENVELOPE>")},
    {"EmptyResponseElement", QStringLiteral("<RESPONSE></RESPONSE>"),
     QStringLiteral("<RESPONSE></RESPONSE>")},
    {"GateFoldsANameAsItsTextWouldBe",
     QStringLiteral(
         "<R><RESPON\u017fE><X>0</X></RESPON\u017fE><RESPONSE A=\"1\"><CREATED>1</CREATED></RESPONSE></R>"),
     QStringLiteral("CREATED ")},
    {"GateOpenedByCDataText",
     QStringLiteral("<R><X><![CDATA[<response>]]></X><RESPONSE A=\"1\"><CREATED>1</CREATED></RESPONSE></R>"),
     QStringLiteral("CREATED ")},
    {"EmptyElementIsNoTag",
     QStringLiteral("<R><RESPONSE/><RESPONSE A=\"1\"><CREATED>1</CREATED></RESPONSE></R>"),
     QStringLiteral("<R><RESPONSE/><RESPONSE A=\"1\"><CREATED>1</CREATED></RESPONSE></R>")},
    {"CountersAllZero", QStringLiteral("<RESPONSE><CREATED>0</CREATED><ERRORS>0</ERRORS></RESPONSE>"),
     QStringLiteral("<RESPONSE><CREATED>0</CREATED><ERRORS>0</ERRORS></RESPONSE>")},
};

class ParseTallyResponseTable : public ::testing::TestWithParam<Reduction> {};

TEST_P(ParseTallyResponseTable, Reduces) {
    EXPECT_EQ(ParseTallyResponse(GetParam().reply), GetParam().outcome);
}

TEST_P(ParseTallyResponseTable, ReducingTheOutcomeAgainGivesItBack) {
    const QString once = ParseTallyResponse(GetParam().reply);
    EXPECT_EQ(ParseTallyResponse(once), once);
}

INSTANTIATE_TEST_SUITE_P(TallyLink, ParseTallyResponseTable, ::testing::ValuesIn(Reductions),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace quibo
