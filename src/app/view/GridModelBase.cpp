#include "app/view/GridModelBase.h"

#include <algorithm>
#include <utility>

namespace quibo {

GridModelBase::GridModelBase(int rowBase, int columnBase, QObject* parent)
    : QAbstractTableModel(parent), m_rowBase(rowBase), m_columnBase(columnBase) {}

int GridModelBase::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridModelBase::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

void GridModelBase::start(bool redrawOn) {
    m_rows = liveRowCount();
    m_columns = liveColumnCount();
    m_frozen = !redrawOn;
}

bool GridModelBase::isLive(const QModelIndex& index) const {
    return index.isValid() && index.model() == this && index.row() < m_rows && index.column() < m_columns &&
           index.row() < liveRowCount() && index.column() < liveColumnCount();
}

void GridModelBase::gridReset() {
    if (m_frozen) {
        // Requests made before the clear name columns and rows that are gone.
        m_pendingFits.clear();
        m_pendingSelection = -1;
        return;
    }
    resetToLive();
}

void GridModelBase::columnsAppended(int first, int last) {
    if (m_frozen) return;
    const int added = last - first + 1;
    beginInsertColumns(QModelIndex(), m_columns, m_columns + added - 1);
    m_columns += added;
    endInsertColumns();
}

void GridModelBase::rowsAppended(int first, int last) {
    if (m_frozen) return;
    const int added = last - first + 1;
    beginInsertRows(QModelIndex(), m_rows, m_rows + added - 1);
    m_rows += added;
    endInsertRows();
}

void GridModelBase::cellChanged(int row, int column) {
    if (m_frozen) return;
    const int modelRow = row - m_rowBase;
    const int modelColumn = column - m_columnBase;
    if (modelColumn < 0 || modelColumn >= m_columns || modelRow >= m_rows) return;
    if (modelRow < 0) {
        emit headerDataChanged(Qt::Horizontal, modelColumn, modelColumn);
        return;
    }
    const QModelIndex cell = index(modelRow, modelColumn);
    emit dataChanged(cell, cell);
}

void GridModelBase::columnChanged(int column) {
    if (m_frozen) return;
    const int modelColumn = column - m_columnBase;
    if (modelColumn < 0 || modelColumn >= m_columns || m_rows == 0) return;
    emit dataChanged(index(0, modelColumn), index(m_rows - 1, modelColumn));
}

void GridModelBase::redrawChanged(bool on) {
    if (!on) {
        m_frozen = true;
        return;
    }
    if (!m_frozen) return;
    m_frozen = false;
    resetToLive();
    std::vector<int> fits;
    fits.swap(m_pendingFits);
    const int selection = std::exchange(m_pendingSelection, -1);
    for (const int column : fits)
        if (column < m_columns) emit fitColumnRequested(column);
    if (selection >= 0 && selection < m_rows) emit selectedRowChanged(selection);
}

void GridModelBase::selectionMoved(int row) {
    const int modelRow = row - m_rowBase;
    if (m_frozen) {
        m_pendingSelection = modelRow;
        return;
    }
    if (modelRow >= 0 && modelRow < m_rows) emit selectedRowChanged(modelRow);
}

void GridModelBase::columnFitRequested(int column) {
    const int modelColumn = column - m_columnBase;
    if (m_frozen) {
        if (std::find(m_pendingFits.begin(), m_pendingFits.end(), modelColumn) == m_pendingFits.end())
            m_pendingFits.push_back(modelColumn);
        return;
    }
    if (modelColumn >= 0 && modelColumn < m_columns) emit fitColumnRequested(modelColumn);
}

void GridModelBase::resetToLive() {
    beginResetModel();
    m_rows = liveRowCount();
    m_columns = liveColumnCount();
    endResetModel();
}

} // namespace quibo
