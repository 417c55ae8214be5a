// What an invoice's staged rows become on the wire (golden bytes of one VAT invoice), and the two
// invoice operations no import type reaches, each posting a voucher to the simulated server.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/HttpTransport.h"
#include "tally/TallyLink.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>

namespace quibo {
namespace {

using test::Sharma;

const QStringList Vat = {
    "VCHTYPE",    "VCHNO",         "VCHDATE",          "REFNO",           "LEDGER",
    "DEBIT",      "CREDIT",        "NARRATION",        "ADJMETHOD",       "ADJNAME",
    "ADJDATE",    "ADJAMOUNT",     "ITEMNAME",         "ITEMDESCRIPTION", "QUANTITY",
    "UNIT",       "RATE",          "GODOWNNAME",       "BATCHNAME",       "COSTCENTRE",
    "COSTAMOUNT", "ASSESSABLEAMT", "TAXRATE",          "SERVICETAXON",    "SERVICETAX",
    "BankAmount", "BankName",      "InstrumentNumber", "VCHVIEWTYPE",     "CONSIGNEEADDRESS"};

// Keeps the request bodies and answers CREATED.
class RecordingTransport final : public HttpTransport {
public:
    HttpReply post(const QString&, const QByteArray& body, const QStringList&) override {
        bodies.push_back(body);
        HttpReply reply;
        reply.sent = true;
        reply.status = 200;
        reply.body = "<RESPONSE><CREATED>1</CREATED></RESPONSE>";
        return reply;
    }
    HttpReply getWithBody(const QString& url, const QByteArray& body) override { return post(url, body, {}); }
    std::vector<QByteArray> bodies;
};

void ExpectGolden(const QByteArray& bytes, const QString& name) {
    QFile file(QStringLiteral(QUIBO_VOUCHERS_GOLDEN "/") + name);
    if (qEnvironmentVariable("QUIBO_UPDATE_GOLDEN") == QLatin1String("1")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    EXPECT_EQ(bytes.toStdString(), file.readAll().toStdString()) << name.toStdString();
}

struct InvoicePosting : test::PostingFixture {};

TEST_F(InvoicePosting, AVatInvoiceGoesOutWithItsLinesAndWhatHangsUnderThem) {
    Load(Vat, {
                  {"Sales",
                   "7",
                   "01-04-2024",
                   "R-7",
                   "Joshi Electricals",
                   "1250",
                   "",
                   "Wire and pipe",
                   "",
                   "INV-7",
                   "30 Days",
                   "1250",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "1250",
                   "Canara Bank",
                   "004512",
                   "Invoice",
                   "12 MG Road~Pune"},
                  {"Sales",
                   "7",
                   "01-04-2024",
                   "",
                   "Sales",
                   "",
                   "1000",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "Copper Wire",
                   "2.5 sq mm~~Red",
                   "10",
                   "Mtr",
                   "60",
                   "Store",
                   "B-1",
                   "Showroom",
                   "1000",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   ""},
                  {"Sales", "7",   "01-04-2024", "", "", "", "", "", "", "", "", "", "PVC Pipe", "", "4",
                   "Nos",   "100", "",           "", "", "", "", "", "", "", "", "", "",         "", ""},
                  {"Sales",
                   "7",
                   "01-04-2024",
                   "",
                   "Service Tax",
                   "",
                   "250",
                   "",
                   "New Ref",
                   "ST-1",
                   "",
                   "250",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "1000",
                   "12.5%",
                   "Installation",
                   "125",
                   "",
                   "",
                   "",
                   "",
                   ""},
              });
    RecordingTransport transport;
    TallyLink link{settings, errors, transport};
    VoucherRun run(form, db);
    run.Run(VATTransactionKind(run), TallyVoucherSender(link, db));
    ASSERT_EQ(transport.bodies.size(), 1u);
    ExpectGolden(transport.bodies.front(), QStringLiteral("vat-invoice.xml"));
}

// Posting to the simulated server, which holds the masters the vouchers name.
struct UnroutedOperations : test::PostingFixture {
    UnroutedOperations() {
        sim::Options options;
        options.companies = {Sharma.toStdString()};
        server = std::make_unique<sim::Simulator>(options);
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(server->start()));
        Seed("<LEDGER NAME=\"Joshi Electricals\"><PARENT>Sundry Debtors</PARENT></LEDGER>");
        Seed("<LEDGER NAME=\"Sales\"><PARENT>Sales Accounts</PARENT></LEDGER>");
        Seed("<STOCKITEM NAME=\"Copper Wire\"></STOCKITEM>");
    }
    void Seed(const char* master) {
        const std::string reply = server->answer(
            "<ENVELOPE><HEADER><TALLYREQUEST>Import Data</TALLYREQUEST></HEADER><BODY><IMPORTDATA>"
            "<REQUESTDESC><REPORTNAME>All Masters</REPORTNAME><STATICVARIABLES><SVCURRENTCOMPANY>Sharma "
            "Traders</SVCURRENTCOMPANY></STATICVARIABLES></REQUESTDESC><REQUESTDATA><TALLYMESSAGE>" +
            std::string(master) + "</TALLYMESSAGE></REQUESTDATA></IMPORTDATA></BODY></ENVELOPE>");
        ASSERT_NE(reply.find("<CREATED>1</CREATED>"), std::string::npos) << reply;
    }
    QString Stored() const { return QString::fromStdString(server->storeXml(Sharma.toStdString())); }

    std::unique_ptr<sim::Simulator> server;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
};

TEST_F(UnroutedOperations, TheTaxClassifiedOperationPostsAVoucher) {
    Load({"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION",
          "TAXCLASSIFICATION"},
         {{"Sales", "1", "01-04-2024", "", "Joshi Electricals", "600", "", "Wire", ""},
          {"Sales", "1", "01-04-2024", "", "Sales", "", "600", "Wire", "Output VAT 12.5%"}});
    PostVATTransactionOOO(form, link);
    EXPECT_EQ(Status(2), QStringLiteral("LASTVCHID CREATED "));
    EXPECT_TRUE(Stored().contains(QStringLiteral("<TAXCLASSIFICATIONNAME>Output VAT 12.5%")));
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(UnroutedOperations, TheReducedVatOperationPostsAnInvoice) {
    Load(Vat.mid(0, 18), {{"Sales", "1", "01-04-2024", "", "Joshi Electricals", "600", "", "Wire", "",
                           "INV-1", "", "600", "", "", "", "", "", ""},
                          {"Sales", "1", "01-04-2024", "", "Sales", "", "600", "Wire", "", "", "", "",
                           "Copper Wire", "", "10", "Mtr", "60", ""}});
    PostVATTransactionXX(form, link);
    EXPECT_EQ(Status(2), QStringLiteral("LASTVCHID CREATED "));
    EXPECT_TRUE(Stored().contains(QStringLiteral("<STOCKITEMNAME>Copper Wire</STOCKITEMNAME>")));
    EXPECT_EQ(Locations(), QStringList());
}

} // namespace
} // namespace quibo
