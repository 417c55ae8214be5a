#pragma once

#include "sources/backends/SourceCell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace quibo {

// What a column holds, as far as the source says (a database's declared type)
// or its cells show (a sheet or a text file).
enum class ColumnKind { Text, Number, Date, Boolean };

struct SourceColumn {
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

// A table read from a source: named columns and rows of typed cells, row
// after row. Rows and columns count from 0.
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
    const SourceCell& cell(int row, int column) const;
    QString text(int row, int column) const { return CellText(cell(row, column)); }
    // The row's cells as grid text.
    QStringList rowTexts(int row) const;

    int alignment(int column) const;
    QList<int> alignments() const;

    // Appends a row; missing trailing cells are Null, surplus ones are dropped.
    void appendRow(std::vector<SourceCell> cells);
    // Adds a column at the right, Null in every row so far.
    void addColumn(SourceColumn column);
    void setColumnKind(int column, ColumnKind kind) { m_columns.at(column).kind = kind; }

    // Sorts the rows by one column, ascending and stable, the way the engine
    // orders a column: Null first, then booleans, numbers (text that reads as a
    // number counts as one, so "9" comes before "10"), dates, and text compared
    // without regard to case. A column the table lacks raises the provider's
    // "No value given for one or more required parameters." error, under the
    // name of the provider the table came from.
    void orderBy(const QString& column, const QString& provider);

private:
    std::vector<SourceColumn> m_columns;
    // Row after row. A deque grows without moving what it holds: no doubling peak on large tables.
    std::deque<SourceCell> m_cells;
    int m_rows = 0;
};

} // namespace quibo
