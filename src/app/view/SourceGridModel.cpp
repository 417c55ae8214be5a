#include "app/view/SourceGridModel.h"

#include "base/SourceGrid.h"

#include <algorithm>

namespace quibo {

SourceGridModel::SourceGridModel(SourceGrid& grid, QObject* parent)
    : GridModelBase(1, 0, parent), m_grid(grid) {
    start(grid.Redraw());
    grid.SetObserver(this);
}

SourceGridModel::~SourceGridModel() {
    if (m_grid.Observer() == this) m_grid.SetObserver(nullptr);
}

QVariant SourceGridModel::data(const QModelIndex& index, int role) const {
    if (!isLive(index)) return {};
    const int column = gridColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.TextMatrix(gridRow(index.row()), column);
    case Qt::TextAlignmentRole: {
        // The codes read as the loader reads them when it copies them into the working grid.
        const int code = m_grid.ColAlignment(column);
        const Qt::AlignmentFlag horizontal = code >= 7   ? Qt::AlignRight
                                             : code >= 4 ? Qt::AlignHCenter
                                                         : Qt::AlignLeft;
        return static_cast<int>(horizontal | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant SourceGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return GridModelBase::headerData(section, orientation, role);
    if (role != Qt::DisplayRole || section < 0 || section >= columnCount() || section >= m_grid.Cols())
        return {};
    return m_grid.TextMatrix(0, gridColumn(section));
}

int SourceGridModel::liveRowCount() const {
    return std::max(m_grid.Rows() - 1, 0);
}

int SourceGridModel::liveColumnCount() const {
    return m_grid.Cols();
}

} // namespace quibo
