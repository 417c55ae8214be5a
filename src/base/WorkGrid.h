#pragma once

#include "core/LargeBlocks.h"
#include "core/TextPool.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace quibo {

class GridObserver;

// The part of a cell's font that posters change.
struct GridFont {
    bool bold = false;
    friend bool operator==(const GridFont&, const GridFont&) = default;
};

// The working grid `GR1`: keyed columns and rows of text cells with a few
// display attributes, counted from 1. Loaders fill it, posters read it by
// column key and write each record's outcome back. A row or column out of
// range raises run-time error 381.
//
// Text is held densely, row after row, as numbers into a text pool that the
// source grid may share (ShareTexts), so a loaded text lives once; the attributes are held in two
// more tables of the same shape (alignment and bold in a byte, colour and icon), each there only
// once some cell leaves its defaults, so a freshly loaded grid costs little more than its text.
class WorkGrid {
public:
    // What the grid holds at most; a table past either is refused (error 7) with a text saying so,
    // before the grid tries to hold it.
    static constexpr int MaxRows = 1 << 24;
    static constexpr int MaxColumns = 16384;

    // Refuses (error 7), before a column is added, a table of `fields` columns that the grid cannot
    // hold beside its own columns (their headers in `own`); the text counts both.
    static void RequireColumns(int fields, const QStringList& own);

    WorkGrid() = default;
    WorkGrid(const WorkGrid&) = delete;
    WorkGrid& operator=(const WorkGrid&) = delete;

    // Removes every row and, with removeColumns, every column.
    void Clear(bool removeColumns);
    void AddColumn(const QString& key, const QString& header);
    // Appends a blank row at the end.
    void AddRow();

    int RowCount() const { return m_rows; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }

    // Column number of the key (compared exactly); error 381 when no column has it.
    int ColumnIndex(const QString& key) const;
    // Column number of the key, or -1.
    int FindColumn(const QString& key) const;
    const QString& ColumnHeader(int column) const;
    const QString& ColumnKey(int column) const;
    const QString& ColumnTag(int column) const;
    void SetColumnTag(int column, const QString& tag);

    const QString& CellText(int row, int column) const;
    const QString& CellText(int row, const QString& key) const;
    void SetCellText(int row, int column, const QString& text);
    void SetCellText(int row, const QString& key, const QString& text);
    // Sets a cell to a text of Texts() by its number.
    void SetCellTextId(int row, int column, core::TextPool::Id id);
    // The same for `count` cells of a row from `column` on: a loader fills rows whole.
    void SetRowTextIds(int row, int column, const core::TextPool::Id* ids, int count);
    const std::shared_ptr<core::TextPool>& Texts() const { return m_texts; }
    // Takes `texts` as the grid's pool (the source grid's, so copied cells are shared); cells already
    // there keep their text.
    void ShareTexts(std::shared_ptr<core::TextPool> texts);

    // 0 left, 1 centre, 2 right.
    int CellTextAlign(int row, int column) const;
    void SetCellTextAlign(int row, int column, int align);
    // The same for `count` cells of a row from `column` on; -1 leaves a cell as it is.
    void SetRowTextAligns(int row, int column, const int* aligns, int count);
    // A BGR value; 0 (black) until set.
    int32_t CellColor(int row, int column) const;
    void SetCellColor(int row, int column, int32_t bgr);
    // The same for every cell of the row; only the cells whose colour changes are told to the observer.
    void SetRowColor(int row, int32_t bgr);
    // Image-list index; -1 for none.
    int CellIcon(int row, int column) const;
    void SetCellIcon(int row, int column, int index);
    GridFont CellFont(int row, int column) const;
    void SetCellFont(int row, int column, GridFont font);

    // 0 while no row is selected.
    int SelectedRow() const { return m_selectedRow; }
    void SetSelectedRow(int row);

    bool Redraw() const { return m_redraw; }
    void SetRedraw(bool on);

    // Asks the view to widen the column to its content. An unknown key does nothing.
    void FitColumn(const QString& key);
    void FitColumn(int column);

    // At most one observer; nullptr detaches. The observer must detach before it dies.
    void SetObserver(GridObserver* observer) { m_observer = observer; }
    GridObserver* Observer() const { return m_observer; }

private:
    struct Column {
        QString key;
        QString header;
        QString tag;
    };
    // All defaults are zero, so a default cell is all-bits-zero.
    struct CellLook {
        uint32_t color = 0;
        uint16_t iconPlusOne = 0; // 0: no icon
    };
    // A cell's layout byte: the alignment in the low two bits, bold above them.
    static constexpr uint8_t AlignBits = 3;
    static constexpr uint8_t BoldBit = 4;

    void checkRow(int row) const {
        if (static_cast<unsigned>(row) - 1 >= static_cast<unsigned>(m_rows)) invalidRow();
    }
    void checkColumn(int column) const {
        if (static_cast<unsigned>(column) - 1 >= static_cast<unsigned>(m_columns.size())) invalidColumn();
    }
    // Inline: asked for every cell a load fills and a poster reads.
    size_t cellAt(int row, int column) const {
        checkRow(row);
        checkColumn(column);
        return static_cast<size_t>(row - 1) * m_columns.size() + static_cast<size_t>(column - 1);
    }
    [[noreturn]] static void invalidRow();
    [[noreturn]] static void invalidColumn();
    uint8_t layoutAt(int row, int column) const;
    uint8_t& layoutFor(int row, int column);
    CellLook lookAt(int row, int column) const;
    CellLook& lookFor(int row, int column);

    std::vector<Column> m_columns;
    QHash<QString, int> m_firstColumnOfKey;
    // The tables grow without moving what they hold: no doubling peak on 100,000-row loads.
    std::shared_ptr<core::TextPool> m_texts = std::make_shared<core::TextPool>();
    core::StableArray<core::TextPool::Id> m_text;
    // Each empty while every cell has its defaults: a load aligns its cells, posters colour them.
    core::StableArray<uint8_t> m_layout;
    core::StableArray<CellLook> m_looks;
    int m_rows = 0;
    int m_selectedRow = 0;
    bool m_redraw = true;
    GridObserver* m_observer = nullptr;
};

} // namespace quibo
