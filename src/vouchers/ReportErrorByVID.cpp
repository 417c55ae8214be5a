#include "vouchers/ReportErrorByVID.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/OutcomeMarks.h"
#include "base/Trap.h"

namespace quibo {

namespace {

// Switches the grid's redraw off for the walk and on again however the walk ends.
class RedrawOff {
public:
    explicit RedrawOff(WorkGrid& grid) : m_grid(grid) { m_grid.SetRedraw(false); }
    ~RedrawOff() { m_grid.SetRedraw(true); }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    WorkGrid& m_grid;
};

} // namespace

void ReportErrorByVID(FormModel& form, const QString& key, const QString& column, int fromRow, int toRow) {
    Trap(form.errors(), "F01-0027", [&] {
        WorkGrid& grid = form.GR1;
        RedrawOff redraw(grid);
        if (GetColumnIndex(form.errors(), form.lstLedgerTree, column) < 0) return;
        const int keyColumn = grid.ColumnIndex(column);
        const int statusColumn = grid.ColumnIndex(QStringLiteral("PROCESSSTATUS"));
        for (int row = fromRow; row <= toRow; ++row) {
            if (grid.CellText(row, keyColumn) != key) continue;
            grid.SetRowColor(row, marks::Red);
            grid.SetCellFont(row, statusColumn, GridFont{true});
        }
    });
}

} // namespace quibo
