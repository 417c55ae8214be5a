// The main window with the keyboard alone: where Tab goes, which button displays as default, what
// Enter clicks, and how a command-line post that could not finish ends once its window is closed.

#include "app/view/frmExcel.h"

#include "app/view/frmSplash.h"
#include "app/view/MainWindowFixture.h"
#include "controls/button/QuiboButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sstream>

namespace quibo {
namespace {

const QString Workbook = QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls");

class KeyboardTest : public test::MainWindowFixture {
protected:
    void Show() {
        window->Form_Load(CommandArgs());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    static QString Focused() {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    }

    // The controls Tab visits from `start` until it comes back there, start first.
    QString TabCycle(QWidget* start, Qt::Key key = Qt::Key_Tab) {
        start->setFocus();
        QStringList visited{Focused()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            if (QApplication::focusWidget() == start) break;
            visited.append(Focused());
        }
        return visited.join(QStringLiteral(" > "));
    }

    // The buttons that show the default look.
    QStringList LitButtons() {
        QStringList lit;
        for (QuiboButton* button : window->findChildren<QuiboButton*>())
            if (button->StateFlags() & QuiboButton::kDefaultFlag) lit.append(button->objectName());
        return lit;
    }
};

TEST_F(KeyboardTest, TabVisitsTheControlsOfEachSourceInReadingOrder) {
    Show();
    struct Case {
        int sourceTab;
        QStringList frame;
    };
    const Case cases[] = {
        {0, {"txtFilePath", "cmdFilePath"}},
        {1, {"txtMdbPath", "cmdMDBPath", "txtMDBUser", "txtMDBPass"}},
        {2, {"txtODBCPath", "cmdODBCPath", "txtODBCUser", "txtPass"}},
    };
    for (const Case& c : cases) {
        Child<QTabBar>("TabSource")->setCurrentIndex(c.sourceTab);
        const QStringList expected = QStringList{"cmbCurrentCompanyList", "cmdRefresh", "TabSource"} +
                                     c.frame + QStringList{"GR1", "cmdPost", "cmbTableName", "cmdClose"};
        auto* start = Child<QWidget>("cmbCurrentCompanyList");
        EXPECT_EQ(TabCycle(start), expected.join(QStringLiteral(" > "))) << c.sourceTab;
        QStringList backwards = expected.mid(1);
        std::reverse(backwards.begin(), backwards.end());
        backwards.prepend(expected.first());
        EXPECT_EQ(TabCycle(start, Qt::Key_Backtab), backwards.join(QStringLiteral(" > "))) << c.sourceTab;
    }
}

TEST_F(KeyboardTest, TheCompanyListHoldsTheFocusWhenTheWindowFirstShows) {
    window->Form_Load(CommandArgs());
    window->show();
    // The window's own choice, before the platform activates it.
    ASSERT_NE(window->focusWidget(), nullptr);
    EXPECT_EQ(window->focusWidget()->objectName(), QStringLiteral("cmbCurrentCompanyList"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(Focused(), QStringLiteral("cmbCurrentCompanyList"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), QStringLiteral("cmdRefresh"));
}

// As the program starts: the splash, the start-up (a first start asks for the server in the window's
// own settings dialog), the window shown with nobody activating it, and the splash closed. The offscreen
// platform activates what it shows; run with QT_QPA_PLATFORM=xcb on an X server without a window
// manager, this also holds the window to asking for the keyboard itself.
TEST_F(KeyboardTest, TheFirstKeyReachesTheCompanyListAsTheProgramStarts) {
    struct Case {
        const char* name;
        bool firstStart;
    };
    for (const Case c : {Case{"settings stored", false}, Case{"a first start", true}}) {
        if (c.firstStart) {
            settings.set(QStringLiteral("ServerAddress"), QString());
            settings.set(QStringLiteral("PortNo"), QString());
        }
        MakeWindow(nullptr);
        frmSplash splash;
        splash.show();
        QApplication::processEvents();
        int dialogsShown = 0;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = QApplication::activeModalWidget()) {
                ++dialogsShown;
                QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("OKButton")), Qt::LeftButton);
            }
        });
        window->Form_Load(CommandArgs());
        EXPECT_EQ(dialogsShown, c.firstStart ? 1 : 0) << c.name;
        window->show();
        splash.UnloadMeX();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get())) << c.name;
        EXPECT_EQ(Focused(), QStringLiteral("cmbCurrentCompanyList")) << c.name;
        QTest::keyClick(window.get(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), QStringLiteral("cmdRefresh")) << c.name;
        window->close();
    }
}

TEST_F(KeyboardTest, LeavingThePathBoxLoadsItsSheetsAndTheFocusGoesWhereTabSentIt) {
    Show();
    auto* path = Child<QLineEdit>("txtFilePath");
    path->setFocus();
    QTest::keyClicks(path, Workbook);
    QTest::keyClick(path, Qt::Key_Tab);
    EXPECT_EQ(Focused(), QStringLiteral("cmdFilePath"));
    EXPECT_GT(window->form().cmbTableName.ListCount(), 1); // the sheets were listed
    EXPECT_EQ(errors.reportCount(), 0);

    // A table loaded: its check box joins the command row.
    auto* types = Child<QWidget>("cmbTableName");
    types->setFocus();
    const int ledgers = int(window->form().cmbTableName.items().indexOf(QStringLiteral("LEDGERS")));
    ASSERT_GT(ledgers, 0);
    for (int i = 0; i < ledgers; ++i)
        QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(Focused(), QStringLiteral("cmbTableName"));
    EXPECT_EQ(TabCycle(Child<QWidget>("cmdPost")),
              QStringLiteral("cmdPost > cmbTableName > chkSkipMst > cmdClose > cmbCurrentCompanyList > "
                             "cmdRefresh > TabSource > txtFilePath > cmdFilePath > GR1"));
}

TEST_F(KeyboardTest, TheFocusedButtonDisplaysAsDefaultAndEnterClicksIt) {
    Show();
    EXPECT_EQ(LitButtons(), QStringList());
    Child<QWidget>("cmbCurrentCompanyList")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(Focused(), QStringLiteral("cmdRefresh"));
    EXPECT_EQ(LitButtons(), QStringList{"cmdRefresh"});

    const size_t requests = server->requestLog().size();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(server->requestLog().size(), requests + 4); // the refresh ran
    EXPECT_EQ(Focused(), QStringLiteral("cmdRefresh"));

    // Off the buttons no button displays as default, and Enter clicks none.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(LitButtons(), QStringList());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(Focused(), QStringLiteral("txtFilePath"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(server->requestLog().size(), requests + 4);
    EXPECT_TRUE(files.asked.empty());

    // The look follows the focus from button to button; Enter on Close closes the window.
    Child<QWidget>("cmdPost")->setFocus();
    EXPECT_EQ(LitButtons(), QStringList{"cmdPost"});
    Child<QWidget>("cmdClose")->setFocus();
    EXPECT_EQ(LitButtons(), QStringList{"cmdClose"});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardTest, AButtonWithoutFocusRectangleTakesEnterWithoutTheDefaultLook) {
    Show();
    auto* refresh = Child<QuiboButton>("cmdRefresh");
    refresh->SetShowFocusRect(false);
    refresh->setFocus();
    EXPECT_EQ(LitButtons(), QStringList());
    const size_t requests = server->requestLog().size();
    QTest::keyClick(refresh, Qt::Key_Return);
    EXPECT_EQ(server->requestLog().size(), requests + 4);
}

TEST_F(KeyboardTest, NoFrameCaptionIsCutAndNoneRunsIntoItsBox) {
    Show();
    // The boxes beside the first captions keep one left edge across the frames.
    const int left = Child<QLineEdit>("txtFilePath")->x();
    for (const char* box : {"txtMdbPath", "txtMDBUser", "txtODBCPath", "txtODBCUser"})
        EXPECT_EQ(Child<QLineEdit>(box)->x(), left) << box;
    for (int tab = 0; tab < 3; ++tab) {
        Child<QTabBar>("TabSource")->setCurrentIndex(tab);
        QApplication::processEvents();
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            EXPECT_GE(label->height(), label->sizeHint().height()) << label->text().toStdString();
            for (QLineEdit* box : label->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
                EXPECT_FALSE(box->geometry().intersects(label->geometry()))
                    << label->text().toStdString() << " / " << box->objectName().toStdString();
        }
    }
}

// A command-line post that cannot finish leaves the window open; once it is closed the program
// still ends as the unattended run it was asked to be.
TEST_F(KeyboardTest, AnUnfinishedCommandLinePostEndsWithStatus2OnceItsWindowIsClosed) {
    struct Case {
        const char* name;
        QStringList arguments;
        int status;
        std::string lastError;
    };
    const Case cases[] = {
        {"a post to a company that is not open",
         {"XLS", Workbook, "LEDGERS", "Gamma Co", "", "", "", "POSTSILENT"},
         2,
         "quibo: argument 4 \"Gamma Co\" is not the current company \"Acme Traders\" (compared exactly)\n"},
        {"a start without a post", {"XLS", Workbook, "LEDGERS", "Gamma Co"}, 0, ""},
    };
    for (const Case& c : cases) {
        MakeWindow(&dialogs);
        const size_t requests = server->requestLog().size();
        const FormLoadResult result = window->Form_Load(CommandArgs(c.arguments));
        ASSERT_FALSE(result.closed) << c.name;
        bool shownWhenClosed = false;
        QTimer::singleShot(0, [&] {
            shownWhenClosed = window->isVisible();
            QTest::mouseClick(Child<QuiboButton>("cmdClose"), Qt::LeftButton);
        });
        std::ostringstream err;
        EXPECT_EQ(window->WaitUntilClosed(result, err), c.status) << c.name;
        EXPECT_TRUE(shownWhenClosed) << c.name;
        EXPECT_EQ(err.str(), c.lastError) << c.name;
        EXPECT_EQ(server->requestLog().size(), requests + 4) << c.name; // the refresh, and no post
    }
}

} // namespace
} // namespace quibo
