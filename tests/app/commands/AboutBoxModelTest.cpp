#include "app/commands/AboutBoxModel.h"

#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(AboutBoxModelTest, CaptionsFromTheProgramsVersion) {
    AboutBoxModel about(AppInfo{2, 1, 7});
    about.Form_Load();
    EXPECT_EQ(about.caption, QStringLiteral("About Quibo"));
    EXPECT_EQ(about.lblTitle, QStringLiteral("Quibo"));
    EXPECT_EQ(about.lblVersion, QStringLiteral("Version 2.1.7"));
    EXPECT_EQ(
        about.lblDescription,
        QStringLiteral("It is a software utility for end-users that allows you to Import data into Tally "
                       "Software from various sources like Excel, SQL-Server, MySQL, Access, Visual Foxpro, "
                       "DBase etc."));
    EXPECT_FALSE(about.ctrlFlag);
    ASSERT_FALSE(about.Text1.isEmpty());
    EXPECT_TRUE(about.Text1.endsWith(QStringLiteral("\r\n")));
    for (const QString& line : about.Text1.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(QStringLiteral("     "))) << line.toStdString();
}

TEST(AboutBoxModelTest, AnyKeyEmptiesTheTextAndCtrlDoubleClickBringsItBack) {
    AboutBoxModel about;
    about.Form_Load();
    const QString contact = about.Text1;

    about.Text1_KeyDown(17, AboutBoxModel::CtrlMask); // Ctrl goes down
    EXPECT_TRUE(about.ctrlFlag);
    EXPECT_EQ(about.Text1, contact);
    about.Text1_KeyUp(17, 0); // and up again: empties the box
    EXPECT_FALSE(about.ctrlFlag);
    EXPECT_EQ(about.Text1, QString());

    about.Text1_DblClick(); // without Ctrl: nothing
    EXPECT_EQ(about.Text1, QString());
    about.Text1_KeyDown(17, AboutBoxModel::CtrlMask);
    about.Text1_DblClick();
    EXPECT_EQ(about.Text1, contact);

    about.Text1_KeyDown(65, 1); // Shift+A
    EXPECT_FALSE(about.ctrlFlag);
    EXPECT_EQ(about.Text1, QString());
}

TEST(AboutBoxModelTest, SystemInformationIsUnavailableHere) {
    test::ScriptedMessageBox boxes;
    AboutBoxModel about;
    about.StartSysInfo(boxes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
}

} // namespace
} // namespace quibo
