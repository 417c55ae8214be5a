// After a box or dialog closes, the window that opened it has the keyboard again, on the control that
// had i A window manager usually hands it back; without one nothing does unless the program asks.
// Each case runs here on the offscreen platform, and once more in a child process on an X server
// with no window manager (Xvfb) where one can be started.

#include "app/view/frmExcel.h"

#include "app/view/MainWindowFixture.h"
#include "app/view/QtFileDialog.h"
#include "app/view/QtMessageBox.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quibo {
namespace {

QString NameOf(QWidget* widget) {
    return widget ? widget->objectName() : QStringLiteral("(none)");
}

class DialogFocusTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // The window's own dialogs and real message boxes.
        window = std::make_unique<frmExcel>(
            ViewServices{qtBoxes, files, clock, settings, errors, transport, folder.path(), nullptr});
        window->Form_Load(CommandArgs());
        // The companies listed and the ledgers of the sample workbook loaded: a post can run.
        MainCommands& commands = window->commands();
        commands.cmdRefresh_Click();
        window->form().txtFilePath = QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls");
        commands.txtFilePath_Validate();
        window->form().cmbTableName.SetListIndex(
            int(window->form().cmbTableName.items().indexOf(QStringLiteral("LEDGERS"))));
        commands.cmbTableName_Click();
        window->SyncFromModel();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Once the modal dialog `title` is up and active, `key` goes to its focused control. Keys only:
    // nothing here clicks. A dialog that never becomes active fails the case and gets the key all the
    // same, so that the case ends.
    void PressInDialog(const QString& title, Qt::Key key) {
        auto* poll = new QTimer(window.get());
        poll->setInterval(20);
        auto polls = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, poll, [=] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->windowTitle() != title) return;
            const bool active = QApplication::activeWindow() == dialog;
            if (!active && ++*polls < 150) return;
            EXPECT_TRUE(active) << title.toStdString() << " never had the keyboard";
            poll->deleteLater();
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, key);
        });
        poll->start();
    }

    // True when `opener` is the active window with `control` focused, waiting for the window system.
    static bool HasTheKeyboard(QWidget* opener, const QString& control) {
        return QTest::qWaitFor(
            [&] {
                return QApplication::activeWindow() == opener &&
                       NameOf(QApplication::focusWidget()) == control;
            },
            3000);
    }

    QtMessageBox qtBoxes;
};

// The message box, the file dialog and the window's two dialogs, each closed by a key as a user would;
// the About box also opens a box of its own, after which the About box has the keyboard back.
TEST_F(DialogFocusTest, AfterEachDialogItsOpenerHasTheKeyboardOnTheControlItHad) {
    struct Case {
        const char* name;
        const char* focused;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"a message box closed by Enter", "cmdPost",
         [this] {
             PressInDialog(QStringLiteral("Quibo"), Qt::Key_Return);
             qtBoxes.show({QStringLiteral("Posted."), QStringLiteral("Quibo")});
         }},
        {"a question closed by Escape", "cmbTableName",
         [this] {
             PressInDialog(QStringLiteral("Quibo"), Qt::Key_Escape);
             qtBoxes.show(
                 {QStringLiteral("Post?"), QStringLiteral("Quibo"), MsgIcon::Question, MsgButtons::YesNo});
         }},
        {"the file dialog closed by Escape", "cmdFilePath",
         [this] {
             PressInDialog(QStringLiteral("Open Excel File"), Qt::Key_Escape);
             QtFileDialog().openFile({QStringLiteral("Open Excel File"), QStringLiteral("Excel Files|*.xls"),
                                      folder.path(), QStringLiteral(".xls")});
         }},
        {"a post started by Alt+P from the import-type list, its two boxes closed by Enter", "cmbTableName",
         [this] {
             const size_t requests = server->requestLog().size();
             PressInDialog(QStringLiteral("Quibo 1.0. Continue?"), Qt::Key_Return);
             PressInDialog(QStringLiteral("Excel to Tally"), Qt::Key_Return);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
             EXPECT_GT(server->requestLog().size(), requests); // the ledgers were posted
         }},
        {"the settings dialog closed by Escape", "txtFilePath",
         [this] {
             PressInDialog(QStringLiteral("Set Tally Server Address & port"), Qt::Key_Escape);
             window->findChild<QAction*>(QStringLiteral("mnuOptions"))->trigger();
         }},
        {"the About box, after a box of its own", "cmdRefresh",
         [this] {
             const QString about = QStringLiteral("About Quibo");
             auto* poll = new QTimer(window.get());
             poll->setInterval(20);
             QObject::connect(poll, &QTimer::timeout, poll, [=, this] {
                 auto* box = QApplication::activeModalWidget();
                 if (!box || box->windowTitle() != about || QApplication::activeWindow() != box) return;
                 poll->deleteLater();
                 auto* sysInfo = box->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
                 sysInfo->setFocus();
                 PressInDialog(QStringLiteral("Quibo"), Qt::Key_Return);
                 QTest::keyClick(sysInfo, Qt::Key_Space); // returns when the box it opens is closed
                 EXPECT_TRUE(HasTheKeyboard(box, QStringLiteral("cmdSysInfo")))
                     << NameOf(QApplication::activeWindow()).toStdString() << " / "
                     << NameOf(QApplication::focusWidget()).toStdString();
                 QTest::keyClick(box, Qt::Key_Escape);
             });
             poll->start();
             window->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
         }},
    };
    for (const Case& c : cases) {
        auto* control = window->findChild<QWidget*>(QString::fromLatin1(c.focused));
        ASSERT_NE(control, nullptr) << c.name;
        // Each case starts from the window holding the keyboard, whatever the case before left.
        window->activateWindow();
        control->setFocus();
        ASSERT_TRUE(HasTheKeyboard(window.get(), QString::fromLatin1(c.focused))) << c.name;
        c.open();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.name;
        EXPECT_TRUE(HasTheKeyboard(window.get(), QString::fromLatin1(c.focused)))
            << c.name << ": " << NameOf(QApplication::activeWindow()).toStdString() << " / "
            << NameOf(QApplication::focusWidget()).toStdString();
    }
}

// The same cases on an X server without a window manager, where a closed dialog hands the keyboard
// to nobody: the cases above run in a child process on a private Xvfb display.
TEST_F(DialogFocusTest, AfterEachDialogItsOpenerHasTheKeyboardUnderXvfbWithoutAWindowManager) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) GTEST_SKIP() << "no Xvfb on this machine (scripts/install-deps installs it)";

    QProcess server;
    // -displayfd 1: the server picks a free display and writes its number on standard output.
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24")});
    ASSERT_TRUE(server.waitForStarted(10000));
    QByteArray display;
    for (int i = 0; i < 100 && !display.endsWith('\n'); ++i) {
        server.waitForReadyRead(100);
        display += server.readAllStandardOutput();
    }
    ASSERT_TRUE(display.endsWith('\n')) << "Xvfb gave no display";

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // What the X libraries keep to the end is theirs; the cases' own leaks are sought in the run above.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    environment.insert(QStringLiteral("DISPLAY"),
                       QStringLiteral(":") + QString::fromLatin1(display.trimmed()));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral(
            "--gtest_filter=DialogFocusTest.AfterEachDialogItsOpenerHasTheKeyboardOnTheControlItHad")});
    const bool finished = child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    server.terminate();
    server.waitForFinished(5000);
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test."))) << output.toStdString();
}

} // namespace
} // namespace quibo
