#include "sources/backends/ConnectionString.h"

#include <QFileInfo>

namespace quibo {

namespace {

bool NeedsQuoting(const QString& value) {
    return value.contains(QLatin1Char(';')) || value.trimmed() != value ||
           value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')) ||
           value.startsWith(QLatin1Char('{'));
}

QString OleDbValue(const QString& value) {
    if (!NeedsQuoting(value)) return value;
    QString inner = value;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString DriverValue(const QString& value) {
    if (!NeedsQuoting(value) && !value.contains(QLatin1Char('}'))) return value;
    QString inner = value;
    inner.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + inner + QLatin1Char('}');
}

} // namespace

QString ExcelConnectionString(const QString& path) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") + QStringLiteral("Data Source=") +
           OleDbValue(path) + QStringLiteral(";") +
           QStringLiteral("Extended Properties=\"Excel 8.0;HDR=YES;\"");
}

QString XlsxConnectionString(const QString& path) {
    return QStringLiteral("Driver={Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)};DBQ=") +
           DriverValue(path) + QStringLiteral(";");
}

QString TextConnectionString(const QString& folder) {
    return QStringLiteral("Driver={Microsoft Text Driver (*.txt; *.csv)};Dbq=") + DriverValue(folder) +
           QStringLiteral(";\"");
}

QString AccessConnectionString(const QString& path, const QString& password) {
    QString text = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;") + QStringLiteral("Data Source=") +
                   OleDbValue(path);
    if (!password.isEmpty()) text += QStringLiteral(";Jet OLEDB:Database Password=") + OleDbValue(password);
    return text;
}

QString OdbcConnectionString(const QString& dataSourceName) {
    return QStringLiteral("DSN=") + dataSourceName;
}

QString TextFileFolder(const QString& path) {
    return QFileInfo(path).absolutePath();
}

ConnectionString::ConnectionString(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // key
        const qsizetype keyStart = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';'))
            ++i;
        if (i >= n || text[i] == QLatin1Char(';')) {
            ++i; // a piece without "=" says nothing
            continue;
        }
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        ++i; // "="
        while (i < n && text[i] == QLatin1Char(' '))
            ++i;

        QString value;
        const QChar open = i < n ? text[i] : QChar();
        if (open == QLatin1Char('"') || open == QLatin1Char('\'') || open == QLatin1Char('{')) {
            const QChar close = open == QLatin1Char('{') ? QLatin1Char('}') : open;
            ++i;
            while (i < n) {
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) {
                        value.append(close);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value.append(text[i++]);
            }
            while (i < n && text[i] != QLatin1Char(';'))
                ++i;
        } else {
            const qsizetype valueStart = i;
            while (i < n && text[i] != QLatin1Char(';'))
                ++i;
            value = text.mid(valueStart, i - valueStart).trimmed();
        }
        ++i; // ";"
        if (!key.isEmpty() && !has(key)) m_pairs.append({key, value});
    }
}

bool ConnectionString::has(const QString& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString ConnectionString::value(const QString& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
    return {};
}

} // namespace quibo
