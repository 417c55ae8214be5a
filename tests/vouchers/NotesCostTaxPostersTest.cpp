// What the debit/credit-note, cost-centre and service-tax/TDS posters stage for their rows, the
// vouchers they refuse, what they send, and the cost-centre poster's check of the ledgers.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "staging/StagingWriters.h"
#include "tally/HttpTransport.h"
#include "tally/TallyLink.h"

#include <QRegularExpression>

#include <vector>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// Lacks the objects named in `missing` (as the requests carry them), answers nothing when `mute`,
// creates whatever it is sent to import, and keeps those requests.
struct Server final : HttpTransport {
    HttpReply post(const QString&, const QByteArray& body, const QStringList& = {}) override {
        static const QRegularExpression object(QStringLiteral("<ID TYPE=\"Name\">([^<]*)</ID>"));
        const QRegularExpressionMatch match = object.match(QString::fromUtf8(body));
        if (match.hasMatch()) asked << match.captured(1);
        if (!match.hasMatch()) imports.push_back(body);
        const QByteArray answer = !match.hasMatch() ? "<RESPONSE><CREATED>1</CREATED></RESPONSE>"
                                  : missing.contains(match.captured(1))
                                      ? "<DATA><ERRORMSG>No</ERRORMSG></DATA>"
                                      : "<DATA><COLLECTION/></DATA>";
        return HttpReply{true, 200, mute ? QByteArray() : answer, {}, {}, 0};
    }
    HttpReply getWithBody(const QString& url, const QByteArray& body) override { return post(url, body); }
    QStringList missing;
    bool mute = false;
    QStringList asked;
    std::vector<QByteArray> imports;
};

const QStringList Plain = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};
const QStringList Notes = Plain + QStringList{"ADJMETHOD", "ADJNAME", "ADJDATE", "ADJAMOUNT"};
const QStringList Costs = Notes + QStringList{"COSTCATEGORY", "COSTCENTRE", "COSTAMOUNT",     "LINENARRATION",
                                              "BankAmount",   "bankname",   "InstrumentType", "REFDATE"};
const QStringList Taxes =
    Plain + QStringList{"ASSESSABLEAMT", "SERVICETAX",   "CESS",          "SECCESS",   "SERVICETAXLEDGER",
                        "TDSLEDGER",     "TDSRATE",      "ISSPECIALRATE", "ADJNAME",   "ADJMETHOD",
                        "ADJAMOUNT",     "COSTCATEGORY", "COSTCENTRE",    "COSTAMOUNT"};
const QStringList NoAdjAmount =
    QStringList(Taxes).replaceInStrings(QStringLiteral("ADJAMOUNT"), QStringLiteral("Y"));

// A row of the voucher J/1/d with the cells given as "COLUMN=value|...", the others blank.
QStringList Row(const QStringList& fields, const char* cells) {
    QStringList row(fields.size());
    row[0] = QStringLiteral("J");
    row[1] = QStringLiteral("1");
    row[2] = QStringLiteral("d");
    for (const QString& cell : QString::fromLatin1(cells).split(QLatin1Char('|'), Qt::SkipEmptyParts))
        row[fields.indexOf(cell.section(QLatin1Char('='), 0, 0))] = cell.section(QLatin1Char('='), 1);
    return row;
}
QStringList N(const char* cells) {
    return Row(Notes, cells);
}
QStringList C(const char* cells) {
    return Row(Costs, cells);
}
QStringList T(const char* cells) {
    return Row(Taxes, cells);
}

const QString NoteLines = QStringLiteral(
    "Select l.LdEID, LedgerName_, IsDeemedPositive_, IsPartyLedger_, l.Amount_, BiAID, Name_, BillType_, "
    "BillCreditPeriod_, b.Amount_ from LedgerEntry l join BillAllocation b on b.FK_LdEID = l.LdEID order by "
    "1");
const QString CostLines = QStringLiteral(
    "Select LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_, Narration_ from LedgerEntry");
const QString Centres =
    QStringLiteral("Select FK_VchID, FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations");
const QString Bills = QStringLiteral("Select FK_LdEID, BiAID, Name_, BillType_, Amount_ from BillAllocation");
const QString TaxLines = QStringLiteral("Select LdEID, LedgerName_, Amount_, IsDeemedPositive_, "
                                        "IsPartyLedger_, TDSPartyName_ from AllLedgerEntry");
const QString TaxBills = QStringLiteral(
    "Select FK_LdEID, TBiAID, Name_, BillType_, IsInputAvail_, TDSTaxRate_, TDSSurcharge_, "
    "TDSAddlSurcharge_, "
    "STSecondaryCessRate_, Amount_, SurchargeAmount_, AddlSurchargeAmount_, STSecondaryCessAmount_, "
    "AssessableAmount_, ExpenseAmount_ from TaxBillAllocation");
const QString TdsBills = QStringLiteral(
    "Select FK_LdEID, BiAID, Name_, BillType_, Amount_, TDSDeducteeSectionNumber_, TDSLedgerNC_, "
    "TDSDeducteeIsSpecialRate_, TDSDeducteeSpecialRate_, ServiceTaxLedger_ from BillAllocation");

// A service bill with a TDS ledger too, a TDS bill, a line without tax.
const QList<QStringList> TaxRows = {
    T("LEDGER=Contractor|DEBIT=1000|ASSESSABLEAMT=1000|SERVICETAX=120|CESS=2.4|SECCESS=-1.2|SERVICETAXLEDGER="
      "Service Tax|TDSLEDGER=TDS|ADJNAME=B-1|ADJMETHOD=New Ref|ADJAMOUNT=1122.4"),
    T("LEDGER=TDS 194C|CREDIT=20|TDSLEDGER=TDS 194C|TDSRATE=1|ISSPECIALRATE=Yes|SERVICETAXLEDGER=Service "
      "Tax|ADJNAME=T-1|ADJAMOUNT=20"),
    T("LEDGER=Cash|CREDIT=1,102.40|ASSESSABLEAMT= ")};

struct StagingCase {
    const char* name;
    VoucherKind (*kind)(const VoucherRun&);
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

// clang-format off
const StagingCase StagingCases[] = {
    {"NoteHeaderFromTheFirstRow", CrDrNoteKind, Plain,
     {Row(Plain, "VCHTYPE=Credit Note|REFNO=R-1|LEDGER=A|NARRATION=First"),
      Row(Plain, "VCHTYPE=Credit Note|REFNO=R-2|LEDGER=B|NARRATION=Second")},
     QStringLiteral(
         "Select Date_, EffectiveDate_, GUID_, VoucherTypeName_, VoucherNumber_, PartyLedgerName_, "
         "BasicBuyerName_, Reference_, RefDate_, Narration_, HasCashFlow_, IsInvoice_, Audited_, "
         "PersistedView_ from Voucher"),
     {"d|d|Credit Note-1-d|Credit Note|1|A|A|R-1||First|Yes|No|No|Accounting Voucher View"}},
    {"TheTwoRowNoteWithoutBillColumns", CrDrNoteKind, Plain,
     {Row(Plain, "LEDGER=A|DEBIT=100"), Row(Plain, "LEDGER=B|CREDIT=100")},
     NoteLines,
     {"1|A|Yes|Yes|-100|1||||-0.000", "2|B|No|No|100.000|1||||0.000"}},
    {"ADebitWinsAndNoteBillsTakeTheLinesSign", CrDrNoteKind, Notes,
     {N("LEDGER=A|DEBIT=12.5|CREDIT=30|ADJMETHOD=Agst Ref|ADJNAME=N-1|ADJDATE=30 Days|ADJAMOUNT=250"),
      N("LEDGER=B|CREDIT=250|ADJNAME=N-2|ADJAMOUNT=250"), N("LEDGER=C|ADJAMOUNT=x"),
      N("LEDGER=D|DEBIT=1|ADJAMOUNT=-250")},
     NoteLines,
     {"1|A|Yes|Yes|-12.5|1|N-1|Agst Ref|30 Days|-250.000", "2|B|No|No|250.000|1|N-2|||250.000",
      "3|C|No|No|0.000|1||||0.000", "4|D|Yes|No|-1|1||||250.000"}},
    {"LedgerRowsAreCostLinesWithTheirNarration", CostTransactionKind, Costs,
     {C("LEDGER=Rent|DEBIT=500|LINENARRATION=April"), C("LINENARRATION=x"),
      C("LEDGER=Cash|CREDIT=500|LINENARRATION= ")},
     CostLines,
     {"1|Rent|-500|Yes|Yes|April", "2|Cash|500.000|No|No|"}},
    {"CentresUnderOneLineTakeItsSign", CostTransactionKind, Costs,
     {C("LEDGER=Rent|DEBIT=100|COSTCATEGORY=Branches|COSTCENTRE=A|COSTAMOUNT=40"),
      C("COSTCATEGORY= |COSTCENTRE=B|COSTAMOUNT=-60"), C("COSTCENTRE=C"),
      C("LEDGER=Cash|CREDIT=100|COSTCENTRE=D|COSTAMOUNT=100"), C("COSTCENTRE= |COSTAMOUNT=5")},
     Centres,
     {"1|1|1|Branches|A|-40.000", "1|1|2|Primary Cost Category|B|60.000",
      "1|1|3|Primary Cost Category|C|-0.000", "1|2|1|Primary Cost Category|D|100.000"}},
    {"CostBillsNeedANameAndDefaultToNewRef", CostTransactionKind, Costs,
     {C("LEDGER=Rent|DEBIT=100|ADJAMOUNT=70"), C("ADJNAME=B-1|ADJAMOUNT=-250"),
      C("LEDGER=Cash|CREDIT=100|ADJNAME=B-2|ADJMETHOD=Agst Ref|ADJAMOUNT=250")},
     Bills,
     {"1|1|B-1|New Ref|250.000", "2|2|B-2|Agst Ref|250.000"}},
    {"ABankAllocationNeedsANonZeroAmount", CostTransactionKind, Costs,
     {C("LEDGER=Bank|CREDIT=50|BankAmount=50|bankname=SBI|InstrumentType=Cheque"),
      C("BankAmount=0|bankname=SBI"), C("bankname=SBI"),
      C("LEDGER=Cash|DEBIT=50|BankAmount=1,200.00|bankname=HDFC")},
     QStringLiteral("Select FK_LdEID, BaAID, Date_, Amount_, BankName_, TransactionType_ "
                    "from BankAllocation"),
     {"1|1|d|50|SBI|Cheque", "2|2|d|1,200.00|HDFC|"}},
    {"OnlySalesAndPurchaseAsWrittenAreInvoices", CostTransactionKind, Costs,
     {C("VCHTYPE=Sales|LEDGER=A|REFDATE=r"), C("VCHTYPE=Purchase|LEDGER=A"), C("VCHTYPE=sales|LEDGER=A"),
      C("VCHTYPE=PURCHASE|LEDGER=A")},
     QStringLiteral("Select IsInvoice_, RefDate_ from Voucher order by VchID"),
     {"Yes|r", "Yes|", "No|", "No|"}},
    {"TaxLinesCountUpAndAZeroRowHasNone", STTDSTransactionKind, Plain,
     {Row(Plain, "LEDGER=A|DEBIT=100"), Row(Plain, "LEDGER=B|CREDIT=100"), Row(Plain, "LEDGER=C|CREDIT=0"),
      Row(Plain, "LEDGER=D|DEBIT=-7.5")},
     TaxLines,
     {"1|A|-100|Yes|Yes|", "2|B|100.000|No|No|", "4|D|7.5|Yes|No|"}},
    {"ATaxBillWinsOverATdsBill", STTDSTransactionKind, Taxes, TaxRows, TaxBills,
     {"1|1|B-1|New Ref|No|12|2||1|-1122.400|-120.000|-2.400|1.200|-1000.000|"}},
    {"TdsBillsTakeTheSignOfTheirLine", STTDSTransactionKind, Taxes,
     {TaxRows[0], TaxRows[1], T("LEDGER=Fees|DEBIT=5|TDSLEDGER=TDS 194J|ISSPECIALRATE=yes")}, TdsBills,
     {"2|1|T-1||20.000|197|TDS 194C|Yes|1.000|Service Tax", "3|1|||-0.000||TDS 194J|yes|0.000|"}},
    {"TheTaxLedgerNamesTheTaxedLine", STTDSTransactionKind, Taxes, TaxRows, TaxLines,
     {"1|Contractor|-1000|Yes|Yes|Service Tax", "2|TDS 194C|20.000|No|No|", "3|Cash|1102.400|No|No|"}},
    {"WithoutAdjAmountTaxAndTdsBillsHaveNoAmount", STTDSTransactionKind, NoAdjAmount,
     {T("LEDGER=A|DEBIT=5|ASSESSABLEAMT=5"), T("LEDGER=B|CREDIT=5|TDSLEDGER=TDS")},
     QStringLiteral("Select Amount_ from TaxBillAllocation union all Select Amount_ from BillAllocation"),
     {"", ""}},
    {"WithoutTheirColumnsOtherTaxAndCostAmountsAreEmptyNotASign", STTDSTransactionKind,
     Plain + QStringList{"ASSESSABLEAMT", "COSTCENTRE"},
     {Row(Plain + QStringList{"ASSESSABLEAMT", "COSTCENTRE"}, "LEDGER=A|DEBIT=5|ASSESSABLEAMT=5|COSTCENTRE=X")},
     QStringLiteral("Select SurchargeAmount_ || '|' || AddlSurchargeAmount_ || '|' || STSecondaryCessAmount_ "
                    "from TaxBillAllocation union all Select Amount_ from CategoryAllocations"),
     {"||", ""}},
    {"CostAllocationsCountPerVoucher", STTDSTransactionKind, Taxes,
     {T("LEDGER=A|DEBIT=100|COSTCENTRE=X|COSTAMOUNT=60|COSTCATEGORY=Jobs"), T("COSTCENTRE=Y|COSTAMOUNT=-40"),
      T("LEDGER=B|VCHNO=2|CREDIT=100|COSTCENTRE=Z|COSTAMOUNT=100")},
     Centres,
     {"1|1|1|Jobs|X|-60.000", "1|1|2|Primary Cost Category|Y|40.000",
      "2|1|1|Primary Cost Category|Z|100.000"}},
};
// clang-format on

struct Posters : test::PostingFixture {
    Server server;
    TallyLink link{settings, errors, server};
    void Stage(VoucherKind (*kind)(const VoucherRun&)) {
        sent.clear();
        VoucherRun run(form, db);
        run.Run(kind(run), Recorder());
    }
};
struct Staging : Posters, ::testing::WithParamInterface<StagingCase> {};

TEST_P(Staging, StagesWhatTheRowsSay) {
    const StagingCase& c = GetParam();
    Load(c.fields, c.rows);
    Stage(c.kind);
    EXPECT_FALSE(sent.isEmpty());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(NotesCostTax, Staging, ::testing::ValuesIn(StagingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Posters, ARowThatWouldLoseWhatItCarriesFailsItsVoucher) {
    const QString before = QStringLiteral("ERROR: an allocation row comes before the first ledger line");
    const QString carries = QStringLiteral("ERROR: a row without LEDGER carries an amount or a bill");
    const QString zero =
        QStringLiteral("ERROR: a bill or cost allocation belongs to a ledger row with a zero amount");
    const struct {
        VoucherKind (*kind)(const VoucherRun&);
        QStringList fields;
        QList<QStringList> rows;
        QString status;
    } cases[] = {
        {CostTransactionKind, Costs, {C("COSTCENTRE=A"), C("LEDGER=A|DEBIT=5")}, before},
        {CostTransactionKind, Costs, {C("ADJNAME=B-1"), C("LEDGER=A|DEBIT=5")}, before},
        {CostTransactionKind, Costs, {C("BankAmount=10"), C("LEDGER=A|DEBIT=5")}, before},
        {STTDSTransactionKind, Taxes, {T("COSTCENTRE=X"), T("LEDGER=A|DEBIT=5")}, before},
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("DEBIT=5")}, carries},
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("ASSESSABLEAMT=5")}, carries},
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("TDSLEDGER=TDS")}, carries},
        // A zero amount stages no ledger line, so nothing would carry them.
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("LEDGER=Z|CREDIT=-5|TDSLEDGER=TDS")}, zero},
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("LEDGER=Z|ASSESSABLEAMT=5")}, zero},
        {STTDSTransactionKind, Taxes, {T("LEDGER=A|DEBIT=5"), T("LEDGER=Z|COSTCENTRE=X")}, zero},
        {STTDSTransactionKind, Taxes, {T("LEDGER=Z"), T("COSTCENTRE=X")}, zero},
    };
    for (const auto& c : cases) {
        Load(c.fields, c.rows);
        Stage(c.kind);
        EXPECT_EQ(Status(2), c.status);
        EXPECT_TRUE(sent.isEmpty());
    }
}

TEST_F(Posters, EachSendsItsVoucherWithItsAllocations) {
    ExpectGoldenRuns({
        {PostCrDrNotes,
         Notes,
         {N("VCHTYPE=Credit Note|LEDGER=Gupta & Sons|DEBIT=100|ADJMETHOD=Agst "
            "Ref|ADJNAME=INV-9|ADJAMOUNT=100|NARRATION=Rate difference|REFNO=R-1"),
          N("VCHTYPE=Credit Note|LEDGER=Sales|CREDIT=100")},
         "crdrnote.xml"},
        {PostCostTransaction,
         Costs,
         {C("LEDGER=Office Rent|DEBIT=1000|COSTCATEGORY=Branches|COSTCENTRE=Mumbai|COSTAMOUNT=600"),
          C("COSTCENTRE=Pune|COSTAMOUNT=400"),
          C("LEDGER=HDFC Bank|CREDIT=1000|BankAmount=1000|InstrumentType=Cheque")},
         "costtransaction.xml"},
        {PostSTTDSTransaction, Taxes, TaxRows, "sttdstransaction.xml"},
    });
}

struct LedgerCheck : Posters {
    void Post(bool silent) {
        form.chkChkMst.value = 1;
        form.SilentMode = silent;
        boxes.shown.clear();
        Load(Costs, {C("LEDGER=Cash & Bank|DEBIT=5"), C(""), C("LEDGER=Rent|CREDIT=5")});
        // What an earlier post left on the rows.
        const int status = form.GR1.ColumnIndex(QStringLiteral("PROCESSSTATUS"));
        for (int row = 1; row <= 3; ++row) {
            form.GR1.SetCellText(row, status, QStringLiteral("old"));
            form.GR1.SetCellIcon(row, 1, 0);
            form.GR1.SetRowColor(row, 255);
            form.GR1.SetCellFont(row, status, GridFont{true});
        }
        PostCostTransaction(form, link);
    }
};

TEST_F(LedgerCheck, AMissingLedgerStopsThePostBeforeAnythingIsEmptied) {
    ASSERT_TRUE(SaveVoucher(errors, db, test::Sharma, {}, QStringLiteral("9")));
    server.missing = {QStringLiteral("Cash &amp; Bank")};
    // Unattended too: the box is the run's word on why nothing was posted.
    for (const bool silent : {false, true}) {
        Post(silent);
        EXPECT_EQ(Status(1),
                  QStringLiteral("ERRORS Ledger 'Cash &amp; Bank' does not exist!Ledger 'Cash &amp; "
                                 "Bank' does not exist! - "));
        EXPECT_EQ(Status(2), QStringLiteral("old"));
        EXPECT_EQ(Status(3), QString());
        // The rows it writes keep no mark of the earlier post; the row it leaves keeps them all.
        for (const int row : {1, 3}) {
            EXPECT_EQ(Icon(row), -1) << row;
            EXPECT_TRUE(Unmarked(row)) << row;
        }
        EXPECT_EQ(Icon(2), 0);
        EXPECT_TRUE(Red(2));
        EXPECT_EQ(boxes.texts(), QStringList({"Some of the Masters are missing. "})) << silent;
    }
    EXPECT_EQ(server.asked, QStringList({"Cash &amp; Bank", "Rent", "Cash &amp; Bank", "Rent"}));
    EXPECT_TRUE(server.imports.empty());
    EXPECT_EQ(Staged(QStringLiteral("Select VchID from Voucher")), QStringList({"9"}));
    EXPECT_TRUE(Progress().isEmpty());
}

TEST_F(LedgerCheck, NoAnswerCountsAsPresent) {
    server.mute = true;
    Post(false);
    EXPECT_EQ(server.imports.size(), 1u);
    // The questions' silence goes unreported; the import's is a failed exchange, reported.
    EXPECT_EQ(Locations(), QStringList({"C02-0001"}));
    EXPECT_EQ(Status(3), QStringLiteral("ERROR: no reply from the Tally server"));
}

} // namespace
} // namespace quibo
