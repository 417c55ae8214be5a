#pragma once

#include "tally/MasterRecords.h"

#include <QString>

namespace quibo {

class TallyLink;

// One sender per master kind. Each builds one import request for the record (an ImportDataEnvelope
// for the company, one TALLYMESSAGE, one master element with the attributes NAME and ACTION), posts
// it through the link and returns the import outcome of the reply; the posters pass "Create".
// The action "Alter" (exact case) takes the NAME attribute from `currentName` instead of `name`.
// The record is not validated: the server's answer tells what it made of it. A run-time error is
// reported with the sender's location code and gives "" with nothing sent; a failed exchange gives
// what PostToTally gives (""); PostRecord tells the two apart. Blocking; user-interface thread.

QString SendGodown(TallyLink& link, const QString& company, const GodownMaster& record,
                   const QString& action); // C03--0001
QString SendUnit(TallyLink& link, const QString& company, const UnitMaster& record,
                 const QString& action); // C03--0002
QString SendGroup(TallyLink& link, const QString& company, const GroupMaster& record,
                  const QString& action); // C03--0003
// The bills' amounts, read by CellNumber (thousands separators included), add up to the opening balance sent
// in place of the record's own when they do not total exactly 0.
QString SendLedger(TallyLink& link, const QString& company, const LedgerMaster& record,
                   const QString& action); // C03--0004
QString SendStockGroup(TallyLink& link, const QString& company, const StockGroupMaster& record,
                       const QString& action); // C03--0005
QString SendStockItem(TallyLink& link, const QString& company, const StockItemMaster& record,
                      const QString& action); // C03--0006
QString SendStockCategory(TallyLink& link, const QString& company, const StockCategoryMaster& record,
                          const QString& action); // C03--0007
QString SendCostCategory(TallyLink& link, const QString& company, const CostCategoryMaster& record,
                         const QString& action); // C03--0008
QString SendCostCentre(TallyLink& link, const QString& company, const CostCentreMaster& record,
                       const QString& action); // C03--0009

} // namespace quibo
