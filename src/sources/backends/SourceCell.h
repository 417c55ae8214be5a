#pragma once

#include <QDateTime>
#include <QString>

#include <variant>

namespace quibo {

// One value as a source returns it: Null (std::monostate), text, a number, a
// whole number, a boolean or a date. Dates are zone-less like the vb rules'
// dates: the date and clock time as written, held as UTC.
using SourceCell = std::variant<std::monostate, QString, double, qint64, bool, QDateTime>;

inline bool IsNull(const SourceCell& cell) {
    return std::holds_alternative<std::monostate>(cell);
}

// The grid text of a cell, one rule for every backend: Null gives "", a
// boolean "True" or "False", a number its general text (vb::NumberText), a
// date "dd-MMM-yyyy" with " HH:mm:ss" appended when it has a time part (a time
// of day, on the zero date 1899-12-30, "HH:mm:ss" alone), text as it stands.
QString CellText(const SourceCell& cell);

// The name a column gets from its header cell: the cell's text, or, as Jet
// names it, "F" and the column's number (from 1) when that text is empty.
QString ColumnNameFromHeader(const SourceCell& header, int columnNumber);

} // namespace quibo
