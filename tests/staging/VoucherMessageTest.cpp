// The frame of the VOUCHER message: envelope, TALLYMESSAGE and VOUCHER around the sections.

#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct VoucherMessage : test::VoucherTest {};

TEST_F(VoucherMessage, AVoucherWithNothingStagedIsSentAsItsBareFrame) {
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("no-voucher-row.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

} // namespace
} // namespace quibo
