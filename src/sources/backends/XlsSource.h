#pragma once

#include "sources/backends/Source.h"

namespace quibo {

// An .xls workbook, standing in for the Jet provider with "Excel 8.0;HDR=YES;". Each worksheet is a
// table named "Name$". BiffBook reads every version, Excel 2 to 2003; an encrypted workbook is refused.
class XlsSource final : public Source {
public:
    enum class Reader { Automatic, FreeXL };

    // Opens the workbook for its sheet list; raises when it is missing or not a workbook. FreeXL
    // (which the program does not read with) may be asked for by name, to hold the own reader's
    // results against it.
    explicit XlsSource(QString path, Reader reader = Reader::Automatic);

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    QString m_path;
    bool m_freexl = false;
    QStringList m_sheets; // "Name$", in the workbook's order
};

} // namespace quibo
