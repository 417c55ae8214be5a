#pragma once

#include "app/view/GridModelBase.h"

namespace quibo {

class SourceGrid;

// The source grid as a table model: row 0's field names are the horizontal
// header, grid rows 1 .. are model rows 0 ..; columns keep their numbers.
// The grid must outlive the model; the model is the grid's observer while it lives.
class SourceGridModel final : public GridModelBase {
    Q_OBJECT
public:
    explicit SourceGridModel(SourceGrid& grid, QObject* parent = nullptr);
    ~SourceGridModel() override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    int liveRowCount() const override;
    int liveColumnCount() const override;

private:
    SourceGrid& m_grid;
};

} // namespace quibo
