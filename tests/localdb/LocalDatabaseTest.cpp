#include "localdb/LocalDatabase.h"

#include "localdb/LocalTransaction.h"
#include "localdb/StagingSchema.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include "localdb/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace quibo {
namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QStringList Words(const char* text) {
    return S(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Runs the call and returns the run-time error it raised; fails the test when none.
vb::ErrorInfo RaisedBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const vb::RuntimeError& e) {
        return e.info();
    } catch (...) {
        ADD_FAILURE() << "something other than vb::RuntimeError escaped";
        return {};
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

QStringList Column(const RecordSet& rs, const char* column) {
    QStringList values;
    for (int r = 0; r < rs.rowCount(); ++r)
        values << rs.value(r, QString::fromLatin1(column)).toString();
    return values;
}

class LocalDatabaseTest : public ::testing::Test {
protected:
    test::TempFolder folder;

    void addLedgerLine(LocalDatabase& db, const QString& company, const QString& voucher,
                       const QString& line) {
        db.insert(S("LedgerEntry"), Words("CompanyName FK_VchID LdEID LedgerName_"),
                  {company, voucher, line, S("Ledger ") + line});
    }
};

// --- the file and its tables ----------------------------------------------------------------

TEST_F(LocalDatabaseTest, FirstUseCreatesTheFileWithEveryTableEmpty) {
    const QString file = folder.file(S("Quibo20.DAT"));
    ASSERT_FALSE(QFileInfo::exists(file));
    LocalDatabase db(folder.path());
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(db.path(), file);
    EXPECT_EQ(db.query(S("PRAGMA user_version")).value(0, 0).toInt(), LocalDatabase::SchemaVersion);

    const RecordSet tables = db.query(S("Select name from sqlite_master where type='table' Order By name"));
    EXPECT_EQ(
        Column(tables, "name"),
        Words("AccountingAllocation Address AllInventoryEntry AllLedgerEntry Attendance BASICUSERDESCRIPTION "
              "BankAllocation BasicBuyerAddress BasicOrderTerms BatchAllocation BillAllocation "
              "CategoryAllocations EXCISEITEMGODOWN InventoryAllocations InventoryEntry InventoryEntryIN "
              "InventoryEntryOut InvoiceDelNotes InvoiceOrderList LedgerEntry QuiboDet_ QuiboGrp_ QuiboMst_ "
              "TaxBillAllocation Voucher"));
    for (const QString& table : Column(tables, "name"))
        EXPECT_TRUE(db.query(S("Select * from \"") + table + S("\"")).isEmpty()) << table.toStdString();
}

// Keys after CompanyName, the data columns in the order the writers fill them, the columns only the
// voucher builder reads; for the format tables, their whole-number columns.
TEST_F(LocalDatabaseTest, EveryTableHasTheColumnsOfTheDesign) {
    const char* const ledgerLine = "LedgerName_ Narration_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ "
                                   "RemoveZeroEntries_ IsPartyLedger_ Amount_ TaxClassificationName_ "
                                   "VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_";
    const char* const item =
        "StockItemName_ IsDeemedPositive_ IsAutoNigate_ Rate_ Amount_ ActualQty_ BilledQty_";
    const struct {
        const char* table;
        const char* keys;
        const char* data;
        const char* last; // unwritten columns; integer columns of a format table
    } cases[] = {
        {"Voucher", "VchID",
         "Date_ GUID_ MIRONo_ MIRODt_ Narration_ VoucherTypeName_ VoucherNumber_ Reference_ RefDate_ "
         "PartyLedgerName_ BasePartyName_ BasicBankersDate_ PartyName_ BasicShippedBy_ BasicBuyerName_ "
         "DiffActualQty_ Audited_ ForJobCosting_ IsOptional_ EffectiveDate_ UseForInterest_ UseForGainLoss_ "
         "UseForGodownTransfer_ UseForCompound_ AlterID_ IsCancelled_ HasCashFlow_ IsPostDated_ "
         "UseTrackingNumber_ IsInvoice_ MFGJournal_ HasDiscounts_ AsPayslip_ IsDeleted_ AsOriginal_ "
         "BasicShipDocumentNo_ BasicFinalDestination_ BasicDueDateOfPymt_ BasicOrderRef_ "
         "BasicBuyersSalesTaxNo_ ClassName_ TaxAdjustment_ PersistedView_",
         "BasicDateTimeOfInvoice_ BasicDateTimeOfRemoval_"},
        {"Address", "FK_VchID AdID", "Address_", ""},
        {"BasicBuyerAddress", "FK_VchID BBAID", "BasicBuyerAddress_", ""},
        {"BasicOrderTerms", "FK_VchID BOTID", "BasicOrderTerms_", ""},
        {"InvoiceDelNotes", "FK_VchID IDNID", "BasicShippingDate_ BasicShipDeliveryNote_", ""},
        {"InvoiceOrderList", "FK_VchID IOLID", "BasicOrderDate_ BasicPurchaseOrderNo_", ""},
        {"LedgerEntry", "FK_VchID LdEID", ledgerLine, ""},
        {"AllLedgerEntry", "FK_VchID LdEID", ledgerLine, ""},
        {"CategoryAllocations", "FK_VchID FK_LdEID CAID", "Category_ Name_ Amount_", ""},
        {"BillAllocation", "FK_VchID FK_LdEID BiAID",
         "Name_ BillCreditPeriod_ BillType_ Amount_ TDSDeducteeSectionNumber_ TDSLedgerNC_ "
         "TDSDeducteeIsSpecialRate_ TDSDeducteeSpecialRate_ ServiceTaxLedger_",
         ""},
        {"BankAllocation", "FK_VchID FK_LdEID BaAID",
         "Date_ InstrumentDate_ TransactionType_ PaymentFavouring_ BankName_ BranchName_ Status_ "
         "ChequeCrossComment_ InstrumentNumber_ UniqueRefNo_ IFSCCode_ TransactionName_ PaymentMode_ "
         "AccountNumber_ BankPartyName_ TransferMode_ Amount_ BankDate_",
         ""},
        {"TaxBillAllocation", "FK_VchID FK_LdEID TBiAID",
         "Name_ BillType_ IsPureAgentBill_ IsInputAvail_ TDSTaxRate_ TDSSurcharge_ TDSAddlSurcharge_ "
         "STSecondaryCessRate_ Amount_ SurchargeAmount_ AddlSurchargeAmount_ STSecondaryCessAmount_ "
         "AssessableAmount_ ExpenseAmount_ AbatementAmount_ AbatementNotificationNo_",
         ""},
        {"InventoryAllocations", "FK_VchID FK_LeID InAID", item, ""},
        {"InventoryEntry", "FK_VchID InEID", item, ""},
        {"InventoryEntryIN", "FK_VchID InEID", item, ""},
        {"InventoryEntryOut", "FK_VchID InEID", item, ""},
        {"AllInventoryEntry", "FK_VchID InEID", item, ""},
        {"AccountingAllocation", "FK_VchID FK_InEID AcAID",
         "LedgerName_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ RemoveZeroEntries_ IsPartyLedger_ Amount_ "
         "TaxClassificationName_ VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_",
         "Narration_"},
        {"BatchAllocation", "FK_VchID FK_InEID BaAID",
         "MFDOn_ GodownName_ BatchName_ IndentNo_ OrderNo_ TrackingNo_ Amount_ ActualQty_ BilledQty_ "
         "DestinationGodownName_ OrderDueDate_ ExpiryPeriod_",
         ""},
        {"BASICUSERDESCRIPTION", "FK_VchID FK_InEID BUDID", "BasicDescription_", ""},
        {"Attendance", "FK_VchID AttID", "Employee_ AttendanceType_ Value_", ""},
        {"EXCISEITEMGODOWN", "FK_VchID FK_InEID EIGID",
         "ExciseGodownName_ ExciseRepUnits_ ExciseAllocType_ StockItemType_", ""},
        {"QuiboMst_", nullptr, "TName TType TNo TSource", "TNo"},
        {"QuiboDet_", nullptr, "TNo SetNo SrNo GroupName TagName TagType ValFormat DefValue fieldName",
         "TNo SetNo SrNo"},
        {"QuiboGrp_", nullptr, "TNo ParentName SetNo GroupName SetOn", "TNo SetNo"},
    };
    LocalDatabase db(folder.path());
    QStringList stagingOrder;
    for (const auto& c : cases) {
        const QString table = S(c.table);
        const staging::TableSchema* schema = staging::FindTable(table);
        ASSERT_NE(schema, nullptr) << c.table;
        const RecordSet info =
            db.query(S("Select name, type from pragma_table_info(?) Order By cid"), {table});
        QStringList integers;
        for (int r = 0; r < info.rowCount(); ++r)
            if (info.value(r, u"type").toString() == S("INTEGER"))
                integers << info.value(r, u"name").toString();
        if (c.keys) {
            stagingOrder << table;
            const QStringList keys = QStringList{S("CompanyName")} + Words(c.keys);
            EXPECT_EQ(Column(info, "name"), keys + Words(c.data) + Words(c.last)) << c.table;
            EXPECT_EQ(schema->keyColumns, keys) << c.table;
            EXPECT_EQ(schema->dataColumns, Words(c.data)) << c.table;
            EXPECT_EQ(schema->unwrittenColumns, Words(c.last)) << c.table;
            EXPECT_TRUE(integers.isEmpty()) << c.table;
        } else {
            EXPECT_EQ(Column(info, "name"), Words(c.data)) << c.table;
            EXPECT_EQ(integers, Words(c.last)) << c.table;
        }
    }
    QStringList schemaOrder;
    for (const staging::TableSchema& t : staging::StagingTables())
        schemaOrder << t.name;
    EXPECT_EQ(schemaOrder, stagingOrder);
}

TEST_F(LocalDatabaseTest, EveryTextColumnComparesWithoutRegardToCase) {
    LocalDatabase db(folder.path());
    LocalTransaction batch(db);
    for (const auto* list : {&staging::StagingTables(), &staging::FormatTables()})
        for (const staging::TableSchema& t : *list)
            for (const QString& column : t.columns()) {
                if (t.isInteger(column)) continue;
                db.insert(t.name, {column}, {S("Ab")});
                const RecordSet match = db.query(S("Select Count(*) as n from \"") + t.name +
                                                     S("\" where \"") + column + S("\" = ?"),
                                                 {S("aB")});
                EXPECT_EQ(match.value(0, u"n").toInt(), 1)
                    << t.name.toStdString() << "." << column.toStdString();
                db.execute(S("Delete from \"") + t.name + S("\""));
            }
}

TEST_F(LocalDatabaseTest, ReopeningAFileOfTheCurrentVersionCreatesNothing) {
    {
        LocalDatabase db(folder.path());
        addLedgerLine(db, S("Acme"), S("1"), S("1"));
        db.execute(S("Drop Table Attendance"));
    }
    LocalDatabase again(folder.path());
    EXPECT_EQ(again.query(S("Select LedgerName_ from LedgerEntry")).value(0, 0), QVariant(S("Ledger 1")));
    EXPECT_TRUE(again.query(S("Select name from sqlite_master where name = 'Attendance'")).isEmpty());
}

TEST_F(LocalDatabaseTest, TheFileKeepsAWriteAheadJournalSyncedAtCheckpoints) {
    LocalDatabase db(folder.path());
    EXPECT_EQ(db.query(S("PRAGMA journal_mode")).value(0, 0), QVariant(S("wal")));
    EXPECT_EQ(db.query(S("PRAGMA synchronous")).value(0, 0).toInt(), 1); // NORMAL
}

TEST_F(LocalDatabaseTest, AFileOrFolderThatCannotServeIsRefusedWithTheReason) {
    const QString file = folder.file(S("Quibo20.DAT"));
    const QString plainFile = folder.file(S("not-a-folder"));
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    const struct {
        const char* name;
        std::function<void()> setUp;
        QString folder;
        QString message;
    } cases[] = {
        {"another schema version",
         [&] { LocalDatabase(folder.path()).execute(S("PRAGMA user_version = 7")); }, folder.path(),
         file + S(" has schema version 7; this program knows version 1.")},
        {"no database", [&] { write(file, QByteArray(4096, 'x')); }, folder.path(),
         S("file is not a database")},
        {"missing folder", [] {}, folder.file(S("missing/folder")), S("unable to open database file")},
        {"a file, not a folder", [&] { write(plainFile, {}); }, plainFile, S("unable to open database file")},
    };
    for (const auto& c : cases) {
        QFile::remove(file);
        c.setUp();
        const vb::ErrorInfo error = RaisedBy([&] { LocalDatabase db(c.folder); });
        EXPECT_EQ(error.number, vb::err::DatabaseError) << c.name;
        EXPECT_EQ(error.description, c.message) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(folder.file(S("missing"))));
}

// --- values and ordering ----------------------------------------------------------------------

TEST_F(LocalDatabaseTest, IdsReadBackInNumericOrderThroughVal) {
    LocalDatabase db(folder.path());
    for (const char* id : {"10", "3", "0", "9", "1", "7", "2", "5", "8", "4", "6"})
        addLedgerLine(db, S("Acme"), S("1"), S(id));
    const RecordSet rs = db.query(S("Select * from LedgerEntry where CompanyName=? and FK_VchID=? Order By "
                                    "CompanyName, FK_VchID, val(LdEID)"),
                                  {S("Acme"), S("1")});
    EXPECT_EQ(Column(rs, "LdEID"), Words("0 1 2 3 4 5 6 7 8 9 10"));
}

TEST_F(LocalDatabaseTest, DescriptionRowsReadBackInTextOrder) {
    LocalDatabase db(folder.path());
    for (const char* id : {"2", "10", "1"})
        db.insert(S("BASICUSERDESCRIPTION"), Words("CompanyName FK_VchID FK_InEID BUDID BasicDescription_"),
                  {S("Acme"), S("1"), S("1"), S(id), S("text")});
    const RecordSet rs = db.query(S("Select * from BASICUSERDESCRIPTION where CompanyName=? and FK_VchID=? "
                                    "and FK_InEID =? Order By BUDID"),
                                  {S("Acme"), S("1"), S("1")});
    EXPECT_EQ(Column(rs, "BUDID"), Words("1 10 2"));
}

TEST_F(LocalDatabaseTest, ValFollowsTheRulesOfVal) {
    LocalDatabase db(folder.path());
    const struct {
        QVariant in;
        QVariant out;
    } cases[] = {
        {S("10"), 10.0},          {S("9"), 9.0},     {S(" 1 2 3"), 123.0},
        {S("12abc"), 12.0},       {S(""), 0.0},      {S("abc"), 0.0},
        {S("-2.5"), -2.5},        {S("&H1F"), 31.0}, {7, 7.0},
        {QVariant(), QVariant()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.query(S("Select val(?) as v"), {c.in}).value(0, u"v"), c.out)
            << c.in.toString().toStdString();
}

TEST_F(LocalDatabaseTest, ACompanyNameWithAnApostropheIsStoredAndMatched) {
    LocalDatabase db(folder.path());
    const QString company = S("Sharma's Traders");
    addLedgerLine(db, company, S("1"), S("1"));
    addLedgerLine(db, S("Sharma Traders"), S("1"), S("1"));

    const RecordSet rs = db.query(S("Select CompanyName from LedgerEntry where CompanyName=?"), {company});
    ASSERT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.value(0, 0), QVariant(company));
    // Text compares without regard to case.
    EXPECT_EQ(
        db.query(S("Select * from LedgerEntry where CompanyName=?"), {S("SHARMA'S TRADERS")}).rowCount(), 1);
    EXPECT_EQ(db.execute(S("Delete from LedgerEntry where CompanyName=? AND FK_VchID =? AND LdEID=?"),
                         {company, S("1"), S("1")}),
              1);
    EXPECT_EQ(Column(db.query(S("Select CompanyName from LedgerEntry")), "CompanyName"),
              QStringList{S("Sharma Traders")});
}

TEST_F(LocalDatabaseTest, NullAndEmptyTextStayDistinct) {
    LocalDatabase db(folder.path());
    db.insert(S("Voucher"), Words("CompanyName VchID Date_ GUID_ Narration_"),
              {S("Acme"), S("1"), S(""), QString(), QVariant()});
    const RecordSet rs = db.query(
        S("Select * from Voucher where CompanyName=? and VchID=? Order By val(VchID)"), {S("Acme"), S("1")});
    ASSERT_EQ(rs.rowCount(), 1);
    for (const char* empty : {"Date_", "GUID_"}) {
        const QVariant v = rs.value(0, S(empty));
        EXPECT_TRUE(v.isValid()) << empty;
        EXPECT_EQ(v.typeId(), QMetaType::QString) << empty;
        EXPECT_EQ(v.toString(), S("")) << empty;
    }
    for (const char* null :
         {"Narration_", "BasicDateTimeOfInvoice_", "BasicDateTimeOfRemoval_", "PersistedView_"})
        EXPECT_FALSE(rs.value(0, S(null)).isValid()) << null;
    EXPECT_EQ(db.query(S("Select Count(*) from Voucher where Date_ is null")).value(0, 0).toInt(), 0);
    EXPECT_EQ(db.query(S("Select Count(*) from Voucher where Narration_ is null")).value(0, 0).toInt(), 1);
}

TEST_F(LocalDatabaseTest, TextIsKeptExactly) {
    LocalDatabase db(folder.path());
    const QString text = S("  Café – ₹ 1,00,000.50 \"quoted\" ; -- \n line two  ");
    db.insert(S("Address"), Words("CompanyName FK_VchID AdID Address_"), {S("Acme"), S("1"), S("1"), text});
    EXPECT_EQ(db.query(S("Select Address_ from Address")).value(0, 0), QVariant(text));
}

// A character outside the basic plane is kept; half of one, which no text should hold, is stored as
// '?'.
TEST_F(LocalDatabaseTest, SurrogatesAreStoredAsUtf8WouldHaveThem) {
    LocalDatabase db(folder.path());
    const char16_t emoji[] = {u'a', 0xD83D, 0xDE00, 0};
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    const struct {
        QString text;
        QString kept;
    } cases[] = {{QString::fromUtf16(emoji), QString::fromUtf16(emoji)},
                 {QString::fromUtf16(lone), S("a?b")}};
    int id = 0;
    for (const auto& c : cases) {
        const QString key = QString::number(++id);
        db.insert(S("Address"), Words("CompanyName FK_VchID AdID Address_"),
                  {S("Acme"), key, S("1"), c.text});
        EXPECT_EQ(db.query(S("Select Address_ from Address where FK_VchID = ?"), {key}).value(0, 0),
                  QVariant(c.kept));
    }
}

TEST_F(LocalDatabaseTest, RowsOfAnotherCompanyAreInvisible) {
    LocalDatabase db(folder.path());
    db.insert(S("Voucher"), Words("CompanyName VchID Narration_"), {S("Acme"), S("1"), S("acme voucher")});
    db.insert(S("Voucher"), Words("CompanyName VchID Narration_"),
              {S("Globex"), S("1"), S("globex voucher")});
    addLedgerLine(db, S("Acme"), S("1"), S("1"));
    addLedgerLine(db, S("Globex"), S("1"), S("1"));
    addLedgerLine(db, S("Globex"), S("1"), S("2"));

    const RecordSet header =
        db.query(S("Select * from Voucher where CompanyName=? and VchID=?"), {S("Acme"), S("1")});
    EXPECT_EQ(Column(header, "Narration_"), QStringList{S("acme voucher")});
    const RecordSet lines =
        db.query(S("Select * from LedgerEntry where CompanyName=? and FK_VchID=? Order By val(LdEID)"),
                 {S("Acme"), S("1")});
    EXPECT_EQ(Column(lines, "CompanyName"), QStringList{S("Acme")});
}

// --- names in two spellings --------------------------------------------------------------------

TEST_F(LocalDatabaseTest, TwoSpellingsOfATableNameOneTable) {
    LocalDatabase db(folder.path());
    const struct {
        const char* written;
        const char* emptied;
    } cases[] = {{"InventoryEntryIN", "InventoryEntryIn"},
                 {"AllLedgerEntry", "ALLLedgerEntry"},
                 {"ALLLedgerEntry", "AllLedgerEntry"},
                 {"InventoryEntryOUT", "InventoryEntryOut"}};
    for (const auto& c : cases) {
        const QString key = S(c.written).startsWith(S("All"), Qt::CaseInsensitive) ? S("LdEID") : S("InEID");
        db.insert(S(c.written), {S("CompanyName"), S("FK_VchID"), key}, {S("Acme"), S("1"), S("1")});
        EXPECT_EQ(db.query(S("Select * from ") + S(c.emptied)).rowCount(), 1) << c.written;
        EXPECT_EQ(db.execute(S("Delete from ") + S(c.emptied)), 1) << c.emptied;
        EXPECT_TRUE(db.query(S("Select * from ") + S(c.written)).isEmpty()) << c.written;
    }
}

TEST_F(LocalDatabaseTest, TwoSpellingsOfAColumnNameOneColumn) {
    LocalDatabase db(folder.path());
    for (const char* table : {"BatchAllocation", "BankAllocation"}) {
        const QString parent = S(table) == S("BatchAllocation") ? S("FK_InEID") : S("FK_LdEID");
        db.insert(S(table), {S("CompanyName"), S("FK_VchID"), parent, S("BAaID")},
                  {S("Acme"), S("1"), S("1"), S("4")});
        const RecordSet rs = db.query(S("Select * from ") + S(table) + S(" where BaAID=?"), {S("4")});
        ASSERT_EQ(rs.rowCount(), 1) << table;
        EXPECT_EQ(rs.value(0, u"BAaID"), QVariant(S("4")));
        EXPECT_EQ(rs.columnNames().filter(S("baaid"), Qt::CaseInsensitive), QStringList{S("BaAID")});
    }

    db.insert(S("InventoryAllocations"), Words("CompanyName FK_VchID FK_LeID InAID"),
              {S("Acme"), S("1"), S("3"), S("1")});
    EXPECT_EQ(db.execute(S("Delete from InventoryAllocations where CompanyName=? AND FK_VchID =? AND "
                           "FK_LEID=? AND InAID=?"),
                         {S("Acme"), S("1"), S("3"), S("1")}),
              1);
    // FK_LeID and FK_LdEID are two different columns.
    EXPECT_EQ(RaisedBy([&] {
                  db.query(S("Select * from InventoryAllocations where FK_LdEID=?"), {S("3")});
              }).description,
              S("no such column: FK_LdEID"));
}

// --- the statement interface -------------------------------------------------------------------

TEST_F(LocalDatabaseTest, ExecuteReturnsTheRowsChanged) {
    LocalDatabase db(folder.path());
    for (const char* id : {"1", "2", "3"})
        addLedgerLine(db, S("Acme"), S("1"), S(id));
    EXPECT_EQ(db.execute(S("Update LedgerEntry set Amount_=? where LdEID<>?"), {S("5"), S("2")}), 2);
    EXPECT_EQ(db.execute(S("Select * from LedgerEntry")), 0);
    EXPECT_EQ(db.execute(S("Delete from LedgerEntry ")), 3);
    EXPECT_EQ(db.execute(S("Delete from LedgerEntry")), 0);
}

TEST_F(LocalDatabaseTest, RecordSetNamesColumnsAsTheEngineDoesAndFindsThemIgnoringCase) {
    LocalDatabase db(folder.path());
    addLedgerLine(db, S("Acme"), S("1"), S("1"));
    const RecordSet rs = db.query(S("Select LdEID as LineId, LedgerName_, 42 as n from LedgerEntry"));
    EXPECT_EQ(rs.columnNames(), Words("LineId LedgerName_ n"));
    EXPECT_EQ(rs.columnCount(), 3);
    EXPECT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.columnIndex(u"LEDGERNAME_"), 1);
    EXPECT_EQ(rs.columnIndex(u"nothing"), -1);
    EXPECT_EQ(rs.value(0, u"lineid"), QVariant(S("1")));
    EXPECT_EQ(rs.value(0, 2), QVariant(qlonglong(42)));

    for (const std::function<void()>& bad : std::initializer_list<std::function<void()>>{
             [&] { rs.value(0, u"Nothing"); }, [&] { rs.value(1, 0); }, [&] { rs.value(0, 3); },
             [&] { rs.value(-1, 0); }}) {
        const vb::ErrorInfo error = RaisedBy(bad);
        EXPECT_EQ(error.number, vb::err::DatabaseError);
        EXPECT_EQ(
            error.description,
            S("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    }
}

TEST_F(LocalDatabaseTest, FormatTablesHoldWholeNumbersAndMatchLettersIgnoringCase) {
    LocalDatabase db(folder.path());
    for (int sr : {10, 2, 1})
        db.insert(S("QuiboDet_"), Words("TNo SetNo SrNo GroupName TagName TagType"),
                  {3, 1, sr, S("LEDGER"), S("T") + QString::number(sr), sr == 2 ? S("a") : S("N")});
    const RecordSet tags =
        db.query(S("Select * from QuiboDet_ where SetNo= ? and TNo = ? and (TagType ='N' OR TagType='C' OR "
                   "TagType='G') and GroupName=? Order by TNo, SrNo"),
                 {1, 3, S("ledger")});
    EXPECT_EQ(Column(tags, "TagName"), Words("T1 T10"));
    EXPECT_EQ(tags.value(0, u"TNo"), QVariant(qlonglong(3)));
    EXPECT_EQ(db.query(S("Select TagName from QuiboDet_ where TNo = ? and TagType ='A'"), {3}).value(0, 0),
              QVariant(S("T2")));
}

TEST_F(LocalDatabaseTest, BadStatementsRaiseTheEnginesMessage) {
    LocalDatabase db(folder.path());
    const QStringList voucherColumns = Words("CompanyName VchID");
    const struct {
        const char* name;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"syntax", [&] { db.query(S("Selec * from Voucher")); }, "near \"Selec\": syntax error"},
        {"no table", [&] { db.execute(S("Delete from Nope")); }, "no such table: Nope"},
        {"no column", [&] { db.query(S("Select Nope_ from Voucher")); }, "no such column: Nope_"},
        {"insert no table",
         [&] {
             db.insert(S("Nope"), voucherColumns, {S("a"), S("b")});
         },
         "no such table: Nope"},
        {"insert no column",
         [&] {
             db.insert(S("Voucher"), Words("CompanyName Nope_"), {S("a"), S("b")});
         },
         "table Voucher has no column named Nope_"},
        {"insert count", [&] { db.insert(S("Voucher"), voucherColumns, {S("a")}); },
         "Number of query values and destination fields are not the same."},
        {"two statements", [&] { db.execute(S("Delete from Voucher; Delete from Address")); },
         "Characters found after end of SQL statement."},
        {"empty", [&] { db.execute(S("  ")); },
         "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
        {"missing value",
         [&] { db.query(S("Select * from Voucher where CompanyName=? and VchID=?"), {S("Acme")}); },
         "No value given for one or more required parameters."},
        {"extra value",
         [&] {
             db.query(S("Select * from Voucher where CompanyName=?"), {S("a"), S("b")});
         },
         "column index out of range"},
        {"val out of range", [&] { db.query(S("Select val(?)"), {S("1E400")}); }, "Overflow"},
    };
    for (const auto& c : cases) {
        const vb::ErrorInfo error = RaisedBy(c.call);
        EXPECT_EQ(error.number, vb::err::DatabaseError) << c.name;
        EXPECT_EQ(error.description, S(c.message)) << c.name;
    }
    // The connection is still usable, and so are statements that failed before.
    db.insert(S("Voucher"), voucherColumns, {S("Acme"), S("1")});
    EXPECT_EQ(
        db.query(S("Select * from Voucher where CompanyName=? and VchID=?"), {S("Acme"), S("1")}).rowCount(),
        1);
}

TEST_F(LocalDatabaseTest, AReusedStatementCarriesNoValueOfTheCallBefore) {
    LocalDatabase db(folder.path());
    for (int i = 0; i < 3; ++i)
        addLedgerLine(db, S("Acme"), S("7"), QString::number(i));
    const QString sql = S("Select Count(*) as n from LedgerEntry where CompanyName=? and FK_VchID=?");
    EXPECT_EQ(db.query(sql, {S("Acme"), S("7")}).value(0, 0).toInt(), 3);
    EXPECT_EQ(db.query(sql, {S("Acme"), S("8")}).value(0, 0).toInt(), 0);
    EXPECT_EQ(db.query(sql, {S("Acme"), S("7")}).value(0, 0).toInt(), 3);
}

// Statements are kept by their text, and found again by where a text lies: many texts in turn (more
// than the connection keeps), the same text held twice, and a text that was dropped and built
// again each run their own statement.
TEST_F(LocalDatabaseTest, EachTextRunsItsOwnStatementHoweverManyThereAre) {
    LocalDatabase db(folder.path());
    const auto sql = [](int n) { return QStringLiteral("Select ? + %1").arg(n); };
    for (int round = 0; round < 2; ++round) {
        for (int n = 0; n < 300; ++n) {
            const QString text = sql(n);
            const QString again = sql(n); // the same characters elsewhere
            EXPECT_EQ(db.query(text, {1}).value(0, 0).toInt(), n + 1) << n;
            EXPECT_EQ(db.query(again, {2}).value(0, 0).toInt(), n + 2) << n;
            EXPECT_EQ(db.query(text, {3}).value(0, 0).toInt(), n + 3) << n;
        }
    }
}

TEST_F(LocalDatabaseTest, AReusedSelectSeesColumnsAddedSinceItWasFirstRead) {
    LocalDatabase db(folder.path());
    const QString sql = S("Select * from Address");
    const int before = db.query(sql, {}).columnCount();
    db.execute(S("Alter Table Address Add Column Extra_ TEXT"), {});
    EXPECT_EQ(db.query(sql, {}).columnCount(), before + 1);
    db.execute(S("Insert Into Address (Extra_) Values ('x')"), {});
    EXPECT_EQ(db.query(sql, {}).value(0, u"Extra_"), QVariant(S("x")));
}

// The journal's frames are gathered into one write per commit: another connection, reading the file
// through the platform's own layer, sees each commit whole as soon as it returns, and nothing of a
// transaction rolled back, however many pages it spilled before.
TEST_F(LocalDatabaseTest, EveryCommitIsInTheJournalForAnotherConnectionAtOnce) {
    LocalDatabase db(folder.path());
    db.execute(S("PRAGMA cache_size = 8")); // a long transaction spills pages before its end
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    const auto linesSeen = [&] {
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(other, "Select count(*) from LedgerEntry", -1, &count, nullptr);
        const int rows = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
        sqlite3_finalize(count);
        return rows;
    };
    const struct {
        const char* name;
        int lines;
        int textLength;
        bool kept;
        int seen;
    } cases[] = {
        {"one line", 1, 10, true, 1},
        {"more than one write of the platform's", 300, 2000, true, 301},
        {"rolled back after spilling", 300, 2000, false, 301},
        {"after the rollback", 2, 10, true, 303},
    };
    int next = 0;
    for (const auto& c : cases) {
        {
            LocalTransaction batch(db);
            for (int i = 0; i < c.lines; ++i)
                db.insert(
                    S("LedgerEntry"), Words("CompanyName FK_VchID LdEID LedgerName_"),
                    {S("Acme"), S("1"), QString::number(++next), QString(c.textLength, QLatin1Char('x'))});
            if (c.kept) batch.commit();
        }
        EXPECT_EQ(linesSeen(), c.seen) << c.name;
    }
    sqlite3_close(other);
    LocalDatabase again(folder.path());
    EXPECT_EQ(again.query(S("Select count(*) from LedgerEntry")).value(0, 0).toInt(), 303);
}

TEST_F(LocalDatabaseTest, ADatabaseLockedByAnotherConnectionRaisesAfterTheBusyTimeout) {
    LocalDatabase db(folder.path());
    addLedgerLine(db, S("Acme"), S("1"), S("1"));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    QElapsedTimer timer;
    timer.start();
    const vb::ErrorInfo error = RaisedBy([&] { db.execute(S("Delete from LedgerEntry")); });
    const qint64 waited = timer.elapsed();
    EXPECT_EQ(error.number, vb::err::DatabaseError);
    EXPECT_EQ(error.description, S("database is locked"));
    EXPECT_GE(waited, LocalDatabase::BusyTimeoutMs - 200);
    EXPECT_LT(waited, 4 * LocalDatabase::BusyTimeoutMs);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(db.execute(S("Delete from LedgerEntry")), 1);
}

} // namespace
} // namespace quibo
