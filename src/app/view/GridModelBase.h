#pragma once

#include "base/GridObserver.h"

#include <QAbstractTableModel>

#include <vector>

namespace quibo {

// What both grid models share: they mirror a grid through its observer and
// report row and column counts of their own, changed only between the
// begin/end calls, because the grid has already changed when it tells.
//
// While the grid's redraw switch is off the model says nothing and keeps its
// counts; switching it on resets the model once to the live grid and then
// passes on the fit-column and selection requests made meanwhile. Loaders
// yield to the event loop while redraw is off, so data() must check the live
// grid: a cell the frozen counts still cover may be gone.
class GridModelBase : public QAbstractTableModel, protected GridObserver {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

signals:
    // Model column to widen to its content.
    void fitColumnRequested(int column);
    // Model row the grid's selection moved to.
    void selectedRowChanged(int row);

protected:
    // rowBase / columnBase: the grid's number of model row 0 / model column 0.
    GridModelBase(int rowBase, int columnBase, QObject* parent);

    // Model rows and columns the grid holds right now.
    virtual int liveRowCount() const = 0;
    virtual int liveColumnCount() const = 0;
    // Call once the grid is reachable: takes its counts and redraw state.
    void start(bool redrawOn);
    // True when the index lies inside both the model's counts and the live grid.
    bool isLive(const QModelIndex& index) const;
    int gridRow(int modelRow) const { return modelRow + m_rowBase; }
    int gridColumn(int modelColumn) const { return modelColumn + m_columnBase; }

    void gridReset() override;
    void columnsAppended(int first, int last) override;
    void rowsAppended(int first, int last) override;
    void cellChanged(int row, int column) override;
    void columnChanged(int column) override;
    void redrawChanged(bool on) override;
    void selectionMoved(int row) override;
    void columnFitRequested(int column) override;

private:
    void resetToLive();

    int m_rowBase;
    int m_columnBase;
    int m_rows = 0;
    int m_columns = 0;
    bool m_frozen = false;
    std::vector<int> m_pendingFits; // model columns, in request order
    int m_pendingSelection = -1;    // model row, -1 for none
};

} // namespace quibo
