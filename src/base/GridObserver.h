#pragma once

namespace quibo {

// What a grid tells the one view-side object that mirrors it. The grid has
// already changed when it calls; row and column numbers are in the calling
// grid's own numbering. Kept free of Qt so loaders and posters stay headless.
class GridObserver {
public:
    virtual ~GridObserver() = default;

    // Anything too wide to describe cell by cell: a clear, a bind, a shrink.
    virtual void gridReset() = 0;
    virtual void columnsAppended(int first, int last) = 0;
    virtual void rowsAppended(int first, int last) = 0;
    // Text or any attribute of one cell.
    virtual void cellChanged(int row, int column) = 0;
    // Something that applies to a whole column, such as its alignment.
    virtual void columnChanged(int column) = 0;
    virtual void redrawChanged(bool on) = 0;
    virtual void selectionMoved(int row) { (void)row; }
    virtual void columnFitRequested(int column) { (void)column; }
};

} // namespace quibo
