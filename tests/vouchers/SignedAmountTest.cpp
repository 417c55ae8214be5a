// The debit side of an amount text: the sign goes with the number, never a second minus.

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
        {"cash", "-cash"},
    };
    for (const auto& [text, debit] : cases)
        EXPECT_EQ(DebitText(QString::fromLatin1(text)), QString::fromLatin1(debit)) << text;
}

} // namespace
} // namespace quibo
