// Ledger lines with their category, bill, bank and tax-bill allocations.

#include "staging/FilledRow.h"
#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct LedgerEntries : test::VoucherTest {
    // A row of voucher 1: its keys, then its values.
    void Row(const char* table, Cells keys, Cells cells) {
        QStringList columns{QStringLiteral("CompanyName"), QStringLiteral("FK_VchID")};
        QVariantList values{QStringLiteral("Acme Traders"), QStringLiteral("1")};
        for (const Cells& part : {keys, cells})
            for (const auto& [column, value] : part)
                columns.append(QString::fromLatin1(column)), values.append(value);
        db.insert(QString::fromLatin1(table), columns, values);
    }
    void Line(const char* id, Cells cells) { Row("LedgerEntry", {{"LdEID", id}}, cells); }
    void Category(const char* line, const char* id, const QVariant& category, const char* name) {
        Row("CategoryAllocations", {{"FK_LdEID", line}, {"CAID", id}},
            {{"Category_", category}, {"Name_", name}, {"Amount_", "-10.000"}});
    }
    void Bill(const char* id, const QVariant& amount) {
        Row("BillAllocation", {{"FK_LdEID", "1"}, {"BiAID", id}}, {{"Name_", id}, {"Amount_", amount}});
    }
    void Bank(const char* id, const QVariant& amount, const QVariant& bank, const QVariant& date) {
        Row("BankAllocation", {{"FK_LdEID", "1"}, {"BaAID", id}},
            {{"BankName_", bank}, {"Date_", date}, {"Amount_", amount}});
    }
};

// Entries 10 and 9 in numeric order; a line of empty values; the VAT value and rate tests, one line
// each.
TEST_F(LedgerEntries, LineValuesAndTheirTests) {
    test::StageFilled(*this, "LedgerEntry", {{"FK_VchID", "1"}, {"LdEID", "10"}}, {}, test::Filled::Plain);
    db.execute(QStringLiteral("Update LedgerEntry set Narration_ = ?, VATAssessableValue_ = ?, "
                              "BasicRateOfInvoiceTax_ = ? where LdEID = ?"),
               {QStringLiteral("Tea & <coffee>"), QStringLiteral("-250"), QStringLiteral("12.5%"),
                QStringLiteral("10")});
    Line("9", {{"IsDeemedPositive_", ""}, {"Amount_", QVariant()}});
    const struct {
        const char* vat;
        const char* rate;
    } tests[] = {{"0", "0"}, {"0.00", ""}, {"", "-5"}, {"abc", "%"}, {"12abc", "abc"}, {nullptr, " 3%"}};
    int id = 20;
    for (const auto& t : tests) {
        const QByteArray name = QByteArray::number(id++);
        Line(name.constData(),
             {{"LedgerName_", QStringLiteral("vat %1 rate %2")
                                  .arg(QLatin1String(t.vat ? t.vat : "Null"), QLatin1String(t.rate))},
              {"VATAssessableValue_", t.vat ? QVariant(t.vat) : QVariant()},
              {"BasicRateOfInvoiceTax_", t.rate}});
    }
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("ledger-lines.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

// Lines 1: A,A,B; 2: A,B,A; 3: A,a; 4: first row Null, then X, Null; 5: first row "", then "", A, "".
TEST_F(LedgerEntries, CategoryRowsShareAListWhileTheCategoryStays) {
    for (const char* line : {"1", "2", "3", "4", "5"})
        Line(line, {{"LedgerName_", line}});
    Category("1", "1", "A", "c1"), Category("1", "2", "A", "c2"), Category("1", "3", "B", "c3");
    Category("2", "1", "A", "c1"), Category("2", "2", "B", "c2"), Category("2", "3", "A", "c3");
    Category("3", "1", "A", "c1"), Category("3", "2", "a", "c2");
    Category("4", "1", QVariant(), "c1"), Category("4", "2", "X", "c2"), Category("4", "3", QVariant(), "c3");
    Category("5", "1", "", "c1"), Category("5", "2", "", "c2"), Category("5", "3", "A", "c3");
    Category("5", "4", "", "c4");
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("category-allocations.xml"));
}

// Left out only when the amount is Null, "" or zero as a whole; the TDS columns go out after AMOUNT.
TEST_F(LedgerEntries, BillsWithoutAnAmountAreLeftOut) {
    Line("1", {{"LedgerName_", "Ravi"}});
    Bill("10", "100"), Bill("2", "0"), Bill("3", ""), Bill("4", QVariant()), Bill("5", "-0.000");
    Bill("6", "$50.000 @ Rs 45.000/$ = Rs 2250"), Bill("7", "0.00"), Bill("9", "50");
    test::StageFilled(*this, "BillAllocation", {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BiAID", "11"}}, {},
                      test::Filled::Plain);
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("bill-allocations.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

// One line with every kind: values, then categories, bills, banks (0, letters, Null left out; the
// NAME of the others from the voucher GUID, bank and date) and tax bills (an empty one included).
TEST_F(LedgerEntries, BankAndTaxBillsFollowCategoriesAndBills) {
    Stage("Voucher", {{"VchID", "1"}, {"GUID_", "guid-1"}});
    Line("1", {{"LedgerName_", "HDFC Bank"}});
    Category("1", "1", "Ops", "Desk");
    Bill("1", "75");
    Bank("1", "0", "HDFC", "20090401"), Bank("2", "abc", "HDFC", "20090401");
    Bank("3", QVariant(), "HDFC", ""), Bank("5", "12", QVariant(), QVariant());
    test::StageFilled(*this, "BankAllocation", {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"BaAID", "4"}}, {},
                      test::Filled::Plain);
    db.execute(QStringLiteral("Update BankAllocation set Amount_ = ? where BaAID = ?"),
               {QStringLiteral("75"), QStringLiteral("4")});
    Row("TaxBillAllocation", {{"FK_LdEID", "1"}, {"TBiAID", "2"}}, {});
    test::StageFilled(*this, "TaxBillAllocation", {{"FK_VchID", "1"}, {"FK_LdEID", "1"}, {"TBiAID", "1"}}, {},
                      test::Filled::Plain);
    test::ExpectGolden(Sent(QStringLiteral("1")), QStringLiteral("bank-and-tax-bills.xml"));
    EXPECT_TRUE(locations().isEmpty());
}

} // namespace
} // namespace quibo
