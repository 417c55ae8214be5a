// What the invoice posters stage for their rows (itemised, VAT, reduced VAT and tax-classified
// vouchers), read back from the staging tables after the run; the voucher they refuse to send; the
// bytes one VAT invoice goes out as; the two operations no import type reaches, posting to the
// simulated server.

#include "vouchers/InvoiceRows.h"
#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

#include <memory>

#include <stdexcept>

namespace quibo {
namespace {

QStringList Fields(const char* names) {
    return QString::fromLatin1(names).split(QLatin1Char(' '));
}

const QStringList Base =
    Fields("VCHTYPE VCHNO VCHDATE REFNO LEDGER DEBIT CREDIT NARRATION ADJMETHOD ADJNAME ADJDATE ADJAMOUNT");
const QStringList Itemized = Base + Fields("ITEMNAME QUANTITY UNIT RATE GODOWNNAME");
const QStringList Vat =
    Base +
    Fields("ITEMNAME ITEMDESCRIPTION QUANTITY UNIT RATE PER GODOWNNAME BATCHNAME TAXCLASSIFICATION "
           "COSTCATEGORY COSTCENTRE COSTAMOUNT ASSESSABLEAMT TAXRATE SERVICETAXON SERVICETAX BankAmount "
           "BankName InstrumentNumber VCHVIEWTYPE DELNOTENOS DELNOTEDATES ORDERNOS ORDERDATES "
           "TERMSOFDELIVERY CONSIGNEE CONSIGNEEADDRESS BUYER BUYERADDRESS");
const QStringList Classified = Base + Fields("TAXCLASSIFICATION COSTCATEGORY COSTCENTRE COSTAMOUNT");

// One source row: the cells given as "COLUMN=value|...", the voucher Sales-1-d unless they say
// otherwise, the rest empty.
QStringList R(const QStringList& fields, const char* cells) {
    QStringList row(fields.size());
    row[0] = QStringLiteral("Sales");
    row[1] = QStringLiteral("1");
    row[2] = QStringLiteral("d");
    for (const QString& cell : QString::fromUtf8(cells).split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const qsizetype at = fields.indexOf(cell.section(QLatin1Char('='), 0, 0));
        if (at < 0) throw std::logic_error(cell.toStdString());
        row[at] = cell.section(QLatin1Char('='), 1);
    }
    return row;
}

using KindOf = VoucherKind (*)(const VoucherRun&);

struct MappingCase {
    const char* name;
    KindOf kind;
    QStringList fields;
    QList<QStringList> rows;
    QString query;
    QStringList staged;
};

MappingCase M(const char* name, KindOf kind, const QStringList& fields, const QList<QStringList>& rows,
              const QString& query, const QStringList& staged) {
    return {name, kind, fields, rows, query, staged};
}

QString Q(const char* sql) {
    return QString::fromLatin1(sql);
}

// Itemised invoices.
const QList<QStringList> PartyItemsTax = {
    R(Itemized, "LEDGER=Party|CREDIT=1180"),
    R(Itemized, "LEDGER=Sales|DEBIT=500|ITEMNAME=A|QUANTITY=5|UNIT=Nos|RATE=100"),
    R(Itemized, "LEDGER=Sales|DEBIT=500|ITEMNAME=B|QUANTITY=5|UNIT=Nos|RATE=100|GODOWNNAME=Store"),
    R(Itemized, "LEDGER=Tax|DEBIT=180")};
const QString LedgerLines =
    Q("Select FK_VchID, LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_ "
      "from LedgerEntry order by FK_VchID, LdEID");
const QString ItemLines = Q("Select InEID, StockItemName_, Rate_, ActualQty_, BilledQty_, Amount_, "
                            "IsDeemedPositive_ from InventoryEntry order by FK_VchID, InEID");
const QString ItemAllocations = Q(
    "Select a.FK_InEID, a.AcAID, a.LedgerName_, a.Amount_, a.IsDeemedPositive_, a.IsPartyLedger_, b.BaAID, "
    "b.GodownName_, b.BatchName_, b.Amount_, b.ActualQty_ from AccountingAllocation a join BatchAllocation b "
    "on a.FK_VchID = b.FK_VchID and a.FK_InEID = b.FK_InEID order by a.FK_InEID");
const QString Counts = Q("Select (Select count(*) from InventoryEntry), (Select count(*) from LedgerEntry), "
                         "(Select count(*) from BillAllocation)");
const QString Bills = Q("Select FK_LdEID, BiAID, Name_, BillType_, BillCreditPeriod_, Amount_ "
                        "from BillAllocation order by FK_VchID, FK_LdEID, BiAID");

// VAT invoices.
const QList<QStringList> FourRows = {
    R(Vat, "LEDGER=Party|DEBIT=900|ADJNAME=INV1|ADJAMOUNT=900"),
    R(Vat, "LEDGER=Sales|CREDIT=800|ITEMNAME=A|QUANTITY=8|UNIT=Nos|RATE=100"), R(Vat, "ITEMNAME=B"),
    R(Vat, "LEDGER=Tax|CREDIT=100|ASSESSABLEAMT=800|TAXRATE=12.5%")};
const QString AllLines = Q("Select FK_VchID, LdEID, LedgerName_, Amount_, IsDeemedPositive_, IsPartyLedger_, "
                           "VATAssessableValue_, BasicRateOfInvoiceTax_, TDSPartyName_ from ALLLedgerEntry "
                           "order by FK_VchID, LdEID");
const QString Allocations = Q("Select FK_LeID, InAID, StockItemName_, Rate_, ActualQty_, Amount_, "
                              "IsDeemedPositive_ from InventoryAllocations order by FK_LeID, InAID");
const QString Batches = Q("Select FK_InEID, BaAID, GodownName_, BatchName_, Amount_, ActualQty_, BilledQty_ "
                          "from BatchAllocation order by FK_InEID");
const QList<QStringList> ServiceTax = {
    R(Vat, "LEDGER=Fees|CREDIT=1000|SERVICETAXON=Fees|ASSESSABLEAMT=1000|ADJNAME=ST-1|ADJAMOUNT=1000|TAXRATE="
           "12%|SERVICETAX=120"),
    R(Vat, "SERVICETAXON=Fees|ASSESSABLEAMT=500|ADJNAME=ST-2|ADJAMOUNT=500"),
    R(Vat, "LEDGER=Party|DEBIT=1500|SERVICETAXON=Fees|ASSESSABLEAMT=0|ADJNAME=INV-9|ADJAMOUNT=1500"),
    R(Vat, "VCHNO=2|LEDGER=Cash")};
const QString Addresses =
    Q("Select 'C', FK_VchID, BBAID, BasicBuyerAddress_ from BasicBuyerAddress union all "
      "Select 'B', FK_VchID, AdID, Address_ from Address order by 1, 2, 3");
const QString Amounts = Q("Select 'bank', Amount_ from BankAllocation union all Select 'batch', Amount_ from "
                          "BatchAllocation union all Select 'bill', Amount_ from BillAllocation union all "
                          "Select 'cost', Amount_ from CategoryAllocations union all Select 'item', Amount_ "
                          "from InventoryAllocations union all Select 'line', Amount_ from ALLLedgerEntry "
                          "union all Select 'entry', Amount_ from InventoryEntry union all Select 'ledger', "
                          "Amount_ from AccountingAllocation order by 1");

// Reduced VAT invoices.
const QList<QStringList> ThreeRows = {
    R(Vat, "LEDGER=Party|DEBIT=900|ADJNAME=INV1|ADJAMOUNT=900"),
    R(Vat,
      "LEDGER=Sales|CREDIT=800|ITEMNAME=A|QUANTITY=8|UNIT=Nos|RATE=100|ADJNAME=Not a bill|COSTCENTRE=Desk"),
    R(Vat, "LEDGER=Tax|CREDIT=100|ASSESSABLEAMT=800|TAXRATE=12.5%")};

const MappingCase MappingCases[] = {
    // Itemised invoices.
    M("ItemizedLedgerRowsAreLinesTheFirstThePartys", &ItemizedTransactionKind, Itemized, PartyItemsTax,
      LedgerLines, {"1|1|Party|1180.000|No|Yes", "1|2|Tax|-180|Yes|No"}),
    M("ItemizedItemRowsAreInventoryEntries", &ItemizedTransactionKind, Itemized, PartyItemsTax, ItemLines,
      {"1|A|100.000/Nos|5.000 Nos|5.000 Nos|-500|Yes", "2|B|100.000/Nos|5.000 Nos|5.000 Nos|-500|Yes"}),
    M("ItemizedItemsBookTheirLedgerAndBatch", &ItemizedTransactionKind, Itemized, PartyItemsTax,
      ItemAllocations,
      {"1|1|Sales|-500|Yes|No|1|Main Location|Primary Batch|-500|5.000 Nos",
       "2|1|Sales|-500|Yes|No|1|Store|Primary Batch|-500|5.000 Nos"}),
    M("ItemizedEmptyUnitQuantityOrRateLeaveTheSeparators", &ItemizedTransactionKind, Itemized,
      {R(Itemized, "ITEMNAME=A|QUANTITY=5|RATE=100"), R(Itemized, "ITEMNAME=B|UNIT=Nos|RATE=100"),
       R(Itemized, "ITEMNAME=C|QUANTITY=5|UNIT=Nos|CREDIT=-20")},
      ItemLines,
      {"1|A|100.000/|5.000 |5.000 |0.000|No", "2|B|100.000/Nos| Nos| Nos|0.000|No",
       "3|C|/Nos|5.000 Nos|5.000 Nos|-20.000|No"}),
    M("ItemizedOnlyAnEmptyGodownIsMainLocation", &ItemizedTransactionKind, Itemized,
      {R(Itemized, "ITEMNAME=A"), R(Itemized, "ITEMNAME=B|GODOWNNAME= ")},
      Q("Select FK_InEID, GodownName_ from BatchAllocation order by FK_InEID"), {"1|Main Location", "2| "}),
    M("ItemizedABlankItemNameIsALedgerLine", &ItemizedTransactionKind, Itemized,
      {R(Itemized, "LEDGER=Cash|ITEMNAME= |ADJNAME=X")}, Counts, {"0|1|1"}),
    M("ItemizedAFirstItemRowGivesTheHeadersParty", &ItemizedTransactionKind, Itemized,
      {R(Itemized, "LEDGER=Sales|CREDIT=100|ITEMNAME=A"), R(Itemized, "LEDGER=Party|DEBIT=-100")},
      Q("Select v.GUID_, v.PartyLedgerName_, v.BasicBuyerName_, v.IsInvoice_, v.AsOriginal_, v.HasCashFlow_, "
        "v.PersistedView_, l.LdEID, l.LedgerName_, l.IsPartyLedger_, l.Amount_, l.IsDeemedPositive_ "
        "from Voucher v join LedgerEntry l on l.FK_VchID = v.VchID"),
      {"Sales-1-d|Sales|Sales|Yes|Yes|No|Invoice Voucher View|1|Party|Yes|100|Yes"}),
    M("ItemizedBillsTakeTheSignOfTheirLine", &ItemizedTransactionKind, Itemized,
      {R(Itemized, "LEDGER=Party|DEBIT=500|ADJNAME=Inv-1|ADJAMOUNT=500"),
       R(Itemized, "LEDGER=Cash|CREDIT=500|ADJNAME=Inv-2|ADJAMOUNT=500|ADJMETHOD=Agst Ref|ADJDATE=30 Days"),
       R(Itemized, "LEDGER=Round|DEBIT=10|ADJNAME=Inv-3|ADJAMOUNT=-10"),
       R(Itemized, "LEDGER=Other|ADJAMOUNT=70"),
       R(Itemized, "LEDGER=Item|ITEMNAME=A|ADJNAME=Inv-5|ADJAMOUNT=70")},
      Bills, {"1|1|Inv-1|||-500.000", "2|1|Inv-2|Agst Ref|30 Days|500.000", "3|1|Inv-3|||10.000"}),
    // VAT invoices: header and lists.
    M("VatTheViewWords", &VATTransactionKind, Vat,
      {R(Vat, "VCHNO=1|VCHVIEWTYPE=as invoice"), R(Vat, "VCHNO=2|VCHVIEWTYPE=INVOICE"),
       R(Vat, "VCHNO=3|VCHVIEWTYPE= INVOICE"), R(Vat, "VCHNO=4|VCHVIEWTYPE=invoice voucher view"),
       R(Vat, "VCHNO=5|VCHVIEWTYPE=AsInvoice"), R(Vat, "VCHNO=6|LEDGER=Cash")},
      Q("Select VchID, PersistedView_, IsInvoice_, AsOriginal_ from Voucher order by VchID"),
      {"1|Invoice Voucher View|Yes|Yes", "2|Invoice Voucher View|Yes|Yes",
       "3|Accounting Voucher View|Yes|Yes", "4|Invoice Voucher View|Yes|Yes",
       "5|Invoice Voucher View|Yes|Yes", "6|Accounting Voucher View|Yes|Yes"}),
    M("VatTheHeaderIsTheFirstRows", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Party|BUYER=Joshi|CONSIGNEE=Joshi Depot"),
       R(Vat, "LEDGER=Sales|BUYER=Other|CONSIGNEE=Other")},
      Q("Select GUID_, PartyLedgerName_, BasePartyName_, PartyName_, BasicBuyerName_ from Voucher"),
      {"Sales-1-d|Party|Party|Joshi|Joshi Depot"}),
    M("VatOnlyTheRequiredColumns", &VATTransactionKind, Base,
      {R(Base, "LEDGER=Cash|DEBIT=10"), R(Base, "LEDGER=Sales|CREDIT=10")},
      Q("Select PersistedView_, IsInvoice_, (Select count(*) from InvoiceDelNotes) + (Select count(*) from "
        "BasicBuyerAddress) + (Select count(*) from Address), (Select count(*) from ALLLedgerEntry) from "
        "Voucher"),
      {"Accounting Voucher View|Yes|0|2"}),
    M("VatTaxRatesLoseTheirPercentSigns", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Tax|TAXRATE=12.5%"), R(Vat, "LEDGER=Tax|TAXRATE=%12%")},
      Q("Select LdEID, BasicRateOfInvoiceTax_ from ALLLedgerEntry order by LdEID"), {"2|12.500", "3|12.000"}),
    M("VatAddressesArePiecesOfTheirCells", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Party|CONSIGNEEADDRESS=12 MG Road~Pune~~411001|BUYERADDRESS=Plot 4~ Nashik"),
       R(Vat, "VCHNO=2|LEDGER=Cash|CONSIGNEEADDRESS=~")},
      Addresses, {"B|1|2|Plot 4", "B|1|3| Nashik", "C|1|2|12 MG Road", "C|1|3|Pune", "C|1|4|411001"}),
    M("VatListsAreRowsOfEveryRowThatFillsThem", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Party|DELNOTENOS=DN-1|DELNOTEDATES=d1|ORDERNOS=PO-1"),
       R(Vat, "DELNOTENOS=DN-1|DELNOTEDATES=d1|TERMSOFDELIVERY=FOB"),
       R(Vat, "DELNOTENOS=DN-1|DELNOTEDATES=d1|ORDERNOS=PO-2|ORDERDATES=d2"),
       R(Vat, "VCHNO=2|LEDGER=Cash|DELNOTENOS=DN-2")},
      Q("Select 'note', FK_VchID, IDNID, BasicShipDeliveryNote_, BasicShippingDate_ from InvoiceDelNotes "
        "union "
        "all Select 'order', FK_VchID, IOLID, BasicPurchaseOrderNo_, BasicOrderDate_ from InvoiceOrderList "
        "union "
        "all Select 'terms', FK_VchID, BOTID, BasicOrderTerms_, '' from BasicOrderTerms order by 1, 2, 3"),
      {"note|1|2|DN-1|d1", "note|1|3|DN-1|d1", "note|1|4|DN-1|d1", "order|1|2|PO-2|d2", "terms|1|2|FOB|"}),
    // VAT invoices: lines.
    M("VatLedgerRowsAreLinesFromTwo", &VATTransactionKind, Vat, FourRows, AllLines,
      {"1|2|Party|-900|Yes|Yes|0.000|0.000|", "1|3|Sales|800.000|No|No|0.000|0.000|",
       "1|4|Tax|100.000|No|No|800.000|12.500|"}),
    M("VatItemsGoUnderTheLatestLine", &VATTransactionKind, Vat, FourRows, Allocations,
      {"3|1|A|100.000/Nos|8.000 Nos|800.000|No", "3|2|B|/| |0.000|No"}),
    M("VatABillOfADebitRowIsNegated", &VATTransactionKind, Vat, FourRows, Bills, {"2|1|INV1|||-900"}),
    M("VatQuantitiesWithAUnitAndRatesPer", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Sales|CREDIT=100|ITEMNAME=A|QUANTITY=10 Box|UNIT=Nos|RATE=100|PER=Box"),
       R(Vat,
         "ITEMNAME=B|QUANTITY=10|UNIT=Nos|RATE=100|GODOWNNAME=Store|BATCHNAME=Lot 7|ADJNAME=Not a bill")},
      Batches + QStringLiteral(", 1"),
      {"1|1|Main Location|Primary Batch|100.000|10 Box|10 Box",
       "2|1|Store|Lot 7|0.000|10.000 Nos|10.000 Nos"}),
    M("VatRatesPerUnitOrPer", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Sales|ITEMNAME=A|QUANTITY=10 Box|UNIT=Nos|RATE=100|PER=Box"),
       R(Vat, "ITEMNAME=B|QUANTITY=10|UNIT=Nos|RATE=100")},
      Allocations, {"2|1|A|100.000/Box|10 Box|0.000|No", "2|2|B|100.000/Nos|10.000 Nos|0.000|No"}),
    M("VatAssessedServiceTaxRowsGiveServiceTaxBillsCountedPerVoucher", &VATTransactionKind, Vat, ServiceTax,
      Q("Select FK_VchID, FK_LdEID, TBiAID, Name_, BillType_, Amount_, TDSTaxRate_, TDSSurcharge_, "
        "STSecondaryCessRate_, SurchargeAmount_, IsPureAgentBill_, AssessableAmount_ from TaxBillAllocation "
        "order by FK_VchID, FK_LdEID, TBiAID"),
      {"1|2|1|ST-1||1000.000|12.000|2|1|120|No|", "1|2|2|ST-2||500.000|0.000|2|1||No|"}),
    M("VatServiceTaxOnAnUnassessedRowIsAnOrdinaryBill", &VATTransactionKind, Vat, ServiceTax, Bills,
      {"3|1|INV-9|||-1500"}),
    M("VatEachLineHasItsOwnRowsServiceTaxParty", &VATTransactionKind, Vat, ServiceTax,
      Q("Select FK_VchID, LdEID, TDSPartyName_ from ALLLedgerEntry order by FK_VchID, LdEID"),
      {"1|2|Fees", "1|3|", "2|2|"}),
    M("VatBankAllocationsGoWithABillAndCountThroughTheRun", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Bank|DEBIT=500|ADJNAME=C-1|ADJAMOUNT=500|BankAmount=500|BankName=SBI"),
       R(Vat, "DEBIT=5|ADJNAME=C-2|ADJAMOUNT=5|BankAmount=-200"),
       R(Vat, "CREDIT=5|ADJNAME=C-3|ADJAMOUNT=5|BankAmount=1,050"), R(Vat, "ADJNAME=C-4|BankAmount=0"),
       R(Vat, "DEBIT=5|ADJNAME=C-6|BankAmount= +70"), R(Vat, "BankAmount=70"),
       R(Vat, "VCHNO=2|LEDGER=Bank|ADJNAME=C-5|BankAmount=10")},
      Q("Select FK_VchID, FK_LdEID, BaAID, Amount_, BankName_ from BankAllocation order by FK_VchID, BaAID"),
      {"1|2|1|-500|SBI", "1|2|2|200|", "1|2|3|1,050|", "1|2|4| -70|", "2|2|5|10|"}),
    M("VatCostAllocationsTakeTheSignOfTheirRow", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Exp|DEBIT=300|COSTCENTRE=Desk|COSTAMOUNT=300"),
       R(Vat, "DEBIT=1|COSTCENTRE=Ops|COSTCATEGORY= |COSTAMOUNT=-100"),
       R(Vat, "CREDIT=1|COSTCENTRE= |COSTAMOUNT=50"),
       R(Vat, "CREDIT=40|COSTCENTRE=Desk|COSTCATEGORY=Dept|COSTAMOUNT=40")},
      Q("Select FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations order by CAID"),
      {"2|1|Primary Cost Category|Desk|-300.000", "2|2|Primary Cost Category|Ops|100.000",
       "2|3|Dept|Desk|40.000"}),
    M("VatACostWithoutAnAmountColumnHasNoAmountToSign", &VATTransactionKind, Base + Fields("COSTCENTRE"),
      {R(Base + Fields("COSTCENTRE"), "LEDGER=Exp|DEBIT=5|COSTCENTRE=Desk")},
      Q("Select Name_, Amount_ from CategoryAllocations"), {"Desk|"}),
    M("VatEveryDescriptionPieceIsKeptInOneRow", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Sales|ITEMNAME=A|ITEMDESCRIPTION=Blue~~Large~Cotton"),
       R(Vat, "ITEMNAME=B|ITEMDESCRIPTION=~"),
       R(Vat, "VCHNO=2|LEDGER=Sales|ITEMNAME=C|ITEMDESCRIPTION=Plain")},
      Q("Select FK_VchID, FK_InEID, BUDID, BasicDescription_ from BASICUSERDESCRIPTION order by FK_VchID"),
      {"1|1|1|Blue#Large#Cotton", "2|1|2|Plain"}),
    M("VatNegativeDebitsLoseTheirMinus", &VATTransactionKind, Vat,
      {R(Vat, "LEDGER=Refund|DEBIT=-25|ITEMNAME=A|COSTCENTRE=Desk|COSTAMOUNT=-25"),
       R(Vat, "DEBIT=-25|ADJNAME=R-1|ADJAMOUNT=-25|BankAmount=-25")},
      Amounts, {"bank|25", "batch|25", "bill|25", "cost|25.000", "item|25", "line|25"}),
    // Reduced VAT invoices.
    M("ReducedLedgerRowsAreLinesFromTwo", &ReducedVATTransactionKind, Vat, ThreeRows, AllLines,
      {"1|2|Party|-900|Yes|Yes|0.000|0.000|", "1|3|Tax|100.000|No|No|800.000|12.500|"}),
    M("ReducedItemRowsAreInventoryEntriesAndNothingMore", &ReducedVATTransactionKind, Vat, ThreeRows,
      Q("Select e.InEID, e.StockItemName_, e.Rate_, e.ActualQty_, e.Amount_, e.IsDeemedPositive_, a.AcAID, "
        "a.LedgerName_, a.Amount_, a.VATAssessableValue_, b.BaAID, b.GodownName_, b.BatchName_, "
        "(Select count(*) from BillAllocation), (Select count(*) from CategoryAllocations) "
        "from InventoryEntry e join AccountingAllocation a on a.FK_InEID = e.InEID "
        "join BatchAllocation b on b.FK_InEID = e.InEID"),
      {"1|A|100.000/Nos|8.000 Nos|800.000|No|1|Sales|800.000|0.000|1|Main Location|Primary Batch|1|0"}),
    M("ReducedABillUnderItsLine", &ReducedVATTransactionKind, Vat, ThreeRows, Bills, {"2|1|INV1|||-900"}),
    M("ReducedAddressesAreWholeCells", &ReducedVATTransactionKind, Vat,
      {R(Vat, "LEDGER=Party|CONSIGNEEADDRESS=12 MG Road~Pune|BUYERADDRESS=Plot 4~Nashik"),
       R(Vat, "CONSIGNEEADDRESS=~")},
      Addresses, {"B|1|2|Plot 4~Nashik", "C|1|2|12 MG Road~Pune", "C|1|3|~"}),
    M("ReducedOnlySalesAndPurchaseAreInvoices", &ReducedVATTransactionKind, Vat,
      {R(Vat, "VCHNO=1|VCHVIEWTYPE=Invoice"), R(Vat, "VCHNO=2|VCHTYPE=sales"),
       R(Vat, "VCHNO=3|VCHTYPE=Sales "), R(Vat, "VCHNO=4|VCHTYPE=Purchase")},
      Q("Select VchID, IsInvoice_, PersistedView_, AsOriginal_ from Voucher order by VchID"),
      {"1|Yes|Accounting Voucher View|Yes", "2|No|Accounting Voucher View|Yes",
       "3|No|Accounting Voucher View|Yes", "4|Yes|Accounting Voucher View|Yes"}),
    M("ReducedNegativeDebitsLoseTheirMinus", &ReducedVATTransactionKind, Vat,
      {R(Vat, "LEDGER=Refund|DEBIT=-25|COSTCENTRE=Desk|COSTAMOUNT=-25|ADJNAME=R-1|ADJAMOUNT=-25"),
       R(Vat, "LEDGER=Sales|DEBIT=-25|ITEMNAME=A")},
      Amounts, {"batch|25", "bill|25", "cost|25.000", "entry|25", "ledger|25", "line|25"}),
    // Tax-classified accounting vouchers.
    M("ClassifiedEveryRowIsALineWithABill", &TaxClassifiedTransactionKind, Classified,
      {R(Classified,
         "LEDGER=Purchases|DEBIT=900|ADJNAME=P-1|ADJAMOUNT=200|TAXCLASSIFICATION=Input VAT 12.5%"),
       R(Classified, "LEDGER= |CREDIT=100"),
       R(Classified, "LEDGER=Supplier|CREDIT=800|ADJNAME=P-1|ADJAMOUNT=200|ADJMETHOD=Agst Ref"),
       R(Classified, "LEDGER=Refund|DEBIT=50|ADJAMOUNT=-20")},
      Q("Select l.LdEID, l.LedgerName_, l.Amount_, l.IsDeemedPositive_, l.IsPartyLedger_, "
        "l.TaxClassificationName_, b.BiAID, b.Name_, b.BillType_, b.Amount_ from LedgerEntry l join "
        "BillAllocation b on b.FK_LdEID = l.LdEID order by l.LdEID"),
      {"1|Purchases|-900|Yes|Yes|Input VAT 12.5%|1|P-1||-200.000", "2| |100.000|No|No||1|||0.000",
       "3|Supplier|800.000|No|No||1|P-1|Agst Ref|200.000", "4|Refund|-50|Yes|No||1|||20.000"}),
    M("ClassifiedCostAllocationsAreUnsigned", &TaxClassifiedTransactionKind, Classified,
      {R(Classified, "LEDGER=Exp|DEBIT=900|COSTCENTRE=Desk|COSTAMOUNT=900"),
       R(Classified, "LEDGER=Exp|DEBIT=1|COSTCENTRE=|COSTAMOUNT=1"),
       R(Classified, "LEDGER=Cash|CREDIT=100|COSTCENTRE=Ops|COSTCATEGORY=Dept|COSTAMOUNT=100")},
      Q("Select FK_LdEID, CAID, Category_, Name_, Amount_ from CategoryAllocations order by CAID"),
      {"1|1|Primary Cost Category|Desk|900.000", "3|2|Dept|Ops|100.000"}),
    M("ClassifiedOnlySalesAndPurchaseAreInvoices", &TaxClassifiedTransactionKind, Classified,
      {R(Classified, "VCHNO=1|LEDGER=Cash"), R(Classified, "VCHNO=2|VCHTYPE=sales"),
       R(Classified, "VCHNO=3|VCHTYPE=Sales "), R(Classified, "VCHNO=4|VCHTYPE=Purchase")},
      Q("Select VchID, IsInvoice_, HasCashFlow_, PersistedView_, PartyLedgerName_ from Voucher order by "
        "VchID"),
      {"1|Yes|Yes||Cash", "2|No|Yes||", "3|No|Yes||", "4|Yes|Yes||"}),
};

struct InvoiceMapping : test::PostingFixture, ::testing::WithParamInterface<MappingCase> {};

TEST_P(InvoiceMapping, StagesWhatTheRowsSay) {
    const MappingCase& c = GetParam();
    Load(c.fields, c.rows);
    VoucherRun run(form, db);
    run.Run(c.kind(run), Recorder());
    EXPECT_FALSE(sent.isEmpty());
    EXPECT_EQ(Locations(), QStringList());
    EXPECT_EQ(Staged(c.query), c.staged);
}

INSTANTIATE_TEST_SUITE_P(Invoices, InvoiceMapping, ::testing::ValuesIn(MappingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A voucher whose item or allocation has no ledger line above it is not sent; the next one is.
struct OrphanCase {
    const char* name;
    KindOf kind;
    QStringList first;
};

OrphanCase O(const char* name, KindOf kind, const QStringList& first) {
    return {name, kind, first};
}

const OrphanCase OrphanCases[] = {
    O("AnItem", &VATTransactionKind, R(Vat, "ITEMNAME=A")),
    O("ABill", &VATTransactionKind, R(Vat, "ADJNAME=INV1")),
    O("AServiceTaxBill", &VATTransactionKind, R(Vat, "SERVICETAXON=Fees|ASSESSABLEAMT=10")),
    O("ACostAllocation", &VATTransactionKind, R(Vat, "COSTCENTRE=Desk")),
    O("AReducedBill", &ReducedVATTransactionKind, R(Vat, "ADJNAME=INV1")),
    O("AReducedCostAllocation", &ReducedVATTransactionKind, R(Vat, "COSTCENTRE=Desk")),
};

struct OrphanRow : test::PostingFixture, ::testing::WithParamInterface<OrphanCase> {};

TEST_P(OrphanRow, FailsItsVoucher) {
    const OrphanCase& c = GetParam();
    Load(Vat, {c.first, R(Vat, "LEDGER=Sales"), R(Vat, "VCHNO=2|LEDGER=Cash")});
    VoucherRun run(form, db);
    run.Run(c.kind(run), Recorder());
    EXPECT_EQ(sent, QStringList({"Sharma Traders/2: "}));
    EXPECT_EQ(Status(2), ItemBeforeLedgerLine);
    EXPECT_EQ(Icon(2), 1);
    EXPECT_EQ(Staged(QStringLiteral("Select VchID from Voucher")), QStringList({"2"}));
}

INSTANTIATE_TEST_SUITE_P(Invoices, OrphanRow, ::testing::ValuesIn(OrphanCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct InvoiceMessage : test::PostingFixture {
    test::RecordingTransport transport;
    TallyLink link{settings, errors, transport};
};

TEST_F(InvoiceMessage, AVatInvoiceGoesOutWithItsLinesAndWhatHangsUnderThem) {
    Load(
        Vat,
        {R(Vat, "VCHNO=7|VCHDATE=01-04-2024|REFNO=R-7|LEDGER=Joshi Electricals|DEBIT=1250|NARRATION=Wire and "
                "pipe|ADJNAME=INV-7|"
                "ADJDATE=30 Days|ADJAMOUNT=1250|BankAmount=1250|BankName=Canara Bank|InstrumentNumber=004512|"
                "VCHVIEWTYPE=Invoice|CONSIGNEEADDRESS=12 MG Road~Pune"),
         R(Vat, "VCHNO=7|VCHDATE=01-04-2024|LEDGER=Sales|CREDIT=1000|ITEMNAME=Copper "
                "Wire|ITEMDESCRIPTION=2.5 sq mm~~Red|"
                "QUANTITY=10|UNIT=Mtr|RATE=60|GODOWNNAME=Store|BATCHNAME=B-1|COSTCENTRE=Showroom|"
                "COSTAMOUNT=1000"),
         R(Vat, "VCHNO=7|VCHDATE=01-04-2024|ITEMNAME=PVC Pipe|QUANTITY=4|UNIT=Nos|RATE=100"),
         R(Vat, "VCHNO=7|VCHDATE=01-04-2024|LEDGER=Service Tax|CREDIT=250|ADJMETHOD=New "
                "Ref|ADJNAME=ST-1|ADJAMOUNT=250|"
                "ASSESSABLEAMT=1000|TAXRATE=12.5%|SERVICETAXON=Installation|SERVICETAX=125")});
    VoucherRun run(form, db);
    run.Run(VATTransactionKind(run), TallyVoucherSender(link, db));
    ASSERT_EQ(transport.bodies.size(), 1u);
    test::ExpectGolden(transport.bodies.front(), QStringLiteral("vat-invoice.xml"));
}

TEST_F(InvoiceMessage, AVatRunKeepsOutWhatAnEarlierRunLeftInTheInvoiceTables) {
    for (const char* table : {"TaxBillAllocation", "InventoryAllocations", "BASICUSERDESCRIPTION"})
        db.execute(QStringLiteral("Insert into %1 (CompanyName, FK_VchID) values ('Sharma Traders', '1')")
                       .arg(QLatin1String(table)));
    Load(Vat, {R(Vat, "LEDGER=Sales")});
    PostVATTransaction(form, link);
    EXPECT_EQ(Staged(QStringLiteral("Select (Select count(*) from TaxBillAllocation) + (Select count(*) from "
                                    "InventoryAllocations) + (Select count(*) from BASICUSERDESCRIPTION)")),
              QStringList({"0"}));
    EXPECT_EQ(transport.bodies.size(), 1u);
}

// Posting to the simulated server, which holds the masters the vouchers name.
struct UnroutedOperations : test::PostingFixture {
    UnroutedOperations() {
        sim::Options options;
        options.companies = {test::Sharma.toStdString()};
        server = std::make_unique<sim::Simulator>(options);
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(server->start()));
        for (const char* master :
             {"<LEDGER NAME=\"Joshi Electricals\"><PARENT>Sundry Debtors</PARENT></LEDGER>",
              "<LEDGER NAME=\"Sales\"><PARENT>Sales Accounts</PARENT></LEDGER>",
              "<STOCKITEM NAME=\"Copper Wire\"></STOCKITEM>"})
            EXPECT_NE(
                server
                    ->answer(std::string("<ENVELOPE><HEADER><TALLYREQUEST>Import Data</TALLYREQUEST>"
                                         "</HEADER><BODY><IMPORTDATA><REQUESTDESC><STATICVARIABLES>"
                                         "<SVCURRENTCOMPANY>Sharma Traders</SVCURRENTCOMPANY>"
                                         "</STATICVARIABLES></REQUESTDESC><REQUESTDATA><TALLYMESSAGE>") +
                             master + "</TALLYMESSAGE></REQUESTDATA></IMPORTDATA></BODY></ENVELOPE>")
                    .find("<CREATED>1</CREATED>"),
                std::string::npos);
    }
    QString Stored() const { return QString::fromStdString(server->storeXml(test::Sharma.toStdString())); }

    std::unique_ptr<sim::Simulator> server;
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
};

TEST_F(UnroutedOperations, TheTaxClassifiedOperationPostsAVoucher) {
    Load(Classified,
         {R(Classified, "VCHDATE=01-04-2024|LEDGER=Joshi Electricals|DEBIT=600"),
          R(Classified, "VCHDATE=01-04-2024|LEDGER=Sales|CREDIT=600|TAXCLASSIFICATION=Output VAT")});
    PostVATTransactionOOO(form, link);
    EXPECT_EQ(Status(2), QStringLiteral("LASTVCHID CREATED "));
    EXPECT_TRUE(Stored().contains(QStringLiteral("<TAXCLASSIFICATIONNAME>Output VAT<")));
    EXPECT_EQ(Locations(), QStringList());
}

TEST_F(UnroutedOperations, TheReducedVatOperationPostsAnInvoice) {
    Load(Vat,
         {R(Vat, "VCHDATE=01-04-2024|LEDGER=Joshi Electricals|DEBIT=600|ADJNAME=INV-1|ADJAMOUNT=600"),
          R(Vat, "VCHDATE=01-04-2024|LEDGER=Sales|CREDIT=600|ITEMNAME=Copper Wire|QUANTITY=10|RATE=60")});
    PostVATTransactionXX(form, link);
    EXPECT_EQ(Status(2), QStringLiteral("LASTVCHID CREATED "));
    EXPECT_TRUE(Stored().contains(QStringLiteral("<STOCKITEMNAME>Copper Wire</STOCKITEMNAME>")));
    EXPECT_EQ(Locations(), QStringList());
}

} // namespace
} // namespace quibo
