#include "sources/backends/SourceTable.h"

#include "sources/backends/ProviderError.h"
#include "vb/Date.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

namespace quibo {
namespace {

SourceTable Table(const std::vector<SourceCell>& keys) {
    SourceTable table({SourceColumn{QStringLiteral("SrNo"), ColumnKind::Text},
                       SourceColumn{QStringLiteral("Row"), ColumnKind::Number}});
    for (size_t i = 0; i < keys.size(); ++i)
        table.appendRow({keys[i], SourceCell{static_cast<double>(i)}});
    return table;
}

QStringList Order(const SourceTable& table) {
    QStringList rows;
    for (int r = 0; r < table.recordCount(); ++r)
        rows.append(table.text(r, 1));
    return rows;
}

struct OrderCase {
    const char* name;
    std::vector<SourceCell> keys;
    QStringList order; // original row numbers after sorting
};

class OrderByTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(OrderByTest, RowsInEngineOrder) {
    SourceTable table = Table(GetParam().keys);
    table.orderBy(QStringLiteral("srno"), provider::Jet);
    EXPECT_EQ(Order(table), GetParam().order);
}

QString S(const char* text) {
    return QString::fromUtf8(text);
}

INSTANTIATE_TEST_SUITE_P(
    SrNo, OrderByTest,
    ::testing::Values(
        OrderCase{
            "NumbersNumerically", {SourceCell{10.0}, SourceCell{9.0}, SourceCell{1.0}}, {"2", "1", "0"}},
        OrderCase{"NumericTextNumerically",
                  {SourceCell{S("10")}, SourceCell{S("9")}, SourceCell{S(" 2 ")}},
                  {"2", "1", "0"}},
        OrderCase{"NullFirst", {SourceCell{2.0}, SourceCell{}, SourceCell{1.0}}, {"1", "2", "0"}},
        OrderCase{"EqualKeysKeepTheirOrder",
                  {SourceCell{1.0}, SourceCell{1.0}, SourceCell{0.0}, SourceCell{1.0}},
                  {"2", "0", "1", "3"}},
        OrderCase{"TextWithoutRegardToCase",
                  {SourceCell{S("b")}, SourceCell{S("A")}, SourceCell{S("a")}},
                  {"1", "2", "0"}},
        OrderCase{"NumbersBeforeText", {SourceCell{S("x")}, SourceCell{S("3")}}, {"1", "0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceTable, OrderByAMissingColumnRaisesTheProvidersError) {
    SourceTable table = Table({SourceCell{1.0}});
    try {
        table.orderBy(QStringLiteral("VchNo"), provider::Odbc);
        FAIL() << "no error";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), provider::MissingParameter);
        EXPECT_EQ(e.info().source, provider::Odbc);
        EXPECT_EQ(e.description(),
                  QStringLiteral("No value given for one or more required parameters. (VchNo)"));
    }
}

TEST(SourceTable, CellsKeepTheirKindAndRepeatedValuesShareOneText) {
    const QDateTime day(QDate(2024, 4, 1), QTime(0, 0), Qt::UTC);
    const std::vector<SourceCell> row = {SourceCell{QStringLiteral("Cash")},
                                         SourceCell{12.5},
                                         SourceCell{qint64(7)},
                                         SourceCell{true},
                                         SourceCell{day},
                                         SourceCell{}};
    std::vector<SourceColumn> columns;
    for (size_t c = 0; c < row.size(); ++c)
        columns.push_back({QStringLiteral("F") + QString::number(c + 1), ColumnKind::Text});
    SourceTable table(std::move(columns));
    table.appendRow(row);
    table.appendRow(row);
    for (int c = 0; c < table.fieldCount(); ++c)
        EXPECT_EQ(table.cell(1, c), row[static_cast<size_t>(c)]) << c;
    std::vector<core::TextPool::Id> first;
    std::vector<core::TextPool::Id> second;
    table.rowTextIds(0, first);
    table.rowTextIds(1, second);
    EXPECT_EQ(first, second);
    QStringList texts;
    for (const core::TextPool::Id id : first)
        texts.append(table.texts()->text(id));
    EXPECT_EQ(texts, table.rowTexts(1));
    EXPECT_EQ(texts, (QStringList{"Cash", "12.5", "7", "True", "01-Apr-2024", ""}));
}

TEST(SourceTable, ARowOfTextIdsReadsAsTheSameRowOfCells) {
    SourceTable table({SourceColumn{QStringLiteral("A"), ColumnKind::Text},
                       SourceColumn{QStringLiteral("B"), ColumnKind::Text},
                       SourceColumn{QStringLiteral("C"), ColumnKind::Text}});
    const core::TextPool::Id cash = table.texts()->internLatin1("Cash", 4);
    const std::vector<core::TextPool::Id> full = {cash, SourceTable::NullText, core::TextPool::Empty, cash};
    table.appendTextRow(full.data(), full.size()); // the surplus cell is dropped
    table.appendTextRow(full.data(), 1);           // the missing cells are Null
    const std::vector<SourceCell> expected = {SourceCell{QStringLiteral("Cash")}, SourceCell{},
                                              SourceCell{QString()}};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(table.cell(0, c), expected[static_cast<size_t>(c)]) << c;
        EXPECT_EQ(table.cell(1, c), c == 0 ? expected[0] : SourceCell{}) << c;
    }
    EXPECT_EQ(table.recordCount(), 2);
}

// The rows before a column was added read Null in it, by row of text ids too, and still once a cell
// of theirs there is set or the rows are sorted.
TEST(SourceTable, ARowBeforeAColumnWasAddedReadsNullInIt) {
    SourceTable table({SourceColumn{QStringLiteral("K"), ColumnKind::Text}});
    table.appendRow({S("3")});
    table.addColumn({QStringLiteral("F2"), ColumnKind::Text});
    table.appendRow({S("2"), S("b")});
    table.addColumn({QStringLiteral("F3"), ColumnKind::Text});
    table.appendRow({S("1"), SourceCell{}, S("c")});
    std::vector<core::TextPool::Id> ids;
    table.rowTextIds(0, ids);
    EXPECT_EQ(ids, (std::vector<core::TextPool::Id>{table.texts()->intern(u"3"), core::TextPool::Empty,
                                                    core::TextPool::Empty}));
    EXPECT_TRUE(table.isNull(1, 2));
    EXPECT_TRUE(table.setCell(0, 2, S("x")));
    table.orderBy(QStringLiteral("K"), provider::Jet);
    std::vector<QStringList> rows;
    for (int r = 0; r < table.recordCount(); ++r)
        rows.push_back(table.rowTexts(r));
    EXPECT_EQ(rows, (std::vector<QStringList>{{"1", "", "c"}, {"2", "b", ""}, {"3", "", "x"}}));
}

// Numbers a float or an int32 holds are kept in the cell, others apart: each comes back bit for
// bit, whole numbers as whole, after a column is added and the rows are sorted.
TEST(SourceTable, NumbersComeBackExactlyHoweverTheyAreKept) {
    const std::vector<SourceCell> numbers = {SourceCell{12.5},
                                             SourceCell{5.29},
                                             SourceCell{-0.0},
                                             SourceCell{1e300},
                                             SourceCell{qint64(-7)},
                                             SourceCell{qint64(1) << 40},
                                             SourceCell{qint64(INT32_MIN)},
                                             SourceCell{std::numeric_limits<double>::denorm_min()}};
    SourceTable table({SourceColumn{QStringLiteral("N"), ColumnKind::Number}});
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it)
        table.appendRow({*it});
    table.addColumn({QStringLiteral("F2"), ColumnKind::Text});
    table.orderBy(QStringLiteral("F2"), QStringLiteral("Test"));
    for (size_t r = 0; r < numbers.size(); ++r) {
        const SourceCell cell = table.cell(static_cast<int>(r), 0);
        const SourceCell& want = numbers[numbers.size() - 1 - r];
        ASSERT_EQ(cell.index(), want.index()) << r;
        if (const auto* d = std::get_if<double>(&want))
            EXPECT_EQ(std::bit_cast<uint64_t>(std::get<double>(cell)), std::bit_cast<uint64_t>(*d)) << r;
        else
            EXPECT_EQ(cell, want) << r;
    }
}

// A singles column keeps each single as a float and reads it back as a Single shows it; the same
// float's value elsewhere keeps every bit, and a number no float holds stays as given.
TEST(SourceTable, ASinglesColumnReadsItsNumbersAsSinglesShowThem) {
    struct Case {
        double given;  // the float's own value, or a double no float holds
        double single; // as the singles column reads it
        const char* text;
    };
    const std::vector<Case> cases = {{double(82.3f), 82.3, "82.3"},
                                     {double(0.1f), 0.1, "0.1"},
                                     {double(1234.567f), 1234.567, "1234.567"},
                                     {double(-1e-7f), -1e-7, "-1E-07"},
                                     {2.5, 2.5, "2.5"},
                                     {-0.0, -0.0, "0"},
                                     {1e300, 1e300, "1E+300"}};
    SourceTable table({SourceColumn{QStringLiteral("Rate"), ColumnKind::Number},
                       SourceColumn{QStringLiteral("Same"), ColumnKind::Number}});
    table.setSingles(0);
    for (const Case& c : cases)
        table.appendRow({SourceCell{c.given}, SourceCell{c.given}});
    table.appendRow({SourceCell{}, SourceCell{}});
    table.orderBy(QStringLiteral("Same"), QStringLiteral("Test")); // Null first, then by number
    std::vector<Case> sorted = cases;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Case& a, const Case& b) { return a.given < b.given; });
    EXPECT_TRUE(table.isNull(0, 0));
    for (size_t i = 0; i < sorted.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        EXPECT_EQ(std::bit_cast<uint64_t>(std::get<double>(table.cell(r, 0))),
                  std::bit_cast<uint64_t>(sorted[i].single))
            << sorted[i].text;
        EXPECT_EQ(std::bit_cast<uint64_t>(std::get<double>(table.cell(r, 1))),
                  std::bit_cast<uint64_t>(sorted[i].given))
            << sorted[i].text;
        EXPECT_EQ(table.text(r, 0), QString::fromLatin1(sorted[i].text));
    }
}

// Dates at midnight are kept by their day and others whole: each reads back as given, with its
// own text, whatever its day or clock time.
TEST(SourceTable, DatesReadBackAsGivenWithOrWithoutATime) {
    const std::vector<QDateTime> dates = {QDateTime(QDate(2024, 4, 1), QTime(0, 0), Qt::UTC),
                                          QDateTime(QDate(2024, 4, 1), QTime(0, 0, 0, 1), Qt::UTC),
                                          QDateTime(QDate(1899, 12, 30), QTime(13, 45, 10), Qt::UTC),
                                          QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC),
                                          QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC),
                                          QDateTime(QDate(2024, 4, 1), QTime(0, 0), Qt::LocalTime),
                                          QDateTime()};
    const QStringList texts = {"01-Apr-2024", "01-Apr-2024 00:00:00", "13:45:10", "01-Jan-0100",
                               "31-Dec-9999", "01-Apr-2024",          ""};
    SourceTable table({SourceColumn{QStringLiteral("D"), ColumnKind::Date}});
    for (const QDateTime& date : dates)
        table.appendRow({SourceCell{date}});
    for (size_t i = 0; i < dates.size(); ++i) {
        const int r = static_cast<int>(i);
        const QDateTime read = std::get<QDateTime>(table.cell(r, 0));
        EXPECT_EQ(read, dates[i]) << r;
        EXPECT_EQ(read.timeSpec(), dates[i].timeSpec()) << r;
        EXPECT_EQ(read.time(), dates[i].time()) << r;
        EXPECT_EQ(table.text(r, 0), texts[r]) << r;
    }
}

// Far more distinct numbers, whole numbers and dates than the remembered texts start with: each
// value's text is its own, found again on a second reading.
TEST(SourceTable, ManyDistinctValuesEachKeepTheirOwnText) {
    SourceTable table({SourceColumn{QStringLiteral("N"), ColumnKind::Number},
                       SourceColumn{QStringLiteral("W"), ColumnKind::Number},
                       SourceColumn{QStringLiteral("D"), ColumnKind::Date},
                       SourceColumn{QStringLiteral("B"), ColumnKind::Boolean}});
    const QDate start(2024, 4, 1);
    constexpr int Rows = 5000;
    for (int r = 0; r < Rows; ++r)
        table.appendRow({SourceCell{r + 0.25}, SourceCell{qint64(r) - 2500},
                         SourceCell{QDateTime(start.addDays(r), QTime(0, 0), Qt::UTC)},
                         SourceCell{r % 2 == 0}});
    for (int pass = 0; pass < 2; ++pass)
        for (int r = 0; r < Rows; ++r) {
            std::vector<core::TextPool::Id> ids;
            table.rowTextIds(r, ids);
            QStringList texts;
            for (const core::TextPool::Id id : ids)
                texts.append(table.texts()->text(id));
            EXPECT_EQ(texts, (QStringList{QString::number(r + 0.25), QString::number(r - 2500),
                                          vb::FormatDate(QDateTime(start.addDays(r), QTime(0, 0), Qt::UTC),
                                                         u"dd-mmm-yyyy"),
                                          r % 2 == 0 ? "True" : "False"}))
                << r;
        }
}

} // namespace
} // namespace quibo
