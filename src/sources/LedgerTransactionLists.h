#pragma once

#include "sources/backends/Connection.h"

namespace quibo {

class FormModel;
class SourceGrid;
class SourceTable;

// Two procedures of the main form that no command, menu or run reaches; they
// are kept as the form offers them.

// Fills a source-type grid from a table read: one column per field, row 0 the
// field names, then one row per record. A Null cell reads as "", so nothing of
// what the grid held before stays.
void LoadRec(SourceGrid& grid, const SourceTable& records);

// F01-0028: reads the sheet Ledgers of the workbook in `txtFilePath` into
// `lstLedgerTree`, and the columns ID, VchType, VchNo, RefNo, VchDate,
// Narration, Ledger, Debit, Credit, Remark of its sheet Transactions, in that
// order, into `lstTransactions`. A missing sheet or column is reported under
// its location code; what was filled before stays.
void LoadLedgerTransactionLists(FormModel& form, const ConnectionOpener& open = OpenConnection);

} // namespace quibo
