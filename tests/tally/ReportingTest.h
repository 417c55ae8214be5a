#pragma once

// A test whose error reporter writes to a scratch folder, shows a fixed machine and lets its reports
// be read back.

#include "base/ErrorReporter.h"
#include "support/TestServices.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quibo::test {

struct ReportingTest : ::testing::Test {
    TempFolder folder;
    ScriptedMessageBox boxes;
    FakeClock clock;
    ErrorReporter errors{boxes, clock, folder.path(), FixedPlatform()};

    static ErrorReporter::Platform FixedPlatform();
    // The location codes of the reports made so far, in order.
    QStringList locations() const { return boxes.locations(); }
};

} // namespace quibo::test
