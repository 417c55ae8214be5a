#include "vb/Date.h"

#include "vb/CaseName.h"

#include <cmath>
#include <limits>
#include <optional>

namespace quibo::vb {
namespace {

// "yyyy-mm-dd hh:nn:ss" without going through any locale.
QString Stamp(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), t.second());
}

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// ---- ToDate / IsDate ------------------------------------------------------------------------

struct ToDateCase {
    const char* name;
    const char16_t* input;
    const char* expected; // nullptr: not a date
};

class ToDateTable : public ::testing::TestWithParam<ToDateCase> {};

TEST_P(ToDateTable, ReadsTheText) {
    const std::optional<QDateTime> value = ToDate(GetParam().input);
    EXPECT_EQ(IsDate(GetParam().input), GetParam().expected != nullptr);
    if (GetParam().expected == nullptr) {
        EXPECT_FALSE(value.has_value()) << Stamp(*value).toStdString();
    } else {
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(Stamp(*value), QString::fromLatin1(GetParam().expected));
        EXPECT_EQ(value->timeSpec(), Qt::UTC);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vb, ToDateTable,
    ::testing::Values(
        // ISO
        ToDateCase{"Iso", u"2026-12-08", "2026-12-08 00:00:00"},
        ToDateCase{"IsoWithTime", u"2026-12-08 13:45:10", "2026-12-08 13:45:10"},
        ToDateCase{"IsoWithShortTime", u"2026-12-08 13:45", "2026-12-08 13:45:00"},
        ToDateCase{"IsoWithT", u"2026-12-08T13:45:10", "2026-12-08 13:45:10"},
        ToDateCase{"IsoSingleDigits", u"2026-1-8", "2026-01-08 00:00:00"},
        ToDateCase{"SurroundingBlanks", u"  2026-12-08  ", "2026-12-08 00:00:00"},
        // month names
        ToDateCase{"DayMonthNameYear", u"08-Dec-2026", "2026-12-08 00:00:00"},
        ToDateCase{"FullMonthLowerCase", u"8-december-2026", "2026-12-08 00:00:00"},
        ToDateCase{"MonthUpperCase", u"08-DEC-2026", "2026-12-08 00:00:00"},
        ToDateCase{"BlankSeparated", u"8 Dec 2026", "2026-12-08 00:00:00"},
        ToDateCase{"MonthNameTwoDigitYear", u"08-Dec-26", "2026-12-08 00:00:00"},
        ToDateCase{"MonthNameWithTime", u"08-Dec-2026 10:30", "2026-12-08 10:30:00"},
        ToDateCase{"MonthFirst", u"Dec 8, 2026", "2026-12-08 00:00:00"},
        ToDateCase{"MonthFirstFullNoComma", u"December 8 2026", "2026-12-08 00:00:00"},
        ToDateCase{"MonthFirstTightComma", u"dec 8,2026", "2026-12-08 00:00:00"},
        ToDateCase{"May", u"1-may-2026", "2026-05-01 00:00:00"},
        // numeric, day first
        ToDateCase{"DayFirstSlash", u"08/12/2026", "2026-12-08 00:00:00"},
        ToDateCase{"DayFirstDash", u"8-12-2026", "2026-12-08 00:00:00"},
        ToDateCase{"DayFirstDot", u"8.12.2026", "2026-12-08 00:00:00"},
        ToDateCase{"DayAboveTwelve", u"13/12/2026", "2026-12-13 00:00:00"},
        ToDateCase{"MonthFirstWhenDayFirstImpossible", u"12/31/2026", "2026-12-31 00:00:00"},
        ToDateCase{"TwoDigitYear", u"08/12/26", "2026-12-08 00:00:00"},
        ToDateCase{"WindowTop", u"1/1/29", "2029-01-01 00:00:00"},
        ToDateCase{"WindowBottom", u"1/1/30", "1930-01-01 00:00:00"},
        ToDateCase{"WindowZero", u"1/1/00", "2000-01-01 00:00:00"},
        ToDateCase{"WindowNinetyNine", u"31/12/99", "1999-12-31 00:00:00"},
        ToDateCase{"DateAndTime", u"08/12/2026 13:45:10", "2026-12-08 13:45:10"},
        ToDateCase{"DateAndPmTime", u"08/12/2026 8:30:15 PM", "2026-12-08 20:30:15"},
        // leap years
        ToDateCase{"LeapDay", u"29/02/2024", "2024-02-29 00:00:00"},
        ToDateCase{"LeapDayCentury", u"29/02/2000", "2000-02-29 00:00:00"},
        ToDateCase{"NoLeapDay", u"29/02/2025", nullptr},
        ToDateCase{"NoLeapDayCentury", u"29/02/1900", nullptr},
        // times alone fall on the zero date
        ToDateCase{"TimeOnly", u"08:30:00", "1899-12-30 08:30:00"},
        ToDateCase{"TimeOnlyPm", u"8:30 PM", "1899-12-30 20:30:00"},
        ToDateCase{"TimeOnlyPmTight", u"8:30pm", "1899-12-30 20:30:00"},
        ToDateCase{"MidnightAm", u"12:00 AM", "1899-12-30 00:00:00"},
        ToDateCase{"NoonPm", u"12:15 pm", "1899-12-30 12:15:00"},
        // not dates
        ToDateCase{"Empty", u"", nullptr}, ToDateCase{"Blank", u"   ", nullptr},
        ToDateCase{"Words", u"abc", nullptr}, ToDateCase{"PlainNumber", u"1500", nullptr},
        ToDateCase{"SmallNumber", u"12", nullptr}, ToDateCase{"DecimalNumber", u"1.5", nullptr},
        ToDateCase{"ThirtyFirstOfFebruary", u"31/02/2026", nullptr},
        ToDateCase{"MonthThirteen", u"2026-13-01", nullptr},
        ToDateCase{"NeitherOrderValid", u"13/13/2026", nullptr},
        ToDateCase{"DayThirtyTwo", u"32/01/2026", nullptr},
        ToDateCase{"UnknownMonth", u"08-Foo-2026", nullptr},
        ToDateCase{"MixedSeparators", u"08-Dec/2026", nullptr},
        ToDateCase{"MixedNumericSeparators", u"08/12-2026", nullptr},
        ToDateCase{"DayAndMonthOnly", u"08/12", nullptr},
        ToDateCase{"MonthAndYearOnly", u"Dec 2026", nullptr},
        ToDateCase{"ThreeDigitYear", u"08/12/202", nullptr},
        ToDateCase{"YearBelowHundred", u"0099-01-01", nullptr},
        ToDateCase{"HourTwentyFive", u"25:00", nullptr}, ToDateCase{"MinuteSixty", u"8:60", nullptr},
        ToDateCase{"PmPastTwelve", u"13:00 PM", nullptr},
        ToDateCase{"DateWithBadTime", u"2026-12-08 25:00", nullptr},
        ToDateCase{"DateWithTrailingWord", u"08/12/2026 abc", nullptr},
        ToDateCase{"DanglingT", u"2026-12-08T", nullptr},
        ToDateCase{"OtherCharacters", u"08/12/2026!", nullptr}),
    test::CaseName{});

// ---- FormatDate -------------------------------------------------------------------------------

struct FormatDateCase {
    const char* name;
    QDateTime value;
    const char16_t* pattern;
    const char16_t* expected;
};

class FormatDateTable : public ::testing::TestWithParam<FormatDateCase> {};

TEST_P(FormatDateTable, FollowsThePattern) {
    EXPECT_EQ(FormatDate(GetParam().value, GetParam().pattern), QString::fromUtf16(GetParam().expected));
}

// 8 December 2026 is a Tuesday, the 342nd day of its year.
INSTANTIATE_TEST_SUITE_P(
    Vb, FormatDateTable,
    ::testing::Values(
        FormatDateCase{"DayMonthNameYear", At(2026, 12, 8), u"dd-MMM-yyyy", u"08-Dec-2026"},
        FormatDateCase{"MinutesAfterHours", At(2026, 12, 8, 13, 45, 10), u"MM/dd/yy HH:mm:ss",
                       u"12/08/26 13:45:10"},
        FormatDateCase{"NoPadding", At(2026, 1, 8), u"d/m/yyyy", u"8/1/2026"},
        FormatDateCase{"UpperCaseTokens", At(2026, 12, 8), u"DD-MM-YYYY", u"08-12-2026"},
        FormatDateCase{"Names", At(2026, 12, 8), u"dddd, mmmm d, yyyy", u"Tuesday, December 8, 2026"},
        FormatDateCase{"ShortDayName", At(2026, 12, 8), u"ddd", u"Tue"},
        FormatDateCase{"Compact", At(2026, 12, 8), u"yyyymmdd", u"20261208"},
        FormatDateCase{"DayOfYear", At(2026, 12, 8), u"y", u"342"},
        FormatDateCase{"MonthAlone", At(2026, 12, 8, 13, 45), u"mm", u"12"},
        FormatDateCase{"BlankBreaksMinuteRule", At(2026, 12, 8, 13, 45), u"hh mm", u"13 12"},
        FormatDateCase{"UpperMinutesAfterHours", At(2026, 12, 8, 13, 45), u"HH:MM", u"13:45"},
        FormatDateCase{"SingleDigitTime", At(2026, 12, 8, 9, 5, 3), u"h:m:s", u"9:5:3"},
        FormatDateCase{"NToken", At(2026, 12, 8, 9, 5, 3), u"hh:nn:ss", u"09:05:03"},
        FormatDateCase{"AmPmAfternoon", At(2026, 12, 8, 13, 45), u"hh:nn AM/PM", u"01:45 PM"},
        FormatDateCase{"AmPmLowerMidnight", At(2026, 12, 8, 0, 5), u"h:nn am/pm", u"12:05 am"},
        FormatDateCase{"AmPmNoon", At(2026, 12, 8, 12, 0), u"h:nn AM/PM", u"12:00 PM"},
        FormatDateCase{"ShortAmPm", At(2026, 12, 8, 9, 0), u"h A/P", u"9 A"},
        FormatDateCase{"ShortAmPmLower", At(2026, 12, 8, 15, 0), u"h a/p", u"3 p"},
        FormatDateCase{"EscapedLetters", At(2026, 12, 8), u"\\d\\a\\y d", u"day 8"},
        FormatDateCase{"QuotedText", At(2026, 12, 8), u"\"Date: \"dd", u"Date: 08"},
        FormatDateCase{"OtherCharactersLiteral", At(2026, 12, 8), u"dd.mm.yyyy!", u"08.12.2026!"},
        FormatDateCase{"ZeroDateTime", At(1899, 12, 30, 8, 30), u"hh:nn", u"08:30"},
        FormatDateCase{"EmptyPattern", At(2026, 12, 8), u"", u""}),
    test::CaseName{});

TEST(FormatDate, OfAnInvalidDateIsEmpty) {
    EXPECT_EQ(FormatDate(QDateTime(), u"dd-MMM-yyyy dddd"), QString());
}

// ---- FromOADate / ToOADate ----------------------------------------------------------------------

struct SerialCase {
    const char* name;
    double serial;
    const char* stamp;
};

class SerialTable : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialTable, ConvertsBothWays) {
    const QDateTime value = FromOADate(GetParam().serial);
    ASSERT_TRUE(value.isValid());
    EXPECT_EQ(Stamp(value), QString::fromLatin1(GetParam().stamp));
    EXPECT_EQ(ToOADate(value), GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(Vb, SerialTable,
                         ::testing::Values(SerialCase{"ZeroDate", 0, "1899-12-30 00:00:00"},
                                           SerialCase{"DayOne", 1, "1899-12-31 00:00:00"},
                                           SerialCase{"NewYear1900", 2, "1900-01-01 00:00:00"},
                                           SerialCase{"December2026", 46364, "2026-12-08 00:00:00"},
                                           SerialCase{"Noon", 46364.5, "2026-12-08 12:00:00"},
                                           SerialCase{"TimeAlone", 0.75, "1899-12-30 18:00:00"},
                                           SerialCase{"DayBefore", -1, "1899-12-29 00:00:00"},
                                           SerialCase{"NegativeCountsTimeForward", -1.25,
                                                      "1899-12-29 06:00:00"},
                                           SerialCase{"FirstDate", -657434, "0100-01-01 00:00:00"},
                                           SerialCase{"LastDate", 2958465, "9999-12-31 00:00:00"}),
                         test::CaseName{});

TEST(FromOADate, RoundsTheTimeToTheSecond) {
    // A spreadsheet's 13:45:10 is stored a hair short of it.
    EXPECT_EQ(Stamp(FromOADate(46364.573032407407)), QStringLiteral("2026-12-08 13:45:10"));
    EXPECT_EQ(Stamp(FromOADate(46363.9999999999)), QStringLiteral("2026-12-08 00:00:00"));
    EXPECT_EQ(Stamp(FromOADate(-1.9999999999)), QStringLiteral("1899-12-30 00:00:00"));
}

TEST(FromOADate, OutsideVbDatesIsInvalid) {
    EXPECT_FALSE(FromOADate(-657435).isValid());
    EXPECT_FALSE(FromOADate(2958466).isValid());
    EXPECT_FALSE(FromOADate(1e10).isValid());
    EXPECT_FALSE(FromOADate(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(FromOADate(std::numeric_limits<double>::infinity()).isValid());
}

TEST(ToOADate, OfAnInvalidDateIsNaN) {
    EXPECT_TRUE(std::isnan(ToOADate(QDateTime())));
}

TEST(ToOADate, ReadsTheClockTimeWhateverTheZone) {
    const QDateTime local(QDate(2026, 12, 8), QTime(12, 0), Qt::LocalTime);
    EXPECT_EQ(ToOADate(local), 46364.5);
}

} // namespace
} // namespace quibo::vb
