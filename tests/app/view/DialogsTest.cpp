#include "app/view/dlgIPAddress.h"
#include "app/view/frmAbout.h"
#include "app/view/frmSplash.h"
#include "app/view/QtFileDialog.h"
#include "app/view/QtMessageBox.h"

#include "base/MemorySettingsStore.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quibo {
namespace {

template <class T> T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(SettingsDialogTest, ShowsTheDefaultsAndOkStoresTheFiveSettings) {
    MemorySettingsStore store;
    dlgIPAddress dialog(store);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set Tally Server Address & port"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "txtServer")->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "txtPort")->text(), QStringLiteral("9000"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "txtDateFormat")->text(), QStringLiteral("dd-MMM-yyyy"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "txtDecPlaces")->text(), QStringLiteral("#################0.000"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkOldTally")->checkState(), Qt::Unchecked);
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkOldTally")->text(), QStringLiteral("I am using Old Tally"));
    EXPECT_TRUE(
        Child<QPlainTextEdit>(dialog, "Text3")
            ->toPlainText()
            .startsWith(QStringLiteral(
                "The Default values are  as follows\n-For Server Address running on local machince \n")));

    Child<QLineEdit>(dialog, "txtPort")->setText(QStringLiteral("9999"));
    Child<QCheckBox>(dialog, "chkOldTally")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(dialog, "OKButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(store.size(), 5);
    EXPECT_EQ(store.get(QStringLiteral("ServerAddress")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(store.get(QStringLiteral("PortNo")), QStringLiteral("9999"));
    EXPECT_EQ(store.get(QStringLiteral("UseOldTally")), QStringLiteral("Yes"));
}

TEST(SettingsDialogTest, CancelStoresNothing) {
    MemorySettingsStore store;
    store.set(QStringLiteral("UseOldTally"), QStringLiteral("Yes"));
    dlgIPAddress dialog(store);
    EXPECT_EQ(Child<QCheckBox>(dialog, "chkOldTally")->checkState(), Qt::Checked);
    Child<QLineEdit>(dialog, "txtServer")->setText(QStringLiteral("elsewhere"));
    QTest::mouseClick(Child<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(store.size(), 1);
}

TEST(AboutBoxTest, ShowsTheCaptionsAndTheKeysEmptyTheText) {
    test::ScriptedMessageBox boxes;
    frmAbout about(boxes, nullptr, AppInfo{2, 1, 7});
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quibo"));
    EXPECT_EQ(Child<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 2.1.7"));
    EXPECT_EQ(Child<QLabel>(about, "lblTitle")->text(), QStringLiteral("Quibo"));
    EXPECT_EQ(Child<QPushButton>(about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    auto* text = Child<QPlainTextEdit>(about, "Text1");
    const QString contact = text->toPlainText();
    EXPECT_FALSE(contact.isEmpty());

    QTest::keyClick(text, Qt::Key_A);
    EXPECT_EQ(text->toPlainText(), QString());
    // Ctrl held down, as the keyboard reports it, then a double click.
    QKeyEvent ctrlDown(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(text, &ctrlDown);
    QTest::mouseDClick(text->viewport(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(text->toPlainText(), contact);

    QTest::mouseClick(Child<QPushButton>(about, "cmdSysInfo"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(AboutBoxTest, OpensOnOkSoEnterClosesItAndTheContactTextStays) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        test::ScriptedMessageBox boxes;
        frmAbout about(boxes, nullptr, AppInfo{2, 1, 7});
        about.show();
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
        const QString contact = Child<QPlainTextEdit>(about, "Text1")->toPlainText();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(about.isVisible()) << key;
        EXPECT_EQ(about.result(), QDialog::Accepted) << key;
        EXPECT_EQ(Child<QPlainTextEdit>(about, "Text1")->toPlainText(), contact) << key;
        EXPECT_FALSE(contact.isEmpty());
    }
}

TEST(SplashTest, ShowsTitleAndVersionAndAnyKeyClosesIt) {
    frmSplash splash(AppInfo{2, 1, 7});
    splash.show();
    EXPECT_EQ(Child<QLabel>(splash, "lblProductName")->text(), QStringLiteral("Quibo"));
    EXPECT_EQ(Child<QLabel>(splash, "lblVersion")->text(), QStringLiteral("Version 2.1.7"));
    QTest::keyClick(&splash, Qt::Key_Space);
    EXPECT_FALSE(splash.isVisible());
}

TEST(QtFileDialogTest, TheFormsFiltersBecomeQts) {
    EXPECT_EQ(QtFileDialog::QtFilter(QStringLiteral("Microsoft Excel (*.xls)|*.xls| All Files (*.*)|*.*")),
              QStringLiteral("Microsoft Excel (*.xls);;All Files (*)"));
    EXPECT_EQ(QtFileDialog::QtFilter(QStringLiteral("Microsoft Access (*.mdb)|*.mdb| All Files (*.*)|*.*")),
              QStringLiteral("Microsoft Access (*.mdb);;All Files (*)"));
    EXPECT_EQ(QtFileDialog::QtFilter(QStringLiteral("Text|*.txt;*.csv")),
              QStringLiteral("Text (*.txt *.csv)"));
}

TEST(QtMessageBoxTest, ShowsPlainTextAndAnswersWithTheButtonClicked) {
    QString shownText;
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownTitle = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    QtMessageBox boxes;
    MessageBoxRequest request;
    request.text = QStringLiteral(
        "You have selected  >LEDGERS<.  This will pass the data in Tally.\r\n Do you want to continue?");
    request.title = QStringLiteral("Quibo 1.0. Continue?");
    request.icon = MsgIcon::Information;
    request.buttons = MsgButtons::YesNo;
    EXPECT_EQ(boxes.show(request), MsgAnswer::No);
    EXPECT_EQ(
        shownText,
        QStringLiteral(
            "You have selected  >LEDGERS<.  This will pass the data in Tally.\n Do you want to continue?"));
    EXPECT_EQ(shownTitle, QStringLiteral("Quibo 1.0. Continue?"));
}

TEST(QtMessageBoxTest, IsWideEnoughForItsTitle) {
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageBox boxes;
    MessageBoxRequest request;
    request.text = QStringLiteral("Please select a company.");
    request.title = QStringLiteral("Select Company.");
    boxes.show(request);
    // The title in a bold title-bar font, beside the bar's icon and its three buttons.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int bar = 4 * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    EXPECT_GE(width, QFontMetrics(font).horizontalAdvance(request.title) + bar);
}

} // namespace
} // namespace quibo
