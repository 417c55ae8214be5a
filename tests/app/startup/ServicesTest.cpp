#include "base/Services.h"
#include "app/startup/ConsoleMessageBox.h"
#include "app/startup/QtSettingsStore.h"
#include "support/TestServices.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <sstream>

namespace quibo {
namespace {

struct DefaultCase {
    MsgButtons buttons;
    int defaultButton;
    MsgAnswer answer;
};

TEST(MessageBoxDefaults, TheDefaultButtonAnswers) {
    const DefaultCase cases[] = {
        {MsgButtons::OkOnly, 0, MsgAnswer::Ok},
        {MsgButtons::OkCancel, 1, MsgAnswer::Cancel},
        {MsgButtons::YesNo, 0, MsgAnswer::Yes},
        {MsgButtons::YesNo, 1, MsgAnswer::No},
        {MsgButtons::YesNoCancel, 2, MsgAnswer::Cancel},
        {MsgButtons::RetryCancel, 0, MsgAnswer::Retry},
        {MsgButtons::AbortRetryIgnore, 2, MsgAnswer::Ignore},
        {MsgButtons::YesNo, 7, MsgAnswer::Yes},
    };
    for (const auto& c : cases) {
        MessageBoxRequest request;
        request.buttons = c.buttons;
        request.defaultButton = c.defaultButton;
        EXPECT_EQ(DefaultAnswer(request), c.answer) << int(c.buttons) << "/" << c.defaultButton;
    }
}

TEST(ConsoleMessageBox, WritesTitleAndTextAndAnswersTheDefault) {
    std::ostringstream out;
    ConsoleMessageBox box(out);
    MessageBoxRequest request{QStringLiteral("Post 3 records?\r\nSecond line"), QStringLiteral("Quibo 1.0"),
                              MsgIcon::Question, MsgButtons::YesNo, 1};
    EXPECT_EQ(box.show(request), MsgAnswer::No);
    EXPECT_EQ(out.str(), "[Question] Quibo 1.0\nPost 3 records?\nSecond line\n");
}

TEST(QtSettingsStore, ApplicationQuibo20SectionConfigAndEmptyWhenUnwritten) {
    test::TempFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QtSettingsStore store;
    EXPECT_EQ(store.get(settings::ServerAddress), QString());
    EXPECT_TRUE(store.get(settings::PortNo).isNull() || store.get(settings::PortNo).isEmpty());
    store.set(settings::ServerAddress, QStringLiteral("192.168.0.12"));
    store.set(settings::UseOldTally, QStringLiteral("Yes"));

    QSettings raw(QStringLiteral("Quibo20"), QStringLiteral("Quibo20"));
    EXPECT_EQ(raw.value(QStringLiteral("Config/ServerAddress")).toString(), QStringLiteral("192.168.0.12"));
    EXPECT_EQ(QtSettingsStore().get(settings::UseOldTally), QStringLiteral("Yes"));
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/Quibo20/Quibo20.conf")));
}

} // namespace
} // namespace quibo
