#pragma once

// Writes down every notification a grid sends, one short line each.

#include "base/GridObserver.h"

#include <QString>
#include <QStringList>

namespace quibo::test {

class RecordingObserver final : public GridObserver {
public:
    void gridReset() override { calls.append(QStringLiteral("reset")); }
    void columnsAppended(int first, int last) override {
        calls.append(QStringLiteral("columns %1-%2").arg(first).arg(last));
    }
    void rowsAppended(int first, int last) override {
        calls.append(QStringLiteral("rows %1-%2").arg(first).arg(last));
    }
    void cellChanged(int row, int column) override {
        calls.append(QStringLiteral("cell %1,%2").arg(row).arg(column));
    }
    void columnChanged(int column) override { calls.append(QStringLiteral("column %1").arg(column)); }
    void redrawChanged(bool on) override {
        calls.append(on ? QStringLiteral("redraw on") : QStringLiteral("redraw off"));
    }
    void selectionMoved(int row) override { calls.append(QStringLiteral("select %1").arg(row)); }
    void columnFitRequested(int column) override { calls.append(QStringLiteral("fit %1").arg(column)); }

    QStringList calls;
};

} // namespace quibo::test
