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

// A line staged without its id could own no allocation safely: the voucher is not sent, and says why.
TEST_F(VoucherMessage, ALineWithoutAnIdFailsTheVoucherAndIsReported) {
    for (const char* table : {"LedgerEntry", "AllLedgerEntry", "InventoryEntry", "InventoryEntryIN"}) {
        const QString id = QString::fromLatin1(table);
        Stage(table, {{"FK_VchID", id}, {table[0] == 'I' ? "InEID" : "LdEID", QVariant()}});
        EXPECT_TRUE(Sent(id, QStringLiteral("Acme Traders"), false).isEmpty()) << table;
    }
    EXPECT_EQ(locations(), QStringList(4, QStringLiteral("C01--0020")));
}

} // namespace
} // namespace quibo
