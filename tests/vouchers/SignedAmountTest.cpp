// The debit side of an amount: the sign goes with the number, never a second minus, never on no digit.

#include "vouchers/SignedAmount.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(SignedAmount, DebitTextSignsTheNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"500", "-500"},
        {"-500", "500"},
        {"", ""},
        {" 1,200.00", " -1,200.00"},
        {"-0.000", "-0.000"},
        {"+5", "-5"},
        {"0.000", "-0.000"},
        // No digit, no number to sign: a zero under "#.##" and "#", blanks, a word.
        {".", "."},
        {"  ", "  "},
        {"cash", "cash"},
    };
    for (const auto& [text, debit] : cases)
        EXPECT_EQ(DebitText(QString::fromLatin1(text)), QString::fromLatin1(debit)) << text;
}

TEST(SignedAmount, SideAmountSignsOnlyANumber) {
    const struct {
        double value;
        bool debit;
        const char* pattern;
        const char* amount;
    } cases[] = {
        {500, true, "0.000", "-500.000"},
        {0, true, "0.000", "-0.000"},
        {-500, true, "0.000", "500.000"},
        {0, true, "#", ""},
        {0, true, "#.##", "."},
        {0.001, true, "#.##", "."},
        {5, true, "#", "-5"},
        {-5, false, "#", "-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SideAmount(c.value, c.debit, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.amount))
            << c.value << (c.debit ? " debit " : " credit ") << c.pattern;
}

} // namespace
} // namespace quibo
