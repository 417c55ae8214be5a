#pragma once

#include "app/view/GridModelBase.h"

#include <QVariant>

#include <functional>

namespace quibo {

class WorkGrid;

// The working grid as a table model: model row i / column j is grid row
// i + 1 / column j + 1; the horizontal header shows the column headers.
// The grid must outlive the model; the model is the grid's observer while it lives.
class WorkGridModel final : public GridModelBase {
    Q_OBJECT
public:
    // Turns an image-list index into what the view draws (an icon, a pixmap).
    using IconProvider = std::function<QVariant(int index)>;

    explicit WorkGridModel(WorkGrid& grid, QObject* parent = nullptr);
    ~WorkGridModel() override;

    void setIconProvider(IconProvider provider);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    int liveRowCount() const override;
    int liveColumnCount() const override;

private:
    WorkGrid& m_grid;
    IconProvider m_icons;
};

} // namespace quibo
