#include "sources/backends/SourceTable.h"

#include "sources/backends/ProviderError.h"
#include "vb/Number.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace quibo {

namespace {

// Ordering classes, lowest first.
enum class Rank { Null, Boolean, Number, Date, Text };

struct SortKey {
    Rank rank = Rank::Null;
    double number = 0;
    QDateTime date;
    QString text;
};

SortKey KeyOf(const SourceCell& cell) {
    SortKey key;
    if (const auto* b = std::get_if<bool>(&cell)) {
        key.rank = Rank::Boolean;
        key.number = *b ? 1 : 0;
    } else if (const auto* d = std::get_if<double>(&cell)) {
        key.rank = Rank::Number;
        key.number = *d;
    } else if (const auto* i = std::get_if<qint64>(&cell)) {
        key.rank = Rank::Number;
        key.number = static_cast<double>(*i);
    } else if (const auto* t = std::get_if<QDateTime>(&cell)) {
        key.rank = Rank::Date;
        key.date = *t;
    } else if (const auto* s = std::get_if<QString>(&cell)) {
        // Text files hold numbers as text; a serial-number column must still sort 9 before 10.
        if (const auto n = vb::ToNumber(*s)) {
            key.rank = Rank::Number;
            key.number = *n;
        } else {
            key.rank = Rank::Text;
            key.text = *s;
        }
    }
    return key;
}

bool Less(const SortKey& a, const SortKey& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    switch (a.rank) {
    case Rank::Null:
        return false;
    case Rank::Boolean:
    case Rank::Number:
        return a.number < b.number;
    case Rank::Date:
        return a.date < b.date;
    case Rank::Text:
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    }
    return false;
}

} // namespace

SourceTable::SourceTable(std::vector<SourceColumn> columns) : m_columns(std::move(columns)) {}

QStringList SourceTable::columnNames() const {
    QStringList names;
    names.reserve(fieldCount());
    for (const SourceColumn& c : m_columns)
        names.append(c.name);
    return names;
}

int SourceTable::columnIndex(const QString& name) const {
    for (int c = 0; c < fieldCount(); ++c)
        if (m_columns[c].name.compare(name, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

const SourceCell& SourceTable::cell(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= fieldCount())
        throw std::out_of_range("source table cell " + std::to_string(row) + "," + std::to_string(column));
    return m_cells[static_cast<size_t>(row) * m_columns.size() + static_cast<size_t>(column)];
}

QStringList SourceTable::rowTexts(int row) const {
    QStringList texts;
    texts.reserve(fieldCount());
    for (int c = 0; c < fieldCount(); ++c)
        texts.append(text(row, c));
    return texts;
}

int SourceTable::alignment(int column) const {
    return m_columns.at(column).kind == ColumnKind::Number ? AlignRight : AlignLeft;
}

QList<int> SourceTable::alignments() const {
    QList<int> codes;
    codes.reserve(fieldCount());
    for (int c = 0; c < fieldCount(); ++c)
        codes.append(alignment(c));
    return codes;
}

void SourceTable::appendRow(std::vector<SourceCell> cells) {
    cells.resize(m_columns.size());
    for (SourceCell& c : cells)
        m_cells.push_back(std::move(c));
    ++m_rows;
}

void SourceTable::addColumn(SourceColumn column) {
    const size_t width = m_columns.size();
    std::deque<SourceCell> cells;
    for (size_t r = 0; r < static_cast<size_t>(m_rows); ++r) {
        for (size_t c = 0; c < width; ++c)
            cells.push_back(std::move(m_cells[r * width + c]));
        cells.emplace_back();
    }
    m_cells = std::move(cells);
    m_columns.push_back(std::move(column));
}

void SourceTable::orderBy(const QString& column, const QString& provider) {
    const int c = columnIndex(column);
    if (c < 0) RaiseColumnNotFound(provider, column);

    std::vector<SortKey> keys;
    keys.reserve(static_cast<size_t>(m_rows));
    for (int r = 0; r < m_rows; ++r)
        keys.push_back(KeyOf(cell(r, c)));
    std::vector<int> order(static_cast<size_t>(m_rows));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Less(keys[a], keys[b]); });

    // Rows move into place cycle by cycle, so sorting needs room for one row only.
    const size_t width = m_columns.size();
    std::vector<bool> placed(order.size(), false);
    std::vector<SourceCell> held(width);
    for (size_t start = 0; start < order.size(); ++start) {
        if (placed[start] || static_cast<size_t>(order[start]) == start) continue;
        for (size_t k = 0; k < width; ++k)
            held[k] = std::move(m_cells[start * width + k]);
        size_t at = start;
        for (;;) {
            placed[at] = true;
            const size_t from = static_cast<size_t>(order[at]);
            if (from == start) break;
            for (size_t k = 0; k < width; ++k)
                m_cells[at * width + k] = std::move(m_cells[from * width + k]);
            at = from;
        }
        for (size_t k = 0; k < width; ++k)
            m_cells[at * width + k] = std::move(held[k]);
    }
}

} // namespace quibo
