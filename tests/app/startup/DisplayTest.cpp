#include "app/startup/Display.h"
#include "app/startup/DataFolder.h"
#include "support/TestServices.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(Display, ADisplayIsNamedByX11OrWayland) {
    const struct {
        const char* display;
        const char* wayland;
        bool has;
    } cases[] = {{"", "", false}, {":0", "", true}, {"", "wayland-0", true}, {":1", "wayland-1", true}};
    for (const auto& c : cases) {
        QProcessEnvironment env;
        if (*c.display) env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(c.display));
        if (*c.wayland) env.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(c.wayland));
        EXPECT_EQ(HasDisplay(env), c.has) << c.display << "|" << c.wayland;
    }
}

TEST(DataFolder, Quibo20HomeWinsAndIsCreated) {
    test::TempFolder folder;
    const QString home = folder.path() + QStringLiteral("/data/here");
    qputenv("QUIBO20_HOME", home.toLocal8Bit());
    EXPECT_EQ(ResolveDataFolder(), home);
    EXPECT_TRUE(QDir(home).exists());
    qunsetenv("QUIBO20_HOME");
    // Without it: the executable's folder (writable in the build tree).
    EXPECT_EQ(ResolveDataFolder(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
}

} // namespace
} // namespace quibo
