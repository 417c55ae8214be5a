#include "tally/ReportingTest.h"

#include <QRegularExpression>

namespace quibo::test {

ErrorReporter::Platform ReportingTest::FixedPlatform() {
    return {[] { return QStringLiteral("ACCTS-PC"); }, [] { return QStringLiteral("3.40.1"); },
            [](uint32_t code) { return code == 111 ? QStringLiteral("Connection refused") : QString(); }};
}

QStringList ReportingTest::locations() const {
    static const QRegularExpression code(QStringLiteral("=> LOCATION CODE: (\\S+)\\(\\)"));
    QStringList found;
    for (const QString& text : boxes.texts()) {
        const auto match = code.match(text);
        found << (match.hasMatch() ? match.captured(1) : QStringLiteral("?"));
    }
    return found;
}

} // namespace quibo::test
