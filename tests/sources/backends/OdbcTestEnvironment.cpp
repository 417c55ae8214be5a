#include "sources/backends/OdbcTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>

#include <dlfcn.h>

namespace quibo::test {

QString SourcesData(const QString& name) {
    return QStringLiteral(QUIBO_TEST_DATA "/sources/") + name;
}

namespace {

QString Unavailable;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class OdbcEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString database = copy(QStringLiteral("sample.sqlite"));
        const QString loaderDatabase = copy(QStringLiteral("loader.sqlite"));
        const QString driverDatabase = m_dir.filePath(QStringLiteral("drivers.sqlite"));
        makeSqlite(driverDatabase, SourcesData(QStringLiteral("odbc/sqlite.sql")));
        QByteArray drivers = "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=libsqlite3odbc.so\n\n";
        QByteArray sources =
            QStringLiteral("[%1]\nDriver=SQLite3\nDatabase=%2\n\n[%3]\nDriver=SQLite3\n"
                           "Database=%4\n\n[%5]\nDriver=SQLite3\nDatabase=%6\n\n")
                .arg(OdbcTestDsn, database, OdbcLoaderDsn, loaderDatabase, OdbcSqliteDsn, driverDatabase)
                .toUtf8();
        // The servers' fixture folder: its data sources join ours, or it says why there are none.
        const QString servers = QStringLiteral(QUIBO_BINARY_DIR "/odbc-servers");
        if (QFile::exists(servers + QStringLiteral("/unavailable"))) {
            Unavailable = QString::fromUtf8(ReadAll(servers + QStringLiteral("/unavailable")).trimmed());
        } else if (!QFile::exists(servers + QStringLiteral("/odbc.ini"))) {
            Unavailable = QStringLiteral("the database servers are not running: CTest starts them as the "
                                         "fixture odbc_servers (tests/sources/backends/odbc-servers)");
        } else {
            drivers += ReadAll(servers + QStringLiteral("/odbcinst.ini"));
            sources += ReadAll(servers + QStringLiteral("/odbc.ini"));
        }
        write(QStringLiteral("odbcinst.ini"), drivers);
        write(QStringLiteral("odbc.ini"), sources);
        // The driver manager loads its set-up library for every connection and unloads it again;
        // what that library still holds then looks leaked to the leak checker. Keep it loaded.
        dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
        // Before the first ODBC call: the driver manager reads these once.
        setenv("ODBCSYSINI", QFile::encodeName(m_dir.path()).constData(), 1);
        setenv("ODBCINI", QFile::encodeName(m_dir.filePath(QStringLiteral("odbc.ini"))).constData(), 1);
    }

private:
    QString copy(const QString& name) {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(QFile::copy(SourcesData(name), path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }

    static void makeSqlite(const QString& path, const QString& script) {
        const QByteArray sql = ReadAll(script);
        ASSERT_FALSE(sql.isEmpty()) << script.toStdString();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    void write(const QString& name, const QByteArray& text) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir m_dir;
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

} // namespace

QString OdbcServersUnavailable() {
    return Unavailable;
}

} // namespace quibo::test
