#include "sources/backends/DateText.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quibo
