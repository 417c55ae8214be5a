#include "localdb/RecordSet.h"

#include "vb/RuntimeError.h"

namespace quibo {

namespace {

[[noreturn]] void RaiseItemNotFound() {
    // The data provider's own text for a field name or ordinal that is not there.
    vb::Raise(vb::err::DatabaseError,
              QStringLiteral(
                  "Item cannot be found in the collection corresponding to the requested name or ordinal."));
}

} // namespace

RecordSet::RecordSet(QStringList columnNames, std::vector<QVariant> values)
    : m_columns(std::move(columnNames)), m_values(std::move(values)) {
    m_rows =
        m_columns.isEmpty() ? 0 : static_cast<int>(m_values.size() / static_cast<size_t>(m_columns.size()));
}

int RecordSet::columnIndex(QStringView name) const {
    // Callers mostly spell a column as the schema does: that match is cheap.
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        if (name == m_columns[i]) return static_cast<int>(i);
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        if (name.compare(m_columns[i], Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

const QVariant& RecordSet::value(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= columnCount()) RaiseItemNotFound();
    return m_values[static_cast<size_t>(row) * static_cast<size_t>(columnCount()) +
                    static_cast<size_t>(column)];
}

const QVariant& RecordSet::value(int row, QStringView column) const {
    const int index = columnIndex(column);
    if (index < 0) RaiseItemNotFound();
    return value(row, index);
}

} // namespace quibo
