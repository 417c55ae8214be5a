#pragma once

#include "sources/backends/Connection.h"

#include <QString>

namespace quibo {

class ErrorReporter;
class FormModel;
class SourceTable;
struct LoaderSource;
struct VoucherIdColumns;

// The voucher-register road of the three loaders: a register table (one
// voucher per row) and its map table, named after it with "Map" appended. The
// register's rows go into `lstLedgerTree` and `GR1` as they stand; each map
// row becomes the tag of the `GR1` column it describes, the form in which the
// register poster receives the map.
//
// A tag holds sixteen parts, each followed by "|": ColumnName (upper-cased),
// LedgerName, LedgerSign, Order, then VATClassification, VATRate,
// AssessableColumn, ServiceTaxOn, ServiceTaxRate, ServiceTaxColumn, CessRate,
// CessColumn, SecCessRate, SecCessColumn, ServiceTaxLedger, ExpenseColumn. The
// poster reads the parts by position, so an optional column the map lacks
// leaves its part empty rather than letting the later ones move up. Only a
// workbook's map is read for the optional parts; Access and ODBC maps give the
// four required ones and twelve empty parts.
class VoucherRegisterLoad {
public:
    enum class Outcome {
        Loaded,   // the grids hold the register; the loader's ending follows
        NotFound, // the register or its map is not in the source; nothing was touched
        Stopped,  // the user was shown why the load stopped; no ending follows
    };

    // `gridReplaced` is set once `GR1` no longer holds what it held before.
    VoucherRegisterLoad(FormModel& form, const LoaderSource& source, const ConnectionOpener& open,
                        bool& gridReplaced);

    // `name` is the register's import type without blanks. Run-time errors
    // pass to the loader's trap.
    Outcome Load(const QString& name);

private:
    void findTables(Source& connection, const QString& name, QString& registerTable, QString& mapTable) const;
    // False when a column name is not valid, which the user was shown.
    bool readRegister(Source& connection, const QString& registerTable, QStringList& fields, int& records);
    // Each map row as the tag of its GR1 column; false when it names a column the register lacks.
    bool tagColumns(const SourceTable& map);
    void copyRows(int fieldCount, int records, int idColumn, VoucherIdColumns& idColumns);

    FormModel& m_form;
    const LoaderSource& m_source;
    const ConnectionOpener& m_open;
    bool& m_gridReplaced;
};

// Whether the record set has a field of that name, both upper-cased (no
// blanks trimmed). Errors are reported under F01-0054 and answer False.
bool FieldExists(ErrorReporter& errors, const SourceTable& recordset, const QString& name);

} // namespace quibo
