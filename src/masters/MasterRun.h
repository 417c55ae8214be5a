#pragma once

#include "base/OutcomeMarks.h"
#include "tally/TallyOutcome.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace quibo {

class FormModel;
class TallyLink;

// What one master kind tells the posting loop.
struct MasterKind {
    QString objectType;   // asked about when existing masters are skipped ("LEDGER", "STOCK ITEMS")
    QString progressText; // shown before the row number ("Processed Ledgers: ")
};

// One run of a master posting procedure over the working grid `GR1`: the company of each row, the
// skip test, the post, the marking of the row, the progress text and the yield. Two shapes:
// one master per row, or one master per run of adjacent rows that share a NAME.
//
// A NAME that is empty or blanks only names no master: it is never asked about and never posted. A
// row that is not posted for want of a name, yet holds data, is marked as an error that says so; an
// empty row is left alone. A master with a cell holding a NUL character (FormModel::NulRefusal) is
// neither asked about nor posted, and its last row says why.
// Run-time errors (a missing column, a grid call) leave the run by exception; the poster's trap
// reports them. User-interface thread; yields to the window once per posted master.
class MasterRun {
public:
    // Selects the first data tab, then checks the "NAME" and "PROCESSSTATUS" columns every run reads.
    MasterRun(FormModel& form, TallyLink& link, MasterKind kind);

    // Whether the source has the column (its lookup in the source grid gives 0 or more). Looked up
    // once per run: the source does not change while it posts.
    bool Has(const QString& column) const;
    // A column read without a presence test: one the grid lacks raises the grid's own error now,
    // before anything is sent.
    void Require(std::initializer_list<const char*> columns) const;
    void Require(const QString& column) const;
    // The row's cell in the column of that key.
    const QString& Cell(int row, const QString& column) const;
    // The working grid's number of the column of that key; one the grid lacks raises the grid's error.
    // A poster that looks its columns up once reads its cells by number.
    int Column(const QString& column) const;
    const QString& Cell(int row, int column) const;
    // The cell when the source has the column, else the fallback.
    QString CellIfPresent(int row, const QString& column, const QString& fallback = QString()) const;

    // Row by row: `post` builds the master of one row, sends it to the company and returns the outcome.
    void RowByRow(const std::function<QString(const QString& company, int row)>& post);

    struct Grouped {
        // Called for each row of a master, its first row included, in grid order.
        std::function<void(int firstRow, int row)> addRow;
        // Builds the master of rows firstRow to lastRow, sends it to the company of its last row and
        // returns the outcome.
        std::function<QString(const QString& company, int firstRow, int lastRow)> post;
        // The progress text shows the row that ends the master (the next master's first row, or the
        // empty row) rather than the master's last row.
        bool progressShowsNextRow = false;
        // Marked rows stay black and only the icon tells the outcome (the format-built masters).
        bool iconOnly = false;
    };
    void RunGrouped(const Grouped& shape);

    // Writes a posted master's outcome into its row: status text, icon, colour, bold status. With
    // iconOnly the row stays black, unless the request was not sent or no reply came: that row is red
    // whatever the shape.
    void MarkPosted(int row, const TallyOutcome& outcome, bool iconOnly = false);
    void MarkSkipped(int row);

private:
    // A row not posted for a reason of the program's own ("ERROR: no NAME", a NUL character).
    void MarkRefused(int row, const QString& status);
    void Mark(int row, const QString& status, int32_t colour, int icon);
    // Sets `CurrentCompany` for the row: its "COMPANYNAME" cell when not blank, else the company box.
    void TakeCompany(int row);
    bool Exists(const QString& name);
    void Progress(int shownRow, int currentRow);
    // The grid's number of a column every row reads, looked up at its first read: the grid keeps its
    // columns while it posts.
    int KnownColumn(int& known, const QString& column) const;

    FormModel& m_form;
    TallyLink& m_link;
    MasterKind m_kind;
    mutable QHash<QString, bool> m_present;
    bool m_hasCompanyColumn = false;
    mutable int m_nameColumn = -1;
    mutable int m_companyColumn = -1;
    mutable int m_statusColumn = -1;
};

} // namespace quibo
