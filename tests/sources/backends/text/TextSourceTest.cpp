// How far a text file's table may reach: as far as an .xlsx sheet's, refused past it naming the file.

#include "sources/backends/text/TextSource.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include <QFile>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// A row of `cells` cells "1".
QByteArray Row(int cells) {
    return QByteArray("1,").repeated(cells - 1) + "1\n";
}

TEST(TextSource, RefusesATablePastTheGridsBoundsNamingTheFile) {
    struct Case {
        QByteArray text;
        const char* refusal; // after the file's name; empty when the file reads
    };
    // 4,097 rows of 16,383 columns pass 67,108,864 cells by 12,287; the long row comes last, as a table
    // is refused before it is built.
    const std::vector<Case> cases = {
        {"A\n" + Row(16383) + Row(1), ""},
        {Row(16384), "its first row spans more than 16383 columns"},
        {"A\n" + Row(2) + Row(16390), "its first 3 rows span more than 16383 columns"},
        {"A\n" + Row(1).repeated(4095) + Row(16383), "its first 4097 rows span 16383 columns"}};
    for (const Case& c : cases) {
        test::TempFolder folder;
        QFile file(folder.file(QStringLiteral("wide.csv")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.text);
        file.close();
        QString refusal;
        try {
            EXPECT_EQ(TextSource(folder.path()).read(QStringLiteral("wide.csv")).fieldCount(), 16383);
        } catch (const vb::RuntimeError& e) {
            refusal = e.description();
        }
        EXPECT_EQ(refusal.toStdString(),
                  *c.refusal
                      ? QStringLiteral("The source \"%1\" cannot be loaded: %2; a text file may span at most "
                                       "16383 columns, as the grid adds one of its own, and 67108864 cells.")
                            .arg(file.fileName(), QString::fromLatin1(c.refusal))
                            .toStdString()
                      : std::string());
    }
}

} // namespace
} // namespace quibo
