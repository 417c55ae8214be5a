#pragma once

#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <vector>

namespace quibo {

// The rows a query returned, read in full before the statement is released.
// A value is a null QVariant for SQL Null, a QString for text, qlonglong or
// double for numbers.
class RecordSet {
public:
    RecordSet() = default;
    // `values` holds the rows one after the other, each of columnNames.size() values.
    RecordSet(QStringList columnNames, std::vector<QVariant> values);

    int rowCount() const { return m_rows; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    bool isEmpty() const { return m_rows == 0; }
    // As the engine reports them: the declared names for "Select *", the alias for "as".
    const QStringList& columnNames() const { return m_columns; }
    // Matched without regard to case; -1 when the result has no such column.
    int columnIndex(QStringView name) const;

    // An unknown column or a row or column out of range raises DatabaseError.
    const QVariant& value(int row, int column) const;
    const QVariant& value(int row, QStringView column) const;

private:
    QStringList m_columns;
    std::vector<QVariant> m_values;
    int m_rows = 0;
};

} // namespace quibo
