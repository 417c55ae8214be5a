#include "base/WorkGrid.h"

#include "base/GridObserver.h"
#include "vb/RuntimeError.h"

#include <utility>

namespace quibo {

namespace {

constexpr int32_t InvalidPropertyValue = 380;
constexpr int32_t InvalidPropertyArrayIndex = 381;

// Rebuilds a row-major table for a wider row, keeping every cell in place.
template <class T> void widen(core::StableArray<T>& cells, int rows, int oldColumns, int newColumns) {
    core::StableArray<T> wider;
    size_t from = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < oldColumns; ++c)
            wider.push_back(std::move(cells[from++]));
        wider.resize(wider.size() + static_cast<size_t>(newColumns - oldColumns));
    }
    cells = std::move(wider);
}

template <class T> T valueAt(const core::StableArray<T>& cells, size_t at) {
    return cells.empty() ? T{} : cells[at];
}

template <class T> T& valueFor(core::StableArray<T>& cells, size_t at, size_t size) {
    if (cells.empty()) cells.resize(size);
    return cells[at];
}

[[noreturn]] void tooMany(const char* what, int most) {
    vb::Raise(vb::err::OutOfMemory, QStringLiteral("The grid holds at most %1 %2; the table has more.")
                                        .arg(most)
                                        .arg(QLatin1String(what)));
}

} // namespace

void WorkGrid::RequireColumns(int fields, const QStringList& own) {
    const qint64 columns = qint64(fields) + own.size();
    if (columns <= MaxColumns) return;
    QString owned = own.value(0);
    for (qsizetype i = 1; i < own.size(); ++i)
        owned += (i + 1 == own.size() ? QStringLiteral(" and ") : QStringLiteral(", ")) + own[i];
    vb::Raise(
        vb::err::OutOfMemory,
        QStringLiteral("The grid holds at most %1 columns; the table's %2 and the grid's own %3 make %4.")
            .arg(QString::number(MaxColumns), QString::number(fields), owned, QString::number(columns)));
}

void WorkGrid::Clear(bool removeColumns) {
    const bool heldRows = m_rows > 0;
    m_text.clear();
    // No cell needs the old texts: they go unless another grid shares them.
    m_texts = std::make_shared<core::TextPool>();
    m_layout.clear();
    m_looks.clear();
    m_rows = 0;
    // What the rows took goes back to the system, which the heap's large-page set-up would keep.
    if (heldRows) core::GiveBackFreeHeap();
    m_selectedRow = 0;
    if (removeColumns) {
        m_columns.clear();
        m_firstColumnOfKey.clear();
    }
    if (m_observer) m_observer->gridReset();
}

void WorkGrid::AddColumn(const QString& key, const QString& header) {
    const int oldColumns = ColumnCount();
    if (oldColumns >= MaxColumns) tooMany("columns", MaxColumns);
    if (m_rows > 0) {
        widen(m_text, m_rows, oldColumns, oldColumns + 1);
        if (!m_layout.empty()) widen(m_layout, m_rows, oldColumns, oldColumns + 1);
        if (!m_looks.empty()) widen(m_looks, m_rows, oldColumns, oldColumns + 1);
    }
    m_columns.push_back(Column{key, header, QString()});
    // A repeated key keeps finding the leftmost column, as the source-grid lookup does.
    if (!m_firstColumnOfKey.contains(key)) m_firstColumnOfKey.insert(key, oldColumns + 1);
    if (m_observer) m_observer->columnsAppended(oldColumns + 1, oldColumns + 1);
}

void WorkGrid::AddRow() {
    if (m_rows >= MaxRows) tooMany("rows", MaxRows);
    const size_t columns = m_columns.size();
    m_text.resize(m_text.size() + columns);
    if (!m_layout.empty()) m_layout.resize(m_layout.size() + columns);
    if (!m_looks.empty()) m_looks.resize(m_looks.size() + columns);
    ++m_rows;
    if (m_observer) m_observer->rowsAppended(m_rows, m_rows);
}

int WorkGrid::ColumnIndex(const QString& key) const {
    const int column = FindColumn(key);
    if (column < 0) vb::Raise(InvalidPropertyArrayIndex, QStringLiteral("Invalid column key: ") + key);
    return column;
}

int WorkGrid::FindColumn(const QString& key) const {
    return m_firstColumnOfKey.value(key, -1);
}

const QString& WorkGrid::ColumnHeader(int column) const {
    checkColumn(column);
    return m_columns[static_cast<size_t>(column - 1)].header;
}

const QString& WorkGrid::ColumnKey(int column) const {
    checkColumn(column);
    return m_columns[static_cast<size_t>(column - 1)].key;
}

const QString& WorkGrid::ColumnTag(int column) const {
    checkColumn(column);
    return m_columns[static_cast<size_t>(column - 1)].tag;
}

void WorkGrid::SetColumnTag(int column, const QString& tag) {
    checkColumn(column);
    m_columns[static_cast<size_t>(column - 1)].tag = tag;
}

const QString& WorkGrid::CellText(int row, int column) const {
    return m_texts->text(m_text[cellAt(row, column)]);
}

const QString& WorkGrid::CellText(int row, const QString& key) const {
    return CellText(row, ColumnIndex(key));
}

void WorkGrid::SetCellText(int row, int column, const QString& text) {
    SetCellTextId(row, column, m_texts->intern(text));
}

void WorkGrid::SetCellTextId(int row, int column, core::TextPool::Id id) {
    m_text[cellAt(row, column)] = id;
    if (m_observer) m_observer->cellChanged(row, column);
}

void WorkGrid::SetRowTextIds(int row, int column, const core::TextPool::Id* ids, int count) {
    if (count <= 0) return;
    checkColumn(column + count - 1);
    const size_t from = cellAt(row, column);
    for (size_t i = 0; i < static_cast<size_t>(count); ++i)
        m_text[from + i] = ids[i];
    if (m_observer)
        for (int c = column; c < column + count; ++c)
            m_observer->cellChanged(row, c);
}

void WorkGrid::ShareTexts(std::shared_ptr<core::TextPool> texts) {
    if (texts == m_texts) return;
    for (size_t i = 0; i < m_text.size(); ++i)
        m_text[i] = texts->intern(m_texts->text(m_text[i]));
    m_texts = std::move(texts);
}

void WorkGrid::SetCellText(int row, const QString& key, const QString& text) {
    SetCellText(row, ColumnIndex(key), text);
}

int WorkGrid::CellTextAlign(int row, int column) const {
    return layoutAt(row, column) & AlignBits;
}

void WorkGrid::SetCellTextAlign(int row, int column, int align) {
    checkRow(row);
    checkColumn(column);
    if (align < 0 || align > 2) vb::Raise(InvalidPropertyValue, QStringLiteral("Invalid property value"));
    if (align != 0 || !m_layout.empty()) {
        uint8_t& layout = layoutFor(row, column);
        layout = static_cast<uint8_t>((layout & ~AlignBits) | align);
    }
    if (m_observer) m_observer->cellChanged(row, column);
}

void WorkGrid::SetRowTextAligns(int row, int column, const int* aligns, int count) {
    if (count <= 0) return;
    checkColumn(column + count - 1);
    const size_t from = cellAt(row, column);
    bool aligned = !m_layout.empty();
    for (int i = 0; i < count; ++i) {
        if (aligns[i] < -1 || aligns[i] > 2)
            vb::Raise(InvalidPropertyValue, QStringLiteral("Invalid property value"));
        aligned = aligned || aligns[i] > 0;
    }
    if (aligned) {
        if (m_layout.empty()) m_layout.resize(m_text.size());
        for (int i = 0; i < count; ++i) {
            if (aligns[i] < 0) continue;
            uint8_t& layout = m_layout[from + static_cast<size_t>(i)];
            layout = static_cast<uint8_t>((layout & ~AlignBits) | aligns[i]);
        }
    }
    if (m_observer)
        for (int i = 0; i < count; ++i)
            if (aligns[i] >= 0) m_observer->cellChanged(row, column + i);
}

int32_t WorkGrid::CellColor(int row, int column) const {
    return static_cast<int32_t>(lookAt(row, column).color);
}

void WorkGrid::SetCellColor(int row, int column, int32_t bgr) {
    checkRow(row);
    checkColumn(column);
    if (bgr != 0 || !m_looks.empty()) lookFor(row, column).color = static_cast<uint32_t>(bgr);
    if (m_observer) m_observer->cellChanged(row, column);
}

void WorkGrid::SetRowColor(int row, int32_t bgr) {
    checkRow(row);
    const int columns = ColumnCount();
    for (int column = 1; column <= columns; ++column)
        if (CellColor(row, column) != bgr) SetCellColor(row, column, bgr);
}

int WorkGrid::CellIcon(int row, int column) const {
    return static_cast<int>(lookAt(row, column).iconPlusOne) - 1;
}

void WorkGrid::SetCellIcon(int row, int column, int index) {
    checkRow(row);
    checkColumn(column);
    if (index < -1 || index > 0xFFFE)
        vb::Raise(InvalidPropertyValue, QStringLiteral("Invalid property value"));
    if (index != -1 || !m_looks.empty()) lookFor(row, column).iconPlusOne = static_cast<uint16_t>(index + 1);
    if (m_observer) m_observer->cellChanged(row, column);
}

GridFont WorkGrid::CellFont(int row, int column) const {
    return GridFont{(layoutAt(row, column) & BoldBit) != 0};
}

void WorkGrid::SetCellFont(int row, int column, GridFont font) {
    checkRow(row);
    checkColumn(column);
    if (font.bold || !m_layout.empty()) {
        uint8_t& layout = layoutFor(row, column);
        layout = static_cast<uint8_t>(font.bold ? layout | BoldBit : layout & ~BoldBit);
    }
    if (m_observer) m_observer->cellChanged(row, column);
}

void WorkGrid::SetSelectedRow(int row) {
    checkRow(row);
    m_selectedRow = row;
    if (m_observer) m_observer->selectionMoved(row);
}

void WorkGrid::SetRedraw(bool on) {
    if (m_redraw == on) return;
    m_redraw = on;
    if (m_observer) m_observer->redrawChanged(on);
}

void WorkGrid::FitColumn(const QString& key) {
    const int column = FindColumn(key);
    if (column > 0) FitColumn(column);
}

void WorkGrid::FitColumn(int column) {
    checkColumn(column);
    if (m_observer) m_observer->columnFitRequested(column);
}

void WorkGrid::invalidRow() {
    vb::Raise(InvalidPropertyArrayIndex, QStringLiteral("Invalid Row value"));
}

void WorkGrid::invalidColumn() {
    vb::Raise(InvalidPropertyArrayIndex, QStringLiteral("Invalid Col value"));
}

uint8_t WorkGrid::layoutAt(int row, int column) const {
    return valueAt(m_layout, cellAt(row, column));
}

uint8_t& WorkGrid::layoutFor(int row, int column) {
    return valueFor(m_layout, cellAt(row, column), m_text.size());
}

WorkGrid::CellLook WorkGrid::lookAt(int row, int column) const {
    return valueAt(m_looks, cellAt(row, column));
}

WorkGrid::CellLook& WorkGrid::lookFor(int row, int column) {
    return valueFor(m_looks, cellAt(row, column), m_text.size());
}

} // namespace quibo
