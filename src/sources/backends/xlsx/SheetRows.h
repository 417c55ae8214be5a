// A worksheet's rows made into a table, and what the row scanner and the XML parser share in reading them.
#pragma once

#include "core/Utf8Text.h"
#include "sources/backends/DateText.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/SourceTable.h"
#include "sources/backends/xlsx/XlsxPackage.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::xlsx {

// Excel's own limits; a row or cell beyond them marks a damaged sheet.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

// The worksheet being read and what its cells refer to.
struct SheetContext {
    const QString& path;
    const std::string& part;
    const std::vector<QString>& sharedStrings;
    const std::vector<char>& dateStyles;
    bool date1904;
};

// The column of a reference: "AB12" gives 27 (from 0); -1 without letters. Past Excel's last
// column it stops counting, at a column past MaxColumns.
inline int ColumnOf(std::string_view ref) {
    int c = 0;
    size_t i = 0;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        c = c * 26 + ((ref[i] | 0x20) - 'a' + 1);
        if (c > MaxColumns) break;
        ++i;
    }
    return i == 0 ? -1 : c - 1;
}

// Reads the plain decimals a sheet writes ("-12", "1234.5") exactly as std::from_chars would: up to
// 2^53 as a whole number over a power of ten up to 10^22 is one correctly rounded division. Anything
// else (an exponent, more digits, no digits) is left to std::from_chars.
inline bool PlainDecimal(const char* text, const char* end, double& value, const char*& stop) {
    static constexpr double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = text;
    const bool negative = p < end && *p == '-';
    p += negative;
    quint64 mantissa = 0;
    int digits = 0;
    int fraction = 0;
    while (p < end && *p >= '0' && *p <= '9' && digits < 19) {
        mantissa = mantissa * 10 + static_cast<quint64>(*p++ - '0');
        ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9' && digits < 19) {
            mantissa = mantissa * 10 + static_cast<quint64>(*p++ - '0');
            ++digits;
            ++fraction;
        }
    }
    if (digits == 0 || mantissa > (quint64(1) << 53) || fraction > 22) return false;
    if (p < end && ((*p >= '0' && *p <= '9') || *p == 'e' || *p == 'E' || *p == '.')) return false;
    const double magnitude = static_cast<double>(mantissa) / Powers[fraction];
    value = negative ? -magnitude : magnitude;
    stop = p;
    return true;
}

// A number's value element; blanks alone are no value.
inline SourceCell NumberCell(std::string_view v, bool isDate, bool date1904) {
    const char* text = v.data();
    const char* end = text + v.size();
    while (text < end && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n'))
        ++text;
    if (text == end) return {};
    double value = 0;
    const char* ptr = nullptr;
    if (!PlainDecimal(text, end, value, ptr)) {
        const std::from_chars_result parsed = std::from_chars(text, end, value);
        if (parsed.ec != std::errc() || parsed.ptr == text)
            return core::Utf8Text(text, static_cast<size_t>(end - text));
    }
    if (isDate) {
        const QDateTime date = DateOfSerial(value, date1904);
        if (date.isValid()) return date;
    }
    return value;
}

// A column's letters, "A" for 0, "AA" for 26.
inline QString ColumnLetters(int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QLatin1Char(static_cast<char>('A' + (c - 1) % 26)));
    return letters;
}

// A worksheet's cells made into a table as SheetBuilder makes them (the same range, header, empty rows
// and column kinds), a row at a time as the part is read: rows that come in order go into the table as
// they end, so a sheet's cells are not held twice, and a cell right of the columns so far adds columns,
// which moves no cell. Rows out of order or a cell left of the columns so far are rare: from there on
// the reading only finds the range, and a second reading sets each cell into a table of that range laid
// out whole. Either way the table is built only for a range within TableColumns and TableCells, and
// costs what that range holds.
class SheetRows {
public:
    // A row's cells as written, none of them Null; a later cell of a column replaces an earlier one.
    using Cells = std::vector<std::pair<int, SourceCell>>;

    // `path` and `sheet` name the sheet when its range is refused.
    SheetRows(QString path, QString sheet) : m_path(std::move(path)), m_sheet(std::move(sheet)) {}

    void add(int row, Cells& cells) {
        if (cells.empty()) return;
        if (m_mode == Mode::Fill) return fill(row, cells);
        int low = cells.front().first;
        int high = low;
        for (const auto& [column, value] : cells) {
            low = std::min(low, column);
            high = std::max(high, column);
        }
        if (m_mode == Mode::Measure) return measure(row, low, high, cells);
        if (m_headerRow < 0) {
            if (high - low + 1 > TableColumns) return measure(row, low, high, cells);
            start(row, low, high, cells);
            return;
        }
        if (row <= m_lastRow || low < m_first) return toMeasure(row, low, high, cells);
        const int wider = std::max(width(), high - m_first + 1);
        if (wider > TableColumns || qint64(row - m_headerRow + 1) * wider > TableCells)
            return toMeasure(row, low, high, cells);
        if (wider > width()) {
            for (int c = width(); c < wider; ++c)
                m_table.addColumn({ColumnNameFromHeader(SourceCell{}, c + 1), ColumnKind::Text});
            m_header.resize(static_cast<size_t>(wider));
            m_kinds.resize(m_header.size(), -1);
        }
        for (; m_lastRow + 1 < row; ++m_lastRow)
            m_table.appendTextRow(nullptr, 0);
        std::vector<SourceCell> values(m_header.size());
        for (auto& [column, value] : cells)
            values[static_cast<size_t>(column - m_first)] = std::move(value);
        for (size_t c = 0; c < values.size(); ++c)
            if (!IsNull(values[c])) seen(c, values[c]);
        m_table.appendRow(std::move(values));
        m_lastRow = row;
    }

    // A row or a column past the sheet's own (Excel's) bounds: the sheet is damaged, and a record there
    // would be lost.
    [[noreturn]] void refuseDamaged() const {
        const QString name = m_sheet.endsWith(QLatin1Char('$')) ? m_sheet.chopped(1) : m_sheet;
        sourcefile::RaiseBroken(m_path,
                                QStringLiteral("is damaged: its sheet \"%1\" could not be read.").arg(name));
    }

    // Whether the sheet must be read once more, its range now known.
    bool needsSecondReading() const { return m_mode == Mode::Measure; }

    // Before the second reading: refuses a range past the limits, naming the sheet and its range;
    // else lays out the table of the range, every cell Null but the header's.
    void startSecondReading() {
        const int columns = m_last - m_first + 1;
        const qint64 rows = qint64(m_lastRow) - m_headerRow + 1;
        if (columns > TableColumns || rows * columns > TableCells) {
            const QString range = ColumnLetters(m_first) + QString::number(m_headerRow + 1) +
                                  QLatin1Char(':') + ColumnLetters(m_last) + QString::number(m_lastRow + 1);
            sourcefile::RaiseBroken(
                m_path, QStringLiteral("cannot be loaded: its sheet \"%1\" spans %2, %3 by %4 columns; a "
                                       "sheet may span at most %5 columns, as the grid adds one of its own, "
                                       "and %6 cells.")
                            .arg(m_sheet, range,
                                 rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows),
                                 QString::number(columns), QString::number(TableColumns),
                                 QString::number(TableCells)));
        }
        m_header.assign(static_cast<size_t>(columns), SourceCell{});
        for (auto& [column, value] : m_headerCells)
            m_header[static_cast<size_t>(column - m_first)] = std::move(value);
        Cells().swap(m_headerCells);
        layOut();
        for (int r = m_headerRow + 1; r <= m_lastRow; ++r)
            m_table.appendTextRow(nullptr, 0);
        m_mode = Mode::Fill;
    }

    SourceTable finish() {
        if (m_headerRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
        if (m_replaced) {
            // A cell written twice may have left its first value's kind behind: the kinds anew.
            m_kinds.assign(m_header.size(), -1);
            for (int r = 0; r < m_table.recordCount(); ++r)
                for (size_t c = 0; c < m_kinds.size(); ++c)
                    if (const SourceCell value = m_table.cell(r, static_cast<int>(c)); !IsNull(value))
                        seen(c, value);
        }
        for (size_t c = 0; c < m_kinds.size(); ++c)
            if (m_kinds[c] >= 0)
                m_table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(m_kinds[c]));
        return std::move(m_table);
    }

private:
    // Rows in order into the table; the range alone; the cells into the table of a known range.
    enum class Mode { InOrder, Measure, Fill };

    int width() const { return static_cast<int>(m_header.size()); }

    void seen(size_t column, const SourceCell& value) {
        const int kind = static_cast<int>(CellKind(value));
        int& kindSoFar = m_kinds[column];
        kindSoFar = kindSoFar == -1 ? kind : (kindSoFar == kind ? kindSoFar : -2);
    }

    // The table of columns named by m_header, without rows.
    void layOut() {
        std::vector<SourceColumn> columns;
        columns.reserve(m_header.size());
        for (size_t c = 0; c < m_header.size(); ++c)
            columns.push_back({ColumnNameFromHeader(m_header[c], static_cast<int>(c) + 1), ColumnKind::Text});
        m_table = SourceTable(std::move(columns));
        m_kinds.assign(m_header.size(), -1);
    }

    // The first row with a value names the columns.
    void start(int row, int low, int high, Cells& cells) {
        m_headerRow = m_lastRow = row;
        m_first = low;
        m_header.assign(static_cast<size_t>(high - low + 1), SourceCell{});
        for (auto& [column, value] : cells)
            m_header[static_cast<size_t>(column - low)] = std::move(value);
        layOut();
    }

    // From the rows in order to the range alone: the table goes, the header's cells stay.
    void toMeasure(int row, int low, int high, Cells& cells) {
        m_last = m_first + width() - 1;
        for (int c = 0; c < width(); ++c)
            if (!IsNull(m_header[static_cast<size_t>(c)]))
                m_headerCells.emplace_back(m_first + c, std::move(m_header[static_cast<size_t>(c)]));
        std::vector<SourceCell>().swap(m_header);
        m_table = SourceTable();
        measure(row, low, high, cells);
    }

    void measure(int row, int low, int high, Cells& cells) {
        m_mode = Mode::Measure;
        if (m_headerRow < 0 || row < m_headerRow) {
            if (m_headerRow < 0) {
                m_first = low;
                m_last = high;
                m_lastRow = row;
            }
            m_headerRow = row;
            m_headerCells.clear();
        }
        if (row == m_headerRow)
            for (auto& cell : cells)
                m_headerCells.push_back(std::move(cell));
        m_lastRow = std::max(m_lastRow, row);
        m_first = std::min(m_first, low);
        m_last = std::max(m_last, high);
    }

    void fill(int row, Cells& cells) {
        // The header row was kept whole by the first reading.
        if (row <= m_headerRow || row > m_lastRow) return;
        for (auto& [column, value] : cells) {
            if (column < m_first || column > m_last) continue;
            const size_t c = static_cast<size_t>(column - m_first);
            seen(c, value);
            if (!m_table.setCell(row - m_headerRow - 1, static_cast<int>(c), std::move(value)))
                m_replaced = true;
        }
    }

    QString m_path;
    QString m_sheet;
    Mode m_mode = Mode::InOrder;
    SourceTable m_table;
    std::vector<SourceCell> m_header; // the first row with a value, from column m_first
    std::vector<int> m_kinds;         // each column's kind so far; -1: no value yet, -2: mixed
    Cells m_headerCells;              // while the range is found: the cells of its first row so far
    int m_headerRow = -1;
    int m_lastRow = -1; // the last row in the table, or of the range
    int m_first = 0;
    int m_last = 0; // the range's last column, once the rows stopped coming in order
    bool m_replaced = false;
};

// A cell as written, whichever reader took it apart: its type (t; empty when absent), its value
// element's text and its inline string's text, each as the XML parser gives it, and its style (s;
// 0 when absent).
struct CellParts {
    std::string_view type;
    bool hasValue = false;
    std::string_view value;
    bool hasItem = false;
    std::string_view item;
    int style = 0;
};

// Compares a name or value with a literal; inlined, where std::string_view's == calls memcmp.
template <size_t N> bool Equals(std::string_view text, const char (&literal)[N]) {
    if (text.size() != N - 1) return false;
    for (size_t i = 0; i + 1 < N; ++i)
        if (text[i] != literal[i]) return false;
    return true;
}

// A shared string's place in the table: decimal digits, blanks around them allowed; -1 for blanks
// alone, which are no value; -2 for anything else, which names no string.
inline long long StringIndex(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t i = 0, end = text.size();
    while (i < end && blank(text[i]))
        ++i;
    while (end > i && blank(text[end - 1]))
        --end;
    if (i == end) return -1;
    if (end - i > 18) return -2;
    long long index = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return -2;
        index = index * 10 + (text[i] - '0');
    }
    return index;
}

// The one rule of a cell's value, for the row scanner and the XML parser alike. A value element
// without digits, or none, is an empty cell whatever the type, as is an error value. A shared string
// that is not a place within the table refuses the sheet: its text would be lost.
inline SourceCell CellValue(const CellParts& cell, const SheetContext& context, const SheetRows& sheet) {
    const std::string_view type = cell.type;
    const std::string_view v = cell.value;
    if (Equals(type, "s")) {
        if (!cell.hasValue) return {};
        const long long i = StringIndex(v);
        if (i == -1) return {};
        if (i < 0 || static_cast<size_t>(i) >= context.sharedStrings.size()) sheet.refuseDamaged();
        return context.sharedStrings[static_cast<size_t>(i)];
    }
    if (Equals(type, "inlineStr")) return cell.hasItem ? DecodeText(cell.item) : SourceCell{};
    if (!cell.hasValue || v.empty() || Equals(type, "e")) return {};
    if (Equals(type, "str")) return DecodeText(v);
    if (Equals(type, "b")) return Equals(v, "1") || Equals(v, "true");
    if (Equals(type, "d")) {
        const QString text = core::Utf8Text(v.data(), v.size());
        const QDateTime date = ParseDateText(text, SecondFraction::Rounded);
        if (!date.isValid()) return text;
        return date;
    }
    const int style = cell.style;
    const bool isDate = style >= 0 && static_cast<size_t>(style) < context.dateStyles.size() &&
                        context.dateStyles[static_cast<size_t>(style)];
    return NumberCell(v, isDate, context.date1904);
}

} // namespace quibo::xlsx
