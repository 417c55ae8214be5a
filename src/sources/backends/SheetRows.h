// A worksheet's rows made into a table, and what the row scanner and the XML parser share in reading them.
#pragma once

#include "sources/backends/DateText.h"
#include "sources/backends/SheetBuilder.h"
#include "sources/backends/SourceTable.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::xlsx {

// Excel's own limits; a cell reference beyond them is not a cell.
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
// column it stops counting, at a column that is no cell.
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

// A shared string's index as std::strtoll reads it; -1 without digits, which names no string.
inline long long StringIndex(std::string_view text) {
    if (!text.empty() && text.size() <= 18) {
        long long index = 0;
        size_t i = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            index = index * 10 + (text[i++] - '0');
        if (i == text.size()) return index;
    }
    const std::string terminated(text);
    char* end = nullptr;
    const long long index = std::strtoll(terminated.c_str(), &end, 10);
    return end == terminated.c_str() ? -1 : index;
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
            return QString::fromUtf8(text, static_cast<qsizetype>(end - text));
    }
    if (isDate) {
        const QDateTime date = DateOfSerial(value, date1904);
        if (date.isValid()) return date;
    }
    return value;
}

// A worksheet's cells made into a table as SheetBuilder makes them (the same range, header, empty rows
// and column kinds), a row at a time as the part is read: rows that come in order go into the table as
// they end, so a sheet's cells are not held twice. Rows out of order, or a cell left of the columns so
// far, are rare; from there on the cells go through a SheetBuilder, with the rows read before.
class SheetRows {
public:
    // A row's cells as written, none of them Null; a later cell of a column replaces an earlier one.
    using Cells = std::vector<std::pair<int, SourceCell>>;

    void add(int row, Cells& cells) {
        if (m_builder) {
            for (auto& [column, value] : cells)
                m_builder->set(row, column, std::move(value));
            return;
        }
        if (cells.empty()) return;
        int low = cells.front().first;
        int high = low;
        for (const auto& [column, value] : cells) {
            low = std::min(low, column);
            high = std::max(high, column);
        }
        if (m_headerRow < 0) {
            start(row, low, high, cells);
            return;
        }
        if (row <= m_lastRow || low < m_first) {
            toBuilder();
            add(row, cells);
            return;
        }
        if (high >= m_first + width()) {
            // Each column added moves every cell so far: done while that is little, otherwise by the builder.
            const qint64 wider = high - m_first + 1;
            if (qint64(m_table.recordCount()) * wider * (wider - width()) > WidenLimit) {
                toBuilder();
                add(row, cells);
                return;
            }
            for (int c = width(); c <= high - m_first; ++c)
                m_table.addColumn({ColumnNameFromHeader(SourceCell{}, c + 1), ColumnKind::Text});
            m_header.resize(static_cast<size_t>(high - m_first + 1));
            m_kinds.resize(m_header.size(), -1);
        }
        for (; m_lastRow + 1 < row; ++m_lastRow)
            m_table.appendRow({});
        std::vector<SourceCell> values(m_header.size());
        for (auto& [column, value] : cells)
            values[static_cast<size_t>(column - m_first)] = std::move(value);
        for (size_t c = 0; c < values.size(); ++c) {
            if (IsNull(values[c])) continue;
            const int kind = static_cast<int>(CellKind(values[c]));
            int& seen = m_kinds[c];
            seen = seen == -1 ? kind : (seen == kind ? seen : -2);
        }
        m_table.appendRow(std::move(values));
        m_lastRow = row;
    }

    SourceTable finish() {
        if (m_builder) return m_builder->finish();
        if (m_headerRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
        for (size_t c = 0; c < m_kinds.size(); ++c)
            if (m_kinds[c] >= 0)
                m_table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(m_kinds[c]));
        return std::move(m_table);
    }

private:
    static constexpr qint64 WidenLimit = qint64(1) << 16; // cells moved

    int width() const { return static_cast<int>(m_header.size()); }

    // The first row with a value names the columns.
    void start(int row, int low, int high, Cells& cells) {
        m_headerRow = m_lastRow = row;
        m_first = low;
        m_header.assign(static_cast<size_t>(high - low + 1), SourceCell{});
        for (auto& [column, value] : cells)
            m_header[static_cast<size_t>(column - low)] = std::move(value);
        std::vector<SourceColumn> columns;
        columns.reserve(m_header.size());
        for (size_t c = 0; c < m_header.size(); ++c)
            columns.push_back({ColumnNameFromHeader(m_header[c], static_cast<int>(c) + 1), ColumnKind::Text});
        m_table = SourceTable(std::move(columns));
        m_kinds.assign(m_header.size(), -1);
    }

    void toBuilder() {
        m_builder = std::make_unique<SheetBuilder>();
        for (int c = 0; c < width(); ++c)
            m_builder->set(m_headerRow, m_first + c, std::move(m_header[static_cast<size_t>(c)]));
        for (int r = 0; r < m_table.recordCount(); ++r)
            for (int c = 0; c < width(); ++c)
                m_builder->set(m_headerRow + 1 + r, m_first + c, m_table.cell(r, c));
        m_table = SourceTable();
    }

    std::unique_ptr<SheetBuilder> m_builder; // once rows stop coming in order
    SourceTable m_table;
    std::vector<SourceCell> m_header; // the first row with a value, from column m_first
    std::vector<int> m_kinds;         // each column's kind so far; -1: no value yet, -2: mixed
    int m_headerRow = -1;
    int m_lastRow = -1; // the last row in the table
    int m_first = 0;
};

} // namespace quibo::xlsx
