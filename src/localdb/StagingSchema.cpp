#include "localdb/StagingSchema.h"

namespace quibo::staging {

namespace {

QStringList Split(const char* names) {
    return QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TableSchema Staging(const char* name, const char* keys, const char* data, const char* unwritten = "") {
    return TableSchema{QString::fromLatin1(name),
                       QStringList{CompanyNameColumn} + Split(keys),
                       Split(data),
                       Split(unwritten),
                       {}};
}

const char* const LedgerLineColumns =
    "LedgerName_ Narration_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ RemoveZeroEntries_ IsPartyLedger_ "
    "Amount_ TaxClassificationName_ VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_";

const char* const ItemColumns =
    "StockItemName_ IsDeemedPositive_ IsAutoNigate_ Rate_ Amount_ ActualQty_ BilledQty_";

std::vector<TableSchema> MakeStagingTables() {
    return {
        Staging(
            "Voucher", "VchID",
            "Date_ GUID_ MIRONo_ MIRODt_ Narration_ VoucherTypeName_ VoucherNumber_ Reference_ RefDate_ "
            "PartyLedgerName_ BasePartyName_ BasicBankersDate_ PartyName_ BasicShippedBy_ BasicBuyerName_ "
            "DiffActualQty_ Audited_ ForJobCosting_ IsOptional_ EffectiveDate_ UseForInterest_ "
            "UseForGainLoss_ UseForGodownTransfer_ UseForCompound_ AlterID_ IsCancelled_ HasCashFlow_ "
            "IsPostDated_ UseTrackingNumber_ IsInvoice_ MFGJournal_ HasDiscounts_ AsPayslip_ IsDeleted_ "
            "AsOriginal_ BasicShipDocumentNo_ BasicFinalDestination_ BasicDueDateOfPymt_ BasicOrderRef_ "
            "BasicBuyersSalesTaxNo_ ClassName_ TaxAdjustment_ PersistedView_",
            "BasicDateTimeOfInvoice_ BasicDateTimeOfRemoval_"),
        Staging("Address", "FK_VchID AdID", "Address_"),
        Staging("BasicBuyerAddress", "FK_VchID BBAID", "BasicBuyerAddress_"),
        Staging("BasicOrderTerms", "FK_VchID BOTID", "BasicOrderTerms_"),
        Staging("InvoiceDelNotes", "FK_VchID IDNID", "BasicShippingDate_ BasicShipDeliveryNote_"),
        Staging("InvoiceOrderList", "FK_VchID IOLID", "BasicOrderDate_ BasicPurchaseOrderNo_"),
        Staging("LedgerEntry", "FK_VchID LdEID", LedgerLineColumns),
        Staging("AllLedgerEntry", "FK_VchID LdEID", LedgerLineColumns),
        Staging("CategoryAllocations", "FK_VchID FK_LdEID CAID", "Category_ Name_ Amount_"),
        Staging("BillAllocation", "FK_VchID FK_LdEID BiAID",
                "Name_ BillCreditPeriod_ BillType_ Amount_ TDSDeducteeSectionNumber_ TDSLedgerNC_ "
                "TDSDeducteeIsSpecialRate_ TDSDeducteeSpecialRate_ ServiceTaxLedger_"),
        Staging("BankAllocation", "FK_VchID FK_LdEID BaAID",
                "Date_ InstrumentDate_ TransactionType_ PaymentFavouring_ BankName_ BranchName_ Status_ "
                "ChequeCrossComment_ InstrumentNumber_ UniqueRefNo_ IFSCCode_ TransactionName_ PaymentMode_ "
                "AccountNumber_ BankPartyName_ TransferMode_ Amount_ BankDate_"),
        Staging("TaxBillAllocation", "FK_VchID FK_LdEID TBiAID",
                "Name_ BillType_ IsPureAgentBill_ IsInputAvail_ TDSTaxRate_ TDSSurcharge_ TDSAddlSurcharge_ "
                "STSecondaryCessRate_ Amount_ SurchargeAmount_ AddlSurchargeAmount_ STSecondaryCessAmount_ "
                "AssessableAmount_ ExpenseAmount_ AbatementAmount_ AbatementNotificationNo_"),
        Staging("InventoryAllocations", "FK_VchID FK_LeID InAID", ItemColumns),
        Staging("InventoryEntry", "FK_VchID InEID", ItemColumns),
        Staging("InventoryEntryIN", "FK_VchID InEID", ItemColumns),
        Staging("InventoryEntryOut", "FK_VchID InEID", ItemColumns),
        Staging("AllInventoryEntry", "FK_VchID InEID", ItemColumns),
        Staging("AccountingAllocation", "FK_VchID FK_InEID AcAID",
                "LedgerName_ GSTClass_ IsDeemedPositive_ LedgerFromItem_ RemoveZeroEntries_ IsPartyLedger_ "
                "Amount_ TaxClassificationName_ VATAssessableValue_ BasicRateOfInvoiceTax_ TDSPartyName_",
                "Narration_"),
        Staging("BatchAllocation", "FK_VchID FK_InEID BaAID",
                "MFDOn_ GodownName_ BatchName_ IndentNo_ OrderNo_ TrackingNo_ Amount_ ActualQty_ BilledQty_ "
                "DestinationGodownName_ OrderDueDate_ ExpiryPeriod_"),
        Staging("BASICUSERDESCRIPTION", "FK_VchID FK_InEID BUDID", "BasicDescription_"),
        Staging("Attendance", "FK_VchID AttID", "Employee_ AttendanceType_ Value_"),
        // Emptied before every run and otherwise unused; its columns follow the
        // excise godown list of a stock item.
        Staging("EXCISEITEMGODOWN", "FK_VchID FK_InEID EIGID",
                "ExciseGodownName_ ExciseRepUnits_ ExciseAllocType_ StockItemType_"),
    };
}

std::vector<TableSchema> MakeFormatTables() {
    return {
        {QStringLiteral("QuiboMst_"), {}, Split("TName TType TNo TSource"), {}, Split("TNo")},
        {QStringLiteral("QuiboDet_"),
         {},
         Split("TNo SetNo SrNo GroupName TagName TagType ValFormat DefValue fieldName"),
         {},
         Split("TNo SetNo SrNo")},
        {QStringLiteral("QuiboGrp_"),
         {},
         Split("TNo ParentName SetNo GroupName SetOn"),
         {},
         Split("TNo SetNo")},
    };
}

} // namespace

QStringList TableSchema::columns() const {
    return keyColumns + dataColumns + unwrittenColumns;
}

QString TableSchema::column(QStringView name) const {
    for (const QStringList* list : {&keyColumns, &dataColumns, &unwrittenColumns})
        for (const QString& c : *list)
            if (name.compare(c, Qt::CaseInsensitive) == 0) return c;
    return {};
}

bool TableSchema::isInteger(QStringView name) const {
    for (const QString& c : integerColumns)
        if (name.compare(c, Qt::CaseInsensitive) == 0) return true;
    return false;
}

const std::vector<TableSchema>& StagingTables() {
    static const std::vector<TableSchema> tables = MakeStagingTables();
    return tables;
}

const std::vector<TableSchema>& FormatTables() {
    static const std::vector<TableSchema> tables = MakeFormatTables();
    return tables;
}

const TableSchema* FindTable(QStringView name) {
    for (const auto* tables : {&StagingTables(), &FormatTables()})
        for (const TableSchema& t : *tables)
            if (name.compare(t.name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

} // namespace quibo::staging
