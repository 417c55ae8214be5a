#pragma once

#include "core/LargeBlocks.h"
#include "core/TextPool.h"
#include "sources/backends/SourceCell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace quibo {

// What a column holds, as far as the source says (a database's declared type)
// or its cells show (a sheet or a text file).
enum class ColumnKind { Text, Number, Date, Boolean };

// The kind of column a cell shows: a sheet's column takes the kind its cells share.
ColumnKind CellKind(const SourceCell& cell);

// What a table read from a sheet or a text file may span. The grids hold 16,384 columns, one of them the
// status column they add to every table; and a table holds every cell of its range, so that two cells
// far apart would cost what millions of values do. A table past either is refused before it is built.
constexpr int TableColumns = 16384 - 1;
constexpr qint64 TableCells = qint64(1) << 26;

struct SourceColumn {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

// A table read from a source: named columns and rows of typed cells, row
// after row. Rows and columns count from 0.
//
// Cells are held packed, a kind and eight bytes each; text cells are numbers
// into a text pool that the source grid bound from the table goes on sharing,
// so the table's texts are not copied when it is shown.
class SourceTable {
public:
    // The alignment codes of a bound source grid column: numbers right, everything else left.
    static constexpr int AlignLeft = 1;
    static constexpr int AlignRight = 7;

    SourceTable() = default;
    explicit SourceTable(std::vector<SourceColumn> columns);

    const std::vector<SourceColumn>& columns() const { return m_columns; }
    QStringList columnNames() const;
    // The first column of that name, compared without regard to case, as Jet does; -1 when none.
    int columnIndex(const QString& name) const;

    int fieldCount() const { return static_cast<int>(m_columns.size()); }
    int recordCount() const { return m_rows; }

    // Out of range raises std::out_of_range.
    SourceCell cell(int row, int column) const;
    QString text(int row, int column) const;
    // The row's cells as grid text.
    QStringList rowTexts(int row) const;
    // The same as numbers into texts(), one per field; each distinct number's or date's text is
    // written once however often it repeats.
    void rowTextIds(int row, std::vector<core::TextPool::Id>& ids) const;
    const std::shared_ptr<core::TextPool>& texts() const { return m_texts; }

    int alignment(int column) const;
    QList<int> alignments() const;

    // Appends a row; missing trailing cells are Null, surplus ones are dropped.
    void appendRow(std::vector<SourceCell> cells);
    // Marks a Null cell among the texts appendTextRow takes.
    static constexpr core::TextPool::Id NullText = UINT32_MAX;
    // The same for a row of text cells, each given by its number in texts() or as NullText.
    void appendTextRow(const core::TextPool::Id* ids, size_t count);
    // Appends `count` rows of Null cells, for setCell to fill in any order.
    void appendNullRows(int count);
    bool isNull(int row, int column) const { return packed(cellAt(row, column)).kind == Kind::Null; }
    // A row of `count` cells (the field count) of which the texts are given by their numbers in
    // texts() and the others (Null, numbers, booleans, dates) as cells where `ids` holds NullText:
    // a reader that interns its texts from its own buffers makes no string for each.
    void appendMixedRow(const core::TextPool::Id* ids, SourceCell* cells, size_t count);
    // Marks a column whose numbers are singles (a database's REAL): each, given as the float's own
    // value, is kept in four bytes and reads back as a Single shows it (82.3, where the float's
    // bits read 82.3000030517578 as a double). Meant for a column before its first row.
    void setSingles(int column);
    // Adds a column at the right, Null in every row so far. The rows so far keep their cells where
    // they are, so that a table widened row by row costs what it holds.
    void addColumn(SourceColumn column);
    // Sets a cell of a row already there, for a sheet whose rows come in any order; false when the
    // cell held a value before (what it held stays in the table's stores: meant for places still Null).
    bool setCell(int row, int column, SourceCell cell);
    void setColumnKind(int column, ColumnKind kind) { m_columns.at(column).kind = kind; }

    // Sorts the rows by one column, ascending and stable, the way the engine
    // orders a column: Null first, then booleans, numbers (text that reads as a
    // number counts as one, so "9" comes before "10"), dates, and text compared
    // without regard to case. A column the table lacks raises the provider's
    // "No value given for one or more required parameters." error, under the
    // name of the provider the table came from.
    void orderBy(const QString& column, const QString& provider);

private:
    // A number that a float or an int32 holds exactly is kept in the cell (Float, Small), as is a
    // single of a singles column (Single) and a date at midnight (Day, by its day number); other
    // numbers are kept in m_wide (Number, Whole), other dates in m_dates (Date).
    enum class Kind : uint8_t { Null, Text, Number, Whole, Boolean, Date, Float, Small, Single, Day };
    struct Packed {
        uint32_t value = 0; // the text's id, the number's bits or index in m_wide, the date's in m_dates
        Kind kind = Kind::Null;
    };

    // Where a row's cells start, and how many it holds (fewer than the fields when it came before a
    // column was added).
    size_t rowAt(int row, size_t& held) const;
    // Where a cell is kept; Absent for a cell right of its row's, which is Null.
    static constexpr size_t Absent = SIZE_MAX;
    size_t cellAt(int row, int column) const;
    Packed packed(size_t at) const { return at == Absent ? Packed{} : Packed{m_values[at], m_kinds[at]}; }
    // Gives every row every field, for what moves or sets cells in place.
    void layOutWhole();
    Packed pack(SourceCell&& cell, size_t column);
    void push(SourceCell&& cell, size_t column);
    SourceCell unpack(const Packed& cell) const;
    double numberOf(const Packed& cell) const;
    qint64 wholeOf(const Packed& cell) const;
    core::TextPool::Id textIdOf(const Packed& cell) const;

    std::vector<SourceColumn> m_columns;
    std::shared_ptr<core::TextPool> m_texts = std::make_shared<core::TextPool>();
    // Row after row, kinds and values apart (five bytes a cell). They grow without moving what
    // they hold: no doubling peak on large tables.
    core::StableArray<Kind> m_kinds;
    core::StableArray<uint32_t> m_values;
    core::StableArray<uint64_t> m_wide; // the bits of numbers that need all 64
    std::deque<QDateTime> m_dates;
    std::vector<bool> m_singles; // by column, as far as setSingles reached
    int m_rows = 0;
    // Rows added before a column are kept at the width the table had then: each band of rows, from its
    // first, holds that many cells a row from its first cell on. None while every row has every field.
    struct Band {
        int firstRow = 0;
        size_t firstCell = 0;
        size_t width = 0;
    };
    std::vector<Band> m_bands;
    // The ids of texts written for values, by the value's 64 bits: open addressing in one array,
    // as a large table meets many values once and each look-up should cost one slot.
    class ValueTexts {
    public:
        // The id remembered for `key`, or else the one `make()` gives, remembered unless Empty.
        template <class Make> core::TextPool::Id textOf(uint64_t key, Make&& make);

    private:
        struct Slot {
            uint64_t key = 0;
            core::TextPool::Id id = core::TextPool::Empty; // Empty marks a free slot
        };
        void grow();
        std::vector<Slot> m_slots;
        size_t m_count = 0;
    };
    // The texts of the numbers and dates written so far, by value (a date by its day and clock time).
    mutable ValueTexts m_numberTexts;
    mutable ValueTexts m_singleTexts; // by the single's own bits
    mutable ValueTexts m_wholeTexts;
    mutable ValueTexts m_dateTexts;
    mutable core::TextPool::Id m_booleanTexts[2] = {}; // "False" and "True", once written
};

} // namespace quibo
