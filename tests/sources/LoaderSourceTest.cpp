#include "sources/LoaderSource.h"

#include "vb/Format.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// ---------------------------------------------------------------- amounts laid out digit by digit

const char* const DigitPatterns[] = {
    "#################0.000", "0.00", "0", "#", "#.##", ".000", "0.", "000.0#", "#0.0##", "##0.00000000"};

// Texts where rounding, signs, carries and missing digits meet.
const char* const PlainTexts[] = {
    "5.29",
    "-5.29",
    "0",
    "-0",
    "-0.0004",
    "-0.0005",
    "0.9995",
    "9.9995",
    "999.9995",
    ".5",
    "5.",
    "007.25",
    "123456789012345",
    "1234567890123.45",
    "0.00001",
    "1.0005",
    "2.5",
    "-2.5",
    "100",
    "0.0",
    "-.995",
    "99.995",
    "0.045",
    "-0.045",
    "10.0500",
    "0.000000000000001",
    "-999999999999999",
    "1.25",
};

std::optional<QString> Laid(const DigitsPattern& pattern, QStringView text) {
    char16_t out[DigitsPattern::Room];
    const int length = pattern.format(text, out);
    if (length < 0) return std::nullopt;
    return QString(reinterpret_cast<const QChar*>(out), length);
}

TEST(DigitsPatternTest, LaysOutWhatFormatGives) {
    QStringList texts;
    for (const char* text : PlainTexts)
        texts << QString::fromLatin1(text);
    // Every value of a few places from -20 to 20, as a table's amounts come.
    for (int i = -20000; i <= 20000; i += 7)
        for (const int places : {1, 3, 4})
            texts << QString::number(i / 1000.0, 'f', places);
    for (const char* patternText : DigitPatterns) {
        const QString pattern = QString::fromLatin1(patternText);
        const std::optional<DigitsPattern> digits = DigitsPattern::Of(pattern);
        ASSERT_TRUE(digits) << patternText;
        for (const QString& text : std::as_const(texts)) {
            const std::optional<QString> laid = Laid(*digits, text);
            ASSERT_TRUE(laid) << patternText << " " << text.toStdString();
            EXPECT_EQ(*laid, vb::Format(text, pattern)) << patternText << " " << text.toStdString();
        }
    }
}

TEST(DigitsPatternTest, LeavesEverythingElseToFormat) {
    for (const char* pattern :
         {"#,##0.00", "0.00;(0.00)", "\"Rs\"0.00", "0.00E+00", "", ".", "0.0.0", "dd-MM"})
        EXPECT_FALSE(DigitsPattern::Of(QString::fromLatin1(pattern))) << pattern;
    const DigitsPattern digits = *DigitsPattern::Of(u"0.00");
    for (const char* text : {"", "-", ".", "-.", " 5", "5 ", "+5", "1,500", "1e3", "&H10", "abc", "5-",
                             "1234567890123456", "0.1234567890123456", "1.2.3"})
        EXPECT_FALSE(Laid(digits, QString::fromLatin1(text))) << text;
}

} // namespace
} // namespace quibo
