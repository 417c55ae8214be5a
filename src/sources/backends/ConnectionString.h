#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace quibo {

// The connection strings by which the program reaches its sources, built as
// the main form builds them. A value that would break the string (a ";" in a
// path, blanks at its ends, a quote or brace at its start) is quoted, in the
// OLE DB way ("...") for the Jet strings and the ODBC way ({...}) for driver
// strings; any other value goes in as it is.

// An .xls workbook through the Jet provider: "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Extended
// Properties="Excel 8.0;HDR=YES;"".
QString ExcelConnectionString(const QString& path);
// An .xlsx workbook through the Excel ODBC driver.
QString XlsxConnectionString(const QString& path);
// The text files of a folder through the text ODBC driver; the string ends with ";" and a double quote.
QString TextConnectionString(const QString& folder);
// An Access database through the Jet provider; the password piece only when a password is given.
QString AccessConnectionString(const QString& path, const QString& password);
// A named ODBC data source.
QString OdbcConnectionString(const QString& dataSourceName);

// The folder of a text file, the text driver's database.
QString TextFileFolder(const QString& path);

// A connection string read back into its key=value pairs. Keys compare
// without regard to case; a value may be quoted with "..." or '...' (the
// quote doubled inside) or with {...} ("}}" inside). Pieces without "=" are
// ignored; of a key given twice the first counts.
class ConnectionString {
public:
    explicit ConnectionString(const QString& text);

    bool has(const QString& key) const;
    // "" when the key is absent.
    QString value(const QString& key) const;

private:
    QList<QPair<QString, QString>> m_pairs;
};

} // namespace quibo
