// A window's default button as a forms host keeps it: it displays as default while no other button
// holds the focus, and Enter clicks whichever button displays.

#include "app/view/ButtonSites.h"

#include "controls/button/QuiboButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(ButtonSitesTest, TheDefaultButtonDisplaysWhileNoOtherButtonHoldsTheFocus) {
    QWidget window;
    ButtonSites sites(window);
    auto* box = new QLineEdit(&window);
    QuiboButton* ok = sites.NewButton(QStringLiteral("ok"), QStringLiteral("&OK"), &window);
    QuiboButton* other = sites.NewButton(QStringLiteral("other"), QStringLiteral("O&ther"), &window);
    ok->move(0, 40);
    other->move(0, 80);
    int okClicks = 0;
    int otherClicks = 0;
    QObject::connect(ok, &QuiboButton::Click, [&] { ++okClicks; });
    QObject::connect(other, &QuiboButton::Click, [&] { ++otherClicks; });
    const QMetaObject::Connection following =
        QObject::connect(qApp, &QApplication::focusChanged, &window, [&] { sites.FollowFocus(); });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    box->setFocus();
    EXPECT_EQ(sites.Displayed(), nullptr);
    sites.SetDefaultButton(ok);
    EXPECT_EQ(sites.Displayed(), ok);
    EXPECT_TRUE(ok->StateFlags() & QuiboButton::kDefaultFlag);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);

    other->setFocus();
    EXPECT_EQ(sites.Displayed(), other);
    EXPECT_FALSE(ok->StateFlags() & QuiboButton::kDefaultFlag);
    EXPECT_TRUE(other->StateFlags() & QuiboButton::kDefaultFlag);
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(okClicks, 1);

    box->setFocus();
    EXPECT_EQ(sites.Displayed(), ok);
    EXPECT_FALSE(other->StateFlags() & QuiboButton::kDefaultFlag);
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(otherClicks, 1);

    // The buttons go before their sites, and nothing follows the focus while they go.
    QObject::disconnect(following);
    delete ok;
    delete other;
}

} // namespace
} // namespace quibo
