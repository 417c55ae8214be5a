#include "sources/LoaderSource.h"

#include "base/WorkGrid.h"
#include "vb/Format.h"
#include "vb/RuntimeError.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// ---------------------------------------------------------------- the grid's own columns

// The grid adds "PROCESSSTATUS", and "ID" to a voucher table that builds its id: a table is refused
// when they leave no room, and the refusal counts them; the grid keeps what it had.
TEST(BuildWorkColumnsTest, CountsTheGridsOwnColumnsAgainstWhatItHolds) {
    const struct {
        int fields;
        bool addId;
        const char* refusal; // "" when the columns are built
    } cases[] = {
        {16384, false,
         "The grid holds at most 16384 columns; the table's 16384 and the grid's own Process Status make "
         "16385."},
        {16383, true,
         "The grid holds at most 16384 columns; the table's 16383 and the grid's own ID and Process Status "
         "make 16385."},
        {16383, false, ""},
    };
    for (const auto& c : cases) {
        WorkGrid gr1;
        gr1.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
        const QStringList fields(c.fields, QStringLiteral("F"));
        QString refusal;
        try {
            BuildWorkColumns(gr1, fields, c.addId);
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.number(), 7);
            refusal = e.description();
        }
        EXPECT_EQ(refusal, QString::fromLatin1(c.refusal)) << c.fields;
        EXPECT_EQ(gr1.ColumnCount(), refusal.isEmpty() ? 16384 : 1) << c.fields;
    }
}

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

// ---------------------------------------------------------------- the amount repair

// Only a text that reads as a number is an amount: a date, a time or a word stays as typed, for the
// server to refuse. A number is written from 15 significant digits, as a workbook's number cell is.
TEST(FormatOnceTest, AmountsFormatNumbersAloneFromFifteenDigits) {
    const struct {
        const char* pattern;
        const char* text;
        const char* expected;
    } cases[] = {
        {"#################0.000", "1500", "1500.000"},
        {"#################0.000", "1,500", "1500.000"},
        {"#################0.000", "08-Dec-2026", "08-Dec-2026"},
        {"#################0.000", "2026-12-08", "2026-12-08"},
        {"#################0.000", "12:30", "12:30"},
        {"#################0.000", "30-Dec-1899 12:30:00", "30-Dec-1899 12:30:00"},
        {"#################0.000", "True", "True"},
        {"#################0.000", "Cash", "Cash"},
        {"#################0.000", "123456789012345678", "123456789012346000.000"},
        {"#################0.000", "1.23456789012346E+17", "123456789012346000.000"},
        {"0.00", "1234567890123456.789", "1234567890123460.00"},
        {"", "123456789012345678", "1.23456789012346E+17"},
        {"", "08-Dec-2026", "08-Dec-2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.text);
        core::TextPool texts;
        const QString pattern = QString::fromLatin1(c.pattern);
        FormatOnce amount(texts, pattern, false);
        EXPECT_EQ(texts.text(amount(texts.intern(QString::fromLatin1(c.text)))),
                  QString::fromLatin1(c.expected));
    }
}

} // namespace
} // namespace quibo
