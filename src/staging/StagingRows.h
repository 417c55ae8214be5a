#pragma once

#include <QString>

#include <array>

namespace quibo {

// One staged value. Every field of a record starts as "" and is stored as the text it holds, ""
// included (a null QString is stored as ""): only a staging column that no field fills stays Null.
using StagedText = QString;

// The row records that the voucher posters fill and hand to one staging writer each. Each field
// stores into the staging column of the same name.

struct VoucherRow {
    StagedText AlterID_;
    StagedText AsOriginal_;
    StagedText AsPayslip_;
    StagedText Audited_;
    StagedText BasePartyName_;
    StagedText BasicBankersDate_;
    StagedText BasicBuyerName_;
    StagedText BasicBuyersSalesTaxNo_;
    StagedText BasicDueDateOfPymt_;
    StagedText BasicFinalDestination_;
    StagedText BasicOrderRef_;
    StagedText BasicShippedBy_;
    StagedText BasicShipDocumentNo_;
    StagedText Date_;
    StagedText DiffActualQty_;
    StagedText EffectiveDate_;
    StagedText ForJobCosting_;
    StagedText GUID_;
    StagedText HasCashFlow_;
    StagedText HasDiscounts_;
    StagedText IsCancelled_;
    StagedText IsDeleted_;
    StagedText IsInvoice_;
    StagedText IsOptional_;
    StagedText IsPostDated_;
    StagedText MFGJournal_;
    StagedText Narration_;
    StagedText PartyLedgerName_;
    StagedText PartyName_;
    StagedText Reference_;
    StagedText RefDate_;
    StagedText UseForCompound_;
    StagedText UseForGainLoss_;
    StagedText UseForGodownTransfer_;
    StagedText UseForInterest_;
    StagedText UseTrackingNumber_;
    StagedText VoucherTypeName_;
    StagedText VoucherNumber_;
    StagedText ClassName_;
    StagedText TaxAdjustment_;
    StagedText PersistedView_;
    StagedText MIRONo_;
    StagedText MIRODt_;
};

// A line of LedgerEntry or AllLedgerEntry.
struct LedgerEntryRow {
    StagedText LedgerName_;
    StagedText GSTClass_;
    StagedText IsDeemedPositive_;
    StagedText LedgerFromItem_;
    StagedText RemoveZeroEntries_;
    StagedText IsPartyLedger_;
    StagedText Amount_;
    StagedText TaxClassificationName_;
    StagedText VATAssessableValue_;
    StagedText BasicRateOfInvoiceTax_;
    StagedText TDSPartyName_;
    StagedText Narration_;
};
using AllLedgerEntryRow = LedgerEntryRow;

// An item line (InventoryEntry, InventoryEntryIN, InventoryEntryOut, AllInventoryEntry) or an item
// allocation of an all-ledger line (InventoryAllocations).
struct InventoryEntryRow {
    StagedText StockItemName_;
    StagedText IsDeemedPositive_;
    StagedText IsAutoNigate_;
    StagedText Rate_;
    StagedText Amount_;
    StagedText ActualQty_;
    StagedText BilledQty_;
};
using InventoryEntryInRow = InventoryEntryRow;
using InventoryAllocationRow = InventoryEntryRow;

struct AccountingAllocationRow {
    StagedText LedgerName_;
    StagedText GSTClass_;
    StagedText IsDeemedPositive_;
    StagedText LedgerFromItem_;
    StagedText RemoveZeroEntries_;
    StagedText IsPartyLedger_;
    StagedText Amount_;
    StagedText TaxClassificationName_;
    StagedText VATAssessableValue_;
    StagedText BasicRateOfInvoiceTax_;
    StagedText TDSPartyName_;
};

struct BatchAllocationRow {
    StagedText MFDOn_;
    StagedText GodownName_;
    StagedText BatchName_;
    StagedText IndentNo_;
    StagedText OrderNo_;
    StagedText TrackingNo_;
    StagedText Amount_;
    StagedText ActualQty_;
    StagedText BilledQty_;
    StagedText DestinationGodownName_;
    StagedText OrderDueDate_;
    StagedText ExpiryPeriod_;
};

struct BillAllocationRow {
    StagedText Name_;
    StagedText BillCreditPeriod_;
    StagedText BillType_;
    StagedText Amount_;
    StagedText TDSDeducteeSectionNumber_;
    StagedText TDSLedgerNC_;
    StagedText TDSDeducteeIsSpecialRate_;
    StagedText TDSDeducteeSpecialRate_;
    StagedText ServiceTaxLedger_;
};

struct BankAllocationRow {
    StagedText Date_;
    StagedText InstrumentDate_;
    StagedText TransactionType_;
    StagedText PaymentFavouring_;
    StagedText BankName_;
    StagedText BranchName_;
    StagedText Status_;
    StagedText ChequeCrossComment_;
    StagedText InstrumentNumber_;
    StagedText UniqueRefNo_;
    StagedText Amount_;
    StagedText BankDate_;
    StagedText IFSCCode_;
    StagedText TransactionName_;
    StagedText PaymentMode_;
    StagedText AccountNumber_;
    StagedText BankPartyName_;
    StagedText TransferMode_;
};

struct TaxBillAllocationRow {
    StagedText Name_;
    StagedText BillType_;
    StagedText IsInputAvail_;
    StagedText IsPureAgentBill_;
    StagedText TDSTaxRate_;
    StagedText TDSSurcharge_;
    StagedText TDSAddlSurcharge_;
    StagedText STSecondaryCessRate_;
    StagedText Amount_;
    StagedText SurchargeAmount_;
    StagedText AddlSurchargeAmount_;
    StagedText STSecondaryCessAmount_;
    StagedText AssessableAmount_;
    StagedText ExpenseAmount_;
    StagedText AbatementAmount_;
    StagedText AbatementNotificationNo_;
};

struct CategoryAllocationsRow {
    StagedText Category_; // the cost category
    StagedText Name_;     // the cost centre
    StagedText Amount_;
};

struct InvoiceDelNotesRow {
    StagedText BasicShippingDate_;
    StagedText BasicShipDeliveryNote_;
};

struct InvoiceOrderListRow {
    StagedText BasicOrderDate_;
    StagedText BasicPurchaseOrderNo_;
};

struct AttendanceRow {
    StagedText Employee_;
    StagedText AttendanceType_;
    StagedText Value_;
};

// The fields of a record by name, so that a writer fills each column from the field of the same
// name whatever order either side lists them in.
template <class Row> struct RowField {
    const char* name;
    StagedText Row::*member;
};

#define QUIBO_ROW_FIELD(Row, Field)                                                                          \
    RowField<Row> {                                                                                          \
#Field, &Row::Field                                                                                  \
    }

inline constexpr std::array VoucherRowFields{
    QUIBO_ROW_FIELD(VoucherRow, AlterID_),
    QUIBO_ROW_FIELD(VoucherRow, AsOriginal_),
    QUIBO_ROW_FIELD(VoucherRow, AsPayslip_),
    QUIBO_ROW_FIELD(VoucherRow, Audited_),
    QUIBO_ROW_FIELD(VoucherRow, BasePartyName_),
    QUIBO_ROW_FIELD(VoucherRow, BasicBankersDate_),
    QUIBO_ROW_FIELD(VoucherRow, BasicBuyerName_),
    QUIBO_ROW_FIELD(VoucherRow, BasicBuyersSalesTaxNo_),
    QUIBO_ROW_FIELD(VoucherRow, BasicDueDateOfPymt_),
    QUIBO_ROW_FIELD(VoucherRow, BasicFinalDestination_),
    QUIBO_ROW_FIELD(VoucherRow, BasicOrderRef_),
    QUIBO_ROW_FIELD(VoucherRow, BasicShippedBy_),
    QUIBO_ROW_FIELD(VoucherRow, BasicShipDocumentNo_),
    QUIBO_ROW_FIELD(VoucherRow, Date_),
    QUIBO_ROW_FIELD(VoucherRow, DiffActualQty_),
    QUIBO_ROW_FIELD(VoucherRow, EffectiveDate_),
    QUIBO_ROW_FIELD(VoucherRow, ForJobCosting_),
    QUIBO_ROW_FIELD(VoucherRow, GUID_),
    QUIBO_ROW_FIELD(VoucherRow, HasCashFlow_),
    QUIBO_ROW_FIELD(VoucherRow, HasDiscounts_),
    QUIBO_ROW_FIELD(VoucherRow, IsCancelled_),
    QUIBO_ROW_FIELD(VoucherRow, IsDeleted_),
    QUIBO_ROW_FIELD(VoucherRow, IsInvoice_),
    QUIBO_ROW_FIELD(VoucherRow, IsOptional_),
    QUIBO_ROW_FIELD(VoucherRow, IsPostDated_),
    QUIBO_ROW_FIELD(VoucherRow, MFGJournal_),
    QUIBO_ROW_FIELD(VoucherRow, Narration_),
    QUIBO_ROW_FIELD(VoucherRow, PartyLedgerName_),
    QUIBO_ROW_FIELD(VoucherRow, PartyName_),
    QUIBO_ROW_FIELD(VoucherRow, Reference_),
    QUIBO_ROW_FIELD(VoucherRow, RefDate_),
    QUIBO_ROW_FIELD(VoucherRow, UseForCompound_),
    QUIBO_ROW_FIELD(VoucherRow, UseForGainLoss_),
    QUIBO_ROW_FIELD(VoucherRow, UseForGodownTransfer_),
    QUIBO_ROW_FIELD(VoucherRow, UseForInterest_),
    QUIBO_ROW_FIELD(VoucherRow, UseTrackingNumber_),
    QUIBO_ROW_FIELD(VoucherRow, VoucherTypeName_),
    QUIBO_ROW_FIELD(VoucherRow, VoucherNumber_),
    QUIBO_ROW_FIELD(VoucherRow, ClassName_),
    QUIBO_ROW_FIELD(VoucherRow, TaxAdjustment_),
    QUIBO_ROW_FIELD(VoucherRow, PersistedView_),
    QUIBO_ROW_FIELD(VoucherRow, MIRONo_),
    QUIBO_ROW_FIELD(VoucherRow, MIRODt_),
};

inline constexpr std::array LedgerEntryRowFields{
    QUIBO_ROW_FIELD(LedgerEntryRow, LedgerName_),
    QUIBO_ROW_FIELD(LedgerEntryRow, GSTClass_),
    QUIBO_ROW_FIELD(LedgerEntryRow, IsDeemedPositive_),
    QUIBO_ROW_FIELD(LedgerEntryRow, LedgerFromItem_),
    QUIBO_ROW_FIELD(LedgerEntryRow, RemoveZeroEntries_),
    QUIBO_ROW_FIELD(LedgerEntryRow, IsPartyLedger_),
    QUIBO_ROW_FIELD(LedgerEntryRow, Amount_),
    QUIBO_ROW_FIELD(LedgerEntryRow, TaxClassificationName_),
    QUIBO_ROW_FIELD(LedgerEntryRow, VATAssessableValue_),
    QUIBO_ROW_FIELD(LedgerEntryRow, BasicRateOfInvoiceTax_),
    QUIBO_ROW_FIELD(LedgerEntryRow, TDSPartyName_),
    QUIBO_ROW_FIELD(LedgerEntryRow, Narration_),
};

inline constexpr std::array InventoryEntryRowFields{
    QUIBO_ROW_FIELD(InventoryEntryRow, StockItemName_), QUIBO_ROW_FIELD(InventoryEntryRow, IsDeemedPositive_),
    QUIBO_ROW_FIELD(InventoryEntryRow, IsAutoNigate_),  QUIBO_ROW_FIELD(InventoryEntryRow, Rate_),
    QUIBO_ROW_FIELD(InventoryEntryRow, Amount_),        QUIBO_ROW_FIELD(InventoryEntryRow, ActualQty_),
    QUIBO_ROW_FIELD(InventoryEntryRow, BilledQty_),
};

inline constexpr std::array AccountingAllocationRowFields{
    QUIBO_ROW_FIELD(AccountingAllocationRow, LedgerName_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, GSTClass_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, IsDeemedPositive_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, LedgerFromItem_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, RemoveZeroEntries_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, IsPartyLedger_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, Amount_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, TaxClassificationName_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, VATAssessableValue_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, BasicRateOfInvoiceTax_),
    QUIBO_ROW_FIELD(AccountingAllocationRow, TDSPartyName_),
};

inline constexpr std::array BatchAllocationRowFields{
    QUIBO_ROW_FIELD(BatchAllocationRow, MFDOn_),
    QUIBO_ROW_FIELD(BatchAllocationRow, GodownName_),
    QUIBO_ROW_FIELD(BatchAllocationRow, BatchName_),
    QUIBO_ROW_FIELD(BatchAllocationRow, IndentNo_),
    QUIBO_ROW_FIELD(BatchAllocationRow, OrderNo_),
    QUIBO_ROW_FIELD(BatchAllocationRow, TrackingNo_),
    QUIBO_ROW_FIELD(BatchAllocationRow, Amount_),
    QUIBO_ROW_FIELD(BatchAllocationRow, ActualQty_),
    QUIBO_ROW_FIELD(BatchAllocationRow, BilledQty_),
    QUIBO_ROW_FIELD(BatchAllocationRow, DestinationGodownName_),
    QUIBO_ROW_FIELD(BatchAllocationRow, OrderDueDate_),
    QUIBO_ROW_FIELD(BatchAllocationRow, ExpiryPeriod_),
};

inline constexpr std::array BillAllocationRowFields{
    QUIBO_ROW_FIELD(BillAllocationRow, Name_),
    QUIBO_ROW_FIELD(BillAllocationRow, BillCreditPeriod_),
    QUIBO_ROW_FIELD(BillAllocationRow, BillType_),
    QUIBO_ROW_FIELD(BillAllocationRow, Amount_),
    QUIBO_ROW_FIELD(BillAllocationRow, TDSDeducteeSectionNumber_),
    QUIBO_ROW_FIELD(BillAllocationRow, TDSLedgerNC_),
    QUIBO_ROW_FIELD(BillAllocationRow, TDSDeducteeIsSpecialRate_),
    QUIBO_ROW_FIELD(BillAllocationRow, TDSDeducteeSpecialRate_),
    QUIBO_ROW_FIELD(BillAllocationRow, ServiceTaxLedger_),
};

inline constexpr std::array BankAllocationRowFields{
    QUIBO_ROW_FIELD(BankAllocationRow, Date_),
    QUIBO_ROW_FIELD(BankAllocationRow, InstrumentDate_),
    QUIBO_ROW_FIELD(BankAllocationRow, TransactionType_),
    QUIBO_ROW_FIELD(BankAllocationRow, PaymentFavouring_),
    QUIBO_ROW_FIELD(BankAllocationRow, BankName_),
    QUIBO_ROW_FIELD(BankAllocationRow, BranchName_),
    QUIBO_ROW_FIELD(BankAllocationRow, Status_),
    QUIBO_ROW_FIELD(BankAllocationRow, ChequeCrossComment_),
    QUIBO_ROW_FIELD(BankAllocationRow, InstrumentNumber_),
    QUIBO_ROW_FIELD(BankAllocationRow, UniqueRefNo_),
    QUIBO_ROW_FIELD(BankAllocationRow, Amount_),
    QUIBO_ROW_FIELD(BankAllocationRow, BankDate_),
    QUIBO_ROW_FIELD(BankAllocationRow, IFSCCode_),
    QUIBO_ROW_FIELD(BankAllocationRow, TransactionName_),
    QUIBO_ROW_FIELD(BankAllocationRow, PaymentMode_),
    QUIBO_ROW_FIELD(BankAllocationRow, AccountNumber_),
    QUIBO_ROW_FIELD(BankAllocationRow, BankPartyName_),
    QUIBO_ROW_FIELD(BankAllocationRow, TransferMode_),
};

inline constexpr std::array TaxBillAllocationRowFields{
    QUIBO_ROW_FIELD(TaxBillAllocationRow, Name_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, BillType_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, IsInputAvail_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, IsPureAgentBill_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, TDSTaxRate_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, TDSSurcharge_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, TDSAddlSurcharge_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, STSecondaryCessRate_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, Amount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, SurchargeAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, AddlSurchargeAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, STSecondaryCessAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, AssessableAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, ExpenseAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, AbatementAmount_),
    QUIBO_ROW_FIELD(TaxBillAllocationRow, AbatementNotificationNo_),
};

inline constexpr std::array CategoryAllocationsRowFields{
    QUIBO_ROW_FIELD(CategoryAllocationsRow, Category_),
    QUIBO_ROW_FIELD(CategoryAllocationsRow, Name_),
    QUIBO_ROW_FIELD(CategoryAllocationsRow, Amount_),
};

inline constexpr std::array InvoiceDelNotesRowFields{
    QUIBO_ROW_FIELD(InvoiceDelNotesRow, BasicShippingDate_),
    QUIBO_ROW_FIELD(InvoiceDelNotesRow, BasicShipDeliveryNote_),
};

inline constexpr std::array InvoiceOrderListRowFields{
    QUIBO_ROW_FIELD(InvoiceOrderListRow, BasicOrderDate_),
    QUIBO_ROW_FIELD(InvoiceOrderListRow, BasicPurchaseOrderNo_),
};

inline constexpr std::array AttendanceRowFields{
    QUIBO_ROW_FIELD(AttendanceRow, Employee_),
    QUIBO_ROW_FIELD(AttendanceRow, AttendanceType_),
    QUIBO_ROW_FIELD(AttendanceRow, Value_),
};

#undef QUIBO_ROW_FIELD

// The field list of a record type, for code that walks a record by name.
constexpr const auto& FieldsOf(const VoucherRow*) {
    return VoucherRowFields;
}
constexpr const auto& FieldsOf(const LedgerEntryRow*) {
    return LedgerEntryRowFields;
}
constexpr const auto& FieldsOf(const InventoryEntryRow*) {
    return InventoryEntryRowFields;
}
constexpr const auto& FieldsOf(const AccountingAllocationRow*) {
    return AccountingAllocationRowFields;
}
constexpr const auto& FieldsOf(const BatchAllocationRow*) {
    return BatchAllocationRowFields;
}
constexpr const auto& FieldsOf(const BillAllocationRow*) {
    return BillAllocationRowFields;
}
constexpr const auto& FieldsOf(const BankAllocationRow*) {
    return BankAllocationRowFields;
}
constexpr const auto& FieldsOf(const TaxBillAllocationRow*) {
    return TaxBillAllocationRowFields;
}
constexpr const auto& FieldsOf(const CategoryAllocationsRow*) {
    return CategoryAllocationsRowFields;
}
constexpr const auto& FieldsOf(const InvoiceDelNotesRow*) {
    return InvoiceDelNotesRowFields;
}
constexpr const auto& FieldsOf(const InvoiceOrderListRow*) {
    return InvoiceOrderListRowFields;
}
constexpr const auto& FieldsOf(const AttendanceRow*) {
    return AttendanceRowFields;
}

template <class Row> constexpr const auto& RowFields() {
    return FieldsOf(static_cast<const Row*>(nullptr));
}

} // namespace quibo
