// End to end: the quibo program run unattended (POSTSILENT) over data/e2e.xls against the
// quibo-tally-sim program: the ledgers first, then the TRANSACTIONS sheet. The transactions' report
// file and the vouchers the server stored are compared with the files in data/expected/.
//
// QUIBO_WRITE_EXPECTED=1 writes what the runs produced into data/expected/ instead of comparing: for
// a deliberate change of the fixture; read the difference before committing it.

#include "support/TestServices.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <pugixml.hpp>

#include <sstream>

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ExpectFile(const QByteArray& actual, const QString& name) {
    const QString path = Data + QStringLiteral("/expected/") + name;
    if (qEnvironmentVariableIntValue("QUIBO_WRITE_EXPECTED") == 1) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(actual);
        return;
    }
    EXPECT_EQ(actual.toStdString(), ReadFile(path).toStdString()) << name.toStdString();
}

// The vouchers of each company in the server's dump, indented two blanks a level.
QByteArray StoredVouchers(const QByteArray& dump) {
    pugi::xml_document doc;
    if (!doc.load_buffer(dump.constData(), size_t(dump.size()))) {
        ADD_FAILURE() << "the server's dump is not XML:\n" << dump.toStdString();
        return {};
    }
    for (pugi::xml_node company : doc.document_element().children("COMPANY")) {
        for (pugi::xml_node child = company.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (std::string_view(child.name()) != "VOUCHER") company.remove_child(child);
            child = next;
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
    return QByteArray::fromStdString(out.str());
}

class UnattendedVouchers : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(folder.path()).mkpath(QStringLiteral("home/config"));
        QDir(folder.path()).mkpath(QStringLiteral("home/runtime"));
        QFile::setPermissions(folder.file(QStringLiteral("home/runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        server.setProgram(QStringLiteral(QUIBO_TALLY_SIM_EXE));
        server.setArguments({"--port", "0", "--company", "Sharma Traders", "--company", "Mehta Exports",
                             "--exit-after-idle", "120", "--dump", folder.file(QStringLiteral("store.xml"))});
        server.start();
        ASSERT_TRUE(server.waitForStarted(10000));
        ASSERT_TRUE(server.waitForReadyRead(10000));
        const QString line = QString::fromUtf8(server.readLine()).trimmed();
        const auto match =
            QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$")).match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        port = match.captured(1);
    }

    void TearDown() override {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(10000);
        }
    }

    // Runs the program unattended over one sheet; returns its report file's bytes.
    QByteArray Post(const QString& sheet) {
        const QString report = folder.file(sheet + QStringLiteral(".txt"));
        QProcess quibo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString home = folder.file(QStringLiteral("home"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QUIBO20_HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
        quibo.setProcessEnvironment(environment);
        quibo.start(QStringLiteral(QUIBO_EXE), {"XLS", Data + QStringLiteral("/e2e.xls"), sheet,
                                                "Sharma Traders", report, "127.0.0.1", port, "POSTSILENT"});
        EXPECT_TRUE(quibo.waitForFinished(60000)) << sheet.toStdString();
        EXPECT_EQ(quibo.exitStatus(), QProcess::NormalExit);
        const std::string messages = quibo.readAllStandardError().toStdString();
        EXPECT_EQ(quibo.exitCode(), 0) << messages;
        // No message box was shown: nothing failed along the way.
        EXPECT_EQ(messages, "") << sheet.toStdString();
        return ReadFile(report);
    }

    QByteArray StopServer() {
        server.terminate();
        EXPECT_TRUE(server.waitForFinished(10000));
        EXPECT_EQ(server.exitCode(), 0) << server.readAllStandardError().toStdString();
        return ReadFile(folder.file(QStringLiteral("store.xml")));
    }

    test::TempFolder folder;
    QProcess server;
    QString port;
};

TEST_F(UnattendedVouchers, PostsTheTransactionsAfterTheirLedgersAndReportsEachVoucher) {
    const QByteArray ledgers = Post(QStringLiteral("LEDGERS"));
    EXPECT_EQ(ledgers.count("CREATED"), 4) << ledgers.toStdString();
    ExpectFile(Post(QStringLiteral("TRANSACTIONS")), QStringLiteral("transactions-report.txt"));
    ExpectFile(StoredVouchers(StopServer()), QStringLiteral("store.xml"));
}

} // namespace
} // namespace quibo
