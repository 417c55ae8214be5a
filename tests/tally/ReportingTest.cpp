#include "tally/ReportingTest.h"

namespace quibo::test {

ErrorReporter::Platform ReportingTest::FixedPlatform() {
    return {[] { return QStringLiteral("ACCTS-PC"); }, [] { return QStringLiteral("3.40.1"); },
            [](uint32_t code) { return code == 111 ? QStringLiteral("Connection refused") : QString(); }};
}

} // namespace quibo::test
