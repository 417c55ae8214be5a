// What PostTransaction stages for the rows of "TRANSACTIONS": header, ledger lines, bills and bank
// allocations, read back from the staging tables after the run.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Plain = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};
QStringList With(std::initializer_list<const char*> more) {
    QStringList fields = Plain;
    for (const char* field : more)
        fields << QString::fromLatin1(field);
    return fields;
}

const QString Header = QStringLiteral(
    "Select VchID, Date_, EffectiveDate_, GUID_, VoucherTypeName_, VoucherNumber_, PartyLedgerName_, "
    "BasePartyName_, BasicBuyerName_, Reference_, RefDate_, Narration_, HasCashFlow_, IsInvoice_, "
    "IsDeleted_, "
    "PersistedView_, MIRONo_ from Voucher order by VchID");
const QString Lines = QStringLiteral("Select LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_, "
                                     "LedgerFromItem_, Narration_ from LedgerEntry order by FK_VchID, LdEID");
const QString Bills = QStringLiteral("Select FK_LdEID, BiAID, Name_, BillType_, BillCreditPeriod_, Amount_ "
                                     "from BillAllocation order by BiAID");
const QString Banks = QStringLiteral("Select FK_LdEID, BaAID, Date_, Amount_, BankName_, InstrumentNumber_ "
                                     "from BankAllocation order by BaAID");

struct MappingCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

const MappingCase MappingCases[] = {
    {"TheHeaderComesFromTheVouchersFirstRow",
     With({"REFDATE", "EFFECTIVEDATE"}),
     {{"Sales", "5", "01-Apr-2009", "R-1", "Cash", "100", "", "First", "31-Mar-2009", " "},
      {"Sales", "5", "01-Apr-2009", "R-2", "Sales", "", "100", "Second", "", "02-Apr-2009"}},
     Header,
     {"1|01-Apr-2009|01-Apr-2009|Sales-5-01-Apr-2009|Sales|5|Cash|Cash|Cash|R-1|31-Mar-2009|First|Yes|No|No|"
      "Accounting Voucher View|"}},
    {"AnIdColumnIsTheVouchersGuid",
     With({"ID"}),
     {{"Sales", "5", "d", "", "Cash", "1", "", "", "V-9"}},
     Header,
     {"1|d|d|V-9|Sales|5|Cash|Cash|Cash||||Yes|No|No|Accounting Voucher View|"}},
    {"ADebitIsNegatedAndACreditFormatted",
     Plain,
     {{"J", "1", "d", "", "Cash", "100", "", ""},
      {"J", "1", "d", "", "Sales", "", "1,500", ""},
      {"J", "1", "d", "", "Both", "20", "30", ""},
      {"J", "1", "d", "", "Neither", "", "", ""},
      {"J", "1", "d", "", "Refund", "-45.5", "", ""}},
     Lines,
     {"1|Cash|-100|Yes|Yes|No|", "2|Sales|1500.000|No|No|No|", "3|Both|-20|Yes|No|No|",
      "4|Neither|0.000|No|No|No|", "5|Refund|45.5|Yes|No|No|"}},
    {"BillsHangUnderTheMostRecentLineWithItsSign",
     With({"ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT"}),
     {{"J", "1", "d", "", "", "", "", "", "", "Early", "", "70"},
      {"J", "1", "d", "", "Cash", "500", "", "", "", "Inv-1", "30 Days", "500"},
      {"J", "1", "d", "", "", "", "", "", "Agst Ref", "Inv-2", "", "-200"},
      {"J", "1", "d", "", "", "", "", "", "", "Inv-3", "", "0"},
      {"J", "1", "d", "", "Sales", "", "500", "", "", "Inv-4", "", "500"}},
     Bills,
     {"0|1|Early|New Ref||70.000", "1|2|Inv-1|New Ref|30 Days|-500.000", "1|3|Inv-2|Agst Ref||200.000",
      "1|4|Inv-3|New Ref||-0.000", "2|5|Inv-4|New Ref||500.000"}},
    {"ABankAllocationNeedsANonZeroAmountAndKeepsItAsTyped",
     With({"BankAmount", "bankname", "InstrumentNumber"}),
     {{"J", "1", "d8", "", "Bank", "", "50", "", "-50", "SBI", "C-1"},
      {"J", "1", "d8", "", "", "", "", "", "0", "SBI", "C-2"},
      {"J", "1", "d8", "", "", "", "", "", "cash", "SBI", "C-3"},
      {"J", "1", "d8", "", "", "", "", "", "", "SBI", "C-4"},
      {"J", "1", "d8", "", "", "", "", "", "1,200.00", "HDFC", "C-5"}},
     Banks,
     {"1|1|d8|-50|SBI|C-1", "1|2|d8|1,200.00|HDFC|C-5"}},
};

struct Mapping : test::PostingFixture, ::testing::WithParamInterface<MappingCase> {};

TEST_P(Mapping, StagesWhatTheRowsSay) {
    const MappingCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(TransactionKind(run), Recorder());
    EXPECT_EQ(sent.size(), 1);
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(Transactions, Mapping, ::testing::ValuesIn(MappingCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Transactions : test::PostingFixture {};

TEST_F(Transactions, ARequiredColumnMissingEndsTheRunBeforeAnythingIsStaged) {
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
    Load(QStringList(Plain).replaceInStrings(QStringLiteral("LEDGER"), QStringLiteral("ACCOUNT")),
         {{"J", "1", "d", "", "Cash", "100", "", ""}});
    PostTransaction(form, link);
    EXPECT_EQ(Locations(), QStringList({"F01-0023"}));
    EXPECT_EQ(link.RequestsPosted(), 0u);
    EXPECT_EQ(Staged(QStringLiteral("Select count(*) from Voucher")), QStringList({"0"}));
    EXPECT_FALSE(Progress().contains(QStringLiteral("Finished Posing of Data.")));
}

} // namespace
} // namespace quibo
