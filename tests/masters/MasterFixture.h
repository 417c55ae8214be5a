#pragma once

// A headless main form posting to the simulated Tally server in-process: the form model with
// scripted services, a link to the server, a loaded source, and readers for what the server
// received and what the grid shows afterwards.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "support/TestServices.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

// Readable failure messages for the Qt values these tests compare.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "[\n  " << list.join(QStringLiteral("\n  ")).toStdString() << "\n]";
}

namespace quibo::test {

// The companies the server holds; the first is open and is the company box's choice.
inline const QString Sharma = QStringLiteral("Sharma Traders");
inline const QString Mehta = QStringLiteral("Mehta Exports");

// Counts the yields and runs a hook at each, to act while a run has handed the window a turn.
class HookedYield final : public RowYieldService {
public:
    void yield() override {
        ++count;
        if (hook) hook(count);
    }
    int count = 0;
    std::function<void(int count)> hook;
};

class MasterFixture : public ::testing::Test {
protected:
    MasterFixture();

    // Loads a source as the table loader does: the source grid, GR1 with one column per field (keyed
    // by the upper-cased name) and "PROCESSSTATUS", one row per record, then the closing empty row.
    void Load(const QStringList& fields, const QList<QStringList>& records);

    // Puts a master into the server's store, as if it had been created there before the run.
    void Seed(const QString& element, const QString& name, const QString& children = QString(),
              const QString& company = Sharma);

    // Every request the server received, in order, in short: "exists TYPE: name" for an object
    // query, "ELEMENT name -> company" for an import.
    QStringList Requests() const;
    // The master element of the n-th import (counted from 0) as sent, without the indentation of its
    // depth, lines joined by "\n".
    QString Message(int n) const;
    int ImportCount() const;

    // What the grid shows for a row.
    QString Status(int row) const;
    int Icon(int row) const;
    // The text colour of the row's cells; fails the test when they differ.
    int32_t Colour(int row) const;
    bool Bold(int row) const;
    // The texts the "msg" panel showed, without the nine full stops.
    QStringList Progress() const;
    // The location codes of the error reports made, in order.
    QStringList Locations() const;

    bool InStore(const char* kind, const char* name, const QString& company = Sharma) const;

    TempFolder folder;
    ScriptedMessageBox boxes;
    ScriptedFileDialog files;
    RecordingStatusLine statusLine;
    HookedYield yield;
    FakeClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    FormModel form{FormServices{boxes, files, statusLine, yield, clock, settings, errors, folder.path()}};

    sim::Simulator server;
    int port = 0;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
};

} // namespace quibo::test
