// How text splits into cells and rows, as spreadsheet programs read it, and how the check for a
// quote never closed reads the same quotes.

#include "sources/backends/text/SplitCsv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quibo {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The rows of `text`, a Null cell as "N" and a text cell as "=" and its text.
Rows Split(const std::string& text) {
    Rows rows(1);
    SplitCsv(
        text.data(), text.data() + text.size(),
        [&](const char* bytes, size_t size) {
            rows.back().push_back(bytes ? "=" + std::string(bytes, size) : "N");
        },
        [&] { rows.emplace_back(); });
    rows.pop_back();
    return rows;
}

// Where the check finds the quote that `text` never closes, the text given in two pieces cut at
// `cutAt`; -1 when none.
std::int64_t Unclosed(const std::string& text, size_t cutAt) {
    OpenQuote check;
    check.scan(text.data(), text.data() + cutAt);
    check.scan(text.data() + cutAt, text.data() + text.size());
    return check.unclosedAt();
}

struct Case {
    std::string text;
    Rows rows;
    std::int64_t unclosedAt; // where the quote opens that the text never closes; -1 when none
};

const std::vector<Case> Cases = {
    {"", {}, -1},
    {"a,b", {{"=a", "=b"}}, -1},                         // no line end at the end
    {"a\r\n\r\n\nb\rc\n", {{"=a"}, {"=b"}, {"=c"}}, -1}, // blank lines are no rows; CR alone ends one
    {"a,\n,\n", {{"=a", "N"}, {"N", "N"}}, -1},          // a comma before the line end
    {"a,", {{"=a", "N"}}, -1},                           // a comma at the end of the text
    {"a\"b\"c,\"\"", {{"=a\"b\"c", "="}}, -1},           // a quote inside an unquoted cell; "" is empty text
    {"\"a\"\"b\",\"x,\r\ny\"", {{"=a\"b", "=x,\r\ny"}}, -1}, // a doubled quote; a comma and a line end inside
    {" \"a\" ,\tb\t", {{"= \"a\" ", "=\tb\t"}}, -1},         // blanks and tabs stay
    {"a \"b,c\"", {{"=a \"b", "=c\""}}, -1},                 // a quote not at a cell's start opens nothing
    {"\"\"\"\"", {{"=\""}}, -1},                             // opening, doubled, closing
    // The first quote not doubled ends the quoting; the text after it joins the cell as it stands.
    {"Name,Amount\n\"Acme\" ,100\nBeta,200\nGamma,300\n",
     {{"=Name", "=Amount"}, {"=Acme ", "=100"}, {"=Beta", "=200"}, {"=Gamma", "=300"}},
     -1},
    {"\"a\"\"b\" c", {{"=a\"b c"}}, -1},
    {"\"ab\"c,d\",e", {{"=abc", "=d\"", "=e"}}, -1},
    {"\"a\"b\"c\",d", {{"=ab\"c\"", "=d"}}, -1}, // after the quoting a quote is a character
    {"\"ab\"c", {{"=abc"}}, -1},
    // A quote never closed runs to the end of the text.
    {"\"ab", {{"=ab"}}, 0},
    {"\"", {{"="}}, 0},
    {"x,\"a\"\"\n", {{"=x", "=a\"\n"}}, 2}, // a doubled quote last closes nothing
    {"\"a\"\r\n\"b", {{"=a"}, {"=b"}}, 5},
};

TEST(SplitCsvTest, SplitsAsSpreadsheetsRead) {
    for (const Case& c : Cases)
        EXPECT_EQ(Split(c.text), c.rows) << c.text;
}

// The check reads quotes by the splitter's rule: it finds a quote left open exactly where the
// splitter's cell would swallow the line after the text.
TEST(SplitCsvTest, TheCheckFindsTheQuoteTheSplitterLeavesOpen) {
    for (const Case& c : Cases) {
        EXPECT_EQ(Unclosed(c.text, c.text.size()), c.unclosedAt) << c.text;
        const Rows rows = Split(c.text + "\nEND\n");
        const bool lineAfterIsARow = !rows.empty() && rows.back() == std::vector<std::string>{"=END"};
        EXPECT_EQ(lineAfterIsARow, c.unclosedAt < 0) << c.text;
    }
}

TEST(SplitCsvTest, TheCheckGivenPiecesFindsWhatItFindsInTheWhole) {
    for (const Case& c : Cases)
        for (size_t cutAt = 0; cutAt <= c.text.size(); ++cutAt)
            EXPECT_EQ(Unclosed(c.text, cutAt), c.unclosedAt) << c.text << " cut at " << cutAt;
}

// A text read piece by piece: the first piece's unfinished row is given again with the rest, and
// the rows come out as from the text whole, wherever it is cut.
TEST(SplitCsvTest, ATextCutAnywhereSplitsAsWhole) {
    for (const Case& c : Cases) {
        const std::string text = c.text + "\n\"q\"\"\",r\r\n" + c.text;
        for (size_t cutAt = 0; cutAt <= text.size(); ++cutAt) {
            Rows got;
            std::vector<std::string> row;
            auto cell = [&](const char* bytes, size_t size) {
                row.push_back(bytes ? "=" + std::string(bytes, size) : "N");
            };
            auto ended = [&] {
                got.push_back(row);
                row.clear();
            };
            const char* left = SplitCsvRows(text.data(), text.data() + cutAt, cell, ended);
            row.clear(); // the unfinished row's cells
            const std::string rest(left, text.data() + text.size());
            SplitCsv(rest.data(), rest.data() + rest.size(), cell, ended);
            EXPECT_EQ(got, Split(text)) << text << " cut at " << cutAt;
        }
    }
}

} // namespace
} // namespace quibo
