#include "app/commands/SettingsDialogModel.h"

#include "base/MemorySettingsStore.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(SettingsDialogModelTest, WithNothingStoredTheDefaultsAreShownAndNothingIsStored) {
    MemorySettingsStore store;
    SettingsDialogModel dialog(store);
    dialog.Form_Load();
    EXPECT_EQ(dialog.txtServer, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(dialog.txtPort, QStringLiteral("9000"));
    EXPECT_EQ(dialog.txtDateFormat, QStringLiteral("dd-MMM-yyyy"));
    EXPECT_EQ(dialog.txtDecPlaces, QString(17, QLatin1Char('#')) + QStringLiteral("0.000"));
    EXPECT_EQ(dialog.chkOldTally, 0);
    dialog.CancelButton_Click();
    EXPECT_EQ(store.size(), 0);
}

TEST(SettingsDialogModelTest, OkWritesAllFiveKeysExactlyAsTheyStand) {
    MemorySettingsStore store;
    store.set(QStringLiteral("PortNo"), QStringLiteral("  "));
    SettingsDialogModel dialog(store);
    dialog.Form_Load();
    EXPECT_EQ(dialog.txtPort, QStringLiteral("  ")); // blanks are not empty: no default
    dialog.txtServer = QStringLiteral("tally.local ");
    dialog.txtPort = QStringLiteral("abc");
    dialog.chkOldTally = 1;
    dialog.OKButton_Click();
    EXPECT_EQ(store.size(), 5);
    EXPECT_EQ(store.get(QStringLiteral("ServerAddress")), QStringLiteral("tally.local "));
    EXPECT_EQ(store.get(QStringLiteral("PortNo")), QStringLiteral("abc"));
    EXPECT_EQ(store.get(QStringLiteral("DateFormat")),
              QStringLiteral("dd-MMM-yyyy")); // a shown default becomes stored
    EXPECT_EQ(store.get(QStringLiteral("DecimalPlaces")), QStringLiteral("#################0.000"));
    EXPECT_EQ(store.get(QStringLiteral("UseOldTally")), QStringLiteral("Yes"));
}

TEST(SettingsDialogModelTest, OnlyAStoredYesTicksTheBoxAndOnlyATickStoresYes) {
    struct Case {
        QString stored;
        int shown;
        int set;
        QString written;
    };
    const Case cases[] = {
        {QStringLiteral("Yes"), 1, 1, QStringLiteral("Yes")},
        {QStringLiteral("yes"), 0, 0, QStringLiteral("No")},
        {QStringLiteral("No"), 0, 2, QStringLiteral("No")}, // grey counts as not ticked
        {QString(), 0, 1, QStringLiteral("Yes")},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (!c.stored.isEmpty()) store.set(QStringLiteral("UseOldTally"), c.stored);
        SettingsDialogModel dialog(store);
        dialog.Form_Load();
        EXPECT_EQ(dialog.chkOldTally, c.shown) << c.stored.toStdString();
        dialog.chkOldTally = c.set;
        dialog.OKButton_Click();
        EXPECT_EQ(store.get(QStringLiteral("UseOldTally")), c.written) << c.stored.toStdString();
    }
}

TEST(SettingsDialogModelTest, AnEmptyAddressIsStoredAsEmpty) {
    MemorySettingsStore store;
    SettingsDialogModel dialog(store);
    dialog.Form_Load();
    dialog.txtServer.clear();
    dialog.OKButton_Click();
    EXPECT_TRUE(store.contains(QStringLiteral("ServerAddress")));
    EXPECT_EQ(store.get(QStringLiteral("ServerAddress")), QString());
}

TEST(SettingsDialogModelTest, TheHelpTextLines) {
    EXPECT_EQ(
        SettingsDialogModel::HelpText.split(QStringLiteral("\r\n")),
        QStringList({QStringLiteral("The Default values are  as follows"),
                     QStringLiteral("-For Server Address running on local machince "),
                     QStringLiteral("    Server Address: 127.0.0.1"), QStringLiteral("    Port Number: 9000"),
                     QStringLiteral("-For Server Address running on network machince "),
                     QStringLiteral("    Server Address: 190.168.0.XXX or other"),
                     QStringLiteral("    Port Number: 9000 or other"), QString()}));
    EXPECT_EQ(SettingsDialogModel::Caption, QStringLiteral("Set Tally Server Address & port"));
}

} // namespace
} // namespace quibo
