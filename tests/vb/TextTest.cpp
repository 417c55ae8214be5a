#include "vb/Text.h"

#include "vb/CaseName.h"

namespace quibo::vb {
namespace {

struct TrimCase {
    const char* name;
    const char16_t* input;
    const char16_t* trim;
    const char16_t* ltrim;
    const char16_t* rtrim;
};

class Trimming : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trimming, RemovesBlanksOnly) {
    const TrimCase& c = GetParam();
    EXPECT_EQ(Trim(c.input), QString::fromUtf16(c.trim));
    EXPECT_EQ(LTrim(c.input), QString::fromUtf16(c.ltrim));
    EXPECT_EQ(RTrim(c.input), QString::fromUtf16(c.rtrim));
}

INSTANTIATE_TEST_SUITE_P(
    Vb, Trimming,
    ::testing::Values(TrimCase{"Empty", u"", u"", u"", u""}, TrimCase{"BlanksOnly", u"   ", u"", u"", u""},
                      TrimCase{"BothSides", u"  abc  ", u"abc", u"abc  ", u"  abc"},
                      TrimCase{"InnerBlanksKept", u" a  b ", u"a  b", u"a  b ", u" a  b"},
                      TrimCase{"TabsKept", u"\tabc\t", u"\tabc\t", u"\tabc\t", u"\tabc\t"},
                      TrimCase{"LineBreaksKept", u" abc\r\n", u"abc\r\n", u"abc\r\n", u" abc\r\n"},
                      TrimCase{"NoBreakSpaceKept", u"\u00a0x ", u"\u00a0x", u"\u00a0x ", u"\u00a0x"},
                      TrimCase{"NothingToTrim", u"Cash", u"Cash", u"Cash", u"Cash"}),
    test::CaseName{});

struct UCaseCase {
    const char* name;
    const char16_t* input;
    const char16_t* expected;
};

class UCaseTable : public ::testing::TestWithParam<UCaseCase> {};

TEST_P(UCaseTable, UpperCases) {
    EXPECT_EQ(UCase(GetParam().input), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Vb, UCaseTable,
                         ::testing::Values(UCaseCase{"Empty", u"", u""},
                                           UCaseCase{"Mixed", u"Sales Account 9", u"SALES ACCOUNT 9"},
                                           UCaseCase{"DottedI", u"indirect", u"INDIRECT"},
                                           UCaseCase{"Accented", u"\u00e4bc", u"\u00c4BC"},
                                           UCaseCase{"Devanagari", u"\u0915\u0916", u"\u0915\u0916"}),
                         test::CaseName{});

} // namespace
} // namespace quibo::vb
