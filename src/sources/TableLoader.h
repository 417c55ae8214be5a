#pragma once

#include "sources/backends/Connection.h"

#include <QString>

namespace quibo {

class FormModel;
struct LoaderSource;

// The table loader of the main form: when an import type is chosen in
// `cmbTableName`, its sheet or table is read from the selected source into the
// source grid `lstLedgerTree` and the working grid `GR1` (with the "ID" and
// "PROCESSSTATUS" columns), voucher tables repaired on the way; the five
// voucher-register types load their map too. Every load ends `GR1` with its
// blank row(s). A table that is not there (or whose source cannot be opened)
// leaves `GR1` empty, never the previous table's rows, which a Post would
// otherwise send under the newly chosen import type.
//
// Each procedure traps its own run-time errors under its location code and
// then ends. Runs on the user-interface thread and yields to it once per row;
// the caller holds the form's run guard.
class TableLoader {
public:
    explicit TableLoader(FormModel& form, ConnectionOpener open = OpenConnection);

    // Click of `cmbTableName` (F01-0001), also run when code selects an entry:
    // loads the chosen import type from the source of the selected `TabSource` tab.
    void cmbTableName_Click();

    // `name` is the chosen import type without blanks; the import type itself
    // is read from the combo box.
    void LoadExcelRecords(const QString& name);                                                // F01-0002
    void LoadAccessRecords(const QString& name, const QString& user, const QString& password); // F01-0004
    void LoadODBCRecords(const QString& name, const QString& dataSourceName, const QString& user,
                         const QString& password); // F01-0006

private:
    void LoadRecords(const LoaderSource& source, const QString& name);
    void LoadTable(const LoaderSource& source, const QString& name, const QString& importType);
    // Empties GR1 and tells the user that the sheet is not there.
    void SheetNotFound(const QString& name);

    FormModel& m_form;
    ConnectionOpener m_open;
    // Whether GR1 already holds what the running load put there (or was
    // emptied by it); a load that fails before then must not leave the
    // previous table in it.
    bool m_gridReplaced = false;
};

} // namespace quibo
