#pragma once

#include "core/LargeBlocks.h"
#include "core/TextPool.h"
#include "sources/backends/Connection.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <string>
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
// "PROCESSSTATUS". Returns the ID column's number, 0 when none was added. A table whose fields leave
// no room for those columns is refused first, GR1 untouched.
int BuildWorkColumns(WorkGrid& gr1, const QStringList& fields, bool addId);

// The source columns a loader joins into the voucher id it builds: VchType,
// then "-" and each of VchNo, VchDate and RefNo that the source has.
struct VoucherIdColumns {
    int vchType = -1;
    std::vector<int> parts;

    static VoucherIdColumns Find(ErrorReporter& errors, const SourceGrid& grid);
    // The row's id as a text of the grid's pool.
    core::TextPool::Id idOf(const SourceGrid& grid, int row);

private:
    // The cells the last id was built of, and that id: a voucher's rows follow one another.
    std::vector<core::TextPool::Id> m_lastCells;
    core::TextPool::Id m_lastId = core::TextPool::Empty;
    std::u16string m_text;
};

// A number pattern of placeholders alone, "#" and "0" with at most one ".", as the amount patterns are
// ("#################0.000"): a plain decimal text is laid into it digit by digit, giving what
// vb::Format gives, without reading the number as a double.
struct DigitsPattern {
    // Characters a formatted text can take at most.
    static constexpr int Room = 80;

    // Nothing for a pattern with anything else in it (grouping, literals, sections, an exponent).
    static std::optional<DigitsPattern> Of(QStringView pattern);
    // vb::Format(text, pattern) written to `out` (Room characters), its length returned; -1 when the
    // text is not a plain decimal ("-12.5", "007", ".25", "3.") of at most 15 digits, which only
    // vb::Format formats.
    int format(QStringView text, char16_t* out) const;

    int integerMinimum = 0;  // integer digits always shown, from the leftmost "0" on
    int fraction = 0;        // fraction placeholders: the places rounded to
    int fractionMinimum = 0; // fraction digits always shown, up to the rightmost "0"
};

// A pattern applied to the texts of one pool, each distinct text formatted once: a large table
// repeats its dates and amounts, and vb::Format gives the same text for the same text and pattern.
class FormatOnce {
public:
    // Dates only: text that is no date stays as it is. Otherwise amounts: text that is no number stays.
    FormatOnce(core::TextPool& texts, const QString& pattern, bool datesOnly);

    core::TextPool::Id operator()(core::TextPool::Id id) {
        if (id < m_done.size() && m_done[id] != NotYet) return m_done[id];
        return format(id);
    }

private:
    static constexpr core::TextPool::Id NotYet = ~core::TextPool::Id(0);
    core::TextPool::Id format(core::TextPool::Id id);

    core::TextPool& m_texts;
    const QString& m_pattern;
    bool m_datesOnly;
    std::optional<DigitsPattern> m_digits; // amounts only
    // By id: its formatted text's id. In segments from the heap, which the table read has just let
    // go of, rather than one fresh block as large as the pool.
    core::StableArray<core::TextPool::Id> m_done;
};

// "Reading Records => r/n" in the status panel "msg", and one yield to the
// window: once per source row of every load.
void ShowReadingProgress(FormModel& form, int row, int count);

// The end of a load that rebuilt GR1: the progress text cleared, the fields'
// columns fitted, the Excel tab's extra blank row, redraw on in both grids.
void FinishLoad(FormModel& form, LoaderKind kind, const QStringList& fields);

} // namespace quibo
