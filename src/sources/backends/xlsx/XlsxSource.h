#pragma once

#include "sources/backends/Source.h"
#include "sources/backends/xlsx/XlsxLimits.h"

#include <string>
#include <vector>

namespace quibo {

// An .xlsx workbook (Office Open XML) read with libzip, zlib and pugixml, standing
// in for the Excel ODBC driver. Each worksheet is a table named "Name$".
// Sheets are read as a stream of rows, so a large sheet never sits in memory
// as one XML tree.
class XlsxSource final : public Source {
public:
    // Opens the workbook for its sheet list; raises when it is missing or not a workbook.
    explicit XlsxSource(QString path, XlsxLimits limits = {});

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    QString m_path;
    QStringList m_sheetNames;              // "Name$", in the workbook's order
    std::vector<std::string> m_sheetParts; // each sheet's worksheet part in the package
    std::string m_sharedStringsPart;
    std::string m_stylesPart;
    bool m_date1904 = false;
    XlsxLimits m_limits;
};

} // namespace quibo
