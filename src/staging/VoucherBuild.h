#pragma once

#include "tally/XmlDocument.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <initializer_list>
#include <memory>
#include <utility>

namespace quibo {

class ErrorReporter;
class LocalDatabase;
class RecordSet;
struct StagedRowCache;

// One voucher on its way from the staging tables to a VOUCHER element: what every section of the
// message reads, and the element it appends to. Lives for one build.
struct VoucherBuild {
    ErrorReporter& errors;
    LocalDatabase& db;
    XmlDocument& doc;
    XmlNode voucher; // the VOUCHER element
    QString company;
    QString voucherId;
    QString action;
    QString guid; // GUID_ of the voucher's Voucher row; "" without one. Set by the header section.
    // What StagedRows has read of the voucher: one query per table, not one per parent row.
    mutable std::shared_ptr<StagedRowCache> staged;
};

// The staged rows of `table` for the voucher, ordered by `orderBy` (an SQL order list such as
// "val(AdID)"). With a parent key column (FK_LdEID, FK_InEID, FK_LeID) only the rows of that parent
// row; a Null parent value gives no rows. Company, voucher id and parent value reach the database as
// bound values. Read within one snapshot: each table is queried once per build (and not at all when
// the voucher has no row there), the rows of each parent served from that one result.
RecordSet StagedRows(const VoucherBuild& build, const QString& table, const QString& orderBy,
                     const QString& parentKey = QString(), const QVariant& parentValue = QVariant());

// The value of a staged column as text: "" for Null, else the value as stored.
QString FieldText(const RecordSet& rows, int row, QStringView column);

// The field rule: appends TAG under the parent with the column's value, unless the value is Null or
// "". Returns the element, or no node.
XmlNode AppendField(VoucherBuild& build, XmlNode parent, const QString& tag, const RecordSet& rows, int row,
                    QStringView column);

// Element tag and staged column of one value element.
using FieldSpec = std::pair<QStringView, QStringView>;

// The field rule for each (tag, column) in order.
void AppendFields(VoucherBuild& build, XmlNode parent, const RecordSet& rows, int row,
                  std::initializer_list<FieldSpec> fields);

// The number a staged text begins with (blanks skipped, none gives 0), for the zero and rate tests. A
// number too large for a double is plainly not zero: it reads as an infinity of its sign.
double LeadingNumber(const QString& text);

// The row's id as the parent key of its child rows. A Null id is a run-time error: a child query by
// "" would hand the line rows that belong to no line.
QVariant RowKey(const RecordSet& rows, int row, QStringView column);

// Appends the element (a *.LIST container or a fixed element) whatever its value.
XmlNode AppendElement(VoucherBuild& build, XmlNode parent, const QString& tag,
                      const QString& value = QString());

// What ledger lines and all-ledger lines share, under the line's element (`lineId` its LdEID): the
// cost-centre split (CATEGORYALLOCATIONS.LIST), and the bank and tax-bill allocations. A bank
// allocation is named by the voucher GUID, its bank and its date; the ledger name is not used.
void AppendCategoryAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId);
void AppendBankAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId);
void AppendTaxBillAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId);
// The bills of a line (BILLALLOCATIONS.LIST, with their TDS details). A ledger line leaves out a
// bill whose amount is empty, Null or the number 0 as a whole; an all-ledger line sends every bill.
enum class ZeroBills { LeftOut, Sent };
void AppendBillAllocations(VoucherBuild& build, XmlNode line, const QVariant& lineId, ZeroBills zeroBills);

// The values of a ledger line, and of an invoice line's accounting allocation (which also states its
// GSTCLASS): names, flags and amount, the assessable value when it reads as non-zero, the TDS party
// and the tax rate.
enum class GstClass { Left, Stated };
enum class PercentSign { PassedOver, Counts };
void AppendLedgerLineValues(VoucherBuild& build, XmlNode line, const RecordSet& rows, int row,
                            GstClass gstClass, PercentSign sign);

// BASICRATEOFINVOICETAX.LIST with the rate as staged, when the rate reads above 0; where the rate may
// be typed with a percent sign the sign is passed over for that test.
void AppendInvoiceTaxRate(VoucherBuild& build, XmlNode parent, const RecordSet& rows, int row,
                          PercentSign sign);

// The sections of the message, in the order they are appended to the voucher element.
void AppendPartyLists(VoucherBuild& build);    // ADDRESS.LIST, BASICBUYERADDRESS.LIST, BASICORDERTERMS.LIST
void AppendVoucherHeader(VoucherBuild& build); // the VOUCHER attributes and header elements
void AppendOrderLists(VoucherBuild& build);    // INVOICEDELNOTES.LIST, INVOICEORDERLIST.LIST
void AppendLedgerEntries(VoucherBuild& build); // LEDGERENTRIES.LIST
void AppendInventoryEntries(VoucherBuild& build);    // ALLINVENTORYENTRIES.LIST of InventoryEntry
void AppendAllLedgerEntries(VoucherBuild& build);    // ALLLEDGERENTRIES.LIST
void AppendStockJournalEntries(VoucherBuild& build); // INVENTORYENTRIESIN/OUT.LIST, ALLINVENTORYENTRIES.LIST

} // namespace quibo
