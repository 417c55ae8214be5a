#pragma once

#include "sources/backends/Source.h"

namespace quibo {

// An .xls workbook, standing in for the Jet provider with "Excel 8.0;HDR=YES;". Each worksheet is a
// table named "Name$". BiffBook reads every version, Excel 2 to 2003; an encrypted workbook is refused.
class XlsSource final : public Source {
public:
    // Opens the workbook for its sheet list; raises when it is missing or not a workbook. A sheet whose
    // records are broken raises when it is read, naming it.
    explicit XlsSource(QString path);

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    QString m_path;
    QStringList m_sheets; // "Name$", in the workbook's order
};

} // namespace quibo
