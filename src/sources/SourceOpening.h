#pragma once

#include "sources/backends/Connection.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quibo {

class FormModel;

// Opening a source from the main form: the listings that fill the
// import-type box `cmbTableName` from a workbook or text file, an Access
// database or an ODBC data source, the three browse buttons and the two
// path boxes' validate handlers. Each procedure traps its own run-time
// errors under its location code and then ends; none shows a message of its
// own.
//
// Whenever one of them changes the selected import type from code, it runs
// `cmbTableName_Click`, as a drop-down list's Click event runs on a selection
// made from code; the table loader provides that handler.
class SourceOpening {
public:
    explicit SourceOpening(FormModel& form, ConnectionOpener open = OpenConnection);

    std::function<void()> cmbTableName_Click;

    // Appends the import types of a table list (TABLE_NAME values) and selects
    // the placeholder. Location code F01-0007A.
    void LoadList(const QStringList& tableNames);
    // Appends the import type of a text file's base name, upper-cased by the
    // caller, and selects the placeholder. Location code F01-0007B.
    void LoadListTXT(const QString& name);

    // F01-0003: a workbook (.xls, .xlsx) or a text file (.csv, .txt).
    void LoadExcelSheets(const QString& path);
    // F01-0005: an Access database; `user` is accepted and not used.
    void LoadAccessTables(const QString& path, const QString& user, const QString& password);
    // F01-0007: a named ODBC data source.
    void LoadODBCTables(const QString& dataSourceName, const QString& user, const QString& password);

    void cmdFilePath_Click(); // F01-0011
    void cmdMDBPath_Click();  // F01-0013
    void cmdODBCPath_Click(); // F01-0013A
    // Neither sets Cancel: the focus always moves on.
    void txtFilePath_Validate(bool& Cancel); // F01-0043
    void txtMdbPath_Validate(bool& Cancel);  // F01-0044

private:
    // Empties the box, adds the placeholder and, with `select`, selects it.
    void ResetToPlaceholder(bool select);
    // Selects the placeholder where the box holds one.
    void SelectPlaceholder();
    void SelectFromCode(int index);
    // Selects the first entry equal to a non-empty former choice, exactly or ignoring case.
    void SelectFormerChoice(const QString& former, bool ignoreCase);

    FormModel& m_form;
    ConnectionOpener m_open;
};

} // namespace quibo
