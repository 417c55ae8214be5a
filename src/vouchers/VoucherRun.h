#pragma once

#include "tally/TallyOutcome.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace quibo {

class ErrorReporter;
class FormModel;
class LocalDatabase;
class TallyLink;

// Where the rows of one voucher are staged: its company (that of its first row), its staging id and
// its key. Valid for the duration of one call of `VoucherKind::stageRow`.
struct VoucherPlace {
    ErrorReporter& errors;
    LocalDatabase& db;
    const QString& company;
    const QString& voucherId;
    const QString& key;
    int row;       // the grid row being staged
    bool firstRow; // the voucher's first row: it writes the header
    QString& failure;

    // Fails the voucher with an outcome of the poster's own (a text beginning "ERROR:"): nothing of
    // it is sent and its rows are marked with it. Returns false, for `stageRow` to return.
    bool Fail(const QString& outcome) const {
        failure = outcome;
        return false;
    }
};

// What one voucher poster gives the loop.
struct VoucherKind {
    // Columns read from every row without a presence test, besides the voucher key the loop reads
    // itself. A grid that lacks one ends the run before anything is staged.
    QStringList required;
    // Sets the poster's child id counters (ledger lines, bills...) to their start values; called
    // before each voucher's first row.
    std::function<void()> startVoucher;
    // Stages one row through the staging writers. False when a writer failed (it reported why): the
    // voucher is then not sent, and the rest of its rows are not staged.
    std::function<bool(const VoucherPlace& at)> stageRow;

    // Optional rules, for the posters that need them.
    // The voucher key of a row; `open` is the key of the voucher being staged, null when none is.
    // A blank key on a non-empty row is "ERROR: empty ID". Default: FormModel::VoucherKey.
    std::function<QString(int row, const QString* open)> key;
    // The number of the run's first voucher id, read after the staging tables are emptied. Default 1.
    std::function<int()> firstVoucherNumber;
    // Called after a voucher's last row is staged, before it is committed: a text (beginning
    // "ERROR:") fails the voucher with that outcome; "" lets it be sent.
    std::function<QString()> endVoucher;
};

// Sends one staged voucher and tells what became of it.
using VoucherSender = std::function<TallyOutcome(const QString& company, const QString& voucherId)>;
// Builds the staged voucher's message and posts it through the link (SendVoucher, action "Create").
VoucherSender TallyVoucherSender(TallyLink& link, LocalDatabase& db);

// The progress texts of a voucher run, in the status bar's "msg" panel.
namespace progress {
inline const QString Deleting = QStringLiteral("Deleting Previous Data");
inline const QString Processed = QStringLiteral("Processed Document: "); // then the voucher id or count
inline const QString Finished = QStringLiteral("Finished Posing of Data.");
} // namespace progress

// How the rows of `GR1` fall into vouchers, as every voucher poster reads them:
//  - adjacent rows with one voucher key form one voucher;
//  - `CurrentCompany` is set for every row ("COMPANYNAME" when the source has it and it is not blank,
//    else the company box);
//  - a truly empty row ends the voucher above it and starts none; so does a row with data but a
//    blank key when the source is keyed by "ID", which is marked "ERROR: empty ID" as a failed
//    voucher of its own (MarkVoucherOutcome); a voucher still open after the last row is finished;
//  - a voucher with a cell holding a NUL character is refused (FormModel::NulRefusal);
//  - the walk yields to the window once per row, after the row's calls.
struct VoucherRows {
    // The row's voucher key; `open` is the key of the voucher being read, null when none is.
    std::function<QString(int row, const QString* open)> key;
    // Every row of a voucher, its first (`firstRow`) included. `refusal` is "" until a row of the
    // voucher holds a NUL character, and from that row on the outcome that refuses the voucher:
    // nothing of it is then read into a request or sent, and its last row is marked with it.
    std::function<void(int row, bool firstRow, const QString& key, const QString& refusal)> add;
    // After a voucher's last row.
    std::function<void(int firstRow, int lastRow, const QString& key)> finish;
};
void WalkVoucherRows(FormModel& form, bool keyedById, bool hasCompany, const VoucherRows& rows);

// Writes a voucher's outcome to its last row of `GR1`: the status text (`notStaged` when the voucher
// was not sent for a reason of the program's own, else the server's words or, when there were none,
// why) and its icon (ERROR 1; CREATED, ALTERED or COMBINED 0; none for other words). Its rows first
// go back to the grid's default text colour and a normal status font, so that they show this outcome
// alone and not an earlier post's. True for a failure (icon 1).
bool WriteVoucherOutcome(FormModel& form, int firstRow, int lastRow, const TallyOutcome& outcome,
                         const QString& notStaged = {});
// WriteVoucherOutcome, and for a failure ReportErrorByVID over the voucher's rows: red text and a
// bold status on every row that carries its key in an "ID" column. Without that column only the
// status and the icon show the failure.
void MarkVoucherOutcome(FormModel& form, int firstRow, int lastRow, const QString& key,
                        const TallyOutcome& outcome, const QString& notStaged = {});

class VoucherRun;

// Empties every staging table: rows an earlier run left would otherwise join this run's vouchers.
// A table that cannot be emptied (reported) is a run-time error.
void EmptyStagingTables(FormModel& form, LocalDatabase& db);

// A poster's rules, made for a run over the form's grid.
using VoucherKindOf = VoucherKind (*)(const VoucherRun& run);
// What every staged poster does: under its trap (`location`), a run over the form's grid in the
// local database, each voucher sent through the link. A run-time error is reported and ends the run.
void PostStaged(FormModel& form, TallyLink& link, const char* location, VoucherKindOf kindOf);

class VoucherRun {
public:
    // Selects the first data tab.
    VoucherRun(FormModel& form, LocalDatabase& db);

    // Whether the source has the column (looked up once per run).
    bool Has(const QString& column) const;
    // The row's cell in the column of that key.
    const QString& Cell(int row, const QString& column) const;
    // The cell when the source has the column, else "".
    QString CellIfPresent(int row, const QString& column) const;
    // The main form's number pattern.
    const QString& DecimalPlaces() const;

    // The staged voucher loop every voucher poster runs over the working grid `GR1`, its rows walked
    // as WalkVoucherRows walks them (the key FormModel::VoucherKey unless the kind has its own):
    //  - voucher ids count "1", "2", ... from the first voucher of the run;
    //  - a voucher is staged and sent under the company of its first row;
    //  - a voucher's rows are staged in one transaction, committed before the voucher is built; a
    //    writer that fails fails its voucher, of which nothing then stays or is sent, and so does a
    //    cell holding a NUL character, from its row on not staged;
    //  - each voucher's outcome goes to its last row (MarkVoucherOutcome: status and icon; red text
    //    and a bold status on a failed voucher's rows only when the source has an "ID" column).
    // Run-time errors (a missing column, a grid call, a database that cannot be emptied) leave by
    // exception, to the poster's trap; the transaction of the voucher being staged is then dropped.
    // User-interface thread.
    void Run(const VoucherKind& kind, const VoucherSender& send);

private:
    void Empty();
    void Require(const QStringList& columns) const;
    FormModel& m_form;
    LocalDatabase& m_db;
    mutable QHash<QString, bool> m_present;
};

} // namespace quibo
