#include "sources/backends/SourceCell.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

QDateTime Utc(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC);
}

struct TextCase {
    const char* name;
    SourceCell cell;
    const char* text;
};

class CellTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(CellTextTest, GridText) {
    EXPECT_EQ(CellText(GetParam().cell), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    EveryBackend, CellTextTest,
    ::testing::Values(
        TextCase{"NullIsEmpty", SourceCell{}, ""}, TextCase{"EmptyTextStaysEmpty", SourceCell{QString()}, ""},
        TextCase{"TextAsItStands", SourceCell{QStringLiteral(" 0012 ")}, " 0012 "},
        TextCase{"True", SourceCell{true}, "True"}, TextCase{"False", SourceCell{false}, "False"},
        TextCase{"WholeNumberWithoutPoint", SourceCell{1500.0}, "1500"},
        TextCase{"NoTrailingZeros", SourceCell{2500.750}, "2500.75"},
        TextCase{"FifteenSignificantDigits", SourceCell{0.1 + 0.2}, "0.3"},
        TextCase{"Negative", SourceCell{-99.99}, "-99.99"},
        TextCase{"LargeNumberInENotation", SourceCell{1e15}, "1E+15"},
        TextCase{"SmallNumberInENotation", SourceCell{0.00001}, "1E-05"},
        TextCase{"WholeNumberKeepsEveryDigit", SourceCell{qint64{123456789012345678}}, "123456789012345678"},
        TextCase{"DateWithoutTime", SourceCell{Utc(2024, 4, 1)}, "01-Apr-2024"},
        TextCase{"DateWithTime", SourceCell{Utc(2024, 1, 31, 13, 45, 10)}, "31-Jan-2024 13:45:10"},
        TextCase{"MidnightIsNoTimePart", SourceCell{Utc(1999, 12, 31, 0, 0, 0)}, "31-Dec-1999"},
        TextCase{"OneSecondPastMidnight", SourceCell{Utc(1999, 12, 31, 0, 0, 1)}, "31-Dec-1999 00:00:01"},
        // A time of day stands on the zero date, which VB does not show.
        TextCase{"TimeOfDayAlone", SourceCell{Utc(1899, 12, 30, 7, 0, 0)}, "07:00:00"},
        TextCase{"ZeroDateItselfIsMidnight", SourceCell{Utc(1899, 12, 30)}, "00:00:00"},
        TextCase{"DayAfterTheZeroDate", SourceCell{Utc(1899, 12, 31, 7, 0, 0)}, "31-Dec-1899 07:00:00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnNameFromHeader, EmptyHeaderIsNamedLikeJet) {
    EXPECT_EQ(ColumnNameFromHeader(SourceCell{}, 3), QStringLiteral("F3"));
    EXPECT_EQ(ColumnNameFromHeader(SourceCell{QString()}, 1), QStringLiteral("F1"));
    EXPECT_EQ(ColumnNameFromHeader(SourceCell{QStringLiteral("VchNo")}, 2), QStringLiteral("VchNo"));
    EXPECT_EQ(ColumnNameFromHeader(SourceCell{2024.0}, 5), QStringLiteral("2024"));
    // A blank is a name, not an empty header.
    EXPECT_EQ(ColumnNameFromHeader(SourceCell{QStringLiteral(" ")}, 4), QStringLiteral(" "));
}

} // namespace
} // namespace quibo
