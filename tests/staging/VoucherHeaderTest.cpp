// The voucher attributes, header elements, party lists, attendance lines and order lists.

#include "staging/FilledRow.h"
#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct VoucherHeader : test::VoucherTest {};

// One voucher shows the element order with its two BASICSHIPPEDBY, the reference-date list, the
// empty bankers' date list, numeric id order (9 before 10), escaping, attendance and order lists.
TEST_F(VoucherHeader, AFullVoucherGoesOutInItsFixedOrder) {
    test::StageFilled(*this, "Voucher", {{"VchID", "1"}}, {}, test::Filled::Plain);
    db.execute(QStringLiteral("Update Voucher set Narration_ = ?, BasicBankersDate_ = ?"),
               {QStringLiteral("Nuts & <bolts>"), QString()});
    Stage("Address", {{"FK_VchID", "1"}, {"AdID", "10"}, {"Address_", "Line ten"}});
    Stage("Address", {{"FK_VchID", "1"}, {"AdID", "9"}, {"Address_", "Line nine"}});
    Stage("Address", {{"FK_VchID", "1"}, {"AdID", "11"}, {"Address_", ""}});
    Stage("BasicBuyerAddress", {{"FK_VchID", "1"}, {"BBAID", "1"}, {"BasicBuyerAddress_", "Buyer street"}});
    Stage("BasicOrderTerms", {{"FK_VchID", "1"}, {"BOTID", "1"}, {"BasicOrderTerms_", "Net 30"}});
    test::StageFilled(*this, "Attendance", {{"FK_VchID", "1"}, {"AttID", "10"}}, {}, test::Filled::Plain);
    Stage("Attendance", {{"FK_VchID", "1"}, {"AttID", "9"}, {"Employee_", "Bala"}, {"Value_", QVariant()}});
    test::StageFilled(*this, "InvoiceDelNotes", {{"FK_VchID", "1"}, {"IDNID", "1"}}, {}, test::Filled::Plain);
    test::StageFilled(*this, "InvoiceOrderList", {{"FK_VchID", "1"}, {"IOLID", "1"}}, {},
                      test::Filled::Plain);
    Stage("InvoiceOrderList", {{"FK_VchID", "1"}, {"IOLID", "2"}, {"BasicOrderDate_", ""}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("header-full.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(VoucherHeader, AnAllNullRowGivesOnlyTheAttributes) {
    Stage("Voucher", {{"VchID", "1"}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("header-all-null.xml"));
}

TEST_F(VoucherHeader, WithoutAVoucherRowTheOtherListsStillGoOut) {
    Stage("Address", {{"FK_VchID", "1"}, {"AdID", "1"}, {"Address_", "Line one"}});
    Stage("Attendance", {{"FK_VchID", "1"}, {"AttID", "1"}, {"Employee_", "Asha"}});
    Stage("InvoiceOrderList", {{"FK_VchID", "1"}, {"IOLID", "1"}});
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("header-no-voucher-row.xml"));
}

// With the full and the all-Null rows above, every case of the two date lists.
TEST_F(VoucherHeader, AnEmptyReferenceDateGivesNoList) {
    Stage("Voucher", {{"VchID", "1"}, {"RefDate_", ""}, {"BasicBankersDate_", "20090405"}});
    const QByteArray sent = Sent(QStringLiteral("1"));
    EXPECT_FALSE(sent.contains("REFERENCEDATE")) << sent.toStdString();
    EXPECT_TRUE(sent.contains(
        "<BASICBANKERSDATE.LIST>\r\n              <BASICBANKERSDATE>20090405</BASICBANKERSDATE>"))
        << sent.toStdString();
}

// Values reach the database bound: apostrophes in the company or the id are plain text, and rows of
// another company under the same id stay out.
TEST_F(VoucherHeader, AnApostropheInTheCompanyOrIdIsReadLikeAnyOther) {
    const QString company = QStringLiteral("Lal's Traders");
    Stage("Voucher", {{"VchID", "7'A"}, {"GUID_", "guid-7"}, {"VoucherTypeName_", "Receipt"}}, company);
    Stage("LedgerEntry", {{"FK_VchID", "7'A"}, {"LdEID", "1"}, {"LedgerName_", "Lal's Cash"}}, company);
    Stage("CategoryAllocations",
          {{"FK_VchID", "7'A"},
           {"FK_LdEID", "1"},
           {"CAID", "1"},
           {"Category_", "Ops"},
           {"Name_", "Lal's desk"}},
          company);
    Stage("LedgerEntry", {{"FK_VchID", "7'A"}, {"LdEID", "2"}, {"LedgerName_", "Other company"}});
    test::ExpectGolden(Sent(QStringLiteral("7'A"), company), QStringLiteral("apostrophe-company.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

} // namespace
} // namespace quibo
