#pragma once

// End to end: the quibo program run unattended (POSTSILENT), as a scheduler would start it, against
// the quibo-tally-sim program, with a private home for its settings, local database and error log.
// Report files and what the server stored are compared with expected files.
//
// QUIBO_WRITE_EXPECTED=1 writes what the runs produced into the expected files instead of comparing:
// for a deliberate change of a fixture; read the difference before committing it.

#include "support/TestServices.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace pugi {
class xml_node;
}

namespace quibo::test {

QByteArray ReadFile(const QString& path);

// Compares the bytes with `folder`/expected/`name`, or writes them there when asked to.
void ExpectFile(const QByteArray& actual, const QString& folder, const QString& name);

// The server's dump keeping only the children of each COMPANY that `keep` accepts, indented two
// blanks a level. A dump that is not XML fails the test.
QByteArray DumpKeeping(const QByteArray& dump, bool (*keep)(const pugi::xml_node& child));

// Starts the simulated server with the companies "Sharma Traders" and "Mehta Exports"; Post runs the
// program over one sheet of a workbook, to "Sharma Traders".
class UnattendedRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the program over the sheet and returns its report file's bytes; the run must end with
    // status 0 and no message on standard error.
    QByteArray Post(const QString& workbook, const QString& sheet, const QString& reportName);

    struct Ended {
        int exitCode = -1;
        QString errors; // standard error
        bool reportWritten = false;
        QByteArray report;
    };
    // Runs the program on a source of `kind` to "Sharma Traders", reporting into `reportName`, and
    // tells how it ended.
    Ended Run(const QString& kind, const QString& source, const QString& importType,
              const QString& reportName);
    // Stops the server (SIGTERM) and returns its dump.
    QByteArray StopServer();

    TempFolder folder;
    QProcess server;
    QString port;
    // The program and arguments Run starts the program through, as in "setpriv ... quibo ...";
    // empty: the program is started directly.
    QStringList launcher;
};

} // namespace quibo::test
