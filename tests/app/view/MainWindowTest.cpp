#include "app/view/frmExcel.h"

#include "app/commands/FormLayout.h"
#include "app/view/dlgIPAddress.h"
#include "app/view/MainWindowFixture.h"
#include "controls/button/QuiboButton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace quibo {
namespace {

const QString Placeholder = QStringLiteral(">>Select Import Type<<");
const QString Workbook = QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls");

class MainWindowTest : public test::MainWindowFixture {
protected:
    // Chooses an entry of the import-type box with the keyboard, as a user does.
    void ChooseImportType(const QString& entry) {
        auto* box = Child<QComboBox>("cmbTableName");
        box->setFocus();
        for (int i = 0; i < 20 && box->currentText() != entry; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentText(), entry);
    }
};

TEST_F(MainWindowTest, OpensSwitchesSourcesLoadsAWorkbookDoubleClicksARowAndPosts) {
    window->commands().posters.Register(QStringLiteral("PostLedgers"), [this] {
        WorkGrid& grid = window->form().GR1;
        const int status = grid.ColumnIndex(QStringLiteral("PROCESSSTATUS"));
        for (int row = 1; row <= grid.RowCount(); ++row) {
            if (window->form().IsEmptyRow(row)) continue;
            const bool refused = row == 2;
            grid.SetCellText(row, status,
                             refused ? QStringLiteral("ERRORS Group 'Bank Accounts' does not exist - ")
                                     : QStringLiteral("CREATED "));
            grid.SetCellIcon(row, 1, refused ? 1 : 0);
            if (refused) {
                grid.SetCellColor(row, status, 255);
                grid.SetCellFont(row, status, GridFont{true});
            }
            window->form().DoEvents();
        }
    });

    const FormLoadResult result = window->Form_Load(CommandArgs());
    EXPECT_FALSE(result.closed);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Quibo ")));
    EXPECT_EQ(Child<QComboBox>("cmbCurrentCompanyList")->currentText(), QStringLiteral("Acme Traders"));
    EXPECT_EQ(Child<QComboBox>("cmbTableName")->currentText(), Placeholder);

    // The source tabs: each shows its own frame.
    auto* tabs = Child<QTabBar>("TabSource");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("ODBC"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    EXPECT_EQ(window->form().tabSourceIndex, 2);
    EXPECT_TRUE(Child<QGroupBox>("frSource(2)")->isVisible());
    EXPECT_FALSE(Child<QGroupBox>("frSource(0)")->isVisible());
    // The ODBC password shows as "*", one per character.
    auto* password = Child<QLineEdit>("txtPass");
    password->setText(QStringLiteral("s3cret"));
    EXPECT_EQ(password->displayText(), QStringLiteral("******"));
    password->clear();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_TRUE(Child<QGroupBox>("frSource(1)")->isVisible());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_TRUE(Child<QGroupBox>("frSource(0)")->isVisible());
    EXPECT_FALSE(Child<QGroupBox>("frSource(1)")->isVisible());

    // The workbook through the browse button, then its ledgers through the import-type box.
    files.answerNext(Workbook);
    QTest::mouseClick(Child<QuiboButton>("cmdFilePath"), Qt::LeftButton);
    EXPECT_EQ(Child<QLineEdit>("txtFilePath")->text(), Workbook);
    ChooseImportType(QStringLiteral("LEDGERS"));
    auto* gr1 = Child<QTableView>("GR1");
    ASSERT_GT(gr1->model()->rowCount(), 2);
    EXPECT_EQ(gr1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(gr1->model()->index(0, 0).data().toString(), QStringLiteral("Cash"));

    // The source table as read, opened below the working grid, answers a double click.
    Child<QSplitter>("DataSplitter")->setSizes({230, 150});
    QApplication::processEvents();
    auto* ledger = Child<QTableView>("lstLedgerTree");
    const QRect cell = ledger->visualRect(ledger->model()->index(0, 0));
    ASSERT_TRUE(cell.isValid());
    // A double click is a click and a second press: the press picks the row.
    QTest::mouseClick(ledger->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(ledger->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Petty cash")); // the row's last cell, Note
    EXPECT_EQ(boxes.shown.back().title, QStringLiteral("Quibo"));

    // Post: confirmed, the rows get their outcome, and the report becomes available.
    EXPECT_FALSE(Child<QAction>("mnuSaveR")->isVisible());
    const size_t before = boxes.shown.size();
    QTest::mouseClick(Child<QuiboButton>("cmdPost"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), before + 2);
    EXPECT_EQ(boxes.shown[before].title, QStringLiteral("Quibo 1.0. Continue?"));
    EXPECT_EQ(boxes.shown[before + 1].title, QStringLiteral("Excel to Tally"));
    EXPECT_TRUE(Child<QAction>("mnuSaveR")->isVisible());
    const int statusColumn = gr1->model()->columnCount() - 1;
    EXPECT_EQ(gr1->model()->index(0, statusColumn).data().toString(), QStringLiteral("CREATED "));
    EXPECT_FALSE(gr1->model()->index(1, 0).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(errors.reportCount(), 0);

    const QString shots = QStringLiteral(QUIBO_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(shots));
    const QString path = shots + QStringLiteral("/frmExcel.png");
    ASSERT_TRUE(window->grab().save(path));
    EXPECT_GT(QFileInfo(path).size(), 1000);
    std::cout << "screenshot: " << path.toStdString() << '\n';
}

TEST_F(MainWindowTest, EachCommandButtonsClickRunsItsCommand) {
    window->Form_Load(CommandArgs());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    settings.set(QStringLiteral("DecimalPlaces"), QStringLiteral("0.00"));
    struct Case {
        const char* name;
        int sourceTab;
        std::function<bool()> ran;
    };
    const size_t asked = files.asked.size();
    window->form().cmbTableName.AddItem(QStringLiteral("LEDGERS"));
    const Case cases[] = {
        {"cmdRefresh", 0, [&] { return window->form().DecimalPlaces == QStringLiteral("0.00"); }},
        {"cmdFilePath", 0, [&] { return files.asked.size() == asked + 1; }},
        {"cmdMDBPath", 1, [&] { return files.asked.size() == asked + 2; }},
        // A blank DSN lists nothing but the placeholder.
        {"cmdODBCPath", 2, [&] { return window->form().cmbTableName.ListCount() == 1; }},
        {"cmdPost", 0, [&] { return boxes.shown.back().text == QStringLiteral("Select a Import Type."); }},
        {"cmdClose", 0, [&] { return !window->isVisible(); }},
    };
    auto* tabs = Child<QTabBar>("TabSource");
    for (const Case& c : cases) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(c.sourceTab).center());
        auto* button = Child<QuiboButton>(c.name);
        ASSERT_TRUE(button->isVisible()) << c.name;
        if (std::string(c.name) == "cmdPost") {
            const QString shots = QStringLiteral(QUIBO_BINARY_DIR "/screenshots");
            ASSERT_TRUE(QDir().mkpath(shots));
            EXPECT_TRUE(window->grab().save(shots + QStringLiteral("/frmExcel-buttons.png")));
        }
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_TRUE(c.ran()) << c.name;
    }
}

TEST_F(MainWindowTest, WhileAPostRunsASecondPostAndCloseAreRefusedAndTheStatusLineSaysSo) {
    window->Form_Load(CommandArgs());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    FormModel& form = window->form();
    form.cmbTableName.AddItem(QStringLiteral("LEDGERS"));
    form.cmbTableName.SetListIndex(form.cmbTableName.ListCount() - 1);
    form.SilentMode = true;
    window->SyncFromModel();
    auto* statPanel = Child<QLabel>("SB.stat");
    const QString banner = statPanel->text();
    ASSERT_FALSE(banner.isEmpty());

    int posts = 0;
    bool typesEnabledDuring = true;
    QString afterSecondPost;
    QString afterClose;
    bool closedDuring = true;
    window->commands().posters.Register(QStringLiteral("PostLedgers"), [&] {
        ++posts;
        QThread::msleep(60); // past the yield interval: this DoEvents shows the model
        form.DoEvents();
        typesEnabledDuring = Child<QComboBox>("cmbTableName")->isEnabled();
        QTest::mouseClick(Child<QuiboButton>("cmdPost"), Qt::LeftButton);
        afterSecondPost = statPanel->text();
        closedDuring = window->close();
        afterClose = statPanel->text();
    });
    QTest::mouseClick(Child<QuiboButton>("cmdPost"), Qt::LeftButton);
    EXPECT_EQ(posts, 1);
    EXPECT_FALSE(typesEnabledDuring);
    EXPECT_EQ(afterSecondPost, QStringLiteral(".........Post is not possible while a post is running."));
    EXPECT_FALSE(closedDuring);
    EXPECT_EQ(afterClose, QStringLiteral(".........Close is not possible while a post is running."));
    EXPECT_TRUE(window->isVisible());
    // The post over, the status line shows what it showed before.
    EXPECT_EQ(statPanel->text(), banner);
    EXPECT_TRUE(Child<QComboBox>("cmbTableName")->isEnabled());

    // Idle again, Close closes the window.
    QTest::mouseClick(Child<QuiboButton>("cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ASmallWindowGrowsToTheMinimumAndTheControlsFollowTheLayout) {
    window->Form_Load(CommandArgs());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->resize(333, 333);
    QApplication::processEvents();
    EXPECT_EQ(window->frameGeometry().size(), QSize(10110 / 15, 8460 / 15));
    const FormLayout& layout = window->commands().state.layout;
    EXPECT_EQ(layout.Width, 10110);
    EXPECT_EQ(layout.Height, 8460);
    auto px = [](int twips) { return qRound(twips / 15.0); };
    EXPECT_EQ(Child<QuiboButton>("cmdPost")->geometry(),
              QRect(px(layout.cmdPost.Left), px(layout.cmdPost.Top), px(layout.cmdPost.Width),
                    px(layout.cmdPost.Height)));
    EXPECT_EQ(Child<QuiboButton>("cmdRefresh")->geometry().left(), px(8500));
    // The check boxes are as wide as their captions, and the import-type box takes the rest.
    EXPECT_EQ(layout.chkChkMst.Width, Child<QCheckBox>("chkChkMst")->sizeHint().width() * 15);
    EXPECT_EQ(Child<QCheckBox>("chkChkMst")->geometry().left(), px(layout.chkChkMst.Left));
    EXPECT_EQ(layout.cmbTableName.Width, layout.cmdClose.Left - (60 + 1335 + 1000) - layout.chkChkMst.Width);

    window->resize(1000, 700);
    QApplication::processEvents();
    const int outerWidth = window->frameGeometry().width();
    EXPECT_EQ(window->commands().state.layout.Width, outerWidth * 15);
    EXPECT_EQ(Child<QuiboButton>("cmdRefresh")->geometry().left(), px(outerWidth * 15 - 1335 - 275));
}

TEST_F(MainWindowTest, TheOptionsMenuOpensTheSettingsDialogAndRefreshesAfterACancel) {
    MakeWindow(nullptr); // the window's own dialogs
    window->Form_Load(CommandArgs());
    const size_t requestsBefore = server->requestLog().size();
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<dlgIPAddress*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    Child<QAction>("mnuOptions")->trigger();
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(server->requestLog().size(), requestsBefore + 4); // the refresh ran
}

TEST_F(MainWindowTest, TheMenusHoldTheirEntries) {
    window->Form_Load(CommandArgs());
    const char* visible[] = {"mnuOptions", "mnuUpdateFormats", "mnuExit", "mnuContent", "mnuAbout"};
    for (const char* name : visible)
        EXPECT_TRUE(Child<QAction>(name)->isVisible()) << name;
    const char* hidden[] = {"mnuSaveR", "mnuIndex", "mnuSearch", "mnuSupport"};
    for (const char* name : hidden)
        EXPECT_FALSE(Child<QAction>(name)->isVisible()) << name;
    EXPECT_EQ(Child<QAction>("mnuAbout")->text(), QStringLiteral("About Quibo 1.0"));
    EXPECT_EQ(Child<QAction>("mnuSaveR")->text(), QStringLiteral("Save Report"));
    Child<QAction>("mnuAbout")->trigger();
    EXPECT_EQ(dialogs.aboutShown, 1);
    Child<QAction>("mnuExit")->trigger();
    EXPECT_TRUE(window->commands().state.unloaded);
}

} // namespace
} // namespace quibo
