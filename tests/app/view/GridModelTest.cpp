#include "app/view/SourceGridModel.h"
#include "app/view/WorkGridModel.h"
#include "base/SourceGrid.h"
#include "base/WorkGrid.h"

#include "app/view/ModelCheck.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

namespace quibo {
namespace {

using test::ModelCheck;

void addLedgerColumns(WorkGrid& grid) {
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddColumn(QStringLiteral("PARENT"), QStringLiteral("Parent"));
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
}

QString text(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

// Every signal by which a model tells a view that something changed.
struct ModelSignals {
    explicit ModelSignals(QAbstractItemModel* model)
        : rowsInserted(model, &QAbstractItemModel::rowsInserted),
          columnsInserted(model, &QAbstractItemModel::columnsInserted),
          dataChanged(model, &QAbstractItemModel::dataChanged),
          headerDataChanged(model, &QAbstractItemModel::headerDataChanged),
          layoutChanged(model, &QAbstractItemModel::layoutChanged),
          modelReset(model, &QAbstractItemModel::modelReset) {}

    int all() const {
        return static_cast<int>(rowsInserted.count() + columnsInserted.count() + dataChanged.count() +
                                headerDataChanged.count() + layoutChanged.count() + modelReset.count());
    }

    QSignalSpy rowsInserted;
    QSignalSpy columnsInserted;
    QSignalSpy dataChanged;
    QSignalSpy headerDataChanged;
    QSignalSpy layoutChanged;
    QSignalSpy modelReset;
};

TEST(WorkGridModel, SatisfiesTheModelTesterThroughALoadAndAPost) {
    WorkGrid grid;
    WorkGridModel model(grid);
    ModelCheck check(&model);

    // A first load with redraw on: every step is announced.
    grid.Clear(true);
    addLedgerColumns(grid);
    for (int r = 1; r <= 3; ++r) {
        grid.AddRow();
        grid.SetCellText(r, 1, QStringLiteral("Ledger %1").arg(r));
        grid.SetCellTextAlign(r, 2, 2);
    }
    grid.FitColumn(QStringLiteral("NAME"));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 3);

    // Posting writes outcomes, colours, icons and bold.
    grid.SetCellText(2, QStringLiteral("PROCESSSTATUS"), QStringLiteral("ERRORS"));
    for (int c = 1; c <= 3; ++c)
        grid.SetCellColor(2, c, 255);
    grid.SetCellIcon(2, 1, 1);
    grid.SetCellFont(2, 3, GridFont{true});
    grid.SetSelectedRow(2);

    // A column added after rows, then rows dropped but columns kept.
    grid.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
    EXPECT_EQ(model.columnCount(), 4);
    grid.Clear(false);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 4);
    grid.AddRow();

    // A second load with redraw off, cleared in between, then redraw on.
    grid.SetRedraw(false);
    grid.Clear(true);
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    for (int r = 1; r <= 5; ++r) {
        grid.AddRow();
        grid.SetCellText(r, 1, QStringLiteral("Item %1").arg(r));
    }
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 4);
    grid.SetRedraw(true);
    grid.AddRow();
    grid.SetCellText(6, 2, QStringLiteral("CREATED"));

    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(text(model, 4, 0), QStringLiteral("Item 5"));
    EXPECT_EQ(text(model, 5, 1), QStringLiteral("CREATED"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Process Status"));

    grid.Clear(true);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_TRUE(check.failures().isEmpty()) << check.failures().join(u'\n').toStdString();
}

TEST(WorkGridModel, MirrorsEachAnnouncedChangeAtOnce) {
    WorkGrid grid;
    WorkGridModel model(grid);
    ModelSignals seen(&model);
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    grid.SetCellText(2, 3, QStringLiteral("CREATED"));

    EXPECT_EQ(seen.columnsInserted.count(), 3);
    EXPECT_EQ(seen.rowsInserted.count(), 2);
    ASSERT_EQ(seen.dataChanged.count(), 1);
    const auto changed = seen.dataChanged.first().first().value<QModelIndex>();
    EXPECT_EQ(changed.row(), 1);
    EXPECT_EQ(changed.column(), 2);
    EXPECT_EQ(seen.modelReset.count(), 0);
}

TEST(WorkGridModel, HeaderShowsTheHeaderTextNotTheKey) {
    WorkGrid grid;
    addLedgerColumns(grid);
    WorkGridModel model(grid);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Process Status"));
    EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());
}

class WorkGridModelRoles : public ::testing::Test {
protected:
    void SetUp() override {
        addLedgerColumns(grid);
        grid.AddRow();
    }
    QVariant role(int column, int r) const { return model.data(model.index(0, column), r); }

    WorkGrid grid;
    WorkGridModel model{grid};
};

TEST_F(WorkGridModelRoles, DisplayIsTheCellText) {
    grid.SetCellText(1, 2, QStringLiteral("Sundry Debtors"));
    EXPECT_EQ(role(1, Qt::DisplayRole).toString(), QStringLiteral("Sundry Debtors"));
    EXPECT_EQ(role(0, Qt::DisplayRole).toString(), QString());
}

TEST_F(WorkGridModelRoles, ColourIsTheTextColourReadAsBgr) {
    grid.SetCellColor(1, 1, 255);
    grid.SetCellColor(1, 2, 16711680);
    grid.SetCellColor(1, 3, 0x336699);
    EXPECT_EQ(role(0, Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(role(1, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_EQ(role(2, Qt::ForegroundRole).value<QBrush>().color(), QColor(0x99, 0x66, 0x33));
    EXPECT_FALSE(role(0, Qt::BackgroundRole).isValid());
}

TEST_F(WorkGridModelRoles, DefaultColourLeavesThePaletteTextColour) {
    EXPECT_FALSE(role(0, Qt::ForegroundRole).isValid());
    grid.SetCellColor(1, 1, 255);
    grid.SetCellColor(1, 1, 0);
    EXPECT_FALSE(role(0, Qt::ForegroundRole).isValid());
}

TEST_F(WorkGridModelRoles, BoldFont) {
    EXPECT_FALSE(role(2, Qt::FontRole).isValid());
    grid.SetCellFont(1, 3, GridFont{true});
    EXPECT_TRUE(role(2, Qt::FontRole).value<QFont>().bold());
}

TEST_F(WorkGridModelRoles, AlignmentCodesAreVerticallyCentred) {
    grid.SetCellTextAlign(1, 2, 1);
    grid.SetCellTextAlign(1, 3, 2);
    EXPECT_EQ(role(0, Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(role(1, Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    EXPECT_EQ(role(2, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
}

TEST_F(WorkGridModelRoles, DecorationComesFromTheProvider) {
    grid.SetCellIcon(1, 1, 1);
    grid.SetCellIcon(1, 2, 0);
    EXPECT_FALSE(role(0, Qt::DecorationRole).isValid());

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setIconProvider(
        [](int index) { return QVariant(index == 1 ? QColor(Qt::red) : QColor(Qt::green)); });
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(role(0, Qt::DecorationRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(role(1, Qt::DecorationRole).value<QColor>(), QColor(Qt::green));
    EXPECT_FALSE(role(2, Qt::DecorationRole).isValid());
}

TEST(WorkGridModel, FitAndSelectionRequestsReachTheViewInModelNumbers) {
    WorkGrid grid;
    WorkGridModel model(grid);
    QSignalSpy fits(&model, &WorkGridModel::fitColumnRequested);
    QSignalSpy selections(&model, &WorkGridModel::selectedRowChanged);
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    grid.FitColumn(QStringLiteral("PARENT"));
    grid.SetSelectedRow(2);
    ASSERT_EQ(fits.count(), 1);
    EXPECT_EQ(fits.first().first().toInt(), 1);
    ASSERT_EQ(selections.count(), 1);
    EXPECT_EQ(selections.first().first().toInt(), 1);
}

TEST(WorkGridModel, RequestsMadeWithRedrawOffFollowTheReset) {
    WorkGrid grid;
    WorkGridModel model(grid);
    QStringList order;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { order.append(QStringLiteral("reset")); });
    QObject::connect(&model, &WorkGridModel::fitColumnRequested,
                     [&](int c) { order.append(QStringLiteral("fit %1").arg(c)); });
    QObject::connect(&model, &WorkGridModel::selectedRowChanged,
                     [&](int r) { order.append(QStringLiteral("select %1").arg(r)); });

    grid.SetRedraw(false);
    addLedgerColumns(grid);
    grid.AddRow();
    grid.FitColumn(QStringLiteral("NAME")); // forgotten: the grid is cleared after it
    grid.Clear(true);
    addLedgerColumns(grid);
    grid.AddRow();
    grid.AddRow();
    grid.FitColumn(QStringLiteral("NAME"));
    grid.FitColumn(QStringLiteral("PARENT"));
    grid.FitColumn(QStringLiteral("NAME"));
    grid.SetSelectedRow(1);
    grid.SetSelectedRow(2);
    EXPECT_TRUE(order.isEmpty());
    grid.SetRedraw(true);
    EXPECT_EQ(order, (QStringList{"reset", "fit 0", "fit 1", "select 1"}));
}

TEST(WorkGridModel, WhileFrozenCellsThatAreGoneReadAsNothing) {
    WorkGrid grid;
    addLedgerColumns(grid);
    for (int r = 1; r <= 3; ++r) {
        grid.AddRow();
        grid.SetCellText(r, 3, QStringLiteral("CREATED"));
        grid.SetCellColor(r, 3, 255);
    }
    WorkGridModel model(grid);
    grid.SetRedraw(false);
    grid.Clear(true);
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    grid.AddRow();
    grid.SetCellText(1, 1, QStringLiteral("Cash"));

    // The view still paints with the old counts while the loader yields.
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 3);
    const QModelIndex gone = model.index(2, 2);
    ASSERT_TRUE(gone.isValid());
    for (const int role : {int(Qt::DisplayRole), int(Qt::ForegroundRole), int(Qt::TextAlignmentRole)})
        EXPECT_FALSE(model.data(gone, role).isValid()) << role;
    EXPECT_FALSE(model.data(model.index(0, 1)).isValid());
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    EXPECT_EQ(text(model, 0, 0), QStringLiteral("Cash"));

    grid.SetRedraw(true);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 1);
}

TEST(WorkGridModel, ALargeLoadWithRedrawOffEmitsOnlyOneReset) {
    constexpr int rows = 100000;
    constexpr int columns = 22;
    WorkGrid grid;
    WorkGridModel model(grid);
    ModelSignals seen(&model);
    QSignalSpy fits(&model, &WorkGridModel::fitColumnRequested);

    grid.Clear(true);
    ASSERT_EQ(seen.modelReset.count(), 1);
    grid.SetRedraw(false);
    for (int c = 1; c <= columns; ++c)
        grid.AddColumn(QStringLiteral("FIELD%1").arg(c), QStringLiteral("Field%1").arg(c));
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    const QString amount = QStringLiteral("1500.000");
    for (int r = 1; r <= rows; ++r) {
        grid.AddRow();
        for (int c = 1; c <= columns; ++c) {
            grid.SetCellText(r, c, amount);
            grid.SetCellTextAlign(r, c, c == columns ? 2 : 0);
        }
    }
    for (int c = 1; c <= columns; ++c)
        grid.FitColumn(c);
    EXPECT_EQ(seen.all(), 1);
    EXPECT_EQ(fits.count(), 0);
    EXPECT_EQ(model.rowCount(), 0);

    grid.SetRedraw(true);
    EXPECT_EQ(seen.modelReset.count(), 2);
    EXPECT_EQ(seen.all(), 2);
    EXPECT_EQ(fits.count(), columns);
    EXPECT_EQ(model.rowCount(), rows);
    EXPECT_EQ(model.columnCount(), columns + 1);
    EXPECT_EQ(text(model, rows - 1, columns - 1), amount);
    EXPECT_EQ(model.data(model.index(rows - 1, columns - 1), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
}

TEST(WorkGridModel, AViewPaintsSafelyWhileALoaderYieldsWithRedrawOff) {
    WorkGrid grid;
    addLedgerColumns(grid);
    for (int r = 1; r <= 20; ++r) {
        grid.AddRow();
        grid.SetCellText(r, 1, QStringLiteral("Old %1").arg(r));
        grid.SetCellColor(r, 1, 255);
    }
    WorkGridModel model(grid);
    QTableView view;
    view.setModel(&model);
    QObject::connect(&model, &WorkGridModel::fitColumnRequested, &view, &QTableView::resizeColumnToContents);
    view.resize(400, 300);
    view.show();

    // The loader's pattern: redraw off, clear, columns, then one row per yield.
    grid.SetRedraw(false);
    grid.Clear(true);
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    for (int r = 1; r <= 30; ++r) {
        grid.AddRow();
        grid.SetCellText(r, 1, QStringLiteral("New %1").arg(r));
        view.viewport()->repaint();
        QCoreApplication::processEvents();
    }
    grid.FitColumn(QStringLiteral("NAME"));
    EXPECT_EQ(view.horizontalHeader()->count(), 3);
    grid.SetRedraw(true);
    view.viewport()->repaint();
    QCoreApplication::processEvents();

    EXPECT_EQ(view.horizontalHeader()->count(), 1);
    EXPECT_EQ(view.verticalHeader()->count(), 30);
    EXPECT_EQ(view.model()->data(view.model()->index(29, 0)).toString(), QStringLiteral("New 30"));
}

TEST(WorkGridModel, LeavesTheGridWhenDestroyed) {
    WorkGrid grid;
    auto model = std::make_unique<WorkGridModel>(grid);
    EXPECT_NE(grid.Observer(), nullptr);
    model.reset();
    EXPECT_EQ(grid.Observer(), nullptr);
    grid.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    EXPECT_EQ(grid.ColumnCount(), 1);
}

TEST(SourceGridModel, SatisfiesTheModelTesterThroughBindAndResize) {
    SourceGrid grid;
    SourceGridModel model(grid);
    ModelCheck check(&model);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 2);

    grid.Bind({QStringLiteral("Name"), QStringLiteral("Parent"), QStringLiteral("OpeningBalance")},
              {1, 1, 7});
    grid.AppendRecord({QStringLiteral("Cash"), QStringLiteral("Cash-in-Hand"), QStringLiteral("100")});
    grid.AppendRecord({QStringLiteral("Acme"), QStringLiteral("Sundry Debtors")});
    grid.SetTextMatrix(2, 2, QStringLiteral("250"));
    grid.SetTextMatrix(0, 0, QStringLiteral("LedgerName"));
    grid.SetColAlignment(1, 5);
    grid.SetRows(5);
    grid.SetCols(4);
    grid.SetRows(2);
    grid.SetCols(2);

    grid.SetRedraw(false);
    grid.Bind({QStringLiteral("ID"), QStringLiteral("VchType")}, {1, 1});
    for (int r = 1; r <= 4; ++r)
        grid.AppendRecord({QStringLiteral("%1").arg(r), QStringLiteral("Sales")});
    EXPECT_EQ(model.rowCount(), 1);
    grid.SetRedraw(true);
    grid.AppendRecord({QStringLiteral("5"), QStringLiteral("Receipt")});

    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(text(model, 4, 1), QStringLiteral("Receipt"));
    EXPECT_TRUE(check.failures().isEmpty()) << check.failures().join(u'\n').toStdString();
}

TEST(SourceGridModel, FieldNamesAreTheHeaderAndRecordsTheRows) {
    SourceGrid grid;
    grid.Bind({QStringLiteral("Name"), QStringLiteral("OpeningBalance")}, {1, 7});
    grid.AppendRecord({QStringLiteral("Cash"), QStringLiteral("100")});
    SourceGridModel model(grid);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("OpeningBalance"));
    EXPECT_EQ(text(model, 0, 0), QStringLiteral("Cash"));
    EXPECT_EQ(text(model, 0, 1), QStringLiteral("100"));

    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    grid.SetTextMatrix(0, 1, QStringLiteral("Balance"));
    ASSERT_EQ(header.count(), 1);
    EXPECT_EQ(header.first().at(1).toInt(), 1);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Balance"));
}

TEST(SourceGridModel, AlignmentCodesReadAsTheLoaderReadsThem) {
    SourceGrid grid;
    grid.Bind({"a", "b", "c", "d", "e", "f"}, {0, 3, 4, 6, 7, 9});
    grid.AppendRecord({"1", "2", "3", "4", "5", "6"});
    SourceGridModel model(grid);
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    const int expected[] = {left, left, centre, centre, right, right};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(model.data(model.index(0, c), Qt::TextAlignmentRole).toInt(), expected[c]) << c;

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    grid.SetColAlignment(0, 8);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), right);
}

TEST(SourceGridModel, ABindOfManyRecordsWithRedrawOffEmitsOnlyOneReset) {
    SourceGrid grid;
    SourceGridModel model(grid);
    ModelSignals seen(&model);
    grid.SetRedraw(false);
    grid.Bind({"Name", "Amount"}, {1, 7});
    for (int r = 1; r <= 10000; ++r)
        grid.AppendRecord({QStringLiteral("Row %1").arg(r), QStringLiteral("1")});
    grid.SetTextMatrix(1, 1, QStringLiteral("2"));
    EXPECT_EQ(seen.all(), 0);
    grid.SetRedraw(true);
    EXPECT_EQ(seen.all(), 1);
    EXPECT_EQ(seen.modelReset.count(), 1);
    EXPECT_EQ(model.rowCount(), 10000);
    EXPECT_EQ(text(model, 9999, 0), QStringLiteral("Row 10000"));
}

} // namespace
} // namespace quibo
