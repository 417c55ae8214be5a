#pragma once

// What the item-line sections share: the numeric reading of staged values, the key of a parent row,
// the item columns, user descriptions and batch lines.

#include "staging/VoucherBuild.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <initializer_list>
#include <utility>

namespace quibo {

class RecordSet;

// Element tag and staged column of one value element.
using FieldSpec = std::pair<QStringView, QStringView>;

// The field rule for each (tag, column) in order.
void AppendFields(VoucherBuild& build, XmlNode parent, const RecordSet& rows, int row,
                  std::initializer_list<FieldSpec> fields);

// The number a staged text begins with (blanks skipped, none gives 0), for the zero and rate tests.
double LeadingNumber(const QString& text);

// The row's id as the parent key of its child rows. A Null id is a run-time error: a child query by
// "" would hand the line rows that belong to no line.
QVariant RowKey(const RecordSet& rows, int row, QStringView column);

// STOCKITEMNAME to BILLEDQTY of an item line or item allocation; ISLASTDEEMEDPOSITIVE repeats
// ISDEEMEDPOSITIVE only in invoice item lines.
void AppendItemFields(VoucherBuild& build, XmlNode item, const RecordSet& rows, int row,
                      bool withLastDeemedPositive);

// One BASICUSERDESCRIPTION.LIST per description row of the item, the text cut at every "#".
void AppendUserDescriptions(VoucherBuild& build, XmlNode item, const QVariant& itemId);

// Where DESTINATIONGODOWNNAME stands, and whether the physical-stock elements come.
enum class BatchForm {
    Invoice,       // after BILLEDQTY
    StockJournal,  // after BATCHNAME
    PhysicalStock, // after BATCHNAME, with BATCHPHYSDIFF and DYNAMICCSTISCLEARED
};

// One BATCHALLOCATIONS.LIST per batch row of the item (or item allocation).
void AppendBatchAllocations(VoucherBuild& build, XmlNode item, const QVariant& itemId, BatchForm form);

} // namespace quibo
