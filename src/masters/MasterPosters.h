#pragma once

#include <QString>

#include <vector>

namespace quibo {

class FormModel;
class TallyLink;

// The master posting procedures of the main form, one per master import type. Each walks the rows
// the loader put into `GR1`, sends every master to the Tally server through the link, to the row's
// company ("COMPANYNAME" when not blank, else the company box, left in `CurrentCompany`), skips
// masters the server already has when `chkSkipMst` is set, and writes each outcome into its row's
// "PROCESSSTATUS" cell with its colour and icon; a row left out for want of a NAME but holding data
// reads "ERROR: no NAME", and a master with a cell holding a NUL character is not sent and reads
// "ERROR: column X holds a NUL character". A run-time error is reported under the procedure's location code
// and ends the run; the caller goes on. User-interface thread; yields once per post.

// One master per row, through the senders.
void PostLedgerGroups(FormModel& form, TallyLink& link);    // F01-0016
void PostUnits(FormModel& form, TallyLink& link);           // F01-0018, also for "UNITSGST"
void PostGodowns(FormModel& form, TallyLink& link);         // F01-0019
void PostStockGroups(FormModel& form, TallyLink& link);     // F01-0020
void PostStockCategories(FormModel& form, TallyLink& link); // F01-0021
void PostCostCategories(FormModel& form, TallyLink& link);  // F01-0052
void PostCostCentres(FormModel& form, TallyLink& link);     // F01-0053

// One master per run of rows sharing a NAME: the master's own columns from its first row, list
// entries (bills and bank details; batches, standard costs and prices, components, excise godowns)
// from every row of it.
void PostLedgers(FormModel& form, TallyLink& link);    // F01-0017
void PostStockItems(FormModel& form, TallyLink& link); // F01-0022

// Through the format definition named by the import type (the text of `cmbTableName` without
// blanks, taken when the run starts) in "Quibo20.DAT": the GST twins, the employee types and the
// users' own master formats. Groups, ledgers and stock items are grouped by NAME, built from the
// master's first row with each further row adding its groups; the others go one per row.
void PostLedgerGroupsGST(FormModel& form, TallyLink& link);    // F01-0016
void PostLedgersGST(FormModel& form, TallyLink& link);         // F01-0017
void PostStockItemsGST(FormModel& form, TallyLink& link);      // F01-0022
void PostGodownsGST(FormModel& form, TallyLink& link);         // F01-0019
void PostStockGroupsGST(FormModel& form, TallyLink& link);     // F01-0020
void PostStockCategoriesGST(FormModel& form, TallyLink& link); // F01-0021
void PostCostCategoriesGST(FormModel& form, TallyLink& link);  // F01-0052
void PostCostCentresGST(FormModel& form, TallyLink& link);     // F01-0053

// Every procedure above under the name the Post command's routing table gives it ("PostUnitsGST"
// is PostUnits again), for registering with the command.
struct MasterPoster {
    QString procedure;
    void (*post)(FormModel& form, TallyLink& link);
};
const std::vector<MasterPoster>& MasterPosters();

} // namespace quibo
