#include "staging/VoucherFixture.h"

#include "staging/VoucherMessage.h"
#include "support/GoldenFile.h"

#include <QStringList>

namespace quibo::test {

HttpReply RecordingTransport::post(const QString&, const QByteArray& body, const QStringList&) {
    bodies.push_back(body);
    HttpReply reply;
    reply.sent = true;
    reply.status = 200;
    reply.body = "<RESPONSE><CREATED>1</CREATED><ALTERED>0</ALTERED><ERRORS>0</ERRORS></RESPONSE>";
    return reply;
}

HttpReply RecordingTransport::getWithBody(const QString& url, const QByteArray& body) {
    return post(url, body);
}

void VoucherTest::Stage(const char* table, Cells cells, const QString& company) {
    QStringList columns{QStringLiteral("CompanyName")};
    QVariantList values{company};
    for (const auto& [column, value] : cells) {
        columns.append(QString::fromLatin1(column));
        values.append(value);
    }
    db.insert(QString::fromLatin1(table), columns, values);
}

QByteArray VoucherTest::Sent(const QString& voucherId, const QString& company, bool expectPosted) {
    const size_t before = transport.bodies.size();
    SendVoucher(link, db, company, voucherId, QStringLiteral("Create"));
    const bool posted = transport.bodies.size() == before + 1;
    EXPECT_EQ(posted, expectPosted) << "requests posted: " << transport.bodies.size() - before;
    return posted ? transport.bodies.back() : QByteArray();
}

void ExpectGolden(const QByteArray& bytes, const QString& name) {
    ExpectGoldenFile(bytes, QStringLiteral(QUIBO_STAGING_GOLDEN), name);
}

} // namespace quibo::test
