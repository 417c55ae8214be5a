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

} // namespace
} // namespace quibo
