#include "vb/Number.h"

#include "vb/CaseName.h"
#include "vb/CellNumber.h"
#include "vb/RuntimeError.h"

#include <cmath>
#include <limits>
#include <optional>

namespace quibo::vb {
namespace {

// ---- Val ----------------------------------------------------------------------------------

struct ValCase {
    const char* name;
    const char16_t* input;
    double expected;
};

class ValTable : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTable, ReadsTheLeadingNumber) {
    const double value = Val(GetParam().input);
    EXPECT_EQ(value, GetParam().expected);
    if (GetParam().expected == 0) {
        EXPECT_FALSE(std::signbit(value)) << "no negative zero";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vb, ValTable,
    ::testing::Values(
        ValCase{"Empty", u"", 0}, ValCase{"Letters", u"abc", 0}, ValCase{"Whole", u"1500", 1500},
        ValCase{"StopsAtGroupingComma", u"1,500", 1}, ValCase{"LeadingBlanksThenLetters", u"  12abc", 12},
        ValCase{"BlanksInsideSkipped", u"1 2 3", 123}, ValCase{"TabsAndLineFeedsSkipped", u"\t1\n2", 12},
        ValCase{"CarriageReturnStops", u"1\r2", 1}, ValCase{"SignedExponent", u"-1.5e2x", -150},
        ValCase{"LeadingPoint", u".5", 0.5}, ValCase{"PlusSign", u"+7", 7},
        ValCase{"BlankAfterSign", u" - 3", -3}, ValCase{"DExponent", u"1.5D3", 1500},
        ValCase{"NegativeExponent", u"25e-2", 0.25}, ValCase{"ExponentWithoutDigits", u"2e", 2},
        ValCase{"ExponentSignWithoutDigits", u"2e+x", 2}, ValCase{"SecondPointStops", u"1.2.3", 1.2},
        ValCase{"CommaIsNoDecimalPoint", u"1,5", 1}, ValCase{"Hex", u"&H1F", 31},
        ValCase{"HexLowerCase", u"&h1f", 31}, ValCase{"HexStopsAtNonHexDigit", u"&H1G", 1},
        ValCase{"HexKeepsItsMagnitude", u"&HFFFF", 65535}, ValCase{"Octal", u"&O17", 15},
        ValCase{"OctalStopsAtEight", u"&O78", 7}, ValCase{"AmpersandAlone", u"&", 0},
        ValCase{"AmpersandOther", u"&X1", 0}, ValCase{"SignOnly", u"-", 0}, ValCase{"PointOnly", u".", 0},
        ValCase{"NegativeZeroIsZero", u"-0", 0}, ValCase{"UnderflowIsZero", u"1e-400", 0},
        ValCase{"LargestRange", u"1.5e308", 1.5e308}, ValCase{"TrailingPoint", u"5.", 5},
        ValCase{"ManyDigits", u"123456789012345678901234567890", 1.2345678901234568e29}),
    test::CaseName{});

TEST(Val, RaisesOverflowPastTheRangeOfADouble) {
    try {
        Val(u"1e400");
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), err::Overflow);
        EXPECT_EQ(error.description(), QStringLiteral("Overflow"));
    }
}

// ---- ToNumber / IsNumeric -------------------------------------------------------------------

struct ToNumberCase {
    const char* name;
    const char16_t* input;
    std::optional<double> expected;
};

class ToNumberTable : public ::testing::TestWithParam<ToNumberCase> {};

TEST_P(ToNumberTable, ReadsTheWholeText) {
    const std::optional<double> value = ToNumber(GetParam().input);
    EXPECT_EQ(value, GetParam().expected);
    EXPECT_EQ(IsNumeric(GetParam().input), GetParam().expected.has_value());
}

constexpr std::optional<double> kNotNumeric = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Vb, ToNumberTable,
    ::testing::Values(
        ToNumberCase{"Whole", u"1500", 1500}, ToNumberCase{"Grouped", u"1,500", 1500},
        ToNumberCase{"IndianGrouping", u"1,50,000", 150000},
        ToNumberCase{"GroupedWithFraction", u"1,500.25", 1500.25},
        ToNumberCase{"GroupedMillions", u"12,345,678", 12345678},
        ToNumberCase{"IndianGroupingWithFraction", u"1,50,000.50", 150000.5},
        ToNumberCase{"GroupedNegative", u"-2,000", -2000}, ToNumberCase{"ShortGroup", u"12,5", kNotNumeric},
        ToNumberCase{"LongGroup", u"1,5000", kNotNumeric},
        ToNumberCase{"LongFirstGroup", u"1234,567", kNotNumeric},
        ToNumberCase{"IndianLastGroupOfTwo", u"1,50,00", kNotNumeric},
        ToNumberCase{"WesternThenIndian", u"1,234,56,789", kNotNumeric},
        ToNumberCase{"SurroundingBlanks", u"  12.5  ", 12.5}, ToNumberCase{"SurroundingTabs", u"\t7\t", 7},
        ToNumberCase{"Negative", u"-3", -3}, ToNumberCase{"Plus", u"+3", 3},
        ToNumberCase{"LeadingPoint", u".5", 0.5}, ToNumberCase{"TrailingPoint", u"5.", 5},
        ToNumberCase{"Exponent", u"1e3", 1000}, ToNumberCase{"NegativeExponent", u"1.5E-2", 0.015},
        ToNumberCase{"DExponent", u"1D2", 100}, ToNumberCase{"Hex", u"&H1F", 31},
        ToNumberCase{"Octal", u"&o17", 15}, ToNumberCase{"NegativeZeroIsZero", u"-0", 0},
        ToNumberCase{"Tiny", u"1e-400", 0}, ToNumberCase{"Empty", u"", kNotNumeric},
        ToNumberCase{"Blank", u"   ", kNotNumeric}, ToNumberCase{"PointAlone", u".", kNotNumeric},
        ToNumberCase{"TrailingComma", u"1,", kNotNumeric}, ToNumberCase{"LeadingComma", u",1", kNotNumeric},
        ToNumberCase{"DoubleComma", u"1,,500", kNotNumeric},
        ToNumberCase{"CommaInFraction", u"1.5,0", kNotNumeric},
        ToNumberCase{"TwoPoints", u"1.2.3", kNotNumeric},
        ToNumberCase{"TrailingLetters", u"12abc", kNotNumeric}, ToNumberCase{"Letters", u"abc", kNotNumeric},
        ToNumberCase{"ExponentWithoutDigits", u"1e", kNotNumeric},
        ToNumberCase{"ExponentSignOnly", u"1e+", kNotNumeric},
        ToNumberCase{"BlankAfterSign", u"- 1", kNotNumeric}, ToNumberCase{"InnerBlank", u"1 2", kNotNumeric},
        ToNumberCase{"SignOnly", u"-", kNotNumeric}, ToNumberCase{"DoubleSign", u"--1", kNotNumeric},
        ToNumberCase{"TrailingSign", u"1-", kNotNumeric},
        ToNumberCase{"HexWithoutDigits", u"&H", kNotNumeric},
        ToNumberCase{"HexBadDigit", u"&H1G", kNotNumeric}, ToNumberCase{"LineBreak", u"1\n", kNotNumeric},
        ToNumberCase{"Overflow", u"1e400", kNotNumeric},
        ToNumberCase{"OtherDigits", u"\u0661\u0662", kNotNumeric}),
    test::CaseName{});

// ---- CellNumber -------------------------------------------------------------------------------

struct CellNumberCase {
    const char* name;
    const char16_t* input;
    double expected;
};

class CellNumberTable : public ::testing::TestWithParam<CellNumberCase> {};

TEST_P(CellNumberTable, ReadsWellFormedGroupsAndOtherwiseAsVal) {
    EXPECT_EQ(CellNumber(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Vb, CellNumberTable,
                         ::testing::Values(CellNumberCase{"Grouped", u"1,500", 1500},
                                           CellNumberCase{"GroupedMillions", u"12,345,678", 12345678},
                                           CellNumberCase{"IndianGroupingWithFraction", u"1,50,000.50",
                                                          150000.5},
                                           CellNumberCase{"GroupedNegative", u"-2,000", -2000},
                                           CellNumberCase{"BlanksSignAndTextAround", u" - 1,500 Cr", -1500},
                                           CellNumberCase{"ShortGroupStops", u"12,5", 12},
                                           CellNumberCase{"LongGroupStops", u"1,5000", 1},
                                           CellNumberCase{"DoubleCommaStops", u"1,,5", 1},
                                           CellNumberCase{"TrailingCommaStops", u"1,500,", 1},
                                           CellNumberCase{"BlankInsideAGroupStops", u"1, 500", 1}),
                         test::CaseName{});

// ---- NumberText / Str ---------------------------------------------------------------------------

struct NumberTextCase {
    const char* name;
    double value;
    const char* text;
    const char* str;
};

class NumberTextTable : public ::testing::TestWithParam<NumberTextCase> {};

TEST_P(NumberTextTable, WritesTheGeneralText) {
    EXPECT_EQ(NumberText(GetParam().value), QString::fromLatin1(GetParam().text));
    EXPECT_EQ(Str(GetParam().value), QString::fromLatin1(GetParam().str));
}

INSTANTIATE_TEST_SUITE_P(
    Vb, NumberTextTable,
    ::testing::Values(
        NumberTextCase{"Zero", 0.0, "0", " 0"}, NumberTextCase{"NegativeZero", -0.0, "0", " 0"},
        NumberTextCase{"Whole", 1500, "1500", " 1500"},
        NumberTextCase{"Fraction", 1750.5, "1750.5", " 1750.5"}, NumberTextCase{"Negative", -3, "-3", "-3"},
        NumberTextCase{"BinaryNoiseRounded", 0.1 + 0.2, "0.3", " 0.3"},
        NumberTextCase{"Third", 1.0 / 3, "0.333333333333333", " 0.333333333333333"},
        NumberTextCase{"TwoThirdsRounded", -2.0 / 3, "-0.666666666666667", "-0.666666666666667"},
        NumberTextCase{"FifteenDigitsFixed", 123456789012345, "123456789012345", " 123456789012345"},
        NumberTextCase{"ExponentFifteen", 1e15, "1E+15", " 1E+15"},
        NumberTextCase{"RoundsUpIntoExponent", 999999999999999.9, "1E+15", " 1E+15"},
        NumberTextCase{"SixteenDigits", 1234567890123456, "1.23456789012346E+15", " 1.23456789012346E+15"},
        NumberTextCase{"BigWithFraction", 1.5e20, "1.5E+20", " 1.5E+20"},
        NumberTextCase{"ThreeDigitExponent", 1e100, "1E+100", " 1E+100"},
        NumberTextCase{"SmallestFixed", 0.0001, "0.0001", " 0.0001"},
        NumberTextCase{"SmallFixed", 0.00012345, "0.00012345", " 0.00012345"},
        NumberTextCase{"SmallExponent", 0.00001, "1E-05", " 1E-05"},
        NumberTextCase{"NegativeSmallExponent", -1.5e-7, "-1.5E-07", "-1.5E-07"},
        // The longest texts a double has: the widest mantissa with a three-digit exponent.
        NumberTextCase{"LargestNegative", -std::numeric_limits<double>::max(), "-1.79769313486232E+308",
                       "-1.79769313486232E+308"},
        NumberTextCase{"SmallestDenormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324",
                       " 4.94065645841247E-324"},
        NumberTextCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), "NaN", " NaN"},
        NumberTextCase{"Infinity", std::numeric_limits<double>::infinity(), "Inf", " Inf"},
        NumberTextCase{"MinusInfinity", -std::numeric_limits<double>::infinity(), "-Inf", "-Inf"}),
    test::CaseName{});

// ---- FormatNumber ----------------------------------------------------------------------------

struct FormatNumberCase {
    const char* name;
    double value;
    const char16_t* pattern;
    const char16_t* expected;
};

class FormatNumberTable : public ::testing::TestWithParam<FormatNumberCase> {};

TEST_P(FormatNumberTable, FollowsThePattern) {
    EXPECT_EQ(FormatNumber(GetParam().value, GetParam().pattern), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Vb, FormatNumberTable,
                         ::testing::Values(
                             // the program's patterns run through Format (FormatTest) too
                             FormatNumberCase{"TwoDecimals", 12.5, u"0.00", u"12.50"},
                             FormatNumberCase{"Grouped", 1500, u"#,##0.00", u"1,500.00"},
                             // rounding, decided on the shortest decimal text
                             FormatNumberCase{"HalfUpOnText", 2.345, u"0.00", u"2.35"},
                             FormatNumberCase{"BinaryBelowHalfStillUp", 1.005, u"0.00", u"1.01"},
                             FormatNumberCase{"BinaryBelowHalfStillUpAgain", 0.285, u"0.00", u"0.29"},
                             FormatNumberCase{"ExactHalf", 0.125, u"0.00", u"0.13"},
                             FormatNumberCase{"NegativeHalfAwayFromZero", -2.5, u"0", u"-3"},
                             FormatNumberCase{"PositiveHalf", 2.5, u"0", u"3"},
                             FormatNumberCase{"CarryIntoNewDigit", 9.995, u"0.00", u"10.00"},
                             FormatNumberCase{"CarryAcrossGroup", 999.995, u"#,##0.00", u"1,000.00"},
                             FormatNumberCase{"SmallRoundsUp", 0.0005, u"0.000", u"0.001"},
                             FormatNumberCase{"TinyRoundsToZero", 1e-10, u"0.00", u"0.00"},
                             FormatNumberCase{"NegativeRoundingToZeroLosesSign", -0.004, u"0.00", u"0.00"},
                             FormatNumberCase{"NegativeZero", -0.0, u"0.00", u"0.00"},
                             FormatNumberCase{"WholeRounded", 0.75, u"0", u"1"},
                             // placeholders
                             FormatNumberCase{"IntegerNeverCut", 123456, u"00", u"123456"},
                             FormatNumberCase{"ZeroPadding", 12, u"0000", u"0012"},
                             FormatNumberCase{"HashShowsSignificant", 5, u"#", u"5"},
                             FormatNumberCase{"HashOfZeroIsEmpty", 0, u"#", u""},
                             FormatNumberCase{"HashFractionOnly", 0.5, u"#.##", u".5"},
                             FormatNumberCase{"HashFractionOfWhole", 1, u"#.##", u"1."},
                             FormatNumberCase{"HashFractionOfZero", 0, u"#.##", u"."},
                             FormatNumberCase{"OptionalDecimals", 0.1, u"0.00##", u"0.10"},
                             FormatNumberCase{"OptionalDecimalsUsed", 0.0001, u"0.00##", u"0.0001"},
                             FormatNumberCase{"NoIntegerPlaceholder", 1.5, u".00", u"1.50"},
                             FormatNumberCase{"NoIntegerPlaceholderZero", 0.5, u".00", u".50"},
                             FormatNumberCase{"NoDecimalPlaceholderNoPoint", 7.25, u"0.", u"7"},
                             // grouping
                             FormatNumberCase{"GroupedMillions", 1234567.891, u"#,##0.00", u"1,234,567.89"},
                             FormatNumberCase{"GroupedNegative", -1234567.891, u"#,##0.00", u"-1,234,567.89"},
                             FormatNumberCase{"GroupedZero", 0, u"#,##0.00", u"0.00"},
                             FormatNumberCase{"GroupedHundreds", 100, u"#,##0", u"100"},
                             FormatNumberCase{"GroupedWholeRounded", 1234.5, u"#,##0", u"1,235"},
                             FormatNumberCase{"GroupedPaddedZeros", 5, u"0,000", u"0,005"},
                             // big numbers
                             FormatNumberCase{"Huge", 1e20, u"0.00", u"100000000000000000000.00"},
                             FormatNumberCase{"BeyondFifteenDigits", 123456789012345678.0, u"0",
                                              u"123456789012345680"},
                             // literals
                             FormatNumberCase{"LiteralsBetweenDigits", 1234, u"##-##", u"12-34"},
                             FormatNumberCase{"LiteralsExtraDigitsLeft", 123456, u"##-##", u"1234-56"},
                             FormatNumberCase{"EscapedLiteral", 5, u"\\$0.00", u"$5.00"},
                             FormatNumberCase{"QuotedLiteral", 5, u"\"Rs \"0.00", u"Rs 5.00"},
                             FormatNumberCase{"QuotedPlaceholdersAreText", 5, u"0\" #0.\"", u"5 #0."},
                             FormatNumberCase{"SignBeforeLiterals", -5, u"\"Rs \"0.00", u"-Rs 5.00"},
                             FormatNumberCase{"SuffixLiteral", 5, u"0.00 Dr", u"5.00 Dr"},
                             FormatNumberCase{"NoPlaceholdersLiteralOnly", 5, u"\\n\\i\\l", u"nil"},
                             // sections
                             FormatNumberCase{"NegativeSection", -5, u"0.00;(0.00)", u"(5.00)"},
                             FormatNumberCase{"PositiveOfTwoSections", 5, u"0.00;(0.00)", u"5.00"},
                             FormatNumberCase{"ZeroSection", 0, u"0.00;(0.00);\"nil\"", u"nil"},
                             FormatNumberCase{"EmptyNegativeSection", -5, u"0.00;", u"-5.00"},
                             FormatNumberCase{"QuotedSemicolon", -5, u"0\";\"0", u"-0;5"},
                             // general text
                             FormatNumberCase{"EmptyPattern", 1500.5, u"", u"1500.5"},
                             FormatNumberCase{"EmptyPatternExponent", 1e15, u"", u"1E+15"}),
                         test::CaseName{});

TEST(FormatNumberPatterns, EachCallFollowsItsOwnPatternWhateverCameBefore) {
    const struct {
        double value;
        const char16_t* pattern;
        const char16_t* expected;
    } calls[] = {
        {-5, u"0.00;(0.00)", u"(5.00)"}, {-5, u"0.00", u"-5.00"},         {0, u"0.00;(0.00);\"nil\"", u"nil"},
        {0, u"0.00;(0.00)", u"0.00"},    {-5, u"0.00;(0.00)", u"(5.00)"}, {1500, u"#,##0.00", u"1,500.00"},
        {1500, u"0", u"1500"},           {1500, u"#,##0.00", u"1,500.00"}};
    for (const auto& call : calls)
        EXPECT_EQ(FormatNumber(call.value, call.pattern), QString::fromUtf16(call.expected))
            << QString::fromUtf16(call.pattern).toStdString();
}

} // namespace
} // namespace quibo::vb
