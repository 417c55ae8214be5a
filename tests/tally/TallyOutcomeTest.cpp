#include "tally/TallyOutcome.h"

#include "tally/MasterSenders.h"
#include "tally/SenderTestSupport.h"

#include <functional>

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct OutcomeCase {
    const char* name;
    bool serverDown;
    std::function<QString(TallyLink&)> post;
    const char* text;
    bool sent;
};

QString Godown(TallyLink& link, const QString& company) {
    GodownMaster godown;
    godown.name = QStringLiteral("Okhla Store");
    return SendGodown(link, company, godown, QStringLiteral("Create"));
}

const OutcomeCase Cases[] = {
    {"AnAnswer", false, [](TallyLink& link) { return Godown(link, QStringLiteral("Acme")); }, "CREATED ",
     true},
    {"AFailedExchange", true, [](TallyLink& link) { return Godown(link, QStringLiteral("Acme")); }, "", true},
    {"ACompanyTheEnvelopeCannotHold", false,
     [](TallyLink& link) { return Godown(link, QStringLiteral("Acme\x01")); }, "", false},
    {"ABillTotalPastTheRangeOfANumber", false,
     [](TallyLink& link) {
         LedgerMaster ledger;
         ledger.name = QStringLiteral("Gupta Agencies");
         ledger.bills = {{QStringLiteral("1-Apr-2024"), QStringLiteral("A"), QStringLiteral("30"),
                          QStringLiteral("1E308")},
                         {QStringLiteral("2-Apr-2024"), QStringLiteral("B"), QStringLiteral("30"),
                          QStringLiteral("1E308")}};
         return SendLedger(link, QStringLiteral("Acme"), ledger, QStringLiteral("Create"));
     },
     "", false},
    {"RequestTextThatDoesNotParse", false,
     [](TallyLink& link) {
         QString xml = QStringLiteral("<ENVELOPE>Tom & Jerry</ENVELOPE>");
         return link.PostToTally(xml);
     },
     "", false},
};

struct PostRecordTest : test::LinkTest {};

TEST_F(PostRecordTest, TellsARecordNeverSentFromOneThatGotNoReply) {
    // One link for every case: what went before must not count for the record at hand.
    for (const OutcomeCase& c : Cases) {
        SCOPED_TRACE(c.name);
        settings.set(settings::PortNo,
                     c.serverDown ? QString::number(test::ClosedPort()) : server.portText());
        const TallyOutcome outcome = PostRecord(link, [&] { return c.post(link); });
        EXPECT_EQ(outcome.text, QString::fromLatin1(c.text));
        EXPECT_EQ(outcome.sent, c.sent);
    }
}

} // namespace
} // namespace quibo
