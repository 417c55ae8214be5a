#include "vb/Format.h"

#include "vb/CaseName.h"

namespace quibo::vb {
namespace {

struct FormatCase {
    const char* name;
    const char16_t* text;
    const char16_t* pattern;
    const char16_t* expected;
};

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, FormatsTheCellText) {
    EXPECT_EQ(Format(GetParam().text, GetParam().pattern), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Vb, FormatTable,
    ::testing::Values(
        FormatCase{"Quantity", u"1500", u"#################0.000", u"1500.000"},
        FormatCase{"Amount", u"1500", u"#######################0.00", u"1500.00"},
        FormatCase{"AmountHalfCentNegative", u"-0.005", u"#######################0.00", u"-0.01"},
        FormatCase{"GroupedText", u"1,500", u"0.00", u"1500.00"},
        FormatCase{"BlanksAroundNumber", u" 12.5 ", u"0.00", u"12.50"},
        FormatCase{"Grouping", u"-1500.456", u"#,##0.00", u"-1,500.46"},
        FormatCase{"HexText", u"&H1F", u"0", u"31"},
        FormatCase{"IsoDate", u"2026-12-08", u"dd-MMM-yyyy", u"08-Dec-2026"},
        FormatCase{"DateAlreadyInPattern", u"08-Dec-2026", u"dd-MMM-yyyy", u"08-Dec-2026"},
        FormatCase{"DayFirstDate", u"08/12/2026", u"yyyy-mm-dd", u"2026-12-08"},
        FormatCase{"DateTime", u"2026-12-08 13:45:10", u"dd/mm/yyyy hh:mm:ss", u"08/12/2026 13:45:10"},
        FormatCase{"TimeAlone", u"08:30:00", u"hh:nn", u"08:30"},
        FormatCase{"SerialUnderDatePattern", u"46364", u"dd-MMM-yyyy", u"08-Dec-2026"},
        FormatCase{"SerialWithTime", u"46364.5", u"yyyy-mm-dd hh:nn", u"2026-12-08 12:00"},
        FormatCase{"SerialOutsideDatesUnchanged", u"99999999", u"dd-mm-yyyy", u"99999999"},
        FormatCase{"DateUnderNumberPatternIsSerial", u"2026-12-08", u"0.00", u"46364.00"},
        FormatCase{"TextUnchanged", u"abc", u"0.00", u"abc"}, FormatCase{"EmptyUnchanged", u"", u"0.00", u""},
        FormatCase{"NumberWithLettersUnchanged", u"12abc", u"0.00", u"12abc"},
        FormatCase{"InvalidDateUnchanged", u"31/02/2026", u"dd-MMM-yyyy", u"31/02/2026"},
        FormatCase{"EmptyPatternNumber", u"1500.50", u"", u"1500.5"},
        FormatCase{"EmptyPatternNumberWithBlanks", u" 007 ", u"", u"7"},
        FormatCase{"EmptyPatternText", u"abc", u"", u"abc"},
        FormatCase{"EmptyPatternDate", u"2026-12-08", u"", u"2026-12-08"},
        FormatCase{"CommaIsNeverTheDecimalPoint", u"1,5", u"0.00", u"1,5"}),
    test::CaseName{});

} // namespace
} // namespace quibo::vb
