#include "base/ErrorReporter.h"

#include "base/Trap.h"
#include "support/TestServices.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::FakeClock;
using test::ScriptedMessageBox;
using test::TempFolder;

ErrorReporter::Platform FixedPlatform() {
    return {[] { return QStringLiteral("ACCTS-PC"); }, [] { return QStringLiteral("3.40.1"); },
            [](uint32_t code) {
                return code == 5 ? QStringLiteral("Access is denied.\r\n")
                                 : QStringLiteral("No such file\r\nor directory");
            }};
}

PendingError Error(int32_t number, const QString& description, int32_t line = 0, uint32_t sys = 0) {
    return PendingError{number, QStringLiteral("Quibo"), description, {}, 0, line, sys};
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

struct ReporterFixture : ::testing::Test {
    TempFolder folder;
    ScriptedMessageBox boxes;
    FakeClock clock;
    ErrorReporter reporter{boxes, clock, folder.path(), FixedPlatform()};
};

TEST_F(ReporterFixture, ReportBoxAndLogOfARefreshError) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9)));
    const QString report =
        reporter.ErrorIn(QStringLiteral("F01-0014"), Error(91, QStringLiteral("Object variable not set")));

    const QString expected =
        QStringLiteral("Object variable not set \r\n"
                       "=> Computer='ACCTS-PC' Time='12/08/26 14:05:09' ADO-version='3.40.1' \r\n"
                       "=> LOCATION CODE: F01-0014() \r\n");
    EXPECT_EQ(report, expected);
    EXPECT_EQ(reporter.lastReport(), expected);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0 Error = 91"));
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral(
                  "An Error has occured in Quibo 1.0. Please check the following details or call the Help "
                  "Desk for support.\r\n\n") +
                  expected);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);

    // The log holds the report and three empty lines, never the error number.
    EXPECT_EQ(ReadAll(reporter.logPath()), (expected + QStringLiteral("\r\n\r\n\r\n")).toLocal8Bit());
}

TEST_F(ReporterFixture, LogIsAppendedReportAfterReport) {
    reporter.ErrorIn(QStringLiteral("C02-0001"), Error(1, QStringLiteral("first")));
    reporter.ErrorIn(QStringLiteral("C02-0004"), Error(2, QStringLiteral("second")));
    const QString log = QString::fromLocal8Bit(ReadAll(reporter.logPath()));
    EXPECT_EQ(log.count(QStringLiteral("=> LOCATION CODE: ")), 2);
    EXPECT_TRUE(log.startsWith(QStringLiteral("first \r\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("C02-0001() \r\n\r\n\r\n\r\nsecond \r\n")));
}

struct LineCase {
    const char* name;
    int32_t line;
    uint32_t sys;
    const char* tail; // what follows the Computer line
};

class ReportLines : public ReporterFixture, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ReportLines, ApiAndLineParts) {
    const LineCase& c = GetParam();
    const QString report =
        reporter.ErrorIn(QStringLiteral("C01--0020"), Error(5, QStringLiteral("x"), c.line, c.sys));
    const QString tail = report.section(QStringLiteral("\r\n"), 2);
    EXPECT_EQ(tail, QString::fromLatin1(c.tail));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportLines,
    ::testing::Values(LineCase{"NoSystemCodeNoLine", 0, 0, "=> LOCATION CODE: C01--0020() \r\n"},
                      LineCase{"Code203IsNotShown", 0, 203, "=> LOCATION CODE: C01--0020() \r\n"},
                      LineCase{"Code5WithItsTextWithoutLineBreak", 0, 5,
                               "  API Error: (5) Access is denied.\r\n=> LOCATION CODE: C01--0020() \r\n"},
                      LineCase{
                          "LineBreaksInsideTheTextAreRemoved", 0, 2,
                          "  API Error: (2) No such fileor directory\r\n=> LOCATION CODE: C01--0020() \r\n"},
                      LineCase{"KnownLine", 120, 0, "=> LOCATION CODE: C01--0020()  LINE# 120 \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReporterFixture, PercentSignsAndFieldNamesInTheDescriptionStayAsTheyAre) {
    const QString description = QStringLiteral("100% of %Comp% and %nl% and %Descr%");
    const QString report = reporter.ErrorIn(QStringLiteral("F01-0001"), Error(13, description));
    EXPECT_TRUE(report.startsWith(description + QStringLiteral(" \r\n=> Computer='ACCTS-PC'")));
}

TEST_F(ReporterFixture, NoPendingErrorReportsTheLostError) {
    const QString report = reporter.ErrorIn(QStringLiteral("F01-0002"));
    EXPECT_TRUE(
        report.startsWith(QStringLiteral("ErrorIn: Error information was lost. To fix: call ErrPreserve "
                                         "before doing anything in error handler. \r\n")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0 Error = -2147216306"));
}

TEST_F(ReporterFixture, MachineFieldsFallBack) {
    ErrorReporter bare(boxes, clock, folder.path(), ErrorReporter::Platform{});
    const QString report = bare.ErrorIn(QStringLiteral("F01-0003"), Error(1, QStringLiteral("d")));
    EXPECT_TRUE(
        report.contains(QStringLiteral("=> Computer='' Time='12/08/26 10:20:30' ADO-version='?' \r\n")));
}

TEST_F(ReporterFixture, LogThatCannotBeOpenedIsRetriedForAboutASecondThenDropped) {
    // A folder in the log's place: every open fails, as with a file held open elsewhere.
    ASSERT_TRUE(QDir(folder.path()).mkdir(ErrorReporter::LogFileName));
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0, 0)));
    const QString report = reporter.ErrorIn(QStringLiteral("F01-0014"), Error(1, QStringLiteral("d")));
    EXPECT_FALSE(report.isEmpty());
    EXPECT_EQ(boxes.shown.size(), 1u); // the box came first and nothing more is said
    EXPECT_GE(clock.sleptMs, 1000);
    EXPECT_LE(clock.sleptMs, 2200);
    EXPECT_EQ(clock.sleeps, int(clock.sleptMs / 200));

    // The next report tries again, and gets through once the file can be opened.
    ASSERT_TRUE(QDir(folder.path()).rmdir(ErrorReporter::LogFileName));
    reporter.ErrorIn(QStringLiteral("F01-0015"), Error(1, QStringLiteral("again")));
    EXPECT_TRUE(ReadAll(reporter.logPath()).startsWith("again \r\n"));
}

TEST_F(ReporterFixture, TrapReportsTheThrownErrorAndTheProcedureReturnsItsResult) {
    auto procedure = [&] {
        int result = 1;
        Trap(reporter, "F01-0046", [&] {
            result = 2;
            vb::Raise(381, QStringLiteral("Invalid Row value"));
        });
        return result;
    };
    EXPECT_EQ(procedure(), 2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0 Error = 381"));
    EXPECT_TRUE(reporter.lastReport().startsWith(QStringLiteral("Invalid Row value \r\n")));
    EXPECT_TRUE(reporter.lastReport().endsWith(QStringLiteral("=> LOCATION CODE: F01-0046() \r\n")));
}

struct ThrownCase {
    const char* name;
    std::function<void()> thrower;
    int32_t number;
    const char* description;
};

class TrapMapping : public ReporterFixture, public ::testing::WithParamInterface<ThrownCase> {};

TEST_P(TrapMapping, EveryExceptionBecomesAReport) {
    Trap(reporter, "C02-0001", GetParam().thrower);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title,
              QStringLiteral("Quibo 1.0 Error = ") + QString::number(GetParam().number));
    EXPECT_TRUE(reporter.lastReport().startsWith(QString::fromUtf8(GetParam().description)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrapMapping,
    ::testing::Values(ThrownCase{"RuntimeError", [] { vb::Raise(13, QStringLiteral("Type mismatch")); }, 13,
                                 "Type mismatch \r\n"},
                      ThrownCase{
                          "SystemError",
                          [] { vb::RaiseSystemError(75, QStringLiteral("Path/File access error"), 13); }, 75,
                          "Path/File access error \r\n"},
                      ThrownCase{"BadAlloc", [] { throw std::bad_alloc(); }, 7, "Out of memory \r\n"},
                      ThrownCase{"OutOfRange", [] { throw std::out_of_range("vector"); }, 9,
                                 "Subscript out of range (vector)"},
                      ThrownCase{"StdException", [] { throw std::runtime_error("boom"); }, 5, "boom \r\n"},
                      ThrownCase{"Anything", [] { throw 42; }, 5, "Unknown error \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReporterFixture, SystemErrorCodeOfARaisedSystemErrorIsPrinted) {
    Trap(reporter, "C02-0001", [] { vb::RaiseSystemError(75, QStringLiteral("Path/File access error"), 5); });
    EXPECT_TRUE(reporter.lastReport().contains(QStringLiteral("  API Error: (5) Access is denied.\r\n")));
}

TEST(ErrorReporterSystem, RealMachineFieldsAreFilled) {
    TempFolder folder;
    ScriptedMessageBox boxes;
    FakeClock clock;
    ErrorReporter reporter(boxes, clock, folder.path());
    const QString report = reporter.ErrorIn(QStringLiteral("F01-0001"), Error(1, QStringLiteral("d"), 0, 2));
    EXPECT_FALSE(report.contains(QStringLiteral("Computer=''")));
    EXPECT_FALSE(report.contains(QStringLiteral("ADO-version='?'")));
    EXPECT_TRUE(report.contains(QStringLiteral("  API Error: (2) No such file or directory\r\n")));
}

} // namespace
} // namespace quibo
