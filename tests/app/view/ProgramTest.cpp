// The quibo executable without a display: what a scheduler sees.
#ifdef QUIBO_EXE

#include "support/TestServices.h"
#include "tally-sim/Simulator.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QString Workbook = QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls");

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Options options;
        options.companies = {"Acme Traders"};
        server = std::make_unique<sim::Simulator>(options);
        port = QString::number(server->start(0));
    }

    struct Run {
        int exitCode = -1;
        QString errors;
    };

    // Runs the program with a fresh data folder and settings store, and no display.
    Run Quibo(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("QUIBO20_HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUIBO_EXE), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    test::TempFolder home;
    test::TempFolder config;
    std::unique_ptr<sim::Simulator> server;
    QString port;
};

TEST_F(ProgramTest, WithoutArgumentsOrSettingsItSaysWhyAndEndsWithStatus2) {
    const Run run = Quibo({});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("[Dialog] Set Tally Server Address & port")))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral(
        "quibo: no company is current after the refresh; there is no display to show the window on, so the "
        "program ends.")))
        << run.errors.toStdString();
    EXPECT_TRUE(server->requestLog().empty());
}

TEST_F(ProgramTest, AnUnattendedRunPostsWritesTheReportAndEndsWithStatus0) {
    const QString report = home.file(QStringLiteral("report.txt"));
    const Run run = Quibo({QStringLiteral("XLS"), Workbook, QStringLiteral("Ledgers"), QString(), report,
                           QStringLiteral("127.0.0.1"), port, QStringLiteral("POSTSILENT")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(QFile::exists(report));
    // The refresh's four requests, then one import per ledger of the workbook.
    EXPECT_EQ(server->requestLog().size(), 8u);
    // The address and port are kept for later runs.
    QFile conf(config.file(QStringLiteral("Quibo20/Quibo20.conf")));
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    const QByteArray stored = conf.readAll();
    EXPECT_TRUE(stored.contains("ServerAddress=127.0.0.1")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("PortNo=" + port.toLatin1())) << stored.toStdString();
}

TEST_F(ProgramTest, AFailedGateEndsWithStatus2AndTheReason) {
    const Run run =
        Quibo({QStringLiteral("XLS"), Workbook, QStringLiteral("LEDGERS"), QStringLiteral("acme traders"),
               QString(), QStringLiteral("127.0.0.1"), port, QStringLiteral("POST")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral(
        "quibo: argument 4 \"acme traders\" is not the current company \"Acme Traders\" (compared exactly)")))
        << run.errors.toStdString();
}

TEST_F(ProgramTest, APostThatStoppedAtItsChecksIsNotASuccess) {
    const Run run = Quibo({QStringLiteral("XLS"), Workbook, QStringLiteral("UNITS"), QString(), QString(),
                           QStringLiteral("127.0.0.1"), port, QStringLiteral("POSTSILENT")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("[Critical] Import Type\nSelect a Import Type.\n")))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("quibo: the post stopped: no import type is selected\n")))
        << run.errors.toStdString();
}

} // namespace
} // namespace quibo

#endif
