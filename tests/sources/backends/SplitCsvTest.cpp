// How text splits into cells and rows, as libcsv has always split it for the text reader.

#include "sources/backends/SplitCsv.h"

#include <gtest/gtest.h>

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

const std::vector<std::pair<std::string, Rows>> Cases = {
    {"", {}},
    {"a,b", {{"=a", "=b"}}},                             // no line end at the end
    {"a\r\n\r\n\nb\rc\n", {{"=a"}, {"=b"}, {"=c"}}},     // blank lines are no rows; CR alone ends one
    {"a,\n,\n", {{"=a", "N"}, {"N", "N"}}},              // a comma before the line end
    {"a,", {{"=a", "N"}}},                               // a comma at the end of the text
    {"a\"b\"c,\"\"", {{"=a\"b\"c", "="}}},               // a quote inside an unquoted cell; "" is empty text
    {"\"a\"\"b\",\"x,\r\ny\"", {{"=a\"b", "=x,\r\ny"}}}, // a doubled quote; a comma and a line end inside
    {"\"ab\"c,d\",e", {{"=ab\"c,d", "=e"}}},             // text after a closing quote keeps it and the cell
    {" \"a\" ,\tb\t", {{"= \"a\" ", "=\tb\t"}}},         // blanks and tabs stay
    {"\"ab", {{"=ab"}}},                                 // a quote never closed runs to the end
    {"\"ab\"c", {{"=ab\"c"}}},
};

TEST(SplitCsvTest, SplitsAsTheTextReaderAlwaysHas) {
    for (const auto& [text, rows] : Cases)
        EXPECT_EQ(Split(text), rows) << text;
}

// A text read piece by piece: the first piece's unfinished row is given again with the rest, and
// the rows come out as from the text whole, wherever it is cut.
TEST(SplitCsvTest, ATextCutAnywhereSplitsAsWhole) {
    for (const auto& [whole, rows] : Cases) {
        const std::string text = whole + "\n\"q\"\"\",r\r\n" + whole;
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
