#pragma once

#include "core/TextPool.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace quibo {

class GridObserver;

// The hidden source grid `lstLedgerTree`: the loaded table exactly as the
// source returned it. Rows and columns are counted from 0; row 0 holds the
// field names, rows 1 .. Rows() - 1 the records. A row or column out of range
// raises run-time error 381.
//
// Cells are numbers into a text pool; a grid bound from a source table shares
// the table's pool, and GR1 may share the grid's, so a text lives once.
class SourceGrid {
public:
    // What the grid holds at most; a table past either is refused (error 7) with a text saying so,
    // before the grid tries to hold it.
    static constexpr int MaxRows = 1 << 24;
    static constexpr int MaxColumns = 16384;

    // The design size: 2 rows, 2 columns, blank.
    SourceGrid();
    SourceGrid(const SourceGrid&) = delete;
    SourceGrid& operator=(const SourceGrid&) = delete;

    int Rows() const { return m_rows; }
    // Growing adds blank rows at the end; shrinking drops the last rows. At least 1 (the field names).
    void SetRows(int rows);
    int Cols() const { return m_cols; }
    // Growing adds blank columns at the right; shrinking drops the rightmost.
    void SetCols(int cols);

    const QString& TextMatrix(int row, int column) const { return m_texts->text(TextId(row, column)); }
    void SetTextMatrix(int row, int column, const QString& text);
    // The cell's number in Texts().
    core::TextPool::Id TextId(int row, int column) const { return m_cells[cellAt(row, column)]; }
    // The numbers of `count` cells of a row from `column` on, into `ids`: a loader takes rows whole.
    void RowTextIds(int row, int column, int count, core::TextPool::Id* ids) const;
    // Sets a cell to a text of Texts() by its number.
    void SetTextId(int row, int column, core::TextPool::Id id);
    const std::shared_ptr<core::TextPool>& Texts() const { return m_texts; }

    // Alignment code 0-9 of a column, as the bound data gives it.
    int ColAlignment(int column) const;
    void SetColAlignment(int column, int code);

    // Binding to a record set: row 0 becomes the field names, one column per
    // field with its alignment code, and no records; AppendRecord then adds them.
    // The grid's texts start afresh, or, given `texts`, are that pool's (a source table's).
    void Bind(const QStringList& fieldNames, const QList<int>& alignments,
              std::shared_ptr<core::TextPool> texts = nullptr);
    // Room for that many more records, taken at once: a large table's cells then lie in one block.
    void Reserve(int records);
    // Appends one record; missing trailing values are blank, surplus ones raise 381.
    void AppendRecord(const QStringList& values);
    // The same, the values given by their numbers in Texts().
    void AppendRecord(const std::vector<core::TextPool::Id>& values);

    bool Redraw() const { return m_redraw; }
    void SetRedraw(bool on);

    // At most one observer; nullptr detaches. The observer must detach before it dies.
    void SetObserver(GridObserver* observer) { m_observer = observer; }
    GridObserver* Observer() const { return m_observer; }

private:
    void checkRow(int row) const {
        if (static_cast<unsigned>(row) >= static_cast<unsigned>(m_rows)) invalidRow();
    }
    void checkColumn(int column) const {
        if (static_cast<unsigned>(column) >= static_cast<unsigned>(m_cols)) invalidColumn();
    }
    // Inline: asked for every cell a load repairs or copies.
    size_t cellAt(int row, int column) const {
        checkRow(row);
        checkColumn(column);
        return static_cast<size_t>(row) * static_cast<size_t>(m_cols) + static_cast<size_t>(column);
    }
    [[noreturn]] static void invalidRow();
    [[noreturn]] static void invalidColumn();
    void appended();

    std::shared_ptr<core::TextPool> m_texts;
    std::vector<core::TextPool::Id> m_cells; // row-major, m_rows * m_cols
    QList<int> m_alignments;
    int m_rows = 0;
    int m_cols = 0;
    bool m_redraw = true;
    GridObserver* m_observer = nullptr;
};

} // namespace quibo
