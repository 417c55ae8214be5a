// Every table in this suite runs under a German locale, where "," is the decimal point: the VB
// rules must not notice.

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <iostream>

namespace {

bool cLocaleSwitched = false;

bool SwitchCLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) return true;
    }
    return false;
}

class GermanLocale : public ::testing::Environment {
public:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        cLocaleSwitched = SwitchCLocale() || CompileAndSwitch();
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
    }

private:
    // Machines rarely have the German C locale generated; the locale sources usually are there,
    // so build it once into the build folder, where every later test process finds it. It is
    // built aside and renamed into place, so processes that race each see a whole locale.
    static bool CompileAndSwitch() {
        const QString folder = QStringLiteral(QUIBO_BINARY_DIR "/test-locale");
        const QString locale = QStringLiteral("de_DE.UTF-8");
        if (!QFileInfo::exists(folder + QLatin1Char('/') + locale)) {
            QTemporaryDir scratch(folder + QStringLiteral("-XXXXXX"));
            if (!scratch.isValid()) return false;
            QProcess localedef;
            localedef.start(QStringLiteral("localedef"),
                            {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                             QStringLiteral("UTF-8"), scratch.filePath(locale)});
            // localedef warns with a non-zero status and still writes a usable locale.
            if (!localedef.waitForFinished(60000) || !QFileInfo::exists(scratch.filePath(locale)))
                return false;
            QDir().rename(scratch.path(), folder); // fails harmlessly when another process was first
        }
        ::setenv("LOCPATH", folder.toLocal8Bit().constData(), 1);
        return SwitchCLocale();
    }
};

const ::testing::Environment* const kGermanLocale = ::testing::AddGlobalTestEnvironment(new GermanLocale);

TEST(GermanLocale, IsInForceForTheWholeSuite) {
    ASSERT_NE(kGermanLocale, nullptr);
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    if (cLocaleSwitched) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    } else {
        std::cout << "note: no German C locale could be had here; only Qt's default is German\n";
    }
}

} // namespace
