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
    QByteArray row = "1";
    for (int c = 1; c < cells; ++c)
        row += ",1";
    return row + "\n";
}

struct BoundCase {
    const char* name;
    QByteArray text;
    const char* refusal; // after the file's name; empty when the file reads
    int fields;
};

class TextTableBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(TextTableBounds, RefusesATablePastTheGridsBoundsNamingTheFile) {
    test::TempFolder folder;
    QFile file(folder.file(QStringLiteral("wide.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().text);
    file.close();
    try {
        const SourceTable table = TextSource(folder.path()).read(QStringLiteral("wide.csv"));
        EXPECT_STREQ(GetParam().refusal, "");
        EXPECT_EQ(table.fieldCount(), GetParam().fields);
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.description().toStdString(),
                  QStringLiteral("The source \"%1\" cannot be loaded: %2; a text file may span "
                                 "at most 16383 columns, as the grid adds one of its own, "
                                 "and 67108864 cells.")
                      .arg(file.fileName(), QString::fromLatin1(GetParam().refusal))
                      .toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, TextTableBounds,
    ::testing::Values(BoundCase{"ARowAsWideAsTheGridHolds", "A\n" + Row(16383) + Row(1), "", 16383},
                      BoundCase{"AHeaderTooWide", Row(16384), "its first row spans more than 16383 columns",
                                0},
                      BoundCase{"ARowTooWide", "A\n" + Row(2) + Row(16390),
                                "its first 3 rows span more than 16383 columns", 0},
                      // 4,097 rows of 16,383 columns pass 67,108,864 cells by 12,287; 4,096 rows would not.
                      // The long row comes last, as a table is refused before it is built.
                      BoundCase{"TooManyCells", "A\n" + Row(1).repeated(4095) + Row(16383),
                                "its first 4097 rows span 16383 columns", 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
