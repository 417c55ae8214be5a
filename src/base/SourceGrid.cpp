#include "base/SourceGrid.h"

#include "base/GridObserver.h"
#include "vb/RuntimeError.h"

#include <algorithm>
#include <utility>

namespace quibo {

namespace {

constexpr int32_t InvalidPropertyValue = 380;
constexpr int32_t InvalidPropertyArrayIndex = 381;

[[noreturn]] void tooMany(const char* what, int most) {
    vb::Raise(vb::err::OutOfMemory, QStringLiteral("The grid holds at most %1 %2; the table has more.")
                                        .arg(most)
                                        .arg(QLatin1String(what)));
}

} // namespace

void SourceGrid::invalidRow() {
    vb::Raise(InvalidPropertyArrayIndex, QStringLiteral("Invalid Row value"));
}

void SourceGrid::invalidColumn() {
    vb::Raise(InvalidPropertyArrayIndex, QStringLiteral("Invalid Col value"));
}

SourceGrid::SourceGrid()
    : m_texts(std::make_shared<core::TextPool>()), m_alignments(2, 0), m_rows(2), m_cols(2) {
    m_cells.resize(4, core::TextPool::Empty);
}

void SourceGrid::SetRows(int rows) {
    if (rows < 1) invalidRow();
    if (rows > MaxRows) tooMany("rows", MaxRows);
    const int oldRows = m_rows;
    if (rows == oldRows) return;
    m_cells.resize(static_cast<size_t>(rows) * static_cast<size_t>(m_cols), core::TextPool::Empty);
    m_rows = rows;
    if (!m_observer) return;
    if (rows > oldRows)
        m_observer->rowsAppended(oldRows, rows - 1);
    else
        m_observer->gridReset();
}

void SourceGrid::SetCols(int cols) {
    if (cols < 0) invalidColumn();
    if (cols > MaxColumns) tooMany("columns", MaxColumns);
    const int oldCols = m_cols;
    if (cols == oldCols) return;
    std::vector<core::TextPool::Id> resized;
    resized.reserve(static_cast<size_t>(m_rows) * static_cast<size_t>(cols));
    size_t from = 0;
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < oldCols; ++c, ++from)
            if (c < cols) resized.push_back(m_cells[from]);
        if (cols > oldCols)
            resized.resize(resized.size() + static_cast<size_t>(cols - oldCols), core::TextPool::Empty);
    }
    m_cells = std::move(resized);
    m_alignments.resize(cols, 0);
    m_cols = cols;
    if (!m_observer) return;
    if (cols > oldCols)
        m_observer->columnsAppended(oldCols, cols - 1);
    else
        m_observer->gridReset();
}

void SourceGrid::SetTextMatrix(int row, int column, const QString& text) {
    SetTextId(row, column, m_texts->intern(text));
}

void SourceGrid::RowTextIds(int row, int column, int count, core::TextPool::Id* ids) const {
    if (count <= 0) return;
    checkRow(row);
    checkColumn(column);
    checkColumn(column + count - 1);
    const core::TextPool::Id* from = m_cells.data() + cellAt(row, column);
    std::copy(from, from + count, ids);
}

void SourceGrid::SetTextId(int row, int column, core::TextPool::Id id) {
    m_cells[cellAt(row, column)] = id;
    if (m_observer) m_observer->cellChanged(row, column);
}

int SourceGrid::ColAlignment(int column) const {
    checkColumn(column);
    return m_alignments[column];
}

void SourceGrid::SetColAlignment(int column, int code) {
    checkColumn(column);
    if (code < 0 || code > 9) vb::Raise(InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_alignments[column] = code;
    if (m_observer) m_observer->columnChanged(column);
}

void SourceGrid::Bind(const QStringList& fieldNames, const QList<int>& alignments,
                      std::shared_ptr<core::TextPool> texts) {
    if (alignments.size() != fieldNames.size()) invalidColumn();
    if (fieldNames.size() > MaxColumns) tooMany("columns", MaxColumns);
    for (const int code : alignments)
        if (code < 0 || code > 9) vb::Raise(InvalidPropertyValue, QStringLiteral("Invalid property value"));
    // A grid that held a table's texts (more than the empty one) gives back what they took, unless
    // another grid or the new table shares them.
    const bool heldTexts = m_texts->size() > 1;
    // Assigning {} would keep the buffer (it assigns an empty list): a fresh vector gives it back.
    std::vector<core::TextPool::Id>().swap(m_cells);
    m_texts = texts ? std::move(texts) : std::make_shared<core::TextPool>();
    if (heldTexts) core::GiveBackFreeHeap();
    for (const QString& name : fieldNames)
        m_cells.push_back(m_texts->intern(name));
    m_alignments = alignments;
    m_rows = 1;
    m_cols = static_cast<int>(fieldNames.size());
    if (m_observer) m_observer->gridReset();
}

void SourceGrid::Reserve(int records) {
    // Past the most rows AppendRecord refuses the table; the room stops there.
    const int rows = std::min(records, MaxRows - m_rows);
    if (rows <= 0) return;
    m_cells.reserve(m_cells.size() + static_cast<size_t>(rows) * static_cast<size_t>(m_cols));
}

void SourceGrid::AppendRecord(const QStringList& values) {
    if (values.size() > m_cols) invalidColumn();
    if (m_rows >= MaxRows) tooMany("rows", MaxRows);
    for (const QString& value : values)
        m_cells.push_back(m_texts->intern(value));
    m_cells.resize(m_cells.size() + static_cast<size_t>(m_cols - values.size()), core::TextPool::Empty);
    appended();
}

void SourceGrid::AppendRecord(const std::vector<core::TextPool::Id>& values) {
    if (values.size() > static_cast<size_t>(m_cols)) invalidColumn();
    if (m_rows >= MaxRows) tooMany("rows", MaxRows);
    m_cells.insert(m_cells.end(), values.begin(), values.end());
    m_cells.resize(m_cells.size() + (static_cast<size_t>(m_cols) - values.size()), core::TextPool::Empty);
    appended();
}

void SourceGrid::appended() {
    ++m_rows;
    if (m_observer) m_observer->rowsAppended(m_rows - 1, m_rows - 1);
}

void SourceGrid::SetRedraw(bool on) {
    if (m_redraw == on) return;
    m_redraw = on;
    if (m_observer) m_observer->redrawChanged(on);
}

} // namespace quibo
