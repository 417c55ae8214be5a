// Every table in this suite runs under a German locale, where "," is the decimal point: the VB
// rules must not notice.

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>

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
    // so build it into a private folder.
    bool CompileAndSwitch() {
        m_folder = std::make_unique<QTemporaryDir>();
        if (!m_folder->isValid()) return false;
        const QString target = m_folder->filePath(QStringLiteral("de_DE.UTF-8"));
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"),
                                                      QStringLiteral("-f"), QStringLiteral("UTF-8"), target});
        if (!localedef.waitForFinished(60000) || localedef.exitStatus() != QProcess::NormalExit) return false;
        ::setenv("LOCPATH", m_folder->path().toLocal8Bit().constData(), 1);
        return SwitchCLocale();
    }

    std::unique_ptr<QTemporaryDir> m_folder;
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
