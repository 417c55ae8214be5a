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

// The folder of the test data.
QString SourcesData(const QString& name);

} // namespace quibo::test
