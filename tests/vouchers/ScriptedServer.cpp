#include "vouchers/ScriptedServer.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace quibo::test {

HttpReply ScriptedServer::post(const QString&, const QByteArray& body, const QStringList&) {
    HttpReply reply;
    reply.sent = true;
    reply.status = 200;
    static const QRegularExpression object(QStringLiteral("<ID TYPE=\"Name\">([^<]*)</ID>"));
    const QRegularExpressionMatch match = object.match(QString::fromUtf8(body));
    if (match.hasMatch()) {
        asked << match.captured(1);
        reply.body =
            missing.contains(match.captured(1))
                ? "<ENVELOPE><BODY><DATA><ERRORMSG>Could not find Ledger</ERRORMSG></DATA></BODY></ENVELOPE>"
                : "<ENVELOPE><BODY><DATA><COLLECTION/></DATA></BODY></ENVELOPE>";
    } else {
        imports.push_back(body);
        reply.body = "<RESPONSE><CREATED>1</CREATED><ALTERED>0</ALTERED><ERRORS>0</ERRORS></RESPONSE>";
    }
    if (mute) reply.body.clear();
    return reply;
}

HttpReply ScriptedServer::getWithBody(const QString& url, const QByteArray& body) {
    return post(url, body);
}

void ExpectGolden(const QByteArray& bytes, const QString& name) {
    const QString path = QStringLiteral(QUIBO_VOUCHERS_GOLDEN "/") + name;
    QFile file(path);
    if (qEnvironmentVariable("QUIBO_UPDATE_GOLDEN") == QLatin1String("1")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no golden file " << path.toStdString();
    EXPECT_EQ(bytes.toStdString(), file.readAll().toStdString()) << "golden file " << name.toStdString();
}

} // namespace quibo::test
