#pragma once

#include <QString>

namespace quibo::test {

// The data source name under which the ODBC tests reach a copy of
// tests/data/sources/sample.sqlite through the "SQLite3" driver. The driver
// manager is pointed at a private odbcinst.ini and odbc.ini before any test
// runs, so the machine's own ODBC set-up plays no part.
inline const QString OdbcTestDsn = QStringLiteral("QuiboTest");
// The same for a copy of tests/data/sources/loader.sqlite, the table loader's tables.
inline const QString OdbcLoaderDsn = QStringLiteral("QuiboLoaderTest");

// The driver suite's tables (tests/data/sources/odbc) through each driver: a SQLite database made for the
// run, and the PostgreSQL and MariaDB servers of the CTest fixture odbc_servers (odbc-servers).
inline const QString OdbcSqliteDsn = QStringLiteral("QuiboSQLite");
inline const QString OdbcPostgreSqlDsn = QStringLiteral("QuiboPostgreSQL");
inline const QString OdbcMariaDbDsn = QStringLiteral("QuiboMariaDB");
// The user and password the servers' data sources take.
inline const QString OdbcServerUser = QStringLiteral("clerk");
inline const QString OdbcServerPassword = QStringLiteral("p;w}d");

// Why the servers' data sources cannot be used in this run ("" when they can).
QString OdbcServersUnavailable();

// The folder of the test data.
QString SourcesData(const QString& name);

} // namespace quibo::test
