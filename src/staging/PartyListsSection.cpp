#include "localdb/LocalDatabase.h"
#include "localdb/RecordSet.h"
#include "staging/VoucherBuild.h"
#include "tally/XmlBuilders.h"

namespace quibo {

namespace {

// A container holding one element per staged row; no container when the voucher has no row.
void AppendRowList(VoucherBuild& build, const QString& table, const QString& orderBy,
                   const QString& container, const QString& tag, QStringView column) {
    const RecordSet rows = StagedRows(build, table, orderBy);
    if (rows.isEmpty()) return;
    const XmlNode list = AppendElement(build, build.voucher, container);
    for (int row = 0; row < rows.rowCount(); ++row)
        AppendField(build, list, tag, rows, row, column);
}

void AppendReferenceDate(VoucherBuild& build, const QString& refDate) {
    if (refDate.isEmpty()) return;
    const QString desc = QStringLiteral("`ReferenceDate`");
    const XmlNode list = AppendElement(build, build.voucher, QStringLiteral("UDF:REFERENCEDATE.LIST"));
    SetXmlAttribute(build.errors, build.doc, list, QStringLiteral("DESC"), desc);
    SetXmlAttribute(build.errors, build.doc, list, QStringLiteral("ISLIST"), QStringLiteral("YES"));
    SetXmlAttribute(build.errors, build.doc, list, QStringLiteral("TYPE"), QStringLiteral("Date"));
    const XmlNode date = AppendElement(build, list, QStringLiteral("UDF:REFERENCEDATE"), refDate);
    SetXmlAttribute(build.errors, build.doc, date, QStringLiteral("DESC"), desc);
}

// One ATTENDANCEENTRIES.LIST per attendance line of the voucher.
void AppendAttendanceEntries(VoucherBuild& build) {
    const RecordSet rows = StagedRows(build, QStringLiteral("Attendance"), QStringLiteral("val(AttID)"));
    for (int row = 0; row < rows.rowCount(); ++row) {
        const XmlNode entry = AppendElement(build, build.voucher, QStringLiteral("ATTENDANCEENTRIES.LIST"));
        AppendFields(build, entry, rows, row,
                     {{u"NAME", u"Employee_"},
                      {u"ATTENDANCETYPE", u"AttendanceType_"},
                      {u"ATTDTYPEVALUE", u"Value_"}});
    }
}

} // namespace

void AppendPartyLists(VoucherBuild& build) {
    AppendRowList(build, QStringLiteral("Address"), QStringLiteral("val(AdID)"),
                  QStringLiteral("ADDRESS.LIST"), QStringLiteral("ADDRESS"), u"Address_");
    AppendRowList(build, QStringLiteral("BasicBuyerAddress"), QStringLiteral("val(BBAID)"),
                  QStringLiteral("BASICBUYERADDRESS.LIST"), QStringLiteral("BASICBUYERADDRESS"),
                  u"BasicBuyerAddress_");
    AppendRowList(build, QStringLiteral("BasicOrderTerms"), QStringLiteral("val(BOTID)"),
                  QStringLiteral("BASICORDERTERMS.LIST"), QStringLiteral("BASICORDERTERMS"),
                  u"BasicOrderTerms_");
}

void AppendVoucherHeader(VoucherBuild& build) {
    // The header row is keyed by its own id, not by FK_VchID like every other staged row.
    const RecordSet header = build.db.query(
        QStringLiteral("Select * from Voucher where CompanyName = ? and VchID = ? Order By val(VchID)"),
        {build.company, build.voucherId});
    if (!header.isEmpty()) {
        const XmlNode voucher = build.voucher;
        AppendFields(build, voucher, header, 0,
                     {{u"EFFECTIVEDATE", u"EffectiveDate_"},
                      {u"BASICDATETIMEOFINVOICE", u"BasicDateTimeOfInvoice_"},
                      {u"BASICDATETIMEOFREMOVAL", u"BasicDateTimeOfRemoval_"}});
        build.guid = FieldText(header, 0, u"GUID_");
        SetXmlAttribute(build.errors, build.doc, voucher, QStringLiteral("REMOTEID"), build.guid);
        SetXmlAttribute(build.errors, build.doc, voucher, QStringLiteral("VCHTYPE"),
                        FieldText(header, 0, u"VoucherTypeName_"));
        SetXmlAttribute(build.errors, build.doc, voucher, QStringLiteral("ACTION"), build.action);
        AppendFields(build, voucher, header, 0, {{u"DATE", u"Date_"}});
        AppendReferenceDate(build, FieldText(header, 0, u"RefDate_"));
        // BASICSHIPPEDBY goes out twice, once among the party names and once after the shipping document.
        AppendFields(build, voucher, header, 0,
                     {{u"GUID", u"GUID_"},
                      {u"VOUCHERTYPENAME", u"VoucherTypeName_"},
                      {u"VOUCHERNUMBER", u"VoucherNumber_"},
                      {u"REFERENCE", u"Reference_"},
                      {u"NARRATION", u"Narration_"},
                      {u"PARTYLEDGERNAME", u"PartyLedgerName_"},
                      {u"PARTYNAME", u"PartyName_"},
                      {u"BASEPARTYNAME", u"BasePartyName_"},
                      {u"BASICSHIPPEDBY", u"BasicShippedBy_"},
                      {u"BASICBUYERNAME", u"BasicBuyerName_"},
                      {u"BASICSHIPDOCUMENTNO", u"BasicShipDocumentNo_"},
                      {u"BASICSHIPPEDBY", u"BasicShippedBy_"},
                      {u"BASICFINALDESTINATION", u"BasicFinalDestination_"},
                      {u"BASICDUEDATEOFPYMT", u"BasicDueDateOfPymt_"},
                      {u"BASICORDERREF", u"BasicOrderRef_"},
                      {u"BASICBUYERSSALESTAXNO", u"BasicBuyersSalesTaxNo_"},
                      {u"DIFFACTUALQTY", u"DiffActualQty_"},
                      {u"ISOPTIONAL", u"IsOptional_"},
                      {u"MIRONO", u"MIRONo_"},
                      {u"MIRODT", u"MIRODt_"},
                      {u"ISCANCELLED", u"IsCancelled_"},
                      {u"HASCASHFLOW", u"HasCashFlow_"},
                      {u"ISPOSTDATED", u"IsPostDated_"},
                      {u"USETRACKINGNUMBER", u"UseTrackingNumber_"},
                      {u"ISINVOICE", u"IsInvoice_"},
                      {u"MFGJOURNAL", u"MFGJournal_"},
                      {u"HASDISCOUNTS", u"HasDiscounts_"},
                      {u"ASPAYSLIP", u"AsPayslip_"},
                      {u"ISDELETED", u"IsDeleted_"},
                      {u"ASORIGINAL", u"AsOriginal_"},
                      {u"PERSISTEDVIEW", u"PersistedView_"},
                      {u"CLASSNAME", u"ClassName_"},
                      {u"TAXADJUSTMENT", u"TaxAdjustment_"}});
        // A bankers' date staged as "" still gives its (empty) list; only Null leaves it out.
        if (!header.value(0, u"BasicBankersDate_").isNull()) {
            const XmlNode list = AppendElement(build, voucher, QStringLiteral("BASICBANKERSDATE.LIST"));
            AppendFields(build, list, header, 0, {{u"BASICBANKERSDATE", u"BasicBankersDate_"}});
        }
    }
    AppendAttendanceEntries(build);
}

void AppendOrderLists(VoucherBuild& build) {
    const RecordSet notes =
        StagedRows(build, QStringLiteral("InvoiceDelNotes"), QStringLiteral("val(IDNID)"));
    for (int row = 0; row < notes.rowCount(); ++row) {
        const XmlNode list = AppendElement(build, build.voucher, QStringLiteral("INVOICEDELNOTES.LIST"));
        AppendFields(build, list, notes, row,
                     {{u"BASICSHIPPINGDATE", u"BasicShippingDate_"},
                      {u"BASICSHIPDELIVERYNOTE", u"BasicShipDeliveryNote_"}});
    }
    const RecordSet orders =
        StagedRows(build, QStringLiteral("InvoiceOrderList"), QStringLiteral("val(IOLID)"));
    for (int row = 0; row < orders.rowCount(); ++row) {
        const XmlNode list = AppendElement(build, build.voucher, QStringLiteral("INVOICEORDERLIST.LIST"));
        AppendFields(
            build, list, orders, row,
            {{u"BASICORDERDATE", u"BasicOrderDate_"}, {u"BASICPURCHASEORDERNO", u"BasicPurchaseOrderNo_"}});
        AppendElement(build, list, QStringLiteral("ORDERTYPE"), QStringLiteral("Purchase Order"));
    }
}

} // namespace quibo
