#include "app/view/WorkGridModel.h"

#include "base/WorkGrid.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <utility>

namespace quibo {

WorkGridModel::WorkGridModel(WorkGrid& grid, QObject* parent) : GridModelBase(1, 1, parent), m_grid(grid) {
    start(grid.Redraw());
    grid.SetObserver(this);
}

WorkGridModel::~WorkGridModel() {
    if (m_grid.Observer() == this) m_grid.SetObserver(nullptr);
}

void WorkGridModel::setIconProvider(IconProvider provider) {
    m_icons = std::move(provider);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DecorationRole});
}

QVariant WorkGridModel::data(const QModelIndex& index, int role) const {
    if (!isLive(index)) return {};
    const int row = gridRow(index.row());
    const int column = gridColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.CellText(row, column);
    case Qt::TextAlignmentRole: {
        static constexpr Qt::AlignmentFlag horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        return static_cast<int>(horizontal[m_grid.CellTextAlign(row, column)] | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole: {
        // 0 is the grid's default: leave it to the palette's text colour.
        const auto bgr = static_cast<uint32_t>(m_grid.CellColor(row, column));
        if (bgr == 0) return {};
        return QBrush(QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                             static_cast<int>((bgr >> 16) & 0xFF)));
    }
    case Qt::FontRole: {
        if (!m_grid.CellFont(row, column).bold) return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::DecorationRole: {
        const int icon = m_grid.CellIcon(row, column);
        if (icon < 0 || !m_icons) return {};
        return m_icons(icon);
    }
    default:
        return {};
    }
}

QVariant WorkGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return GridModelBase::headerData(section, orientation, role);
    if (role != Qt::DisplayRole || section < 0 || section >= columnCount() || section >= liveColumnCount())
        return {};
    return m_grid.ColumnHeader(gridColumn(section));
}

int WorkGridModel::liveRowCount() const {
    return m_grid.RowCount();
}

int WorkGridModel::liveColumnCount() const {
    return m_grid.ColumnCount();
}

} // namespace quibo
