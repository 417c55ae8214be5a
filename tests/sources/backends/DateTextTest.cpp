#include "sources/backends/DateText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quibo {
namespace {

struct DateCase {
    const char* name;
    const char* text;
    QDateTime expected; // invalid: not a date text
};

class DateTextTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTextTest, Parses) {
    const QDateTime value = ParseDateText(QString::fromLatin1(GetParam().text));
    EXPECT_EQ(value, GetParam().expected);
    if (value.isValid()) {
        EXPECT_EQ(value.timeSpec(), Qt::UTC);
    }
}

QDateTime Utc(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC);
}

INSTANTIATE_TEST_SUITE_P(
    DriverTexts, DateTextTest,
    ::testing::Values(DateCase{"Date", "2024-04-01", Utc(2024, 4, 1)},
                      DateCase{"DateAndTime", "2024-01-31 13:45:10", Utc(2024, 1, 31, 13, 45, 10)},
                      DateCase{"IsoSeparator", "2024-01-31T13:45:10", Utc(2024, 1, 31, 13, 45, 10)},
                      DateCase{"FractionDropped", "2024-01-31 13:45:10.250", Utc(2024, 1, 31, 13, 45, 10)},
                      DateCase{"TimeAloneOnTheZeroDate", "08:30:00", Utc(1899, 12, 30, 8, 30, 0)},
                      DateCase{"SurroundingBlanks", " 1999-12-31 ", Utc(1999, 12, 31)},
                      DateCase{"NoSuchDay", "2023-02-29", QDateTime()},
                      DateCase{"NoSuchHour", "2024-01-31 25:00:00", QDateTime()},
                      DateCase{"DayFirst", "31-01-2024", QDateTime()}, DateCase{"Text", "Cash", QDateTime()},
                      DateCase{"Empty", "", QDateTime()}),
    [](const auto& info) { return std::string(info.param.name); });

struct SerialCase {
    const char* name;
    double serial;
    bool date1904;
    QDateTime expected; // invalid: no date fits
};

class DateOfSerialTest : public ::testing::TestWithParam<SerialCase> {};

TEST_P(DateOfSerialTest, Reads) {
    EXPECT_EQ(DateOfSerial(GetParam().serial, GetParam().date1904), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Serials, DateOfSerialTest,
    ::testing::Values(SerialCase{"FirstDay", 1, false, Utc(1900, 1, 1)},
                      SerialCase{"BeforeThePhantomLeapDay", 59, false, Utc(1900, 2, 28)},
                      SerialCase{"ThePhantomLeapDayIsThe28th", 60, false, Utc(1900, 2, 28)},
                      SerialCase{"AfterThePhantomLeapDay", 61, false, Utc(1900, 3, 1)},
                      SerialCase{"DateAndTime", 46364.75, false, Utc(2026, 12, 8, 18)},
                      SerialCase{"TimeAlone", 0.25, false, Utc(1899, 12, 30, 6)},
                      SerialCase{"Negative", -3.25, false, Utc(1899, 12, 27, 6)},
                      SerialCase{"NoLeapDayIn2100", 73110, false, Utc(2100, 3, 1)},
                      SerialCase{"ClockRoundedToTheNextDay", 45383.99999999, false, Utc(2024, 4, 2)},
                      SerialCase{"LastDay", 2958465.9, false, Utc(9999, 12, 31, 21, 36)},
                      SerialCase{"PastTheLastDay", 3000000, false, QDateTime()},
                      SerialCase{"FirstDayOf1904", 0, true, Utc(1904, 1, 1)},
                      SerialCase{"DayOneOf1904", 1, true, Utc(1904, 1, 2)},
                      SerialCase{"TimeOn1904", 1461.25, true, Utc(1908, 1, 1, 6)}),
    [](const auto& info) { return std::string(info.param.name); });

// One rule for .xls and .xlsx: a format shows a date or time when Excel shows a part of one with it.
TEST(DateFormats, TellsDatesAndTimesByTheFormatCode) {
    const QStringList dates = {
        "DD-MM-YYYY", "d-mmm", "mmm-yy",     "dd-mm-yyyy;@", "[$-409]d-mmm-yyyy", "yyyy-mm-dd hh:mm",
        "hh:mm:ss",   "mm:ss", "h:mm AM/PM", "AM/PM",        "[h]:mm:ss",         "[m]",
        "YYYY",       "MMMM",  "mmm",        "ss",           "dd;\"\";\"\""};
    const QStringList numbers = {"General",         "0.00",
                                 "0.00E+00",        "@",
                                 "\"d\"0",          "\\d0",
                                 "#,##0.00\" dr\"", "0.00_s",
                                 "[Red]0.00",       "General \"days\"",
                                 "0;[Red]dd",       "\"unclosed d",
                                 "[unclosed d"};
    for (const QString& code : dates)
        EXPECT_TRUE(IsDateFormatCode(code)) << code.toStdString();
    for (const QString& code : numbers)
        EXPECT_FALSE(IsDateFormatCode(code)) << code.toStdString();
    std::vector<int> builtIn, want;
    for (int id = 0; id < 200; ++id)
        if (IsBuiltInDateFormat(id)) builtIn.push_back(id);
    for (const auto& [from, to] : {std::pair{14, 22}, {27, 36}, {45, 47}, {50, 58}})
        for (int id = from; id <= to; ++id)
            want.push_back(id);
    EXPECT_EQ(builtIn, want);
}

} // namespace
} // namespace quibo
