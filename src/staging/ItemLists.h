#pragma once

// What the item-line sections share: the item columns, user descriptions and batch lines.

#include "staging/VoucherBuild.h"

#include <QVariant>

namespace quibo {

class RecordSet;

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
