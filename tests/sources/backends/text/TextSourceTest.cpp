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

// Only a file's first character is its byte-order mark: a U+FEFF after it is a character of its
// cell, at a cell's start too (duckdb's data/csv/encodings/all_utf16.csv holds a cell of it alone),
// in UTF-8 and in UTF-16, marked or not.
TEST(TextSource, KeepsAnFeffAfterTheFilesFirstCharacter) {
    const QString feff = QString(QChar(0xFEFF));
    const auto utf16 = [](const QString& text) { // marked
        QByteArray bytes("\xFF\xFE");
        for (const QChar c : text)
            bytes += char(c.unicode() & 0xFF), bytes += char(c.unicode() >> 8);
        return bytes;
    };
    const QString text = feff + "Name,Code\n" + feff + ",1\n\"" + feff + "a\"," + feff + "\n";
    const std::vector<std::pair<const char*, QByteArray>> files = {
        {"Utf8Marked", text.toUtf8()}, {"Utf8", text.mid(1).toUtf8()}, {"Utf16", utf16(text.mid(1))}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        test::TempFolder folder;
        QFile file(folder.file(QStringLiteral("feff.csv")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const SourceTable table = TextSource(folder.path()).read(QStringLiteral("feff.csv"));
        EXPECT_EQ(table.columnNames(), QStringList({"Name", "Code"}));
        ASSERT_EQ(table.recordCount(), 2);
        EXPECT_EQ(table.rowTexts(0), QStringList({feff, "1"}));
        EXPECT_EQ(table.rowTexts(1), QStringList({feff + "a", feff}));
    }
}

// A file whose name begins with a dot (duckdb's data/csv/glob/crawl/hidden/.hidden_file.csv) is
// listed and read like any other.
TEST(TextSource, ReadsAFileWhoseNameBeginsWithADot) {
    test::TempFolder folder;
    QFile file(folder.file(QStringLiteral(".dot.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A\n1\n");
    file.close();
    TextSource source(folder.path());
    EXPECT_EQ(source.tables(), QStringList{QStringLiteral(".dot.csv")});
    EXPECT_EQ(source.read(QStringLiteral(".dot.csv")).rowTexts(0), QStringList{QStringLiteral("1")});
}

} // namespace
} // namespace quibo
