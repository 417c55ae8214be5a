#include "tally/template/TemplateEngine.h"

#include "tally/template/TemplateFixture.h"

#include "base/MemorySettingsStore.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"
#include "tally/XmlDocument.h"

#include "tally-sim/Simulator.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>

namespace quibo::test {
namespace {

const QString Company = QStringLiteral("Demo Traders");
constexpr int AcmeRow = 5;

class Posting : public TemplateFixture {
protected:
    void SetUp() override {
        simulator.start();
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(simulator.port()));
        LoadLedgers();
        StageAcmeLedgerFormat();
    }

    // The one request the simulator received, parsed.
    XmlDocument OnlyRequest() {
        const auto log = simulator.requestLog();
        EXPECT_EQ(log.size(), 1u);
        XmlDocument doc;
        if (!log.empty()) {
            EXPECT_TRUE(doc.loadXml(QString::fromStdString(log.back().body)));
        }
        return doc;
    }

    static sim::Options Server() {
        sim::Options options;
        options.companies = {Company.toStdString()};
        return options;
    }

    sim::Simulator simulator{Server()};
    MemorySettingsStore settings;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
};

TEST_F(Posting, TheAcmeLedgerFormatCreatesTheLedger) {
    const QString outcome = engine.PostTemplateRecord(link, QStringLiteral("LEDGERS GST"), Company, AcmeRow);
    EXPECT_EQ(outcome, QStringLiteral("CREATED "));
    EXPECT_TRUE(simulator.objectExists(Company.toStdString(), "LEDGER", "Acme Traders"));
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();

    const XmlDocument request = OnlyRequest();
    const XmlNode message = request.firstElement(QStringLiteral("TALLYMESSAGE"));
    ASSERT_TRUE(message);
    EXPECT_EQ(NodeName(message.parent()), QStringLiteral("REQUESTDATA"));
    EXPECT_STREQ(message.attribute("xmlns:UDF").value(), "TallyUDF");
    XmlDocument ledger;
    ASSERT_TRUE(ledger.loadXml(QStringLiteral(
        "<LEDGER NAME=\"Acme Traders\"><PARENT>Sundry "
        "Debtors</PARENT><OPENINGBALANCE>1500.00</OPENINGBALANCE>"
        "<ISBILLWISEON>YES</ISBILLWISEON><MAILINGNAME.LIST><MAILINGNAME>Acme Traders</MAILINGNAME>"
        "</MAILINGNAME.LIST><NAME.LIST><NAME>Acme Traders</NAME></NAME.LIST></LEDGER>")));
    XmlDocument sent;
    sent.node().append_copy(message.first_child());
    EXPECT_EQ(sent.xml(), ledger.xml());
}

TEST_F(Posting, ImportDataEnvelopeUnlessTheSourceIsExactlyAlt) {
    struct Case {
        const char* name;
        std::optional<QString> source;
        const char* container;
    };
    const Case cases[] = {{"Null", std::nullopt, "REQUESTDATA"},
                          {"Empty", QString(), "REQUESTDATA"},
                          {"SmallLetters", QStringLiteral("alt"), "REQUESTDATA"},
                          {"WithBlank", QStringLiteral("ALT "), "REQUESTDATA"},
                          {"Alt", QStringLiteral("ALT"), "DATA"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        database.execute(QStringLiteral("DELETE FROM QuiboMst_"));
        Mst("LEDGERSGST", "LEDGER", 7, c.source);
        simulator.clearRequestLog();
        EXPECT_FALSE(
            engine.PostTemplateRecord(link, QStringLiteral("LEDGERSGST"), Company, AcmeRow).isEmpty());
        const XmlDocument request = OnlyRequest();
        const XmlNode message = request.firstElement(QStringLiteral("TALLYMESSAGE"));
        ASSERT_TRUE(message);
        EXPECT_EQ(NodeName(message.parent()), QString::fromLatin1(c.container));
        const bool alt = QByteArray(c.container) == "DATA";
        EXPECT_EQ(bool(request.firstElement(QStringLiteral("IMPORTDUPS"))), alt);
        EXPECT_EQ(bool(request.firstElement(QStringLiteral("REPORTNAME"))), !alt);
        EXPECT_EQ(TextContent(request.firstElement(QStringLiteral("SVCURRENTCOMPANY"))), Company);
        EXPECT_EQ(NodeName(message.first_child()), QStringLiteral("LEDGER"));
    }
}

TEST_F(Posting, FormatNameLosesItsBlanks) {
    Mst("STOCKITEMSGST", "STOCKITEM", 8);
    Det(8, {1, 1, "STOCKITEM", "NAME", "A", {}, {}, "NAME"});
    engine.PostTemplateRecord(link, QStringLiteral(" STOCK ITEMSGST "), Company, AcmeRow);
    const XmlDocument request = OnlyRequest();
    const XmlNode item = request.firstElement(QStringLiteral("STOCKITEM"));
    ASSERT_TRUE(item);
    EXPECT_STREQ(item.attribute("NAME").value(), "Acme Traders");
}

TEST_F(Posting, MissingFormatSendsNothing) {
    const QString outcome = engine.PostTemplateRecord(link, QStringLiteral("UNKNOWNGST"), Company, AcmeRow);
    EXPECT_EQ(outcome, QString());
    EXPECT_TRUE(simulator.requestLog().empty());
    EXPECT_EQ(locations(), QStringList{QStringLiteral("C03--0006")});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("Format not found: UNKNOWNGST")));
}

TEST_F(Posting, ErrorInTheExpansionSendsNothing) {
    // Bank Charges has no balance: its conditional reads "IF  > 0 ..." and is refused.
    const QString outcome = engine.PostTemplateRecord(link, QStringLiteral("LEDGERSGST"), Company, 2);
    EXPECT_EQ(outcome, QString());
    EXPECT_TRUE(simulator.requestLog().empty());
    EXPECT_EQ(locations(), QStringList{QStringLiteral("C03--0006")});
}

TEST_F(Posting, UnusableElementNameSendsNothing) {
    database.execute(QStringLiteral("UPDATE QuiboMst_ SET TType = 'LED GER'"));
    EXPECT_EQ(engine.PostTemplateRecord(link, QStringLiteral("LEDGERSGST"), Company, AcmeRow), QString());
    EXPECT_TRUE(simulator.requestLog().empty());
    EXPECT_EQ(locations(), QStringList{QStringLiteral("C02-0012")});
}

TEST_F(Posting, RefusedExchangeGivesTheEmptyOutcome) {
    simulator.stop();
    EXPECT_EQ(engine.PostTemplateRecord(link, QStringLiteral("LEDGERSGST"), Company, AcmeRow), QString());
    EXPECT_EQ(locations(), QStringList{QStringLiteral("C02-0001")});
}

TEST_F(Posting, ServerRefusalIsTheOutcome) {
    // The parent group does not exist on the server.
    grid.SetCellText(AcmeRow, 2, QStringLiteral("No Such Group"));
    const QString outcome = engine.PostTemplateRecord(link, QStringLiteral("LEDGERSGST"), Company, AcmeRow);
    EXPECT_TRUE(outcome.contains(QStringLiteral("ERRORS"))) << outcome.toStdString();
    EXPECT_FALSE(simulator.objectExists(Company.toStdString(), "LEDGER", "Acme Traders"));
}

} // namespace
} // namespace quibo::test
