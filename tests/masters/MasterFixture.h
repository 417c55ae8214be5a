#pragma once

// A headless main form posting to the simulated Tally server in-process: the form model with
// scripted services, a link to the server, a loaded source, and readers for what the server
// received and what the grid shows afterwards.

#include "base/FormFixture.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace quibo::test {

// The server holds both companies of the company box; the first is open.
class MasterFixture : public ::testing::Test, public PostingHarness {
protected:
    MasterFixture();

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

    // The text colour of the row's cells; fails the test when they differ.
    int32_t Colour(int row) const;

    bool InStore(const char* kind, const char* name, const QString& company = Sharma) const;

    sim::Simulator server;
    int port = 0;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
};

} // namespace quibo::test
