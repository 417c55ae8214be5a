#include "sources/backends/OdbcTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include <dlfcn.h>

namespace quibo::test {

QString SourcesData(const QString& name) {
    return QStringLiteral(QUIBO_TEST_DATA "/sources/") + name;
}

namespace {

class OdbcEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString database = m_dir.filePath(QStringLiteral("sample.sqlite"));
        ASSERT_TRUE(QFile::copy(SourcesData(QStringLiteral("sample.sqlite")), database));
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QString loaderDatabase = m_dir.filePath(QStringLiteral("loader.sqlite"));
        ASSERT_TRUE(QFile::copy(SourcesData(QStringLiteral("loader.sqlite")), loaderDatabase));
        QFile::setPermissions(loaderDatabase, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        write(QStringLiteral("odbcinst.ini"), QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\n"
                                                             "Driver=libsqlite3odbc.so\n"));
        write(QStringLiteral("odbc.ini"),
              QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\n\n[%3]\nDriver=SQLite3\nDatabase=%4\n")
                  .arg(OdbcTestDsn, database, OdbcLoaderDsn, loaderDatabase));
        // The driver manager loads its set-up library for every connection and unloads it again;
        // what that library still holds then looks leaked to the leak checker. Keep it loaded.
        dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
        // Before the first ODBC call: the driver manager reads these once.
        setenv("ODBCSYSINI", QFile::encodeName(m_dir.path()).constData(), 1);
        setenv("ODBCINI", QFile::encodeName(m_dir.filePath(QStringLiteral("odbc.ini"))).constData(), 1);
    }

private:
    void write(const QString& name, const QString& text) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    QTemporaryDir m_dir;
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

} // namespace

} // namespace quibo::test
