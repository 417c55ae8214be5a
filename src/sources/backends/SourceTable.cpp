#include "sources/backends/SourceTable.h"

#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/ProviderError.h"
#include "vb/Number.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace quibo {

ColumnKind CellKind(const SourceCell& cell) {
    if (std::holds_alternative<double>(cell) || std::holds_alternative<qint64>(cell))
        return ColumnKind::Number;
    if (std::holds_alternative<QDateTime>(cell)) return ColumnKind::Date;
    if (std::holds_alternative<bool>(cell)) return ColumnKind::Boolean;
    return ColumnKind::Text;
}

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

size_t SourceTable::rowAt(int row, size_t& held) const {
    held = m_columns.size();
    if (m_bands.empty()) return static_cast<size_t>(row) * held;
    const auto band = std::prev(std::upper_bound(m_bands.begin(), m_bands.end(), row,
                                                 [](int r, const Band& b) { return r < b.firstRow; }));
    held = band->width;
    return band->firstCell + static_cast<size_t>(row - band->firstRow) * band->width;
}

size_t SourceTable::cellAt(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= fieldCount())
        throw std::out_of_range("source table cell " + std::to_string(row) + "," + std::to_string(column));
    size_t held = 0;
    const size_t first = rowAt(row, held);
    return static_cast<size_t>(column) < held ? first + static_cast<size_t>(column) : Absent;
}

SourceCell SourceTable::cell(int row, int column) const {
    return unpack(packed(cellAt(row, column)));
}

QString SourceTable::text(int row, int column) const {
    return m_texts->text(textIdOf(packed(cellAt(row, column))));
}

QStringList SourceTable::rowTexts(int row) const {
    QStringList texts;
    texts.reserve(fieldCount());
    for (int c = 0; c < fieldCount(); ++c)
        texts.append(text(row, c));
    return texts;
}

void SourceTable::rowTextIds(int row, std::vector<core::TextPool::Id>& ids) const {
    ids.clear();
    if (fieldCount() == 0) return;
    cellAt(row, 0); // checks the row
    size_t held = 0;
    const size_t first = rowAt(row, held);
    for (size_t at = first; at < first + held; ++at)
        ids.push_back(textIdOf(packed(at)));
    ids.resize(m_columns.size(), core::TextPool::Empty);
}

void SourceTable::push(SourceCell&& cell, size_t column) {
    const Packed p = pack(std::move(cell), column);
    m_kinds.push_back(p.kind);
    m_values.push_back(p.value);
}

void SourceTable::appendNullRows(int count) {
    if (count <= 0) return;
    const size_t cells = m_kinds.size() + static_cast<size_t>(count) * m_columns.size();
    m_kinds.resize(cells, Kind::Null);
    m_values.resize(cells, 0);
    m_rows += count;
}

void SourceTable::setSingles(int column) {
    if (column < 0 || column >= fieldCount()) return;
    if (m_singles.size() <= size_t(column)) m_singles.resize(size_t(column) + 1, false);
    m_singles[size_t(column)] = true;
}

SourceTable::Packed SourceTable::pack(SourceCell&& cell, size_t column) {
    Packed p;
    if (auto* s = std::get_if<QString>(&cell)) {
        p = {m_texts->intern(*s), Kind::Text};
    } else if (const auto* d = std::get_if<double>(&cell)) {
        // Amounts such as 12.5 or 3 fit a float exactly (-0 too, sign kept); NaN and values beyond
        // a float's range stay wide.
        const bool narrow = std::fabs(*d) <= std::numeric_limits<float>::max() &&
                            static_cast<double>(static_cast<float>(*d)) == *d;
        if (narrow) {
            const bool single = column < m_singles.size() && m_singles[column];
            p = {std::bit_cast<uint32_t>(static_cast<float>(*d)), single ? Kind::Single : Kind::Float};
        } else {
            p = {static_cast<uint32_t>(m_wide.size()), Kind::Number};
            m_wide.push_back(std::bit_cast<uint64_t>(*d));
        }
    } else if (const auto* i = std::get_if<qint64>(&cell)) {
        if (*i >= std::numeric_limits<int32_t>::min() && *i <= std::numeric_limits<int32_t>::max()) {
            p = {static_cast<uint32_t>(static_cast<int32_t>(*i)), Kind::Small};
        } else {
            p = {static_cast<uint32_t>(m_wide.size()), Kind::Whole};
            m_wide.push_back(static_cast<uint64_t>(*i));
        }
    } else if (const auto* b = std::get_if<bool>(&cell)) {
        p = {*b ? 1u : 0u, Kind::Boolean};
    } else if (auto* t = std::get_if<QDateTime>(&cell)) {
        // Most dates of a table are days: their day number is all they need.
        const qint64 day = t->date().toJulianDay();
        if (t->isValid() && t->timeSpec() == Qt::UTC && t->time().msecsSinceStartOfDay() == 0 &&
            day >= std::numeric_limits<int32_t>::min() && day <= std::numeric_limits<int32_t>::max())
            return {static_cast<uint32_t>(static_cast<int32_t>(day)), Kind::Day};
        p = {static_cast<uint32_t>(m_dates.size()), Kind::Date};
        m_dates.push_back(std::move(*t));
    }
    return p;
}

bool SourceTable::setCell(int row, int column, SourceCell cell) {
    size_t at = cellAt(row, column);
    if (at == Absent) {
        layOutWhole();
        at = cellAt(row, column);
    }
    const bool wasNull = m_kinds[at] == Kind::Null;
    const Packed p = pack(std::move(cell), static_cast<size_t>(column));
    m_kinds[at] = p.kind;
    m_values[at] = p.value;
    return wasNull;
}

double SourceTable::numberOf(const Packed& cell) const {
    if (cell.kind == Kind::Float) return static_cast<double>(std::bit_cast<float>(cell.value));
    if (cell.kind == Kind::Single) return SingleValue(std::bit_cast<float>(cell.value));
    return std::bit_cast<double>(m_wide[cell.value]);
}

qint64 SourceTable::wholeOf(const Packed& cell) const {
    if (cell.kind == Kind::Small) return static_cast<int32_t>(cell.value);
    return static_cast<qint64>(m_wide[cell.value]);
}

SourceCell SourceTable::unpack(const Packed& cell) const {
    switch (cell.kind) {
    case Kind::Null:
        return {};
    case Kind::Text:
        return m_texts->text(static_cast<core::TextPool::Id>(cell.value));
    case Kind::Number:
    case Kind::Float:
    case Kind::Single:
        return numberOf(cell);
    case Kind::Whole:
    case Kind::Small:
        return wholeOf(cell);
    case Kind::Boolean:
        return cell.value != 0;
    case Kind::Date:
        return m_dates[cell.value];
    case Kind::Day:
        return QDateTime(QDate::fromJulianDay(static_cast<int32_t>(cell.value)), QTime(0, 0), Qt::UTC);
    }
    return {};
}

namespace {

// Spreads a value's bits over the low ones, which pick its slot: neighbouring amounts differ in
// their middle bits only.
uint64_t Spread(uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return key;
}

} // namespace

template <class Make> core::TextPool::Id SourceTable::ValueTexts::textOf(uint64_t key, Make&& make) {
    // At most half full, so a look-up ends soon.
    if (2 * (m_count + 1) > m_slots.size()) grow();
    const size_t mask = m_slots.size() - 1;
    size_t at = Spread(key) & mask;
    for (; m_slots[at].id != core::TextPool::Empty; at = (at + 1) & mask)
        if (m_slots[at].key == key) return m_slots[at].id;
    const core::TextPool::Id id = make();
    if (id != core::TextPool::Empty) {
        m_slots[at] = {key, id};
        ++m_count;
    }
    return id;
}

void SourceTable::ValueTexts::grow() {
    std::vector<Slot> old(std::max<size_t>(1024, 2 * m_slots.size()));
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.id == core::TextPool::Empty) continue;
        size_t at = Spread(slot.key) & mask;
        while (m_slots[at].id != core::TextPool::Empty)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

core::TextPool::Id SourceTable::textIdOf(const Packed& cell) const {
    // Each distinct value's text is made once: a large table repeats its numbers and dates often.
    auto remembered = [&](ValueTexts& texts, auto key) {
        return texts.textOf(static_cast<uint64_t>(key),
                            [&] { return m_texts->intern(CellText(unpack(cell))); });
    };
    switch (cell.kind) {
    case Kind::Null:
        return core::TextPool::Empty;
    case Kind::Text:
        return static_cast<core::TextPool::Id>(cell.value);
    case Kind::Number:
    case Kind::Float:
        return remembered(m_numberTexts, std::bit_cast<uint64_t>(numberOf(cell)));
    case Kind::Single:
        return remembered(m_singleTexts, cell.value);
    case Kind::Whole:
    case Kind::Small:
        return remembered(m_wholeTexts, wholeOf(cell));
    case Kind::Boolean: {
        core::TextPool::Id& id = m_booleanTexts[cell.value != 0];
        if (id == core::TextPool::Empty) id = m_texts->intern(cell.value ? u"True" : u"False");
        return id;
    }
    case Kind::Date: {
        const QDateTime& date = m_dates[cell.value];
        if (!date.isValid()) return core::TextPool::Empty;
        // The text shows the date and clock time as held, whatever instant they name.
        return remembered(m_dateTexts,
                          date.date().toJulianDay() * 86'400'000 + date.time().msecsSinceStartOfDay());
    }
    case Kind::Day:
        return remembered(m_dateTexts, qint64(static_cast<int32_t>(cell.value)) * 86'400'000);
    }
    return core::TextPool::Empty;
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
    for (size_t c = 0; c < cells.size(); ++c)
        push(std::move(cells[c]), c);
    ++m_rows;
}

void SourceTable::appendTextRow(const core::TextPool::Id* ids, size_t count) {
    const size_t width = m_columns.size();
    const size_t given = std::min(count, width);
    // A few cells at a time go in at once, rather than one by one into each array.
    constexpr size_t Run = 64;
    Kind kinds[Run];
    uint32_t values[Run];
    for (size_t from = 0; from < given; from += Run) {
        const size_t n = std::min(Run, given - from);
        for (size_t c = 0; c < n; ++c) {
            const core::TextPool::Id id = ids[from + c];
            kinds[c] = id == NullText ? Kind::Null : Kind::Text;
            values[c] = id == NullText ? 0 : id;
        }
        m_kinds.append(kinds, n);
        m_values.append(values, n);
    }
    m_kinds.resize(m_kinds.size() + width - given, Kind::Null);
    m_values.resize(m_values.size() + width - given, 0);
    ++m_rows;
}

void SourceTable::appendMixedRow(const core::TextPool::Id* ids, SourceCell* cells, size_t count) {
    // A few cells at a time go in at once, rather than one by one into each array.
    constexpr size_t Run = 64;
    Kind kinds[Run];
    uint32_t values[Run];
    const size_t width = m_columns.size();
    for (size_t from = 0; from < width; from += Run) {
        const size_t n = std::min(Run, width - from);
        for (size_t k = 0; k < n; ++k) {
            const size_t c = from + k;
            Packed p; // Null where the row is short
            if (c < count) p = ids[c] == NullText ? pack(std::move(cells[c]), c) : Packed{ids[c], Kind::Text};
            kinds[k] = p.kind;
            values[k] = p.value;
        }
        m_kinds.append(kinds, n);
        m_values.append(values, n);
    }
    ++m_rows;
}

void SourceTable::addColumn(SourceColumn column) {
    const size_t width = m_columns.size() + 1;
    if (m_rows > 0) {
        if (m_bands.empty()) m_bands.push_back({0, 0, m_columns.size()});
        if (m_bands.back().firstRow == m_rows)
            m_bands.back().width = width; // no row since the last column added
        else
            m_bands.push_back({m_rows, m_kinds.size(), width});
    }
    m_columns.push_back(std::move(column));
}

void SourceTable::layOutWhole() {
    if (m_bands.empty()) return;
    const size_t width = m_columns.size();
    m_kinds.resize(static_cast<size_t>(m_rows) * width, Kind::Null);
    m_values.resize(m_kinds.size(), 0);
    // Each row moves right, or stays: from the last row back, no cell lands on one not yet moved.
    size_t band = m_bands.size() - 1;
    for (int r = m_rows - 1; r >= 0; --r) {
        while (m_bands[band].firstRow > r)
            --band;
        const Band& b = m_bands[band];
        const size_t from = b.firstCell + static_cast<size_t>(r - b.firstRow) * b.width;
        const size_t to = static_cast<size_t>(r) * width;
        for (size_t c = width; c-- > b.width;) {
            m_kinds[to + c] = Kind::Null;
            m_values[to + c] = 0;
        }
        for (size_t c = b.width; c-- > 0;) {
            m_kinds[to + c] = m_kinds[from + c];
            m_values[to + c] = m_values[from + c];
        }
    }
    m_bands.clear();
}

void SourceTable::orderBy(const QString& column, const QString& provider) {
    const int c = columnIndex(column);
    if (c < 0) RaiseColumnNotFound(provider, column);
    layOutWhole();

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
    std::vector<Packed> held(width);
    for (size_t start = 0; start < order.size(); ++start) {
        if (placed[start] || static_cast<size_t>(order[start]) == start) continue;
        for (size_t k = 0; k < width; ++k)
            held[k] = packed(start * width + k);
        size_t at = start;
        for (;;) {
            placed[at] = true;
            const size_t from = static_cast<size_t>(order[at]);
            if (from == start) break;
            for (size_t k = 0; k < width; ++k) {
                m_kinds[at * width + k] = m_kinds[from * width + k];
                m_values[at * width + k] = m_values[from * width + k];
            }
            at = from;
        }
        for (size_t k = 0; k < width; ++k) {
            m_kinds[at * width + k] = held[k].kind;
            m_values[at * width + k] = held[k].value;
        }
    }
}

} // namespace quibo
