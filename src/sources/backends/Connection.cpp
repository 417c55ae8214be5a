#include "sources/backends/Connection.h"

#include "sources/backends/access/AccessSource.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/odbc/OdbcSource.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/text/TextSource.h"
#include "sources/backends/xls/XlsSource.h"
#include "sources/backends/xlsx/XlsxSource.h"

#include <QFile>

namespace quibo {

namespace {

// The Excel driver reads both formats; the file's first bytes tell them apart.
bool IsCompoundFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.read(8) == QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

} // namespace

std::unique_ptr<Source> OpenConnection(const QString& connection, const QString& user,
                                       const QString& password) {
    const ConnectionString cs(connection);
    if (cs.has(QStringLiteral("DSN"))) return std::make_unique<OdbcSource>(connection, user, password);

    if (cs.has(QStringLiteral("Provider"))) {
        if (!cs.value(QStringLiteral("Provider"))
                 .startsWith(QLatin1String("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive))
            RaiseProviderError(QStringLiteral("ADODB.Connection"),
                               QStringLiteral("Provider cannot be found. It may not be properly installed."),
                               -2146824582);
        const QString path = cs.value(QStringLiteral("Data Source"));
        if (cs.value(QStringLiteral("Extended Properties"))
                .contains(QLatin1String("Excel"), Qt::CaseInsensitive))
            return std::make_unique<XlsSource>(path);
        return std::make_unique<AccessSource>(path);
    }

    if (cs.has(QStringLiteral("Driver"))) {
        const QString driver = cs.value(QStringLiteral("Driver"));
        if (driver.contains(QLatin1String("Microsoft Excel Driver"), Qt::CaseInsensitive)) {
            const QString path = cs.value(QStringLiteral("DBQ"));
            if (IsCompoundFile(path)) return std::make_unique<XlsSource>(path);
            return std::make_unique<XlsxSource>(path);
        }
        if (driver.contains(QLatin1String("Microsoft Text Driver"), Qt::CaseInsensitive))
            return std::make_unique<TextSource>(cs.value(QStringLiteral("DBQ")));
        return std::make_unique<OdbcSource>(connection, user, password);
    }

    RaiseProviderError(provider::Odbc,
                       QStringLiteral("[unixODBC][Driver Manager]Data source name not found and no "
                                      "default driver specified"));
}

} // namespace quibo
