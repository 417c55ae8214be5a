// What PostCrDrNotes stages for the rows of "CRDRNOTES": header, a ledger line and a bill per row.

#include "vouchers/PostingFixture.h"
#include "vouchers/ScriptedServer.h"
#include "vouchers/VoucherPosters.h"

#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Plain = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};
const QStringList Adjusted = Plain + QStringList{"ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT"};

const QString Header = QStringLiteral(
    "Select VchID, Date_, EffectiveDate_, GUID_, VoucherTypeName_, VoucherNumber_, PartyLedgerName_, "
    "BasePartyName_, BasicBuyerName_, Reference_, RefDate_, Narration_, HasCashFlow_, IsInvoice_, Audited_, "
    "PersistedView_ from Voucher order by VchID");
const QString Lines = QStringLiteral("Select l.LdEID, LedgerName_, IsDeemedPositive_, IsPartyLedger_, "
                                     "LedgerFromItem_, l.Amount_, BiAID, Name_, "
                                     "BillType_, BillCreditPeriod_, b.Amount_ from LedgerEntry l join "
                                     "BillAllocation b on b.FK_VchID = l.FK_VchID "
                                     "and b.FK_LdEID = l.LdEID order by l.LdEID");

struct NoteCase {
    const char* name;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

const NoteCase NoteCases[] = {
    {"TheHeaderComesFromTheFirstRow",
     Plain,
     {{"Credit Note", "7", "01-Apr-2024", "R-1", "A", "100", "", "First"},
      {"Credit Note", "7", "01-Apr-2024", "R-2", "B", "", "100", "Second"}},
     Header,
     {"1|01-Apr-2024|01-Apr-2024|Credit Note-7-01-Apr-2024|Credit Note|7|A|A|A|R-1|<null>|First|Yes|No|No|"
      "Accounting Voucher View"}},
    {"TheTwoRowNoteWithoutBillColumns",
     Plain,
     {{"J", "1", "d", "", "A", "100", "", ""}, {"J", "1", "d", "", "B", "", "100", ""}},
     Lines,
     {"1|A|Yes|Yes|No|-100|1||||-0.000", "2|B|No|No|No|100.000|1||||0.000"}},
    {"ADebitWinsOverACreditAndBillsTakeTheLinesSign",
     Adjusted,
     {{"J", "1", "d", "", "A", "12.5", "30", "", "Agst Ref", "N-1", "30 Days", "250"},
      {"J", "1", "d", "", "B", "", "250", "", "", "N-2", "", "250"},
      {"J", "1", "d", "", "C", "", "", "", "", "", "", "x"},
      {"J", "1", "d", "", "D", "1", "", "", "", "N-3", "", "-250"}},
     Lines,
     {"1|A|Yes|Yes|No|-12.5|1|N-1|Agst Ref|30 Days|-250.000", "2|B|No|No|No|250.000|1|N-2|||250.000",
      "3|C|No|No|No|0.000|1||||0.000", "4|D|Yes|No|No|-1|1|N-3|||250.000"}},
};

struct Notes : test::PostingFixture, ::testing::WithParamInterface<NoteCase> {};

TEST_P(Notes, StageWhatTheRowsSay) {
    const NoteCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(CrDrNoteKind(run), Recorder());
    EXPECT_EQ(sent.size(), 1);
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(CrDrNotes, Notes, ::testing::ValuesIn(NoteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Notes, ANoteGoesOutAsOneVoucher) {
    test::ScriptedServer server;
    TallyLink link{settings, errors, server};
    Load(Adjusted, {{"Credit Note", "7", "01-Apr-2024", "R-1", "Gupta & Sons", "100", "", "Rate difference",
                     "Agst Ref", "INV-9", "", "100"},
                    {"Credit Note", "7", "01-Apr-2024", "", "Sales", "", "100", "", "", "", "", ""}});
    PostCrDrNotes(form, link);
    ASSERT_EQ(server.imports.size(), 1u);
    test::ExpectGolden(server.imports[0], QStringLiteral("crdrnote.xml"));
    EXPECT_EQ(Status(2), QStringLiteral("CREATED "));
}

} // namespace
} // namespace quibo
