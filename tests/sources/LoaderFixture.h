#pragma once

// A headless main form with the table loader, the three source tabs and the
// default patterns, plus readers that turn the grids into plain lists for
// comparison.

#include "base/FormFixture.h"
#include "base/GridObserver.h"
#include "sources/backends/OdbcTestEnvironment.h"
#include "sources/TableLoader.h"

#include <QList>
#include <QStringList>

namespace quibo::test {

inline const QString Placeholder = QStringLiteral(">>Select Import Type<<");
inline const QString DefaultDate = QStringLiteral("dd-MMM-yyyy");
inline const QString DefaultDecimals = QStringLiteral("#################0.000");

// A row of n blank cells.
inline QStringList blank(int n) {
    return QStringList(n, QString());
}

// Records what a grid tells its view, to see when redraw was off.
struct GridEvents final : GridObserver {
    QStringList events;
    void gridReset() override { events.append(QStringLiteral("reset")); }
    void columnsAppended(int, int) override { note(QStringLiteral("columns")); }
    void rowsAppended(int, int) override { note(QStringLiteral("rows")); }
    void cellChanged(int, int) override { note(QStringLiteral("cell")); }
    void columnChanged(int) override { note(QStringLiteral("column")); }
    void redrawChanged(bool on) override {
        events.append(on ? QStringLiteral("redraw on") : QStringLiteral("redraw off"));
    }
    // Runs of one kind of event count once.
    void note(const QString& event) {
        if (events.isEmpty() || events.last() != event) events.append(event);
    }
};

class LoaderTest : public FormTest {
protected:
    LoaderTest() {
        form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")};
        form.tabSourceIndex = 0;
        form.DateFormat = DefaultDate;
        form.DecimalPlaces = DefaultDecimals;
    }

    // The import-type box after a listing that offered `entry`, with `entry` chosen.
    void select(const QString& entry) {
        form.cmbTableName.Clear();
        form.cmbTableName.AddItem(Placeholder);
        form.cmbTableName.AddItem(entry);
        form.cmbTableName.SelectText(entry);
    }
    // The user picks `entry` in the import-type box of the selected tab.
    void pick(const QString& entry) {
        select(entry);
        loader.cmbTableName_Click();
    }
    void pickExcel(const QString& file, const QString& entry) {
        form.tabSourceIndex = 0;
        form.txtFilePath = SourcesData(file);
        pick(entry);
    }
    void pickAccess(const QString& file, const QString& entry) {
        form.tabSourceIndex = 1;
        form.txtMdbPath = SourcesData(file);
        pick(entry);
    }
    void pickOdbc(const QString& entry) {
        form.tabSourceIndex = 2;
        form.txtODBCPath = OdbcLoaderDsn;
        pick(entry);
    }

    // A grid as it stood before the load: one keyed column and two rows of someone else's table.
    void previousTable() {
        loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
                 {{QStringLiteral("Old ledger"), QString()}, {QString(), QString()}});
    }

    // One text per GR1 column: its key, header or tag.
    QStringList columns(const QString& (WorkGrid::*part)(int) const) const {
        QStringList out;
        for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
            out.append((form.GR1.*part)(c));
        return out;
    }
    QStringList keys() const { return columns(&WorkGrid::ColumnKey); }
    QStringList headers() const { return columns(&WorkGrid::ColumnHeader); }
    QStringList tags() const { return columns(&WorkGrid::ColumnTag); }
    QList<QStringList> rows() const {
        QList<QStringList> out;
        for (int r = 1; r <= form.GR1.RowCount(); ++r) {
            QStringList row;
            for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
                row.append(form.GR1.CellText(r, c));
            out.append(row);
        }
        return out;
    }
    QList<QStringList> sourceRows() const {
        QList<QStringList> out;
        for (int r = 0; r < form.lstLedgerTree.Rows(); ++r) {
            QStringList row;
            for (int c = 0; c < form.lstLedgerTree.Cols(); ++c)
                row.append(form.lstLedgerTree.TextMatrix(r, c));
            out.append(row);
        }
        return out;
    }
    QStringList messages() const {
        QStringList out;
        for (const QString& change : statusLine.changes)
            if (change.startsWith(QLatin1String("msg="))) out.append(change.mid(4));
        return out;
    }

    TableLoader loader{form};
};

} // namespace quibo::test
