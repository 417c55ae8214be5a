// The format-driven vouchers: which rows make one voucher built from a format, its company, what
// each request holds, the outcome on its rows; and how GetFieldValue reads a format's tag.

#include "tally/HttpTransport.h"
#include "tally/TallyLink.h"
#include "tally/XmlDocument.h"
#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherFormats.h"
#include "vouchers/VoucherPosters.h"

#include <QFile>

namespace quibo {
namespace {

using test::Mehta;
using test::Sharma;

// Answers each request with the next scripted reply (CREATED when none is left) and keeps the bodies.
struct ScriptedTransport final : HttpTransport {
    HttpReply post(const QString&, const QByteArray& body, const QStringList&) override {
        bodies.push_back(body);
        QByteArray reply = "<RESPONSE><CREATED>1</CREATED><ERRORS>0</ERRORS></RESPONSE>";
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        }
        return HttpReply{true, 200, reply, QStringLiteral("text/xml"), {}, 0};
    }
    HttpReply getWithBody(const QString& url, const QByteArray& body) override { return post(url, body, {}); }
    std::vector<QByteArray> bodies;
    std::deque<QByteArray> replies;
};

const QString Gst = QStringLiteral("TRANSACTIONSGST");
const QString Own = QStringLiteral("SHARMA'S PAYMENTS"); // a user's format: its key from fixed tags

struct FormatVouchers : test::PostingFixture {
    ScriptedTransport transport;
    TallyLink link{settings, errors, transport};

    FormatVouchers() {
        test::StoreGstFormat(db, 1);
        test::StoreFormat(db, Own, 3);
        for (const char* tag : {"VOUCHERTYPENAME", "VOUCHERNUMBER", "DATE"})
            test::StoreTag(db, 3, 1, 1, QStringLiteral("VOUCHER"), QString::fromLatin1(tag), "N", {},
                           QStringLiteral("Payment"));
        test::StoreLedgerLines(db, 3, QStringLiteral("LEDGER"));
        form.CurrentCompany = QStringLiteral("Left by an earlier run");
    }
    void Post(const QString& format) {
        form.cmbTableName.Clear();
        form.cmbTableName.AddItem(format);
        form.cmbTableName.SetListIndex(0);
        (format == Gst ? PostTransactionGST : PostCustomFormat)(form, link);
    }
    // Each request in short: "company/voucher number: ledger, ledger".
    QStringList Requests() const {
        QStringList out;
        for (const QByteArray& body : transport.bodies) {
            XmlDocument doc;
            doc.loadXml(QString::fromUtf8(body));
            QStringList ledgers;
            for (XmlNode name : doc.elementsByName(QStringLiteral("LEDGERNAME")))
                ledgers << TextContent(name);
            const auto text = [&](const char* name) {
                const XmlNode node = doc.firstElement(QString::fromLatin1(name));
                return node ? TextContent(node) : QString();
            };
            out << text("SVCURRENTCOMPANY") + QLatin1Char('/') + text("VOUCHERNUMBER") +
                       QStringLiteral(": ") + ledgers.join(QStringLiteral(", "));
        }
        return out;
    }
    QStringList Statuses() const {
        QStringList out;
        for (int row = 1; row <= form.GR1.RowCount(); ++row)
            out << Status(row);
        return out;
    }
};

const QStringList Keyed = {"VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "AMOUNT"};
const QStringList ById = {"ID", "VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "AMOUNT"};
const QStringList WithCompany = {"VCHTYPE", "VCHNO", "VCHDATE", "LEDGER", "AMOUNT", "COMPANYNAME"};
const QStringList Blank5 = {"", "", "", "", ""};
const QString S = Sharma + QLatin1Char('/');
const QString Done = QStringLiteral("CREATED ");
const QString NulIn = QStringLiteral("B") + QChar(u'\0');
const QString NulLedger = QStringLiteral("ERROR: column LEDGER holds a NUL character");

struct LoopCase {
    const char* name;
    QString format;
    QStringList fields;
    QList<QStringList> rows;
    QStringList requests;
    QStringList statuses; // every grid row's, the closing empty row's last
};

const LoopCase LoopCases[] = {
    {"AGridOfOnlyTheEmptyRowSendsNothing", Gst, Keyed, {}, {}, {""}},
    {"TwoVouchersOfThreeRows",
     Gst,
     Keyed,
     {{"Sales", "1", "d", "A", "-3"},
      {"Sales", "1", "d", "B", "1"},
      {"Sales", "1", "d", "C", "2"},
      {"Sales", "2", "d", "D", "-1"},
      {"Sales", "2", "d", "E", "1"},
      {"Sales", "2", "d", "F", "0"}},
     {S + "1: A, B, C", S + "2: D, E, F"},
     {"", "", Done, "", "", Done, ""}},
    {"SeparatedRunsOfOneKeyAreTwoVouchers",
     Gst,
     Keyed,
     {{"Sales", "1", "d", "A", "1"}, {"Sales", "2", "d", "B", "1"}, {"Sales", "1", "d", "C", "1"}},
     {S + "1: A", S + "2: B", S + "1: C"},
     {Done, Done, Done, ""}},
    {"TheIdGroupsAndABlankIdBelongsToNoVoucher",
     Gst,
     ById,
     {{"A", "Sales", "1", "d", "A", "1"},
      {"A", "Sales", "9", "e", "B", "1"},
      {" ", "Sales", "1", "d", "C", "1"},
      {"B", "Sales", "2", "d", "D", "1"}},
     {S + "1: A, B", S + "2: D"},
     {"", Done, "ERROR: empty ID", Done, ""}},
    {"EmptyRowsStartNoVoucherAndEachVoucherGoesOnce",
     Gst,
     Keyed,
     {Blank5, {"Sales", "1", "d", "A", "1"}, Blank5, {"Sales", "2", "d", "B", "1"}},
     {S + "1: A", S + "2: B"},
     {"", Done, "", Done, ""}},
    {"FixedKeyTagsMakeOneVoucherSentAtTheClosingRow",
     Own,
     {"LEDGER", "AMOUNT"},
     {{"Rent", "1"}, {"Cash", "-1"}},
     {S + "Payment: Rent, Cash"},
     {"", Done, ""}},
    {"EachVoucherGoesToTheCompanyOfItsFirstRowNeverToAStaleOne",
     Gst,
     WithCompany,
     {{"Sales", "1", "d", "A", "1", Mehta},
      {"Sales", "1", "d", "B", "1", ""},
      {"Sales", "2", "d", "C", "1", "  "}},
     {Mehta + "/1: A, B", S + "2: C"},
     {"", Done, Done, ""}},
    // A NUL character refuses the voucher it is in, on whichever of its rows.
    {"ACellHoldingANulRefusesItsVoucherBeforeItIsBuilt",
     Gst,
     Keyed,
     {{"Sales", "1", "d", "A", "-1"},
      {"Sales", "1", "d", NulIn, "1"},
      {"Sales", "2", "d", NulIn, "0"},
      {"Sales", "3", "d", "D", "0"}},
     {S + "3: D"},
     {"", NulLedger, NulLedger, Done, ""}},
};

class Loop : public FormatVouchers, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(Loop, SendsEachVoucherOnceFromItsRows) {
    const LoopCase& c = GetParam();
    Load(c.fields, c.rows);
    Post(c.format);
    EXPECT_EQ(Requests(), c.requests);
    EXPECT_EQ(Statuses(), c.statuses);
    EXPECT_EQ(Progress().last(), QStringLiteral("Finished Posing of Data."));
    EXPECT_EQ(Locations(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(FormatVouchers, Loop, ::testing::ValuesIn(LoopCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatVouchers, AVoucherStillOpenAfterTheLastRowIsSent) {
    Load(Keyed, {{"Sales", "1", "d", "A", "1"}}, false);
    Post(Gst);
    EXPECT_EQ(Requests(), QStringList({S + "1: A"}));
}

TEST_F(FormatVouchers, CountsTheVouchersSentAndYieldsOncePerRow) {
    Load(Keyed, {{"Sales", "1", "d", "A", "1"}, {"Sales", "2", "d", "B", "1"}});
    Post(Gst);
    EXPECT_EQ(Progress(), QStringList({"", "Processed Document: 1", "Processed Document: 2",
                                       "Finished Posing of Data."}));
    EXPECT_EQ(yield.count, 3);
    EXPECT_EQ(form.GR1.SelectedRow(), 2);
    EXPECT_EQ(form.CurrentCompany, Sharma);
}

TEST_F(FormatVouchers, TheRequestCarriesTheFirstRowsCompanyAttributesAndHeaderAndAGroupPerRow) {
    Load(ById + QStringList{"COMPANYNAME"},
         {{"S-1", "Sales", "S/101", "1-Apr-2024", "Gupta & Sons", "-1180", Mehta},
          {"S-1", "Purchase", "S/999", "2-Apr-2024", "Sales 18%", "1180", ""}});
    Post(Gst);
    ASSERT_EQ(transport.bodies.size(), 1u);
    QFile golden(QStringLiteral(QUIBO_VOUCHERS_GOLDEN "/gst-voucher.xml"));
    if (qEnvironmentVariable("QUIBO_UPDATE_GOLDEN") == QLatin1String("1")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(transport.bodies[0]);
    } else {
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
        EXPECT_EQ(transport.bodies[0].toStdString(), golden.readAll().toStdString());
    }
}

TEST_F(FormatVouchers, EachOutcomeMarksItsVoucherRedOnlyByAnIdAndASecondPostClearsIt) {
    struct Mark {
        QByteArray reply;
        QString status;
        int icon;
    };
    const Mark marks[] = {
        {"<RESPONSE><ERRORS>1</ERRORS><LINEERROR>Ledger 'X' does not exist!</LINEERROR></RESPONSE>",
         "ERRORS Ledger 'X' does not exist! - ", 1},
        {"created", "created", 0},
        {"<RESPONSE><CREATED>1</CREATED><LINEERROR>ERROR in line</LINEERROR></RESPONSE>",
         "CREATED ERROR in line - ", 1},
        {"", "ERROR: no reply from the Tally server", 1},
    };
    for (const bool byId : {false, true}) {
        SCOPED_TRACE(byId ? "ID" : "no ID");
        QList<QStringList> rows;
        for (const Mark& mark : marks) {
            transport.replies.push_back(mark.reply);
            const QString n = QString::number(rows.size());
            const QStringList id = byId ? QStringList{n} : QStringList{};
            rows << id + QStringList{"Sales", n, "d", "A", "1"}
                 << id + QStringList{"Sales", n, "d", "B", "-1"};
        }
        Load(byId ? ById : Keyed, rows);
        Post(Gst);
        for (int n = 0; n < int(std::size(marks)); ++n) {
            EXPECT_EQ(Status(2 * n + 2), marks[n].status) << n;
            EXPECT_EQ(Icon(2 * n + 2), marks[n].icon) << n;
            const bool red = byId && marks[n].icon == 1; // every row of a failed voucher, by its ID
            for (const int row : {2 * n + 1, 2 * n + 2})
                EXPECT_TRUE(red ? Red(row) && Bold(row) : Unmarked(row)) << row;
        }
    }
    Post(Gst); // every voucher goes through now
    for (int row = 1; row < form.GR1.RowCount(); ++row) {
        EXPECT_EQ(Status(row), row % 2 ? QString() : Done) << row;
        EXPECT_TRUE(Unmarked(row)) << row;
    }
}

TEST_F(FormatVouchers, AnImportTypeWithoutItsFormatEndsTheRunBeforeSending) {
    db.execute(QStringLiteral("UPDATE QuiboMst_ SET TName = 'TRANSACTIONS GST' WHERE TNo = 1"));
    Load(Keyed, {{"Sales", "1", "d", "A", "1"}});
    Post(Gst);
    EXPECT_EQ(transport.bodies.size(), 0u);
    EXPECT_EQ(Locations(), QStringList({"F01-0023"}));
    EXPECT_EQ(Statuses(), QStringList({"", ""}));
}

TEST_F(FormatVouchers, GetFieldValueGivesTheFormatsValueForTheRow) {
    const auto tag = [&](const char* group, const char* name, const char* field,
                         std::optional<QString> fixed = {}) {
        test::StoreTag(db, 4, 1, 1, QString::fromUtf8(group), QString::fromUtf8(name), "N",
                       QString::fromUtf8(field), fixed);
    };
    tag("VOUCHER", "NARRATION", "AMOUNT", QStringLiteral(""));
    tag("VOUCHER", "DATE", "{#3}");
    tag("VOUCHER", "REFERENCE", "ledger");
    tag("Party's", "O'Brien", "VCHNO");
    Load(Keyed, {{"Sales", "S/1", "1-Apr-2024", "Cash", "5"}});
    const auto value = [&](const char* group, const char* name) {
        return GetFieldValue(db, form.GR1, QString::fromUtf8(group), QString::fromUtf8(name), 4, 1);
    };
    EXPECT_EQ(value("VOUCHER", "VCHTYPE"), QString());
    EXPECT_EQ(value("VOUCHER", "NARRATION"), QString());
    EXPECT_EQ(value("VOUCHER", "DATE"), QStringLiteral("1-Apr-2024"));
    EXPECT_EQ(value("VOUCHER", "REFERENCE"), QStringLiteral("Cash"));
    EXPECT_EQ(value("Party's", "O'Brien"), QStringLiteral("S/1"));
}

} // namespace
} // namespace quibo
