#pragma once

#include "sources/backends/Connection.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace quibo {

class ErrorReporter;
class FormModel;
class SourceGrid;
class SourceTable;
class WorkGrid;

// The three loaders of the main form, one per `TabSource` tab. They share one
// pipeline and differ in a handful of rules, which read this.
enum class LoaderKind { Excel, Access, Odbc };

// The source a loader reads, as the loader was called: which kind, and how to
// open it. A connection lives for one load.
struct LoaderSource {
    LoaderKind kind = LoaderKind::Excel;
    QString connection;
    QString user;
    QString password;
    // Excel tab only: whether the path names a text file (".csv", ".txt"), and
    // the file's name, which is then its table ("" when there is no such file).
    bool isTextFile = false;
    QString textFile;

    // The workbook (.xls, or .xlsx through the listing's driver) or text file
    // in the path box.
    static LoaderSource Excel(const QString& path);
    static LoaderSource Access(const QString& path, const QString& user, const QString& password);
    static LoaderSource Odbc(const QString& dataSourceName, const QString& user, const QString& password);

    std::unique_ptr<Source> open(const ConnectionOpener& opener) const;
    // A workbook's sheets are tables named "Name$".
    QString sheetSuffix() const;
};

// The grid alignment (0 left, 1 centre, 2 right) of a source-grid alignment
// code: 1-3 left, 4-6 centre, 7-9 right; -1 for any other code, which leaves
// the cell as it is.
int CellAlignment(int code);
// The alignment of each field's cells in GR1, from the source grid's columns
// (all -1 when the table had no records to bind).
std::vector<int> CopyAlignments(const SourceGrid& grid, int fieldCount, int records);

// Fills the source grid `lstLedgerTree` from a table read: the field names and
// every record as grid text. A table without records leaves the grid at 2
// rows, every cell of every column it has blank.
void BindSourceGrid(SourceGrid& grid, const SourceTable& table);

// Empties GR1 and rebuilds its columns, redraw off: one per field (key the
// name upper-cased, header the name), "ID" when `addId`, then
// "PROCESSSTATUS". Returns the ID column's number, 0 when none was added.
int BuildWorkColumns(WorkGrid& gr1, const QStringList& fields, bool addId);

// The source columns a loader joins into the voucher id it builds: VchType,
// then "-" and each of VchNo, VchDate and RefNo that the source has.
struct VoucherIdColumns {
    int vchType = -1;
    std::vector<int> parts;

    static VoucherIdColumns Find(ErrorReporter& errors, const SourceGrid& grid);
    QString idOf(const SourceGrid& grid, int row) const;
};

// "Reading Records => r/n" in the status panel "msg", and one yield to the
// window: once per source row of every load.
void ShowReadingProgress(FormModel& form, int row, int count);

// The end of a load that rebuilt GR1: the progress text cleared, the fields'
// columns fitted, the Excel tab's extra blank row, redraw on in both grids.
void FinishLoad(FormModel& form, LoaderKind kind, const QStringList& fields);

} // namespace quibo
